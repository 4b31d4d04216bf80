// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// brevane-relay: a Windows page helper in name only, which runs the Linux page helper under
// Wine and copies its pipes both ways.
//
// The Windows channel starts it exactly as it starts a page helper, with the same
// arguments. It makes a fresh directory relay-N in $BREVANE_RELAY_DIR, starts
// relay-launcher.py there, which starts the Linux helper $BREVANE_RELAY_HELPER with those
// arguments on FIFOs (see there), and copies its own standard input to the FIFO in, out to
// its standard output and err to its standard error. When both out and err have ended, it
// exits with the Linux helper's exit status. Wine runs no Linux program on Windows pipes,
// hence the FIFOs, opened by their Z:\ paths. Test equipment, never installed.
#include <windows.h>

#include <chrono>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

#include "winchannel/process_text.h"
#include "winchannel/unique_handle.h"

namespace {

using namespace std::chrono_literals;
using brevane::winchannel::Narrow;
using brevane::winchannel::QuoteArgument;
using brevane::winchannel::UniqueHandle;

// How long the Linux side has to come up, and to report how the helper ended.
constexpr auto kReadyWithin = 15s;
constexpr auto kStatusWithin = 2s;
// The exit codes of the relay's own failures.
constexpr int kNotConfigured = 120;
constexpr int kNoLinuxSide = 121;

/// The path by which Wine reaches the Linux path `path`.
std::wstring WindowsPath(std::wstring_view path) {
    std::wstring windows = L"Z:";
    for (const wchar_t c : path) {
        windows += c == L'/' ? L'\\' : c;
    }
    return windows;
}

std::wstring Environment(const wchar_t* name) {
    std::wstring value(32767, L'\0');
    value.resize(::GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size())));
    return value;
}

bool WriteAll(HANDLE to, std::string_view bytes) {
    while (!bytes.empty()) {
        DWORD written = 0;
        if (::WriteFile(to, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ==
            0) {
            return false;
        }
        bytes.remove_prefix(written);
    }
    return true;
}

int Fail(int code, const std::string& why) {
    WriteAll(::GetStdHandle(STD_ERROR_HANDLE), "relay: " + why + "\n");
    return code;
}

/// Copies `from` to `to` until either ends. Wine reads the end of a FIFO, and of a Linux
/// pipe, as nothing; no writer on either side writes nothing.
void Copy(HANDLE from, HANDLE to) {
    char buffer[64 * 1024];
    DWORD got = 0;
    while (::ReadFile(from, buffer, sizeof buffer, &got, nullptr) != 0 && got > 0 &&
           WriteAll(to, std::string_view(buffer, got))) {
    }
}

/// Waits until `path` exists, at most `limit`.
bool AppearsWithin(const std::wstring& path, std::chrono::milliseconds limit) {
    const auto until = std::chrono::steady_clock::now() + limit;
    while (::GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
        if (std::chrono::steady_clock::now() > until) {
            return false;
        }
        ::Sleep(5);
    }
    return true;
}

UniqueHandle Open(const std::wstring& path, DWORD access) {
    return UniqueHandle(::CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_EXISTING, 0, nullptr));
}

/// The exit status that the Linux side wrote to `path`, once it is there.
std::optional<int> ReadStatus(const std::wstring& path) {
    if (!AppearsWithin(path, kStatusWithin)) {
        return std::nullopt;
    }
    const UniqueHandle file = Open(path, GENERIC_READ);
    char text[16] = {};
    DWORD got = 0;
    if (!file || ::ReadFile(file.get(), text, sizeof text - 1, &got, nullptr) == 0) {
        return std::nullopt;
    }
    return std::atoi(text);
}

}  // namespace

// The entry point of a Unicode program (-municode), which no header declares.
int wmain(int argc, wchar_t** argv);

int wmain(int argc, wchar_t** argv) {
    const std::wstring helper = Environment(L"BREVANE_RELAY_HELPER");
    const std::wstring base = Environment(L"BREVANE_RELAY_DIR");
    std::wstring launcher = Environment(L"BREVANE_RELAY_LAUNCHER");
    if (launcher.empty()) {
        launcher = L"" BREVANE_RELAY_LAUNCHER_DEFAULT;
    }
    if (helper.empty() || base.empty()) {
        return Fail(kNotConfigured,
                    "BREVANE_RELAY_HELPER and BREVANE_RELAY_DIR name no "
                    "Linux page helper and no directory for its FIFOs");
    }

    // A directory of its own, relay-1, relay-2, ...: the newest is the last one made.
    std::wstring directory;
    for (int n = 1;; ++n) {
        directory = base + L"/relay-" + std::to_wstring(n);
        if (::CreateDirectoryW(WindowsPath(directory).c_str(), nullptr) != 0) {
            break;
        }
        if (::GetLastError() != ERROR_ALREADY_EXISTS) {
            return Fail(kNotConfigured, "cannot make a directory in " + Narrow(base));
        }
    }
    const auto file = [&directory](std::wstring_view name) {
        return WindowsPath(directory + L"/" + std::wstring(name));
    };

    // Wine runs a Linux program with its arguments as the command line gives them, and with
    // no process handle to wait for: the launcher says how it goes through its files.
    std::wstring commandLine =
        QuoteArgument(launcher) + L' ' + QuoteArgument(directory) + L' ' + QuoteArgument(helper);
    for (int i = 1; i < argc; ++i) {
        commandLine += L' ' + QuoteArgument(argv[i]);
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (::CreateProcessW(WindowsPath(launcher).c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                         0, nullptr, nullptr, &startup, &started) == 0) {
        return Fail(kNoLinuxSide, "cannot start " + Narrow(launcher));
    }
    const UniqueHandle process(started.hProcess);
    const UniqueHandle thread(started.hThread);
    if (!AppearsWithin(file(L"ready"), kReadyWithin)) {
        return Fail(kNoLinuxSide, "the Linux side did not come up in " + Narrow(directory));
    }

    UniqueHandle input = Open(file(L"in"), GENERIC_WRITE);
    const UniqueHandle output = Open(file(L"out"), GENERIC_READ);
    const UniqueHandle errors = Open(file(L"err"), GENERIC_READ);
    // Held until this process ends, which is how the Linux side learns of its end.
    const UniqueHandle life = Open(file(L"life"), GENERIC_WRITE);
    if (!input || !output || !errors || !life || !WriteAll(life.get(), "+")) {
        return Fail(kNoLinuxSide, "cannot open the FIFOs in " + Narrow(directory));
    }

    // The input is copied until it ends, and then closed, so that the helper reads its end;
    // a window that keeps it open leaves that thread waiting until this process exits.
    std::thread([&input] {
        Copy(::GetStdHandle(STD_INPUT_HANDLE), input.get());
        input.reset();
    }).detach();
    std::thread errorCopy([&errors] { Copy(errors.get(), ::GetStdHandle(STD_ERROR_HANDLE)); });
    Copy(output.get(), ::GetStdHandle(STD_OUTPUT_HANDLE));
    errorCopy.join();

    const std::optional<int> status = ReadStatus(file(L"status"));
    if (!status) {
        return Fail(kNoLinuxSide, "the Linux side did not say how the helper ended");
    }
    ::ExitProcess(static_cast<UINT>(*status));
}
