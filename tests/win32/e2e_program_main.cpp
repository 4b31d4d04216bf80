// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// brevane-e2e.exe, test equipment: brevane.exe pointed at the stand-in sites, with the relay
// (tests/wine/relay) as its page helper, which runs the Linux page helper under Wine, for
// the whole program's tests. The environment variable BREVANE_E2E_SITES holds the six
// addresses, separated by blanks, in the order of WebAddresses; the relay reads its own.
#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include <exception>
#include <memory>
#include <optional>
#include <sstream>
#include <string>

#include "core/web_addresses.h"
#include "win32/program.h"
#include "win32/win32_ports.h"

namespace {

std::optional<brevane::WebAddresses> AddressesFromEnvironment() {
    std::wstring value(4096, L'\0');
    const DWORD length = GetEnvironmentVariableW(L"BREVANE_E2E_SITES", value.data(),
                                                 static_cast<DWORD>(value.size()));
    if (length == 0 || length >= value.size()) {
        return std::nullopt;
    }
    value.resize(length);
    std::wistringstream words(value);
    std::wstring address[6];
    for (std::wstring& one : address) {
        if (!(words >> one)) {
            return std::nullopt;
        }
    }
    const auto u16 = [](const std::wstring& text) {
        return std::u16string(text.begin(), text.end());
    };
    return brevane::WebAddresses{u16(address[0]), u16(address[1]), u16(address[2]),
                                 u16(address[3]), u16(address[4]), u16(address[5])};
}

}  // namespace

int WINAPI wWinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, PWSTR /*commandLine*/,
                    int /*show*/) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    const INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    const std::optional<brevane::WebAddresses> addresses = AddressesFromEnvironment();
    if (!addresses) {
        brevane::win32::WriteErrorLine("brevane-e2e: BREVANE_E2E_SITES names no six addresses");
        return 2;
    }
    try {
        brevane::win32::Win32LogSink log;
        brevane::win32::Win32Program program(
            *addresses,
            std::make_unique<brevane::win32::HelperPages>(
                BREVANE_RELAY_EXE, log,
                brevane::PageHelperOptions{.loopbackOnly = true, .unsandboxedAsRoot = true}));
        program.start();
        return brevane::win32::RunMessageLoop();
    } catch (const std::exception& error) {
        brevane::win32::WriteErrorLine(std::string("brevane-e2e: ") + error.what());
        return 1;
    }
}
