// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// Finding the user's place from IP-location pages, and the Guangdong offer.
#include "location/location.h"

#include "core/error_code.h"
#include "core/text.h"
#include "core/texts.h"
#include "location/region_table.h"

namespace brevane {
namespace {

constexpr std::size_t kShortFragment = 12;
constexpr std::size_t kLongFragment = 30;
// Source 3 names the place this many characters after the end of its marker.
constexpr std::size_t kSource3Skip = 80;
constexpr std::string_view kLogName = "Web_IP";

}  // namespace

std::u16string DetectLocation(RunContext& run) {
    const WebAddresses& at = run.addresses;
    std::u16string page = run.pages.LoadPage(Control::Web_IP, at.locationSource1);
    if (std::size_t p = text::Find(page, texts::kSource1Marker); p > 0) {
        return text::Mid(page, p + texts::kSource1Marker.size(), kShortFragment);
    }
    run.log.Missed(kLogName, texts::kSource1Marker);
    page = run.pages.LoadPage(Control::Web_IP, at.locationSource2);
    if (std::size_t p = text::Find(page, texts::kSource2Marker); p > 0) {
        return text::Mid(page, p + texts::kSource2Marker.size(), kShortFragment);
    }
    run.log.Missed(kLogName, texts::kSource2Marker);
    // The last source is cut whether or not its marker is there.
    page = run.pages.LoadPage(Control::Web_IP, at.locationSource3);
    const std::size_t p = text::Find(page, texts::kSource3Marker);
    if (p == 0) {
        run.log.Missed(kLogName, texts::kSource3Marker);
    }
    return text::Mid(page, p + kSource3Skip + texts::kSource3Marker.size(), kLongFragment);
}

bool OfferDefaultRegion(RunContext& run) {
    WindowValues& values = run.window.values;
    values.provinceName = DefaultProvince().name;
    values.provinceSlug = DefaultProvince().slug;

    std::u16string question(texts::kNoLocationMessage);
    question += ErrorCode(texts::kErrorNoLocation);
    question += texts::kCrLf;
    question += texts::kOfferDefaultRegion;
    return run.confirm.AskOkCancel(texts::kErrorBoxTitle, question);
}

}  // namespace brevane
