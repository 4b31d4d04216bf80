// Start-up and the one run.
#include "app/run_sequence.h"

#include "app/text.h"
#include "app/texts.h"
#include "app/version.h"
#include "location/location.h"
#include "location/region_catalogue.h"
#include "location/region_table.h"
#include "present/summary.h"
#include "prices/notice.h"
#include "prices/site_a.h"
#include "prices/site_b.h"

namespace brevane {

std::u16string VersionCaption() {
    std::u16string caption(texts::kVersionCaptionPrefix);
    caption += text::FromInt(kVersionMajor);
    caption += u'.';
    caption += text::FromInt(kVersionMinor);
    caption += u'.';
    caption += text::FromInt(kVersionRevision);
    return caption;
}

std::u16string PlaceCaption(const WindowValues& values) {
    std::u16string caption = VersionCaption();
    caption += texts::kPlaceCaptionOpen;
    caption += values.provinceName;
    if (!values.cityName.empty()) {
        caption += texts::kPlaceSeparator;
        caption += values.cityName;
    }
    caption += texts::kPlaceCaptionClose;
    return caption;
}

void Form_Load(RunContext& run) {
    run.window.setWindowCaption(VersionCaption() + std::u16string(texts::kLocatingSuffix));
    run.window.setCaption(Control::Lab_Replace, texts::kDisclaimer);
    run.window.setCaption(Control::Lab_YouJia, texts::kLoadingText);
    run.window.setTimerEnabled(true);
}

void Tim_UpData_Timer(RunContext& run) {
    run.window.setTimerEnabled(false);
    try {
        LocateAndLoad(run);
    } catch (const RunAborted&) {
        // The window is gone; nothing of it may be touched any more.
    } catch (...) {
        // A step failed in a way of its own (a page port giving up, memory running
        // out): the run stops there, and the window keeps what it shows until the user
        // closes it. There is no second run to hand the failure to.
    }
}

void LocateAndLoad(RunContext& run) {
    WindowValues& values = run.window.values;
    values.lookupStage = 1;
    const std::u16string fragment = DetectLocation(run);
    if (!MatchRegion(fragment, values) && !OfferDefaultRegion(run)) {
        return;  // declined: the error panel and caption are final
    }
    if (values.lookupStage == 1) {
        LoadAllPanels(run);
    }
    run.window.setWindowCaption(PlaceCaption(values));
}

void LoadAllPanels(RunContext& run) {
    BuildRegionCatalogue(run.window.values);
    Load_QiYouJiaGe(run);
    Load_QiYouJiaGe_2(run);
    Load_Replace(run);
    Load_YouJia(run);
    Load_YouJia_2(run);
    Show_Summary(run);
}

void Lab_ZanZhu_Click(RunContext& run) {
    run.shell.OpenAddress(run.addresses.sponsor);
}

}  // namespace brevane
