// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The controls of the main window as it is created: kind (the browsers among them name
// the hidden pages), container, geometry in twips, first caption, tooltip, visibility,
// look, and whether a label is a link. The platform builds the window and its pages
// from this alone. Within a container the controls are listed topmost first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace brevane {

enum class Control {
    // In the window's client area.
    Tim_UpData,        ///< Starts the run one second after the window opens; nothing to see.
    Frame1,            ///< The bordered frame around the price table.
    Web_IP,            ///< Hidden page of the location sources.
    Web_QiYouJiaGe,    ///< Hidden page of site A's province prices (and its notice).
    Web_YouJia,        ///< Hidden page of site B's province prices.
    Web_QiYouJiaGe_2,  ///< Hidden page of site A's city prices.
    Web_YouJia_2,      ///< Hidden page of site B's city prices.
    Lab_ZanZhu,        ///< The blue sponsor word; a click opens the sponsor page.
    Label_Time,        ///< Today's date and weekday, right in the status line.
    Label6,            ///< The credit line, left in the status line.
    Line2,             ///< Silver line above the status line.
    Lab_Replace,       ///< The notice line: the latest price change, or the disclaimer.
    Label5,            ///< The brackets around the sponsor word.
    // In Frame1.
    Fr_QiYouJiaGe_2,  ///< Column II, the city's unit prices; shows only the price part.
    Lab_DanJia_1,     ///< Draws nothing; gives column I its tooltip.
    Label3,           ///< The "--" column shown where column II would be, when it is hidden.
    Label1,           ///< The unit column: the unit on every row once prices are in.
    Line1,            ///< Silver line under the table header.
    Lab_QiYouJiaGe,   ///< Rows 92# to 0# of column I, from site A's province page.
    Label2,           ///< The table header.
    Lab_YouJia,       ///< All five rows from site B's province page, beneath site A's.
    NetError,         ///< The error panel with its code and the advice to restart.
    Lab_Error89,      ///< The fixed 89# row without a price, when site B has none.
    // In Fr_QiYouJiaGe_2.
    Lab_DanJia_2,      ///< Draws nothing; gives column II its tooltip.
    Lab_QiYouJiaGe_2,  ///< Rows 92# to 0# of column II, from site A's city page.
    Lab_YouJia_2,      ///< Column II's rows from site B's city page, beneath site A's.
    Label4,            ///< The "--" column in column II's rows that no city panel covers.
};

inline constexpr int kControlCount = static_cast<int>(Control::Label4) + 1;

enum class ControlKind { Timer, Frame, Browser, Label, Line };
enum class FontKind { Default, Panel, Notice };

/// Geometry in twips relative to the container. For a line, left/top is its start
/// point and width/height the offset to its end point.
struct Geometry {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

struct ControlSpec {
    Control id;
    std::string_view name;
    ControlKind kind;
    /// The frame that holds the control, listed before it; none for the client area.
    std::optional<Control> container;
    Geometry geometry;
    std::u16string_view caption;
    std::u16string_view toolTip;
    bool visible = true;
    FontKind font = FontKind::Default;
    std::optional<std::uint32_t> colour;  ///< 0xRRGGBB; none means the default colour
    bool rightAligned = false;
    bool autoSize = false;
    bool transparent = false;
    bool bordered = false;  ///< frames: the platform's standard frame border
    bool link = false;      ///< labels: drawn and announced as a link, and clicked
};

/// Every control, in the order of the enum: by container, topmost first.
std::span<const ControlSpec> AllControls();

const ControlSpec& SpecOf(Control control);

inline constexpr std::size_t kBrowserCount = 5;
/// The browser controls, each the name of one hidden page, in the order of the enum.
std::span<const Control, kBrowserCount> BrowserControls();

/// Twips per logical pixel at 96 dots per inch.
inline constexpr int kTwipsPerPixel = 15;
/// The window's client area in twips.
inline constexpr int kClientWidth = 4815;
inline constexpr int kClientHeight = 3615;
/// Height of one line of the panel font in twips; every panel label draws on it.
inline constexpr int kPanelLinePitch = 300;
/// The window's caption before the program writes its own.
inline constexpr std::u16string_view kWindowCreationCaption = u"Brevane";
inline constexpr int kStartTimerIntervalMs = 1000;

}  // namespace brevane
