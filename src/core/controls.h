// The controls of the main window as it is created: kind, container, geometry in
// twips, first caption, tooltip, visibility and look. Within a container the
// controls are listed topmost first.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace brevane {

enum class Control {
    // In the window's client area.
    Tim_UpData,
    Frame1,
    Web_IP,
    Web_QiYouJiaGe,
    Web_YouJia,
    Web_QiYouJiaGe_2,
    Web_YouJia_2,
    Lab_ZanZhu,
    Label_Time,
    Label6,
    Line2,
    Lab_Replace,
    Label5,
    // In Frame1.
    Fr_QiYouJiaGe_2,
    Lab_DanJia_1,
    Label3,
    Label1,
    Line1,
    Lab_QiYouJiaGe,
    Label2,
    Lab_YouJia,
    NetError,
    Lab_Error89,
    // In Fr_QiYouJiaGe_2.
    Lab_DanJia_2,
    Lab_QiYouJiaGe_2,
    Lab_YouJia_2,
    Label4,
};

inline constexpr int kControlCount = static_cast<int>(Control::Label4) + 1;

enum class ControlKind { Timer, Frame, Browser, Label, Line };
enum class Container { Window, Frame1, Fr_QiYouJiaGe_2 };
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
    Container container;
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
};

/// Every control, in the order of the enum: by container, topmost first.
std::span<const ControlSpec> AllControls();

const ControlSpec& SpecOf(Control control);

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
