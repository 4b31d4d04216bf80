// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// Core text (UTF-16 code units) as Qt text, unit for unit.
#pragma once

#include <QString>
#include <QStringView>

#include <string_view>

namespace brevane {

inline QString ToQt(std::u16string_view text) {
    return QStringView(text.data(), static_cast<qsizetype>(text.size())).toString();
}

}  // namespace brevane
