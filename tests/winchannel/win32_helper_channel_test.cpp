// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The Windows channel with this program standing in for page helpers that serve, exit,
// fail or never read: arguments, causes, writes, endings and the wait's message loop.
#include "winchannel/win32_helper_channel.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "channel_test_support.h"
#include "core/text.h"
#include "pageproto/page_protocol.h"
#include "support/elapsed.h"
#include "winchannel/process_text.h"
#include "winchannel/unique_handle.h"

namespace brevane {
namespace {

using namespace std::chrono_literals;
using testing::Client;
using testing::Clock;
using testing::Gone;
using testing::Pump;
using testing::since;
using winchannel::UniqueHandle;

constexpr std::string_view kFake = "--fake-page-helper=";

std::wstring Self() {
    std::wstring path(MAX_PATH, L'\0');
    path.resize(::GetModuleFileNameW(nullptr, path.data(), MAX_PATH));
    return path;
}

std::string Fake(std::string_view mode) {
    return std::string(kFake) + std::string(mode);
}

/// What a channel reports, counted.
struct Heard final : HelperChannel::Listener {
    void helperOutput(std::string_view) override { ++outputs; }
    void helperErrorOutput(std::string_view) override { ++errorOutputs; }
    void helperEnded(std::string cause) override { ends.push_back(std::move(cause)); }
    int outputs = 0;
    int errorOutputs = 0;
    std::vector<std::string> ends;
};

TEST(Win32HelperChannel, StartsTheHelperWithItsArgumentsAsTheyAre) {
    const std::vector<std::string> arguments{"two words",
                                             "",
                                             "quote\"inside",
                                             "trailing\\",
                                             "back\\\\slashes\\\"quoted",
                                             "tab\tand\nline",
                                             "中文 ünï",
                                             "\\\\server\\share\\",
                                             "folder with space\\"};
    PageHelperOptions options{.extraArguments = {Fake("serve")}};
    options.extraArguments.insert(options.extraArguments.end(), arguments.begin(), arguments.end());
    Client client(Self(), options);
    std::u16string expected;
    for (const std::string& argument : arguments) {
        expected += text::FromUtf8(argument) + u'\n';
    }
    EXPECT_EQ(client.pages.LoadPage(Control::Web_IP, u"http://127.0.0.1:9/"), expected);
    EXPECT_TRUE(client.failures.empty());
}

TEST(Win32HelperChannel, AHelperThatCannotRunSaysWhy) {
    const struct {
        const char* name;
        std::wstring program;
        std::string mode;
        std::string why;
    } rows[] = {
        {"cannot_be_started", L"C:\\nonexistent\\brevane-pages.exe", "",
         "the browser engine could not start: its page helper C:\\nonexistent\\brevane-pages.exe "
         "cannot be started ("},
        {"exits_saying_why_on_standard_error", Self(), "exit",
         "the browser engine could not start: its page helper exited with code 1 (it said: no "
         "engine here)"},
        {"ends_with_an_access_violation", Self(), "access_violation",
         "the browser engine could not start: its page helper crashed (0xC0000005)"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Client client(row.program, {.extraArguments = {Fake(row.mode)}});
        client.pages.start();
        EXPECT_EQ(client.pages.LoadPage(Control::Web_IP, u"http://127.0.0.1:9/"), u"");
        ASSERT_EQ(client.failures.size(), 1u);
        EXPECT_TRUE(client.failures[0].starts_with(row.why)) << client.failures[0];
    }
}

TEST(Win32HelperChannel, AWriteNeverWaitsForTheHelperAndAnEndedHelperIsNotHeard) {
    Win32HelperChannel channel(Self());
    Heard heard;
    channel.setListener(&heard);
    channel.start({Fake("chatter")});
    const UniqueHandle process(
        ::OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(channel.processId())));
    ASSERT_TRUE(process);

    // Far more than a pipe holds, to a helper that reads nothing: a write that waited for
    // the helper would never return.
    const std::string bytes(4u << 20, 'x');
    const auto start = Clock::now();
    channel.write(bytes);
    EXPECT_LT(since(start), 2s);

    // What it wrote before its end, and had not been handed on by then, is dropped.
    ::Sleep(300);
    channel.end(HelperChannel::Ending::Kill);
    EXPECT_EQ(channel.processId(), 0);
    EXPECT_TRUE(Pump(
        channel, [&] { return Gone(process.get()); }, 5s));
    Pump(
        channel, [] { return false; }, 200ms);
    EXPECT_EQ(heard.outputs + heard.errorOutputs, 0);
    EXPECT_TRUE(heard.ends.empty());
}

TEST(Win32HelperChannel, AHelperWhoseInputClosesEndsOrIsKilled) {
    const struct {
        const char* name;
        std::string mode;
        bool channelDestroyed;
        std::chrono::milliseconds atLeast;
        std::chrono::milliseconds within;
    } rows[] = {
        {"exits_when_its_input_ends", "serve", false, 0ms, 1500ms},
        {"killed_when_it_lingers", "chatter", false, 1800ms, 4000ms},
        {"killed_with_the_channel", "chatter", true, 0ms, 1000ms},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        auto channel = std::make_unique<Win32HelperChannel>(Self());
        Heard heard;
        channel->setListener(&heard);
        channel->start({Fake(row.mode)});
        const UniqueHandle process(
            ::OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(channel->processId())));
        ASSERT_TRUE(Pump(
            *channel, [&] { return heard.outputs > 0; }, 5s));

        const auto start = Clock::now();
        channel->end(HelperChannel::Ending::CloseInput);
        if (row.channelDestroyed) {
            channel.reset();
            ::WaitForSingleObject(process.get(), 5000);
        } else {
            Pump(
                *channel, [&] { return Gone(process.get()); }, 5s);
        }
        EXPECT_TRUE(Gone(process.get()));
        EXPECT_GE(since(start), row.atLeast);
        EXPECT_LT(since(start), row.within);
        EXPECT_TRUE(heard.ends.empty());
    }
}

TEST(Win32HelperChannel, AnAbortPostedDuringAWaitEndsItAtOnce) {
    Client client(Self(), {.extraArguments = {Fake("chatter")}});
    client.pages.start();
    const testing::LoopCall abort([&client] { client.pages.abort(); }, 300ms);
    const auto start = Clock::now();
    EXPECT_THROW(client.pages.LoadPage(Control::Web_IP, u"http://127.0.0.1:9/"), RunAborted);
    EXPECT_LT(since(start), 1500ms);
    EXPECT_EQ(client.pages.helperProcessId(), 0);
}

TEST(Win32HelperChannel, AQuitTakenByAWaitEndsItAndReachesTheOuterLoop) {
    Win32HelperChannel channel(Self());
    ::PostQuitMessage(7);
    const auto start = Clock::now();
    channel.waitUntil([] { return false; }, Clock::now() + 5s);
    EXPECT_LT(since(start), 1s);
    MSG message;
    ASSERT_NE(::PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE), 0);
    EXPECT_EQ(message.wParam, 7u);
}

