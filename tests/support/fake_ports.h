// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// Fakes of the platform ports: pages served from a table, a scripted OK/Cancel
// answer, a recording shell, a fixed clock and a recording run log.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "core/ports.h"
#include "core/run_context.h"
#include "core/window_model.h"

namespace brevane::testing {

/// Serves page texts by address, records every request in order and keeps each
/// control's last page. An unknown address gives empty text.
class FakePages : public PagePort {
public:
    struct Request {
        Control browser;
        std::u16string address;
        bool operator==(const Request&) const = default;
        bool operator<(const Request& other) const {
            return std::tie(browser, address) < std::tie(other.browser, other.address);
        }
    };

    void Serve(std::u16string address, std::u16string text) {
        m_pages[std::move(address)] = std::move(text);
    }

    std::u16string LoadPage(Control browser, std::optional<std::u16string_view> address) override;
    std::u16string ReadPageText(Control browser) override;
    void Expect(Control browser, std::u16string_view address) override {
        m_expected.push_back({browser, std::u16string(address)});
    }

    /// Addresses requested, in order.
    std::vector<std::u16string> addresses() const;
    const std::vector<Request>& requests() const { return m_requests; }
    int reads() const { return m_reads; }
    /// Loads said ahead, in order.
    const std::vector<Request>& expected() const { return m_expected; }

    /// Runs during every wait, after the navigation and before the text is read.
    std::function<void(Control browser)> duringWait;
    /// When set, the wait for this address aborts the run.
    std::optional<std::u16string> abortAt;

private:
    std::map<std::u16string, std::u16string> m_pages;
    std::map<Control, std::u16string> m_held;  // address each control was last sent to
    std::vector<Request> m_requests;
    std::vector<Request> m_expected;
    int m_reads = 0;
};

class FakeConfirm : public ConfirmPort {
public:
    bool AskOkCancel(std::u16string_view title, std::u16string_view text) override;

    bool answer = true;
    int asked = 0;
    std::u16string title;
    std::u16string text;
    std::function<void()> whileOpen;
};

class FakeShell : public ShellPort {
public:
    void OpenAddress(std::u16string_view address) override { opened.emplace_back(address); }
    std::vector<std::u16string> opened;
};

class FakeClock : public ClockPort {
public:
    Today Now() override { return today; }
    Today today{2026, 12, 7, 2, u"2026/12/7"};
};

/// Keeps every note of the run's log: marks as "where: mark", failures as told.
class FakeRunLog : public RunLogPort {
public:
    void Missed(std::string_view where, std::u16string_view mark) override {
        missed.push_back(std::u16string(where.begin(), where.end()) + u": " + std::u16string(mark));
    }
    void Failed(std::string_view what) override { failures.emplace_back(what); }
    std::vector<std::u16string> missed;
    std::vector<std::string> failures;
};

/// The six addresses of a test run, on made-up hosts (*.test) that only the fake pages serve.
WebAddresses TestAddresses();

/// A window model with fake ports, ready for a run.
struct FakeProgram {
    WindowModel window;
    FakePages pages;
    FakeConfirm confirm;
    FakeShell shell;
    FakeClock clock;
    FakeRunLog log;
    RunContext run{window, pages, confirm, shell, clock, log, TestAddresses()};
};

}  // namespace brevane::testing
