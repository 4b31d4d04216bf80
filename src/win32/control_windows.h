// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The child windows of the main window, one per visible control of the inventory, each of
// a class of our own: frames, labels and lines.
//
// A label's caption is its window text: setting the text lays the label out again (an
// auto-sized one takes the size of its text) and repaints it, and screen readers read it
// as they read any window's text. A label draws itself, since a STATIC can neither keep the
// panel font's line pitch nor break lines only at blanks. A frame fills its rectangle and
// draws its border inside it, so that its children stand where they stand in the Qt window.
// A line fills its pixels and lets the pointer through to what lies beneath.
#pragma once

#include <windows.h>

#include "core/controls.h"
#include "look/units.h"
#include "win32/gdi_fonts.h"

namespace brevane::win32 {

inline constexpr wchar_t kFrameClass[] = L"BrevaneFrame";
inline constexpr wchar_t kLabelClass[] = L"BrevaneLabel";
inline constexpr wchar_t kLineClass[] = L"BrevaneLine";

/// A control's window ID: fixed, from its place in the inventory.
inline constexpr int kControlIdBase = 1000;
inline int ControlId(Control control) {
    return kControlIdBase + static_cast<int>(control);
}

/// What a control's window needs to lay itself out and draw; it lives as long as the
/// window, which holds a pointer to it.
struct ControlState {
    const ControlSpec* spec = nullptr;
    /// The main window's fonts at its DPI now; replaced as the DPI changes.
    const ControlFonts* fonts = nullptr;
};

/// Registers the three classes, once per process.
void RegisterControlClasses(HINSTANCE instance);

/// Creates the window of a frame, label or line in `parent`, at the bottom of its
/// siblings, with `caption` as a label's text. Null when the system refuses it.
HWND CreateControlWindow(ControlState& state, HWND parent, bool visible,
                         std::u16string_view caption);

/// Puts a control's window where it stands at its fonts' DPI: its rectangle in the
/// inventory, or, for an auto-sized label, the rectangle its text takes.
void PlaceControl(HWND window);

/// A label sends this notification code to the main window in a WM_COMMAND when a
/// link label is clicked, as a STATIC with SS_NOTIFY does.
inline constexpr WORD kLinkClicked = STN_CLICKED;

}  // namespace brevane::win32
