// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The six web addresses a run uses, passed into it as one value.
#pragma once

#include <string>

namespace brevane {

struct WebAddresses {
    std::u16string locationSource1;  ///< TLS, site root; place after "所在地理位置："
    std::u16string locationSource2;  ///< plain HTTP, site root; place after "来自"
    std::u16string locationSource3;  ///< TLS, /ip.html; place 80 characters after its marker
    std::u16string siteARoot;        ///< price site A root, ends in "/"
    std::u16string siteBRoot;        ///< price site B root, ends in "/"
    std::u16string sponsor;          ///< opened in the user's browser
};

/// The addresses the shipped program uses (set at configure time).
WebAddresses DefaultWebAddresses();

}  // namespace brevane
