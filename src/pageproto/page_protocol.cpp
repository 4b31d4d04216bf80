// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The window's protocol with its page helper: encoding and decoding of its frames.
#include "pageproto/page_protocol.h"

#include <algorithm>
#include <array>
#include <utility>

namespace brevane::pageproto {

namespace {

enum Kind : std::uint8_t {
    kLoad = 1,
    kRead = 2,
    kReady = 0x81,
    kFatal = 0x82,
    kPage = 0x83,
};

class Writer {
public:
    explicit Writer(std::uint8_t kind) : m_bytes(4, '\0') { byte(kind); }

    void byte(std::uint8_t value) { m_bytes.push_back(static_cast<char>(value)); }
    void number(std::uint32_t value) {
        for (int shift = 0; shift < 32; shift += 8) {
            byte(static_cast<std::uint8_t>(value >> shift));
        }
    }
    void text(std::u16string_view value) {
        number(static_cast<std::uint32_t>(value.size()));
        for (const char16_t unit : value) {
            byte(static_cast<std::uint8_t>(unit));
            byte(static_cast<std::uint8_t>(unit >> 8));
        }
    }

    /// The frame, with the payload's length in front.
    std::string frame() && {
        const auto length = static_cast<std::uint32_t>(m_bytes.size() - 4);
        for (int i = 0; i < 4; ++i) {
            m_bytes[static_cast<std::size_t>(i)] = static_cast<char>(length >> (8 * i));
        }
        return std::move(m_bytes);
    }

private:
    std::string m_bytes;
};

std::uint32_t LittleEndian(std::string_view bytes) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
        value = (value << 8) | static_cast<unsigned char>(bytes[static_cast<std::size_t>(i)]);
    }
    return value;
}

/// Reads fields off a payload; once a read fails, every later one fails too.
class Reader {
public:
    explicit Reader(std::string_view payload) : m_rest(payload) {}

    std::optional<std::uint8_t> byte() {
        if (m_rest.empty()) {
            return std::nullopt;
        }
        const auto value = static_cast<std::uint8_t>(m_rest.front());
        m_rest.remove_prefix(1);
        return value;
    }
    std::optional<std::uint32_t> number() {
        if (m_rest.size() < 4) {
            return std::nullopt;
        }
        const std::uint32_t value = LittleEndian(m_rest);
        m_rest.remove_prefix(4);
        return value;
    }
    std::optional<PageNumber> page() {
        const auto value = byte();
        if (!value || *value >= kPageCount) {
            return std::nullopt;
        }
        return value;
    }
    std::optional<std::u16string> text() {
        const auto length = number();
        if (!length || *length > m_rest.size() / 2) {
            return std::nullopt;
        }
        std::u16string value(*length, u'\0');
        for (char16_t& unit : value) {
            unit = static_cast<char16_t>(static_cast<unsigned char>(m_rest[0]) |
                                         static_cast<unsigned char>(m_rest[1]) << 8);
            m_rest.remove_prefix(2);
        }
        return value;
    }
    bool atEnd() const { return m_rest.empty(); }

private:
    std::string_view m_rest;
};

template <typename Message>
std::optional<Message> Whole(const Reader& reader, Message message) {
    if (!reader.atEnd()) {
        return std::nullopt;
    }
    return message;
}

std::optional<Request> ParseLoad(Reader& in) {
    const auto id = in.number();
    const auto page = in.page();
    const auto limit = in.number();
    auto address = in.text();
    if (!id || !page || !limit || !address) {
        return std::nullopt;
    }
    return Whole<Request>(
        in, LoadRequest{
                .id = *id, .page = *page, .timeLimitMs = *limit, .address = std::move(*address)});
}

std::optional<Request> ParseRead(Reader& in) {
    const auto id = in.number();
    const auto page = in.page();
    const auto limit = in.number();
    if (!id || !page || !limit) {
        return std::nullopt;
    }
    return Whole<Request>(in, ReadRequest{.id = *id, .page = *page, .timeLimitMs = *limit});
}

std::optional<Answer> ParsePage(Reader& in) {
    const auto id = in.number();
    const auto page = in.page();
    const auto outcome = in.byte();
    auto detail = in.text();
    auto text = in.text();
    if (!id || !page || !outcome || *outcome > static_cast<std::uint8_t>(Outcome::Unreadable) ||
        !detail || !text) {
        return std::nullopt;
    }
    return Whole<Answer>(in, PageAnswer{.id = *id,
                                        .page = *page,
                                        .outcome = static_cast<Outcome>(*outcome),
                                        .detail = std::move(*detail),
                                        .text = std::move(*text)});
}

// The run's order: the location page, then site A's province and city pages, then site
// B's. Fixed by the protocol; the window's own order of its controls plays no part.
constexpr std::array<Control, kPageCount> kPageControls = {
    Control::Web_IP,     Control::Web_QiYouJiaGe, Control::Web_QiYouJiaGe_2,
    Control::Web_YouJia, Control::Web_YouJia_2,
};

