// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The pages through page helpers, over the Windows channel.
#include "win32/program_pages.h"

#include <windows.h>

#include <string>
#include <utility>

namespace brevane::win32 {

HelperPages::HelperPages(std::wstring helper, LogSink& log, PageHelperOptions options)
    : m_channel(std::move(helper)), m_client(m_channel, log, std::move(options)) {
    m_client.setEngineFailedHandler([this](const std::string& reason) {
        if (engineFailed) {
            engineFailed(reason);
        }
    });
}

std::wstring PageHelperBesideProgram() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return L"brevane-pages.exe";
        }
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    const std::size_t folder = path.find_last_of(L"\\/");
    return (folder == std::wstring::npos ? std::wstring() : path.substr(0, folder + 1)) +
           L"brevane-pages.exe";
}

}  // namespace brevane::win32
