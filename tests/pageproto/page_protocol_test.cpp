// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The page helper's protocol: every message as its exact bytes on the wire, a payload that is
// not exactly one message refused, and the handshake that opens every helper's answers.
#include "pageproto/page_protocol.h"

#include <gtest/gtest.h>

#include <string>
#include <variant>

#include "support/row_name.h"

namespace brevane::pageproto {
namespace {

using brevane::testing::RowName;
using Message = std::variant<Request, Answer>;

/// Bytes written as hex pairs, blanks between them ignored.
std::string Hex(std::string_view pairs) {
    std::string bytes;
    int high = -1;
    for (const char c : pairs) {
        if (c == ' ') {
            continue;
        }
        const int nibble = c <= '9' ? c - '0' : c - 'a' + 10;
        if (high < 0) {
            high = nibble;
        } else {
            bytes += static_cast<char>(high << 4 | nibble);
            high = -1;
        }
    }
    return bytes;
}

PageNumber Page(Control browser) {
    return PageOf(browser).value();
}

struct Wire {
    const char* name;
    Message message;
    std::string frame;  ///< as hex: the length, then the payload
};

class ProtocolWire : public ::testing::TestWithParam<Wire> {};

TEST_P(ProtocolWire, EachMessageIsExactlyItsBytesBothWays) {
    const Wire& row = GetParam();
    const std::string frame = Hex(row.frame);
    std::visit([&frame](const auto& m) { EXPECT_EQ(Frame(m), frame); }, row.message);
    const std::string_view payload = std::string_view(frame).substr(4);
    if (const auto* request = std::get_if<Request>(&row.message)) {
        EXPECT_EQ(ParseRequest(payload), *request);
        EXPECT_FALSE(ParseAnswer(payload));
    } else {
        EXPECT_EQ(ParseAnswer(payload), std::get<Answer>(row.message));
        EXPECT_FALSE(ParseRequest(payload));
    }
}

// The page numbers are the protocol's: location 0, site A province 1 and city 2, site B
// province 3 and city 4, whatever the window's order of its controls.
INSTANTIATE_TEST_SUITE_P(
    Messages, ProtocolWire,
    ::testing::Values(
        Wire{"LoadOfSiteBCity",
             Request{LoadRequest{.id = 7,
                                 .page = Page(Control::Web_YouJia_2),
                                 .timeLimitMs = 15000,
                                 .address = u"h/广"}},
             "14000000 01 07000000 04 983a0000 03000000 6800 2f00 7f5e"},
        Wire{"LoadOfLocationWithEmptyAddress",
             Request{LoadRequest{.id = 1, .page = Page(Control::Web_IP), .timeLimitMs = 1}},
             "0e000000 01 01000000 00 01000000 00000000"},
        Wire{"ReadOfSiteAProvince",
             Request{ReadRequest{
                 .id = 0xFFFFFFFF, .page = Page(Control::Web_QiYouJiaGe), .timeLimitMs = 5000}},
             "0a000000 02 ffffffff 01 88130000"},
        Wire{"Ready", Answer{Ready{}}, "05000000 81 03000000"},
        Wire{"Fatal", Answer{Fatal{u"ab"}}, "09000000 82 02000000 6100 6200"},
        Wire{"PageOfSiteACityWithSurrogatesAndNul",
             Answer{PageAnswer{.id = 3,
                               .page = Page(Control::Web_QiYouJiaGe_2),
                               .outcome = Outcome::TimedOut,
                               .detail = u"5",
                               .text = std::u16string(u"\U0001F600\0", 3)}},
             "17000000 83 03000000 02 02 01000000 3500 03000000 3dd8 00de 0000"},
        Wire{"PageOfSiteBProvinceUnreadable",
             Answer{PageAnswer{
                 .id = 2, .page = Page(Control::Web_YouJia), .outcome = Outcome::Unreadable}},
             "0f000000 83 02000000 03 03 00000000 00000000"}),
    RowName());

struct Malformed {
    const char* name;
    std::string payload;  ///< as hex
};

class ProtocolMalformed : public ::testing::TestWithParam<Malformed> {};

TEST_P(ProtocolMalformed, IsRefusedBothWays) {
    EXPECT_FALSE(ParseRequest(Hex(GetParam().payload)));
    EXPECT_FALSE(ParseAnswer(Hex(GetParam().payload)));
}

INSTANTIATE_TEST_SUITE_P(
    Payloads, ProtocolMalformed,
    ::testing::Values(Malformed{"Empty", ""}, Malformed{"UnknownKind", "7f"},
                      Malformed{"ReadCutShort", "02 01000000 00"},
                      Malformed{"ReadWithBytesLeftOver", "02 01000000 00 09000000 78"},
                      Malformed{"LoadOfAPageOutOfRange", "01 01000000 05 09000000 00000000"},
                      Malformed{"LoadWhoseAddressIsLongerThanThePayload",
                                "01 01000000 00 09000000 03000000 6162"},
                      Malformed{"ReadyWithoutAVersion", "81"},
                      Malformed{"ReadyWithAHalfVersion", "81 0200"},
                      Malformed{"PageWithAnOutcomeOutOfRange",
                                "83 01000000 00 04 00000000 00000000"},
                      Malformed{"FatalWithAnOddByte", "82 01000000 61"}),
    RowName());

TEST(ProtocolFrames, ALengthOverTheBoundBreaksTheStreamAndPiecesMakeWholeFrames) {
    const std::string frame = Frame(Answer{Fatal{u"why"}});
    FrameReader reader;
    for (const char byte : frame) {
        EXPECT_FALSE(reader.next());
        reader.append(std::string_view(&byte, 1));
    }
    EXPECT_EQ(ParseAnswer(reader.next().value_or("")), Answer{Fatal{u"why"}});

    const auto over = static_cast<std::uint32_t>(kMaxPayload) + 1;
    reader.append(std::string{char(over), char(over >> 8), char(over >> 16), char(over >> 24)});
    EXPECT_FALSE(reader.next());
    EXPECT_TRUE(reader.broken());
    reader.append(frame);
    EXPECT_FALSE(reader.next());
}

TEST(ProtocolHandshake, ReadyComesOnceAndFirstAndVersionsMustAgreeBothWays) {
    const Answer page{PageAnswer{}};
    const Answer fatal{Fatal{u"x"}};
    {
        SCOPED_TRACE("in order");
        Handshake window;
        EXPECT_EQ(window.admit(fatal), std::nullopt);
        EXPECT_EQ(window.admit(Answer{Ready{}}), std::nullopt);
        EXPECT_TRUE(window.ready());
        EXPECT_EQ(window.admit(page), std::nullopt);
        EXPECT_EQ(window.admit(Answer{Ready{}}), "a second Ready");
    }
    {
        SCOPED_TRACE("a page before Ready");
        Handshake window;
        EXPECT_EQ(window.admit(page), "a page answer before Ready");
        EXPECT_FALSE(window.ready());
    }
    {
        SCOPED_TRACE("a helper of another version");
        Handshake window;
        EXPECT_EQ(window.admit(Answer{Ready{.version = 2}}),
                  "page helper speaks version 2, this window 3");
        EXPECT_FALSE(window.ready());
    }
    // A window of another version: the helper refuses it in its Fatal.
    EXPECT_EQ(VersionArgument(), "--protocol-version=3");
    EXPECT_EQ(RefuseWindowVersion("3"), std::nullopt);
    EXPECT_EQ(RefuseWindowVersion("2"), u"window speaks version 2, this helper 3");
    EXPECT_EQ(RefuseWindowVersion(std::nullopt), u"window speaks no version, this helper 3");
    EXPECT_EQ(RefuseWindowVersion("3\x1b[2J"), u"window speaks an unknown version, this helper 3");
}

}  // namespace
}  // namespace brevane::pageproto
