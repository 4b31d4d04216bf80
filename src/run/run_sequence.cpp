// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up and the one run.
#include "run/run_sequence.h"

#include <exception>
#include <optional>
#include <string>

#include "core/texts.h"
#include "location/location.h"
#include "location/region_catalogue.h"
#include "location/region_table.h"
#include "present/captions.h"
#include "present/error_panel.h"
#include "present/summary.h"
#include "prices/notice.h"
#include "prices/site_a.h"
#include "prices/site_b.h"

namespace brevane {
namespace {

/// The user refused Guangdong: error 01, the bare version caption, and no province.
void EndDeclined(RunContext& run) {
    ShowErrorPanel(run.window, texts::kNoLocationMessage, texts::kErrorNoLocation);
    run.window.setWindowCaption(VersionCaption());
    WindowValues& values = run.window.values;
    values.lookupStage = 0;
    values.provinceName.clear();
    values.provinceSlug.clear();
}

/// Tells the page port every page the price loaders will load, so that they can load
/// side by side while the loaders still take them one after another.
void ExpectPricePages(RunContext& run) {
    run.pages.Expect(Control::Web_QiYouJiaGe, SiteAProvinceAddress(run));
    if (const std::optional<std::u16string> city = SiteACityAddress(run)) {
        run.pages.Expect(Control::Web_QiYouJiaGe_2, *city);
    }
    run.pages.Expect(Control::Web_YouJia, SiteBProvinceAddress(run));
    run.pages.Expect(Control::Web_YouJia_2, SiteBCityAddress(run));
}

/// Builds the region catalogue, then runs the five price loaders and the summary.
void LoadAllPanels(RunContext& run) {
    BuildRegionCatalogue(run.window.values);
    ExpectPricePages(run);
    Load_QiYouJiaGe(run);
    Load_QiYouJiaGe_2(run);
    Load_Replace(run);
    Load_YouJia(run);
    Load_YouJia_2(run);
    Show_Summary(run);
}

/// Finds the place (or, with the user's consent, takes Guangdong), loads every panel
/// and names the place in the caption; a refusal ends in error 01.
void LocateAndLoad(RunContext& run) {
    WindowValues& values = run.window.values;
    values.lookupStage = 1;
    const std::u16string fragment = DetectLocation(run);
    if (!MatchRegion(fragment, values) && !OfferDefaultRegion(run)) {
        EndDeclined(run);
        return;
    }
    LoadAllPanels(run);
    run.window.setWindowCaption(PlaceCaption(values));
}

/// Opens the sponsor page in the user's browser.
void Lab_ZanZhu_Click(RunContext& run) {
    run.shell.OpenAddress(run.addresses.sponsor);
}

}  // namespace

void Form_Load(RunContext& run) {
    run.window.setWindowCaption(LocatingCaption());
    run.window.setCaption(Control::Lab_Replace, texts::kDisclaimer);
    run.window.setCaption(Control::Lab_YouJia, texts::kLoadingText);
    run.window.setTimerEnabled(true);
}

void Tim_UpData_Timer(RunContext& run) {
    run.window.setTimerEnabled(false);
    try {
        LocateAndLoad(run);
    } catch (const RunAborted&) {  // NOLINT(bugprone-empty-catch)
        // The window is gone; nothing of it may be touched any more.
    } catch (const std::exception& failure) {
        // A step failed in a way of its own (a page port giving up, memory running
        // out): the run stops there, and the window keeps what it shows until the user
        // closes it. There is no second run to hand the failure to, only the log.
        run.log.Failed(failure.what());
    } catch (...) {
        run.log.Failed("an exception of unknown type");
    }
}

void LinkClicked(RunContext& run, Control link) {
    if (link == Control::Lab_ZanZhu) {
        Lab_ZanZhu_Click(run);
    }
}

}  // namespace brevane
