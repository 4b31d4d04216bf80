// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The Windows channel under Wine with the real Linux page helper through the relay, against
// pages on 127.0.0.1; scripts/test-windows-channel.sh provides both.
#include <windows.h>

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "channel_test_support.h"
#include "core/text.h"
#include "support/elapsed.h"
#include "winchannel/process_text.h"
#include "winchannel/unique_handle.h"

namespace brevane {
namespace {

using namespace std::chrono_literals;
using testing::Client;
using testing::Clock;
using testing::since;
using winchannel::UniqueHandle;

constexpr char16_t kChineseText[] = u"今日油价：92号汽油 7.85 元/升";

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

/// The path by which Wine reaches the Linux path `path`.
std::wstring WindowsPath(std::string_view path) {
    std::wstring windows = L"Z:" + winchannel::Widen(path);
    for (wchar_t& c : windows) {
        c = c == L'/' ? L'\\' : c;
    }
    return windows;
}

/// The address of a test page whose body is `text`, answered after `delay`.
std::u16string Page(std::u16string_view text, std::chrono::milliseconds delay = 0ms) {
    std::string address = Environment("BREVANE_TEST_PAGES") +
                          "/page?delay=" + std::to_string(delay.count()) + "&text=";
    for (const char c : text::ToUtf8(text)) {
        const auto byte = static_cast<unsigned char>(c);
        if (std::isalnum(byte) != 0 || byte == '-' || byte == '.' || byte == '_') {
            address += c;
        } else {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", byte);
            address += escaped;
        }
    }
    return text::FromUtf8(address);
}

std::string ReadFile(const std::wstring& path) {
    const UniqueHandle file(::CreateFileW(path.c_str(), GENERIC_READ,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                          OPEN_EXISTING, 0, nullptr));
    std::string text(4096, '\0');
    DWORD got = 0;
    if (!file ||
        ::ReadFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &got, nullptr) == 0) {
        return {};
    }
    text.resize(got);
    return text;
}

/// The directory of the relay started last: relay-N with the highest N.
std::wstring NewestRelay() {
    const std::wstring base = WindowsPath(Environment("BREVANE_RELAY_DIR"));
    int newest = 0;
    for (int n = 1; ::GetFileAttributesW((base + L"\\relay-" + std::to_wstring(n)).c_str()) !=
                    INVALID_FILE_ATTRIBUTES;
         ++n) {
        newest = n;
    }
    return base + L"\\relay-" + std::to_wstring(newest);
}

/// The Linux process id of the helper that the relay in `relay` ran.
long LinuxHelper(const std::wstring& relay) {
    return std::atol(ReadFile(relay + L"\\pid").c_str());
}

/// How many Linux processes of process group `group` run (not counting those that ended
/// and wait to be reaped): the Linux helper leads a group with its engine's processes.
int RunningInGroup(long group) {
    WIN32_FIND_DATAW found;
    const HANDLE search = ::FindFirstFileW(L"Z:\\proc\\*", &found);
    if (search == INVALID_HANDLE_VALUE) {
        return -1;
    }
    int running = 0;
    do {
        if (std::wcstol(found.cFileName, nullptr, 10) <= 0) {
            continue;
        }
        // "pid (name) state ppid pgrp ...", where the name may hold anything but its end.
        const std::string stat =
            ReadFile(std::wstring(L"Z:\\proc\\") + found.cFileName + L"\\stat");
        const std::size_t nameEnd = stat.rfind(')');
        char state = 0;
        long parent = 0;
        long processGroup = 0;
        if (nameEnd != std::string::npos &&
            std::sscanf(stat.c_str() + nameEnd + 1, " %c %ld %ld", &state, &parent,
                        &processGroup) == 3 &&
            processGroup == group && state != 'Z') {
            ++running;
        }
    } while (::FindNextFileW(search, &found) != 0);
    ::FindClose(search);
    return running;
}

class ThroughTheRelay : public ::testing::Test {
protected:
    void SetUp() override {
        if (Environment("BREVANE_RELAY_DIR").empty() || Environment("BREVANE_TEST_PAGES").empty()) {
            GTEST_SKIP() << "needs the Linux side: run scripts/test-windows-channel.sh";
        }
    }
    static std::wstring Relay() { return WindowsPath(BREVANE_RELAY_EXE); }
    static PageHelperOptions Options() { return {.loopbackOnly = true, .unsandboxedAsRoot = true}; }
};

TEST_F(ThroughTheRelay, LoadsPagesAsTheyFinishWithTheirTextIntact) {
    Client client(Relay(), Options());
    client.pages.setTimeLimit(20s);
    const auto start = Clock::now();
    client.pages.Expect(Control::Web_IP, Page(u"slow", 2000ms));
    EXPECT_EQ(client.pages.LoadPage(Control::Web_YouJia, Page(kChineseText)), kChineseText);
    const auto fast = since(start);
    EXPECT_EQ(client.pages.LoadPage(Control::Web_IP, Page(u"slow", 2000ms)), u"slow");
    // The page asked for later was answered first.
    EXPECT_LT(fast + 500ms, since(start));
    EXPECT_TRUE(client.failures.empty());
}

TEST_F(ThroughTheRelay, AKilledLinuxHelperCostsOnlyItsLoadAndReleaseLeavesNoLinuxProcess) {
    Client client(Relay(), Options());
    client.pages.setTimeLimit(20s);
    ASSERT_EQ(client.pages.LoadPage(Control::Web_IP, Page(u"first")), u"first");
    const std::wstring firstRelay = NewestRelay();
    const long firstHelper = LinuxHelper(firstRelay);
    ASSERT_GT(firstHelper, 0);

    // Killed from the Linux side while its page hangs, as the system may do to it.
    const testing::LoopCall kill(
        [&firstRelay] {
            UniqueHandle(::CreateFileW((firstRelay + L"\\kill").c_str(), GENERIC_WRITE, 0, nullptr,
                                       CREATE_NEW, 0, nullptr));
        },
        500ms);
    const auto start = Clock::now();
    EXPECT_EQ(client.pages.LoadPage(Control::Web_YouJia,
                                    text::FromUtf8(Environment("BREVANE_TEST_PAGES") + "/silent")),
              u"");
    EXPECT_LT(since(start), 5s);

    // The next load has a fresh relay and a fresh Linux helper.
    EXPECT_EQ(client.pages.LoadPage(Control::Web_YouJia, Page(u"second")), u"second");
    const std::wstring secondRelay = NewestRelay();
    const long secondHelper = LinuxHelper(secondRelay);
    EXPECT_NE(secondRelay, firstRelay);
    EXPECT_GT(secondHelper, 0);
    EXPECT_NE(secondHelper, firstHelper);
    EXPECT_TRUE(client.failures.empty());

    client.pages.release();
    EXPECT_TRUE(testing::Pump(
        client.channel,
        [&] { return RunningInGroup(firstHelper) == 0 && RunningInGroup(secondHelper) == 0; },
        10s));
}

}  // namespace
}  // namespace brevane
