// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The window's controls at creation.
#include "core/controls.h"

#include <algorithm>
#include <array>

#include "core/texts.h"

namespace brevane {
namespace {

using enum Control;
using enum ControlKind;

constexpr std::uint32_t kBlue = 0x0000FF;
constexpr std::uint32_t kDarkGrey = 0x404040;
constexpr std::uint32_t kSilver = 0xC0C0C0;

constexpr std::array<ControlSpec, kControlCount> kControls{{
    // Client area of the window.
    {.id = Tim_UpData, .name = "Tim_UpData", .kind = Timer, .visible = false},
    {.id = Frame1,
     .name = "Frame1",
     .kind = Frame,
     .geometry = {120, 120, 4575, 2415},
     .bordered = true},
    {.id = Web_IP, .name = "Web_IP", .kind = Browser, .geometry = {360, 4440, 240, 240}},
    {.id = Web_QiYouJiaGe,
     .name = "Web_QiYouJiaGe",
     .kind = Browser,
     .geometry = {120, 4440, 240, 240}},
    {.id = Web_YouJia, .name = "Web_YouJia", .kind = Browser, .geometry = {600, 4440, 240, 240}},
    {.id = Web_QiYouJiaGe_2,
     .name = "Web_QiYouJiaGe_2",
     .kind = Browser,
     .geometry = {840, 4440, 240, 240}},
    {.id = Web_YouJia_2,
     .name = "Web_YouJia_2",
     .kind = Browser,
     .geometry = {1080, 4440, 240, 240}},
    {.id = Lab_ZanZhu,
     .name = "Lab_ZanZhu",
     .kind = Label,
     .geometry = {1425, 3360, 360, 180},
     .caption = texts::kSponsorCaption,
     .toolTip = texts::kSponsorToolTip,
     .colour = kBlue,
     .autoSize = true,
     .link = true},
    {.id = Label_Time,
     .name = "Label_Time",
     .kind = Label,
     .geometry = {3000, 3360, 1710, 180},
     .caption = texts::kDesignTimeDate,
     .colour = kDarkGrey,
     .rightAligned = true,
     .autoSize = true},
    {.id = Label6,
     .name = "Label6",
     .kind = Label,
     .geometry = {120, 3360, 1170, 180},
     .caption = texts::kCreditLine,
     .colour = kDarkGrey,
     .autoSize = true},
    {.id = Line2, .name = "Line2", .kind = Line, .geometry = {0, 3240, 4800, 0}, .colour = kSilver},
    {.id = Lab_Replace,
     .name = "Lab_Replace",
     .kind = Label,
     .geometry = {120, 2640, 4545, 540},
     .caption = texts::kNoticePanelCaption,
     .font = FontKind::Notice},
    {.id = Label5,
     .name = "Label5",
     .kind = Label,
     .geometry = {1320, 3360, 540, 180},
     .caption = texts::kSponsorBrackets,
     .autoSize = true},

    // Frame1.
    {.id = Fr_QiYouJiaGe_2,
     .name = "Fr_QiYouJiaGe_2",
     .kind = Frame,
     .container = Frame1,
     .geometry = {2880, 720, 615, 1575}},
    {.id = Lab_DanJia_1,
     .name = "Lab_DanJia_1",
     .kind = Label,
     .container = Frame1,
     .geometry = {1920, 720, 615, 1620},
     .toolTip = texts::kColumnOneToolTip,
     .transparent = true},
    {.id = Label3,
     .name = "Label3",
     .kind = Label,
     .container = Frame1,
     .geometry = {3000, 690, 180, 1500},
     .caption = texts::kDashColumn,
     .font = FontKind::Panel},
    {.id = Label1,
     .name = "Label1",
     .kind = Label,
     .container = Frame1,
     .geometry = {3810, 720, 630, 1500},
     .caption = texts::kUnitRow,
     .visible = false,
     .font = FontKind::Panel},
    {.id = Line1,
     .name = "Line1",
     .kind = Line,
     .container = Frame1,
     .geometry = {0, 630, 4560, 0},
     .colour = kSilver},
    {.id = Lab_QiYouJiaGe,
     .name = "Lab_QiYouJiaGe",
     .kind = Label,
     .container = Frame1,
     .geometry = {270, 1020, 2295, 1260},
     .font = FontKind::Panel},
    {.id = Label2,
     .name = "Label2",
     .kind = Label,
     .container = Frame1,
     .geometry = {240, 240, 3990, 300},
     .caption = texts::kTableHeader,
     .font = FontKind::Panel,
     .autoSize = true},
    {.id = Lab_YouJia,
     .name = "Lab_YouJia",
     .kind = Label,
     .container = Frame1,
     .geometry = {270, 720, 2820, 1500},
     .caption = texts::kPricePanelCaption,
     .font = FontKind::Panel},
    {.id = NetError,
     .name = "NetError",
     .kind = Label,
     .container = Frame1,
     .geometry = {240, 720, 1110, 300},
     .caption = texts::kErrorPanelFirstLine,
     .visible = false,
     .font = FontKind::Panel,
     .autoSize = true},
    {.id = Lab_Error89,
     .name = "Lab_Error89",
     .kind = Label,
     .container = Frame1,
     .geometry = {270, 720, 2355, 300},
     .caption = texts::kFixed89Row,
     .font = FontKind::Panel,
     .autoSize = true},

    // Fr_QiYouJiaGe_2, column II.
    {.id = Lab_DanJia_2,
     .name = "Lab_DanJia_2",
     .kind = Label,
     .container = Fr_QiYouJiaGe_2,
     .geometry = {0, 0, 615, 1620},
     .toolTip = texts::kColumnTwoToolTip,
     .transparent = true},
    {.id = Lab_QiYouJiaGe_2,
     .name = "Lab_QiYouJiaGe_2",
     .kind = Label,
     .container = Fr_QiYouJiaGe_2,
     .geometry = {-1680, 300, 2295, 1260},
     .caption = texts::kPricePanelCaption,
     .font = FontKind::Panel},
    {.id = Lab_YouJia_2,
     .name = "Lab_YouJia_2",
     .kind = Label,
     .container = Fr_QiYouJiaGe_2,
     .geometry = {-1680, 0, 2820, 1500},
     .caption = texts::kPricePanelCaption,
     .font = FontKind::Panel},
    {.id = Label4,
     .name = "Label4",
     .kind = Label,
     .container = Fr_QiYouJiaGe_2,
     .geometry = {120, -30, 180, 1500},
     .caption = texts::kDashColumn,
     .toolTip = texts::kNoCityPricesToolTip,
     .font = FontKind::Panel},
}};

constexpr bool InEnumOrder() {
    for (std::size_t i = 0; i < kControls.size(); ++i) {
        if (static_cast<std::size_t>(kControls[i].id) != i) {
            return false;
        }
    }
    return true;
}
static_assert(InEnumOrder(), "the control table follows the order of the Control enum");

constexpr bool ContainersAreEarlierFrames() {
    for (const ControlSpec& spec : kControls) {
        if (spec.container && (kControls[static_cast<std::size_t>(*spec.container)].kind != Frame ||
                               *spec.container >= spec.id)) {
            return false;
        }
    }
    return true;
}
static_assert(ContainersAreEarlierFrames(), "a container is a frame listed before what it holds");

constexpr std::array<Control, kBrowserCount> kBrowsers = [] {
    std::array<Control, kBrowserCount> browsers{};
    std::size_t count = 0;
    for (const ControlSpec& spec : kControls) {
        if (spec.kind == Browser) {
            // More browsers than kBrowserCount stop the compilation here.
            browsers.at(count++) = spec.id;
        }
    }
    // Fewer leave the last ones at the first control, which is no browser.
    return browsers;
}();
static_assert(std::ranges::all_of(kBrowsers,
                                  [](Control c) {
                                      return kControls[static_cast<std::size_t>(c)].kind == Browser;
                                  }),
              "kBrowserCount counts the browsers of the table");

}  // namespace

std::span<const ControlSpec> AllControls() {
    return kControls;
}

const ControlSpec& SpecOf(Control control) {
    return kControls[static_cast<std::size_t>(control)];
}

std::span<const Control, kBrowserCount> BrowserControls() {
    return kBrowsers;
}

}  // namespace brevane
