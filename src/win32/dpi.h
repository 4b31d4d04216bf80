// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The window's DPI through the calls Windows 10 brought, each looked up when the program
// runs: the program names Windows 10 version 1607 as the oldest it supports, yet it never
// fails to start for a missing import; without a call it falls back to the system's DPI.
#pragma once

#include <windows.h>

namespace brevane::win32 {

/// The DPI of `window`'s monitor as the window sees it (GetDpiForWindow), else the
/// system's.
int WindowDpi(HWND window);

/// The DPI of the primary monitor, as a window starts out with.
int SystemDpi();

/// The outer size of a window whose client area is `width` x `height` at `dpi`.
SIZE WindowSizeForClient(int width, int height, DWORD style, DWORD exStyle, int dpi);

/// Asks for the caption and borders to follow the window's DPI, as per-monitor v2 does
/// of itself (EnableNonClientDpiScaling); for WM_NCCREATE.
void ScaleNonClientArea(HWND window);

}  // namespace brevane::win32
