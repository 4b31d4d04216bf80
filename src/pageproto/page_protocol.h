// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The window's protocol with its page helper: the requests, the answers and their frames.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "core/controls.h"

namespace brevane::pageproto {

// The window starts the page helper with its standard input and output on two pipes and
// writes requests to one and reads answers from the other; the helper's standard error
// carries nothing but the engine's own messages. The window names its protocol version on
// the helper's command line (VersionArgument()). Each message travels as one frame: the
// length of its payload in 4 bytes, little-endian, then the payload, at most kMaxPayload
// bytes. A payload begins with a byte naming the message; then come its fields in the
// order below: a number is 4 bytes little-endian unless it is a "byte"; a text is its
// length in UTF-16 code units (a number) followed by those code units, 2 bytes each,
// little-endian, so that page text crosses unit for unit. A payload must be used up by
// its fields exactly. Anything else (an unknown message, a page number out of range, an
// outcome out of range, bytes left over or missing, a length over the bound) makes the
// frame malformed, and the stream is not read any further.
//
//   request  Load  1     id, page (byte), time limit in ms, address
//   request  Read  2     id, page (byte), time limit in ms
//   answer   Ready 0x81  version            the engine is up; sent once, before any Page
//   answer   Fatal 0x82  reason             the engine cannot run; the helper then exits
//   answer   Page  0x83  id, page (byte), outcome (byte), detail, text
//
// Several requests may be in flight at once, each page loading beside the others; every
// request gets one Page answer with its id, in whatever order they finish. A new request
// for a page, a Load or a Read, first ends the request still unanswered for that page
// (Failed). A helper whose version is not the window's answers Fatal and exits; a window
// takes a Ready of another version, a second Ready, or a Page before Ready as a broken
// helper (Handshake). The helper exits when its standard input ends.

/// The version of this protocol. The window names it on the helper's command line, and
/// the helper in its Ready.
inline constexpr std::uint32_t kProtocolVersion = 3;

/// The protocol's own numbers for the hidden pages, 0 to kPageCount - 1. They are fixed
/// here, whatever order the window gives its controls, and mapped from and to the browser
/// controls in this one place.
inline constexpr std::size_t kPageCount = kBrowserCount;
using PageNumber = std::uint8_t;
/// The page number of a browser control; nothing for any other control.
std::optional<PageNumber> PageOf(Control browser);
/// The browser control of a page number below kPageCount.
Control ControlOf(PageNumber page);

/// Bounds every frame, and with it what a broken or hostile helper can make the window
/// hold: room for the largest page text the helper reads, with some to spare.
inline constexpr std::size_t kMaxPayload = 40u * 1024 * 1024;

/// The helper's command line: the window passes these to shape the engine.
inline constexpr std::string_view kLoopbackOnlyArgument = "--loopback-only";
inline constexpr std::string_view kUnsandboxedAsRootArgument = "--unsandboxed-as-root";
/// The window names its version with this prefix: "--protocol-version=3".
inline constexpr std::string_view kVersionArgumentPrefix = "--protocol-version=";

/// The argument by which the window names `version` to the helper it starts.
std::string VersionArgument(std::uint32_t version = kProtocolVersion);
/// The helper's Fatal reason for a window of another version, given the value the window
/// passed after kVersionArgumentPrefix (nothing when it passed none); nothing when the
/// window speaks this helper's version.
std::optional<std::u16string> RefuseWindowVersion(std::optional<std::string_view> named);

// The time budget of a request, kept by both sides. The helper ends a load when its
// page's time limit runs out, then reads the page's text within ReadLimit() and ends a
// renderer that does not answer within kRendererEnd. The window waits for that and
// kAnswerMargin more before it gives the helper up; the margin thus covers only the
// pipe and a busy machine, never the helper's own bounds.

/// The longest the helper waits for a page's text; a renderer that takes longer is stuck.
inline constexpr std::chrono::milliseconds kMaxReadTime{5000};
/// The longest the helper waits for an ended renderer to be reported, and for a load to
/// report its start.
inline constexpr std::chrono::milliseconds kRendererEnd{3000};
/// What the window allows beyond the helper's own bounds.
inline constexpr std::chrono::milliseconds kAnswerMargin{5000};

/// The time a read of a page with `limit` may take to read its text.
constexpr std::chrono::milliseconds ReadLimit(std::chrono::milliseconds limit) {
    return std::min(limit, kMaxReadTime);
}
/// The longest the helper may take to answer a Load with `limit`.
constexpr std::chrono::milliseconds LoadTime(std::chrono::milliseconds limit) {
    return limit + ReadLimit(limit) + kRendererEnd;
}
/// The longest the helper may take to answer a Read with `limit`.
constexpr std::chrono::milliseconds ReadTime(std::chrono::milliseconds limit) {
    return ReadLimit(limit) + kRendererEnd;
}

/// Sends `page` to `address` and reads its text.
struct LoadRequest {
    std::uint32_t id = 0;
    PageNumber page = 0;
    std::uint32_t timeLimitMs = 0;
    std::u16string address;
    bool operator==(const LoadRequest&) const = default;
};

/// Reads the text of the document that `page` shows now.
struct ReadRequest {
    std::uint32_t id = 0;
    PageNumber page = 0;
    std::uint32_t timeLimitMs = 0;
    bool operator==(const ReadRequest&) const = default;
};

using Request = std::variant<LoadRequest, ReadRequest>;

struct Ready {
    std::uint32_t version = kProtocolVersion;
    bool operator==(const Ready&) const = default;
};

struct Fatal {
    std::u16string reason;
    bool operator==(const Fatal&) const = default;
};

/// How a load or a read ended.
enum class Outcome : std::uint8_t {
    Loaded,    ///< the page (or, for a read, its document as it is now) and its text
    Failed,    ///< no page: an error answer, an address that cannot be reached, superseded
    TimedOut,  ///< the time limit ran out; the text is what the page showed by then
    /// The page arrived, but its text could not be read: its renderer ended or did not
    /// answer. A read that answers anything but Loaded leaves the window its load's text.
    Unreadable,
};

struct PageAnswer {
    std::uint32_t id = 0;
    PageNumber page = 0;
    Outcome outcome = Outcome::Failed;
    std::u16string detail;  ///< the HTTP status or the reason, as far as known
    std::u16string text;    ///< the page's body text
    bool operator==(const PageAnswer&) const = default;
};

using Answer = std::variant<Ready, Fatal, PageAnswer>;

/// A message as one frame, ready to write.
std::string Frame(const Request& request);
std::string Frame(const Answer& answer);

/// A payload read back; nothing when it is malformed.
std::optional<Request> ParseRequest(std::string_view payload);
std::optional<Answer> ParseAnswer(std::string_view payload);

/// The window's check of the answers a helper sends in order: Ready exactly once, of this
/// protocol's version, before any Page; Fatal at any time.
class Handshake {
public:
    /// Nothing when `answer` may come now, else why it breaks the protocol.
    std::optional<std::string> admit(const Answer& answer);
    /// Ready has come.
    bool ready() const { return m_ready; }

private:
    bool m_ready = false;
};

/// Cuts frames out of a stream of bytes as they arrive.
class FrameReader {
public:
    void append(std::string_view bytes);
    /// The next whole payload, if one has arrived.
    std::optional<std::string> next();
    /// A frame announced a length over kMaxPayload: nothing more can be read.
    bool broken() const { return m_broken; }
    /// Bytes received and not yet handed out as a payload.
    std::size_t pending() const { return m_buffer.size() - m_start; }

private:
    std::string m_buffer;
    std::size_t m_start = 0;
    bool m_broken = false;
};

}  // namespace brevane::pageproto