// The stand-in helpers.

bool WriteOut(HANDLE pipe, std::string_view bytes) {
    DWORD written = 0;
    return ::WriteFile(pipe, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) !=
               0 &&
           written == bytes.size();
}

/// Plays a page helper as `mode` says; `arguments` are those after its mode.
int FakePageHelper(std::string_view mode, const std::vector<std::string>& arguments) {
    using namespace pageproto;
    const HANDLE input = ::GetStdHandle(STD_INPUT_HANDLE);
    const HANDLE output = ::GetStdHandle(STD_OUTPUT_HANDLE);
    const HANDLE errors = ::GetStdHandle(STD_ERROR_HANDLE);
    if (mode == "exit") {
        WriteOut(errors, "no engine here\n");
        return 1;
    }
    if (mode == "access_violation") {
        ::ExitProcess(0xC0000005);
    }
    if (!WriteOut(output, Frame(Answer{Ready{}}))) {
        return 2;
    }
    if (mode == "chatter") {
        // Talks on its standard error and never reads its input.
        while (WriteOut(errors, "chatter\n")) {
            ::Sleep(10);
        }
        return 3;
    }
    // "serve": every load's page is the arguments, one a line.
    std::u16string text;
    for (const std::string& argument : arguments) {
        text += text::FromUtf8(argument) + u'\n';
    }
    FrameReader reader;
    char buffer[4096];
    DWORD got = 0;
    while (::ReadFile(input, buffer, sizeof buffer, &got, nullptr) != 0) {
        reader.append(std::string_view(buffer, got));
        while (const std::optional<std::string> payload = reader.next()) {
            const std::optional<Request> request = ParseRequest(*payload);
            const auto* load = request ? std::get_if<LoadRequest>(&*request) : nullptr;
            if (load == nullptr) {
                return 4;
            }
            WriteOut(output,
                     Frame(Answer{PageAnswer{.id = load->id, .page = load->page, .text = text}}));
        }
    }
    return 0;
}

}  // namespace
}  // namespace brevane

// The entry point of a Unicode program (-municode), which no header declares.
int wmain(int argc, wchar_t** argv);

int wmain(int argc, wchar_t** argv) {
    using brevane::kFake;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = brevane::winchannel::Narrow(argv[i]);
        if (argument.starts_with(kFake)) {
            std::vector<std::string> rest;
            for (int j = i + 1; j < argc; ++j) {
                rest.push_back(brevane::winchannel::Narrow(argv[j]));
            }
            return brevane::FakePageHelper(std::string_view(argument).substr(kFake.size()), rest);
        }
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
