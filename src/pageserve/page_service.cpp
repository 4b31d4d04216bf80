// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The page helper's side of the protocol: requests in, answers out.
#include "pageserve/page_service.h"

#include <utility>
#include <variant>

namespace brevane::pageserve {

PageService::PageService(PageEngine& engine, std::function<Clock::time_point()> now)
    : m_engine(engine), m_now(std::move(now)) {}

bool PageService::receive(std::string_view bytes) {
    if (m_stopped) {
        return false;
    }
    m_reader.append(bytes);
    while (!m_stopped) {
        const std::optional<std::string> payload = m_reader.next();
        if (!payload) {
            m_stopped = m_reader.broken();
            break;
        }
        const std::optional<pageproto::Request> request = pageproto::ParseRequest(*payload);
        if (!request) {
            m_stopped = true;
            break;
        }
        serve(*request);
    }
    return !m_stopped;
}

void PageService::serve(const pageproto::Request& request) {
    const std::uint32_t id = std::visit([](const auto& r) { return r.id; }, request);
    const PageNumber page = std::visit([](const auto& r) { return r.page; }, request);
    const std::chrono::milliseconds limit(
        std::visit([](const auto& r) { return r.timeLimitMs; }, request));
    const auto* load = std::get_if<pageproto::LoadRequest>(&request);

    if (const std::optional<InProgress> superseded = m_pages[page]) {
        m_engine.Abandon(page);
        answer(page, superseded->serial,
               {Outcome::Failed, u"another request for this page came", {}});
    }
    const std::uint32_t serial = ++m_serial;
    m_pages[page] = InProgress{
        .id = id,
        .serial = serial,
        .deadline = m_now() + (load ? pageproto::LoadTime(limit) : pageproto::ReadTime(limit))};
    // The engine may answer at once, from inside the call.
    auto done = [this, page, serial](PageResult result) {
        answer(page, serial, std::move(result));
    };
    if (load != nullptr) {
        m_engine.Load(page, load->address, limit, std::move(done));
    } else {
        m_engine.Read(page, limit, std::move(done));
    }
}

void PageService::answer(PageNumber page, std::uint32_t serial, PageResult result) {
    std::optional<InProgress>& inProgress = m_pages[page];
    if (!inProgress || inProgress->serial != serial) {
        return;
    }
    const std::uint32_t id = inProgress->id;
    inProgress.reset();
    if (m_stopped) {
        return;
    }
    engineUp();
    queue(pageproto::PageAnswer{.id = id,
                                .page = page,
                                .outcome = result.outcome,
                                .detail = std::move(result.detail),
                                .text = std::move(result.text)});
}

void PageService::engineUp() {
    if (!m_readySent && !m_stopped) {
        m_readySent = true;
        queue(pageproto::Ready{});
    }
}

void PageService::refuse(std::u16string reason) {
    if (!m_stopped) {
        queue(pageproto::Fatal{std::move(reason)});
        m_stopped = true;
    }
}

void PageService::expire() {
    const Clock::time_point now = m_now();
    for (std::size_t page = 0; page < m_pages.size(); ++page) {
        const std::optional<InProgress> inProgress = m_pages[page];
        if (inProgress && inProgress->deadline <= now) {
            const auto number = static_cast<PageNumber>(page);
            const std::uint32_t serial = inProgress->serial;
            m_engine.Abandon(number);
            answer(number, serial, {Outcome::TimedOut, u"no answer from the engine in time", {}});
        }
    }
}

std::optional<PageService::Clock::time_point> PageService::nextDeadline() const {
    std::optional<Clock::time_point> next;
    for (const std::optional<InProgress>& inProgress : m_pages) {
        if (inProgress && (!next || inProgress->deadline < *next)) {
            next = inProgress->deadline;
        }
    }
    return next;
}

std::string_view PageService::outgoing() const {
    if (m_frames.empty()) {
        return {};
    }
    return std::string_view(m_frames.front()).substr(m_frontWritten);
}

void PageService::written(std::size_t bytes) {
    while (bytes > 0 && !m_frames.empty()) {
        const std::size_t left = m_frames.front().size() - m_frontWritten;
        if (bytes < left) {
            m_frontWritten += bytes;
            return;
        }
        bytes -= left;
        m_frames.pop_front();
        m_frontWritten = 0;
    }
}

void PageService::queue(const pageproto::Answer& answer) {
    m_frames.push_back(pageproto::Frame(answer));
    if (m_outputQueued) {
        m_outputQueued();
    }
}

}  // namespace brevane::pageserve
