// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// One page on a browser control: its loads and reads, and what each answers.
#include "controlpage/control_page.h"

#include <algorithm>
#include <utility>

namespace brevane::controlpage {

namespace {

using pageserve::Outcome;

bool HighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

/// `text` cut to kMaxTextUnits, never between the two halves of a character.
std::u16string Capped(std::u16string text) {
    if (text.size() > kMaxTextUnits) {
        std::size_t end = kMaxTextUnits;
        if (HighSurrogate(text[end - 1])) {
            --end;
        }
        text.resize(end);
    }
    return text;
}

}  // namespace

ControlPage::ControlPage(const BrowserMaker& make, std::function<Clock::time_point()> now)
    : m_now(std::move(now)) {
    MadeBrowser made = make(*this);
    m_browser = std::move(made.browser);
    m_failure = m_browser ? std::u16string() : std::move(made.failure);
}

ControlPage::~ControlPage() {
    // The control may still tell of its navigation while it goes; nothing listens by then.
    m_phase = Phase::Idle;
    m_done = nullptr;
    m_browser.reset();
}

void ControlPage::load(std::u16string_view address, std::chrono::milliseconds limit, Done done) {
    abandon();
    m_done = std::move(done);
    m_deadline = m_now() + std::max(limit, std::chrono::milliseconds(1));
    m_navigated = false;
    m_loadedOnce = true;
    m_readable = false;
    m_phase = Phase::Navigating;
    if (!m_browser) {
        finish({Outcome::Failed, m_failure, {}});
        return;
    }
    // The control may tell of the navigation, even of its end, before it returns.
    std::optional<std::u16string> refused = m_browser->navigate(address);
    if (refused && m_phase == Phase::Navigating) {
        finish({Outcome::Failed, std::move(*refused), {}});
    }
}

void ControlPage::read(Done done) {
    abandon();
    m_done = std::move(done);
    if (!m_loadedOnce) {
        finish({Outcome::Loaded, u"holds no page", {}});
    } else if (!m_readable) {
        finish({Outcome::Failed, u"no document of its own", {}});
    } else {
        finish(text(Outcome::Loaded, {}));
    }
}

void ControlPage::abandon() {
    m_done = nullptr;
    if (m_phase == Phase::Navigating) {
        // Stopping may tell of an end, which is no request's any more.
        m_phase = Phase::Idle;
        m_browser->stop();
    }
}

std::optional<ControlPage::Clock::time_point> ControlPage::deadline() const {
    if (m_phase != Phase::Navigating) {
        return std::nullopt;
    }
    return m_deadline;
}

void ControlPage::expire() {
    if (m_phase != Phase::Navigating || m_now() < m_deadline) {
        return;
    }
    m_phase = Phase::Ending;
    m_browser->stop();
    if (!m_navigated) {
        // The document on show is still the one from before, not this load's.
        finish({Outcome::TimedOut, u"no document arrived within the time limit", {}});
        return;
    }
    m_readable = true;
    finish(text(Outcome::TimedOut, u"the document was not complete within the time limit"));
}

void ControlPage::navigated() {
    if (m_phase == Phase::Navigating) {
        m_navigated = true;
    }
}

void ControlPage::documentComplete() {
    if (m_phase == Phase::Navigating && m_navigated) {
        m_readable = true;
        finish(text(Outcome::Loaded, u"document complete"));
    }
}

void ControlPage::navigationFailed(std::u16string detail) {
    if (m_phase == Phase::Navigating) {
        finish({Outcome::Failed, std::move(detail), {}});
    }
}

PageResult ControlPage::text(Outcome outcome, std::u16string detail) {
    std::optional<std::u16string> body = m_browser->bodyText();
    if (body) {
        return {outcome, std::move(detail), Capped(std::move(*body))};
    }
    if (outcome == Outcome::TimedOut) {
        return {outcome, std::move(detail), {}};
    }
    return {Outcome::Unreadable, u"the document has no body to read", {}};
}

void ControlPage::finish(PageResult result) {
    m_phase = Phase::Idle;
    // The answer is the last thing done here; whoever gets it may start the next request.
    const Done done = std::move(m_done);
    m_done = nullptr;
    if (done) {
        done(std::move(result));
    }
}

}  // namespace brevane::controlpage
