// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The hidden pages as the window reaches them: through a page helper.
#include "pageclient/page_client.h"

#include <algorithm>
#include <utility>

#include "core/text.h"

namespace brevane {

namespace {

using namespace std::chrono_literals;
using pageproto::Outcome;
using pageproto::PageNumber;

// A helper whose engine is still starting gets this much longer for its first answer.
constexpr std::chrono::milliseconds kStartAllowance = 10s;
// How much of the helper's standard error is kept to explain its end.
constexpr std::size_t kErrorTail = 4096;
// How much of its last line there goes into the sentence that explains it.
constexpr std::size_t kErrorLineShown = 300;

std::string_view OutcomeName(Outcome outcome) {
    switch (outcome) {
        case Outcome::Loaded:
            return "loaded";
        case Outcome::Failed:
            return "failed";
        case Outcome::TimedOut:
            return "timed out";
        case Outcome::Unreadable:
            return "unreadable";
    }
    return "failed";
}

// "Web_IP http://host/ loaded (HTTP status below 400) in 38 ms, 1200 characters"
std::string LoadLine(PageNumber page, std::u16string_view address, std::string_view outcome,
                     std::u16string_view detail, std::chrono::milliseconds took,
                     std::size_t characters) {
    std::string line(SpecOf(pageproto::ControlOf(page)).name);
    line += ' ' + OneLine(text::ToUtf8(address)) + ' ' + std::string(outcome);
    if (!detail.empty()) {
        line += " (" + OneLine(text::ToUtf8(detail)) + ')';
    }
    return line + " in " + std::to_string(took.count()) + " ms, " + std::to_string(characters) +
           " characters";
}

/// `text` cut to at most `size` bytes, not inside a UTF-8 sequence.
std::string Cut(std::string text, std::size_t size) {
    if (text.size() > size) {
        while (size > 0 && (static_cast<unsigned char>(text[size]) & 0xC0) == 0x80) {
            --size;
        }
        text.resize(size);
    }
    return text;
}

}  // namespace

PageClient::PageClient(HelperChannel& channel, LogSink& log, PageHelperOptions options)
    : m_channel(channel), m_log(log), m_options(std::move(options)) {
    m_channel.setListener(this);
}

PageClient::~PageClient() {
    m_released = true;
    endHelper("pages destroyed", Retire::Kill);
    m_channel.setListener(nullptr);
}

void PageClient::start() {
    ensureHelper();
}

bool PageClient::ensureHelper() {
    if (m_running) {
        return true;
    }
    if (m_released || m_unusable || m_aborted) {
        return false;
    }
    std::vector<std::string> arguments{pageproto::VersionArgument()};
    if (m_options.loopbackOnly) {
        arguments.emplace_back(pageproto::kLoopbackOnlyArgument);
    }
    if (m_options.unsandboxedAsRoot) {
        arguments.emplace_back(pageproto::kUnsandboxedAsRootArgument);
    }
    arguments.insert(arguments.end(), m_options.extraArguments.begin(),
                     m_options.extraArguments.end());

    ++m_helperNumber;
    m_running = true;
    m_handshake = pageproto::Handshake();
    m_reader = pageproto::FrameReader();
    m_errorTail.clear();
    m_lastErrorLine.clear();
    m_channel.start(arguments);
    // A program that cannot be started may be reported at once, and has then ended.
    return m_running;
}

void PageClient::helperOutput(std::string_view bytes) {
    if (!m_running) {
        return;
    }
    m_reader.append(bytes);
    while (m_running) {
        const std::optional<std::string> payload = m_reader.next();
        if (!payload) {
            if (m_reader.broken()) {
                endHelper("its page helper sent an oversized answer", Retire::Kill);
            }
            return;
        }
        std::optional<pageproto::Answer> answer = pageproto::ParseAnswer(*payload);
        if (!answer) {
            endHelper("its page helper sent a malformed answer", Retire::Kill);
            return;
        }
        onAnswer(std::move(*answer));
    }
}

void PageClient::onAnswer(pageproto::Answer answer) {
    if (const std::optional<std::string> broken = m_handshake.admit(answer)) {
        endHelper("its page helper broke the handshake: " + *broken, Retire::Kill);
    } else if (const auto* fatal = std::get_if<pageproto::Fatal>(&answer)) {
        engineUnusable(OneLine(text::ToUtf8(fatal->reason)));
        endHelper("browser engine unusable", Retire::Kill);
    } else if (auto* page = std::get_if<pageproto::PageAnswer>(&answer)) {
        const auto sent = m_sent.find(page->id);
        if (sent == m_sent.end() || sent->second.answer || !sent->second.failure.empty() ||
            sent->second.helper != m_helperNumber || page->page != sent->second.page) {
            endHelper("its page helper sent an unexpected answer", Retire::Kill);
            return;
        }
        if (sent->second.wanted) {
            sent->second.answer = std::move(*page);
            m_channel.wake();
        } else {
            m_sent.erase(sent);
        }
    }
}

void PageClient::helperErrorOutput(std::string_view bytes) {
    if (!m_running) {
        return;
    }
    m_errorTail += bytes;
    for (std::size_t end = m_errorTail.find('\n'); end != std::string::npos;
         end = m_errorTail.find('\n')) {
        const std::string line(TrimmedLine(std::string_view(m_errorTail).substr(0, end)));
        m_errorTail.erase(0, end + 1);
        if (!line.empty()) {
            m_log.Line(LogCategory::Helper, line);
            m_lastErrorLine = Cut(line, kErrorLineShown);
        }
    }
    // A line without an end is kept only so far.
    if (m_errorTail.size() > kErrorTail) {
        m_errorTail.erase(0, m_errorTail.size() - kErrorTail);
    }
}

void PageClient::helperEnded(std::string cause) {
    endHelper(cause, Retire::Ended);
}

void PageClient::endHelper(const std::string& cause, Retire how) {
    if (!m_running) {
        return;
    }
    m_running = false;
    m_log.Line(LogCategory::Helper, "page helper ended: " + cause);
    if (!m_handshake.ready() && !m_released && !m_aborted) {
        std::string reason = "the browser engine could not start: " + cause;
        if (!m_lastErrorLine.empty()) {
            reason += " (it said: " + m_lastErrorLine + ")";
        }
        engineUnusable(reason);
    }
    for (auto it = m_sent.begin(); it != m_sent.end();) {
        Sent& sent = it->second;
        if (sent.helper == m_helperNumber && !sent.answer) {
            if (!sent.wanted) {
                it = m_sent.erase(it);
                continue;
            }
            sent.failure = cause;
        }
        ++it;
    }
    if (how == Retire::Kill) {
        m_channel.end(HelperChannel::Ending::Kill);
    } else if (how == Retire::CloseInput) {
        m_channel.end(HelperChannel::Ending::CloseInput);
    }
    m_channel.wake();
}

void PageClient::engineUnusable(const std::string& reason) {
    if (!m_unusable) {
        m_unusable = true;
        if (m_engineFailed) {
            m_engineFailed(reason);
        }
    }
}

std::optional<std::uint32_t> PageClient::send(const pageproto::Request& request,
                                              std::chrono::milliseconds helperTime) {
    if (!ensureHelper()) {
        return std::nullopt;
    }
    const std::uint32_t id = m_nextId++;
    auto numbered = request;
    std::visit([id](auto& r) { r.id = id; }, numbered);
    const auto now = m_channel.now();
    Sent sent{.page = std::visit([](const auto& r) { return r.page; }, request),
              .helper = m_helperNumber,
              .begun = now,
              .deadline = now + helperTime + pageproto::kAnswerMargin +
                          (m_handshake.ready() ? 0s : kStartAllowance)};
    if (const auto* load = std::get_if<pageproto::LoadRequest>(&request)) {
        sent.address = load->address;
    }
    m_sent.emplace(id, std::move(sent));
    m_channel.write(pageproto::Frame(numbered));
    return id;
}

std::optional<std::uint32_t> PageClient::sendLoad(PageNumber page, std::u16string_view address) {
    return send(
        pageproto::LoadRequest{.page = page,
                               .timeLimitMs = static_cast<std::uint32_t>(m_timeLimit.count()),
                               .address = std::u16string(address)},
        pageproto::LoadTime(m_timeLimit));
}

pageproto::PageAnswer PageClient::await(std::uint32_t id) {
    const auto sent = [this, id]() -> Sent& { return m_sent.at(id); };
    const auto answered = [&] { return sent().answer || !sent().failure.empty(); };
    m_waiting = true;
    m_channel.waitUntil([&] { return m_aborted || answered(); }, sent().deadline);
    m_waiting = false;
    const bool inTime = answered();
    if (!inTime && !m_aborted) {
        endHelper("page helper gave no answer in time", Retire::Kill);
    }
    Sent done = std::move(sent());
    m_sent.erase(id);
    if (done.answer) {
        return std::move(*done.answer);
    }
    return pageproto::PageAnswer{.id = id,
                                 .page = done.page,
                                 .outcome = inTime ? Outcome::Failed : Outcome::TimedOut,
                                 .detail = text::FromUtf8(done.failure)};
}

std::optional<std::uint32_t> PageClient::takeAhead(Page& page, std::u16string_view address) {
    const std::optional<std::uint32_t> ahead = std::exchange(page.ahead, std::nullopt);
    if (!ahead) {
        return std::nullopt;
    }
    const Sent& sent = m_sent.at(*ahead);
    // One whose helper ended before it answered is sent again.
    if (sent.address == address && sent.failure.empty()) {
        return ahead;
    }
    unwant(*ahead);
    return std::nullopt;
}

void PageClient::unwant(std::uint32_t id) {
    Sent& sent = m_sent.at(id);
    if (sent.answer || !sent.failure.empty()) {
        m_sent.erase(id);
    } else {
        sent.wanted = false;  // its answer is dropped when it comes
    }
}

void PageClient::Expect(Control browser, std::u16string_view address) {
    const std::optional<PageNumber> number = pageproto::PageOf(browser);
    if (!number || m_released || m_unusable || m_aborted) {
        return;
    }
    Page& page = m_pages[*number];
    if (const std::optional<std::uint32_t> earlier = std::exchange(page.ahead, std::nullopt)) {
        unwant(*earlier);
    }
    page.ahead = sendLoad(*number, address);
}

std::u16string PageClient::LoadPage(Control browser, std::optional<std::u16string_view> address) {
    throwIfAborted();
    const std::optional<PageNumber> number = pageproto::PageOf(browser);
    // One asked for from inside another's wait (an event handler running during it)
    // would take that wait over, so it gets nothing.
    if (!number || m_waiting) {
        return {};
    }
    if (!address.has_value()) {
        return ReadPageText(browser);
    }
    Page& page = m_pages[*number];
    page.helper = 0;
    page.text.clear();
    std::optional<std::uint32_t> id = takeAhead(page, *address);
    if (!id && !m_released && !m_unusable) {
        id = sendLoad(*number, *address);
    }
    pageproto::PageAnswer answer{
        .page = *number,
        .detail = m_released ? u"pages already released" : u"browser engine unusable"};
    Clock::time_point begun = m_channel.now();
    int helper = 0;
    if (id) {
        begun = m_sent.at(*id).begun;
        helper = m_sent.at(*id).helper;
        answer = await(*id);
    }
    // Only a page that arrived leaves a document to read again.
    if (answer.outcome != Outcome::Failed) {
        page.helper = helper;
    }
    page.text = m_aborted ? std::u16string() : std::move(answer.text);
    m_log.Line(
        LogCategory::Pages,
        LoadLine(*number, *address, m_aborted ? "aborted" : OutcomeName(answer.outcome),
                 answer.detail,
                 std::chrono::duration_cast<std::chrono::milliseconds>(m_channel.now() - begun),
                 page.text.size()));
    throwIfAborted();
    return page.text;
}

std::u16string PageClient::ReadPageText(Control browser) {
    throwIfAborted();
    const std::optional<PageNumber> number = pageproto::PageOf(browser);
    if (!number || m_waiting) {
        return {};
    }
    Page& page = m_pages[*number];
    // Only the helper that loaded the page still shows it, and a load sent ahead would
    // be cut short by a read.
    if (page.helper == 0 || page.helper != m_helperNumber || !m_running || page.ahead ||
        m_released || m_unusable) {
        return page.text;
    }
    const std::optional<std::uint32_t> id =
        send(pageproto::ReadRequest{.page = *number,
                                    .timeLimitMs = static_cast<std::uint32_t>(m_timeLimit.count())},
             pageproto::ReadTime(m_timeLimit));
    if (!id) {
        return page.text;
    }
    pageproto::PageAnswer answer = await(*id);
    throwIfAborted();
    return answer.outcome == Outcome::Loaded ? std::move(answer.text) : page.text;
}

void PageClient::release() {
    m_released = true;
    endHelper("pages released", Retire::CloseInput);
}

void PageClient::abort() {
    m_aborted = true;
    endHelper("run aborted", Retire::Kill);
    m_channel.wake();
}

void PageClient::setTimeLimit(std::chrono::milliseconds limit) {
    m_timeLimit =
        std::clamp(limit, std::chrono::milliseconds(1), std::chrono::milliseconds(3600000));
}

std::int64_t PageClient::helperProcessId() const {
    return m_running ? m_channel.processId() : 0;
}

void PageClient::throwIfAborted() const {
    if (m_aborted) {
        throw RunAborted();
    }
}

}  // namespace brevane
