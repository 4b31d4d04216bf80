// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The stand-in sites of each end-to-end scenario by its name (support/end_states.h), for
// the Qt program's tests and the Linux side of the Windows program's.
#pragma once

#include <chrono>
#include <string_view>

#include "standin/sample_sites.h"
#include "standin/standin_sites.h"
#include "support/end_states.h"

namespace brevane::testing {

/// Serves what the scenario `name` adds to the sample price pages; false for a name
/// that is none.
inline bool ServeScenario(standin::StandinSites& stand, std::string_view name) {
    using namespace std::chrono_literals;
    using standin::FaultKind;
    using standin::Site;
    if (name == sites::kNoLocation) {
        stand.fail(Site::Location2, "/", {FaultKind::Reset});
        stand.fail(Site::Location3, "/ip.html", {FaultKind::EmptyBody});
        return true;
    }
    if (name != sites::kShenzhen && name != sites::kPricesDown && name != sites::kCityPageHangs &&
        name != sites::kSiteBHangs) {
        return false;
    }
    standin::ServeLocation(stand, Site::Location1, standin::places::kShenzhen);
    if (name == sites::kPricesDown) {
        stand.fail(Site::SiteA, "/guangdong.shtml", {FaultKind::ServerError});
        stand.fail(Site::SiteA, "/guangdong/shenzhen.shtml", {FaultKind::NotFound});
        stand.fail(Site::SiteB, "/guangdong/", {FaultKind::Reset});
        stand.fail(Site::SiteB, "/guangdong/shenzhenshi.html", {FaultKind::Delay, 1500ms});
    } else if (name == sites::kCityPageHangs) {
        stand.fail(Site::SiteA, "/guangdong/shenzhen.shtml", {FaultKind::Hang});
    } else if (name == sites::kSiteBHangs) {
        stand.fail(Site::SiteB, "/guangdong/", {FaultKind::Hang});
    }
    return true;
}

}  // namespace brevane::testing
