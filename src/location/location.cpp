// Finding the user's place from IP-location pages, and the Guangdong fallback.
#include "location/location.h"

#include "app/run_sequence.h"
#include "app/text.h"
#include "app/texts.h"
#include "app/version.h"
#include "location/region_table.h"

namespace brevane {
namespace {

constexpr std::size_t kShortFragment = 12;
constexpr std::size_t kLongFragment = 30;
// Source 3 names the place this many characters after the end of its marker.
constexpr std::size_t kSource3Skip = 80;

}  // namespace

std::u16string DetectLocation(RunContext& run) {
    const WebAddresses& at = run.addresses;
    std::u16string page = run.pages.LoadPage(Control::Web_IP, at.locationSource1);
    if (std::size_t p = text::Find(page, texts::kSource1Marker); p > 0) {
        return text::Mid(page, p + texts::kSource1Marker.size(), kShortFragment);
    }
    page = run.pages.LoadPage(Control::Web_IP, at.locationSource2);
    if (std::size_t p = text::Find(page, texts::kSource2Marker); p > 0) {
        return text::Mid(page, p + texts::kSource2Marker.size(), kShortFragment);
    }
    // The last source is cut whether or not its marker is there.
    page = run.pages.LoadPage(Control::Web_IP, at.locationSource3);
    const std::size_t p = text::Find(page, texts::kSource3Marker);
    return text::Mid(page, p + kSource3Skip + texts::kSource3Marker.size(), kLongFragment);
}

std::u16string ErrorCode(std::u16string_view code) {
    return text::FromInt(kVersionMajor) + std::u16string(code);
}

void ShowErrorPanel(WindowModel& window, std::u16string_view message, std::u16string_view code) {
    for (Control hidden : {Control::Label1, Control::Label3, Control::Lab_YouJia,
                           Control::Lab_QiYouJiaGe, Control::Lab_DanJia_1, Control::Lab_DanJia_2,
                           Control::Fr_QiYouJiaGe_2, Control::Lab_Error89}) {
        window.setVisible(hidden, false);
    }
    window.setVisible(Control::NetError, true);
    std::u16string caption(texts::kErrorPanelFirstLine);
    caption += texts::kCrLf;
    caption += message;
    caption += ErrorCode(code);
    caption += texts::kCrLf;
    caption += texts::kErrorPanelLastLine;
    window.setCaption(Control::NetError, caption);
}

bool OfferDefaultRegion(RunContext& run) {
    WindowValues& values = run.window.values;
    values.provinceName = DefaultProvince().name;
    values.provinceSlug = DefaultProvince().slug;

    std::u16string question(texts::kNoLocationMessage);
    question += ErrorCode(texts::kErrorNoLocation);
    question += texts::kCrLf;
    question += texts::kOfferDefaultRegion;
    if (run.confirm.AskOkCancel(texts::kErrorBoxTitle, question)) {
        return true;
    }

    ShowErrorPanel(run.window, texts::kNoLocationMessage, texts::kErrorNoLocation);
    run.window.setWindowCaption(VersionCaption());
    values.lookupStage = 0;
    values.provinceName.clear();
    values.provinceSlug.clear();
    return false;
}

}  // namespace brevane
