// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// brevane.exe: one window that shows today's fuel prices for the user's place.
#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include <exception>
#include <string>

#include "core/web_addresses.h"
#include "win32/program.h"
#include "win32/win32_ports.h"

int WINAPI wWinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, PWSTR /*commandLine*/,
                    int /*show*/) {
    // The shell opens the sponsor page through COM.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    const INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    int status = 1;
    try {
        brevane::win32::Win32Program program(brevane::DefaultWebAddresses());
        program.start();
        status = brevane::win32::RunMessageLoop();
    } catch (const std::exception& error) {
        brevane::win32::WriteErrorLine(std::string("brevane: ") + error.what());
    }
    if (SUCCEEDED(com)) {
        CoUninitialize();
    }
    return status;
}