std::u16string Wide(std::string_view ascii) {
    return {ascii.begin(), ascii.end()};
}

}  // namespace

std::optional<PageNumber> PageOf(Control browser) {
    const auto at = std::find(kPageControls.begin(), kPageControls.end(), browser);
    if (at == kPageControls.end()) {
        return std::nullopt;
    }
    return static_cast<PageNumber>(at - kPageControls.begin());
}

Control ControlOf(PageNumber page) {
    return kPageControls.at(page);
}

std::string VersionArgument(std::uint32_t version) {
    return std::string(kVersionArgumentPrefix) + std::to_string(version);
}

std::optional<std::u16string> RefuseWindowVersion(std::optional<std::string_view> named) {
    const std::string own = std::to_string(kProtocolVersion);
    if (named == own) {
        return std::nullopt;
    }
    // What the window named is quoted only as far as it is a plain number.
    const bool number =
        named && !named->empty() && named->size() <= 10 &&
        std::all_of(named->begin(), named->end(), [](char c) { return c >= '0' && c <= '9'; });
    const std::u16string window =
        named ? (number ? u"version " + Wide(*named) : u"an unknown version") : u"no version";
    return u"window speaks " + window + u", this helper " + Wide(own);
}

std::optional<std::string> Handshake::admit(const Answer& answer) {
    if (const auto* ready = std::get_if<Ready>(&answer)) {
        if (m_ready) {
            return "a second Ready";
        }
        if (ready->version != kProtocolVersion) {
            return "page helper speaks version " + std::to_string(ready->version) +
                   ", this window " + std::to_string(kProtocolVersion);
        }
        m_ready = true;
    } else if (std::holds_alternative<PageAnswer>(answer) && !m_ready) {
        return "a page answer before Ready";
    }
    return std::nullopt;
}

// One overload per message: a message without its own fails to compile.
std::string Frame(const Request& request) {
    struct Encode {
        std::string operator()(const LoadRequest& message) const {
            Writer out(kLoad);
            out.number(message.id);
            out.byte(message.page);
            out.number(message.timeLimitMs);
            out.text(message.address);
            return std::move(out).frame();
        }
        std::string operator()(const ReadRequest& message) const {
            Writer out(kRead);
            out.number(message.id);
            out.byte(message.page);
            out.number(message.timeLimitMs);
            return std::move(out).frame();
        }
    };
    return std::visit(Encode{}, request);
}

std::string Frame(const Answer& answer) {
    struct Encode {
        std::string operator()(const Ready& message) const {
            Writer out(kReady);
            out.number(message.version);
            return std::move(out).frame();
        }
        std::string operator()(const Fatal& message) const {
            Writer out(kFatal);
            out.text(message.reason);
            return std::move(out).frame();
        }
        std::string operator()(const PageAnswer& message) const {
            Writer out(kPage);
            out.number(message.id);
            out.byte(message.page);
            out.byte(static_cast<std::uint8_t>(message.outcome));
            out.text(message.detail);
            out.text(message.text);
            return std::move(out).frame();
        }
    };
    return std::visit(Encode{}, answer);
}

std::optional<Request> ParseRequest(std::string_view payload) {
    Reader in(payload);
    switch (in.byte().value_or(0)) {
        case kLoad:
            return ParseLoad(in);
        case kRead:
            return ParseRead(in);
        default:
            return std::nullopt;
    }
}

std::optional<Answer> ParseAnswer(std::string_view payload) {
    Reader in(payload);
    switch (in.byte().value_or(0)) {
        case kReady: {
            const auto version = in.number();
            if (!version) {
                return std::nullopt;
            }
            return Whole<Answer>(in, Ready{.version = *version});
        }
        case kFatal: {
            auto reason = in.text();
            if (!reason) {
                return std::nullopt;
            }
            return Whole<Answer>(in, Fatal{std::move(*reason)});
        }
        case kPage:
            return ParsePage(in);
        default:
            return std::nullopt;
    }
}

void FrameReader::append(std::string_view bytes) {
    if (m_broken) {
        return;
    }
    // Payloads handed out are dropped before the buffer grows again.
    if (m_start > 0 && m_start >= m_buffer.size() / 2) {
        m_buffer.erase(0, m_start);
        m_start = 0;
    }
    m_buffer.append(bytes);
}

std::optional<std::string> FrameReader::next() {
    if (m_broken || pending() < 4) {
        return std::nullopt;
    }
    const std::uint32_t length = LittleEndian(std::string_view(m_buffer).substr(m_start, 4));
    if (length > kMaxPayload) {
        m_broken = true;
        m_buffer.clear();
        m_start = 0;
        return std::nullopt;
    }
    if (pending() - 4 < length) {
        return std::nullopt;
    }
    std::string payload = m_buffer.substr(m_start + 4, length);
    m_start += 4 + length;
    return payload;
}

}  // namespace brevane::pageproto
