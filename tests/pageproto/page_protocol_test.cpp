// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The page helper's protocol: every message comes back from its frame as it was sent, and
// a payload that is not exactly one message is refused.
#include "pageproto/page_protocol.h"

#include <gtest/gtest.h>

#include <string>
#include <variant>

#include "support/row_name.h"

namespace brevane::pageproto {
namespace {

using brevane::testing::RowName;
using Message = std::variant<Request, Answer>;

struct RoundTrip {
    const char* name;
    Message message;
};

class ProtocolRoundTrip : public ::testing::TestWithParam<RoundTrip> {};

TEST_P(ProtocolRoundTrip, ParsesBackFromItsFrame) {
    const Message& message = GetParam().message;
    FrameReader reader;
    std::visit([&reader](const auto& m) { reader.append(Frame(m)); }, message);
    const std::optional<std::string> payload = reader.next();
    ASSERT_TRUE(payload);
    EXPECT_EQ(reader.pending(), 0u);
    if (const auto* request = std::get_if<Request>(&message)) {
        EXPECT_EQ(ParseRequest(*payload), *request);
        EXPECT_FALSE(ParseAnswer(*payload));
    } else {
        EXPECT_EQ(ParseAnswer(*payload), std::get<Answer>(message));
        EXPECT_FALSE(ParseRequest(*payload));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Messages, ProtocolRoundTrip,
    ::testing::Values(
        RoundTrip{"Load", Request{LoadRequest{.id = 7,
                                              .control = Control::Web_YouJia_2,
                                              .timeLimitMs = 15000,
                                              .address = u"http://b.test/广东/shi.html"}}},
        RoundTrip{"LoadOfEmptyAddress",
                  Request{LoadRequest{.id = 1, .control = Control::Web_IP, .timeLimitMs = 1}}},
        RoundTrip{"Read",
                  Request{ReadRequest{
                      .id = 0xFFFFFFFF, .control = Control::Web_QiYouJiaGe, .timeLimitMs = 5000}}},
        RoundTrip{"Ready", Answer{Ready{}}},
        RoundTrip{"ReadyOfTheFirstVersion", Answer{Ready{.version = 1}}},
        RoundTrip{"Fatal", Answer{Fatal{u"cannot start"}}},
        RoundTrip{"PageWithSurrogatesAndNul",
                  Answer{PageAnswer{.id = 3,
                                    .control = Control::Web_QiYouJiaGe_2,
                                    .outcome = Outcome::TimedOut,
                                    .detail = u"HTTP status 504",
                                    .text = std::u16string(u"92# \U0001F600\0end", 10)}}}),
    RowName());

struct Malformed {
    const char* name;
    std::string payload;
};

std::string Number(std::uint32_t value) {
    std::string bytes;
    for (int shift = 0; shift < 32; shift += 8) {
        bytes += static_cast<char>(value >> shift);
    }
    return bytes;
}

const std::string kWebIp(1, static_cast<char>(Control::Web_IP));

class ProtocolMalformed : public ::testing::TestWithParam<Malformed> {};

TEST_P(ProtocolMalformed, IsRefusedBothWays) {
    EXPECT_FALSE(ParseRequest(GetParam().payload));
    EXPECT_FALSE(ParseAnswer(GetParam().payload));
}

INSTANTIATE_TEST_SUITE_P(
    Payloads, ProtocolMalformed,
    ::testing::Values(
        Malformed{"Empty", ""}, Malformed{"UnknownKind", "\x7f"},
        Malformed{"ReadCutShort", "\x02" + Number(1) + kWebIp},
        Malformed{"ReadWithBytesLeftOver", "\x02" + Number(1) + kWebIp + Number(9) + "x"},
        Malformed{"LoadOfALabel", "\x01" + Number(1) +
                                      std::string(1, static_cast<char>(Control::Lab_YouJia)) +
                                      Number(9) + Number(0)},
        Malformed{"LoadOfAControlOutOfRange", "\x01" + Number(1) + "\xff" + Number(9) + Number(0)},
        Malformed{"LoadWhoseAddressIsLongerThanThePayload",
                  "\x01" + Number(1) + kWebIp + Number(9) + Number(3) + "ab"},
        Malformed{"ReadyNamingVersionOne", "\x81" + Number(1)},
        Malformed{"ReadyWithAHalfVersion", std::string("\x81\x02\x00", 3)},
        Malformed{"PageWithAnOutcomeOutOfRange",
                  "\x83" + Number(1) + kWebIp + "\x03" + Number(0) + Number(0)},
        Malformed{"FatalWithAnOddByte", "\x82" + Number(1) + "a"}),
    RowName());

TEST(ProtocolFrames, ALengthOverTheBoundBreaksTheStreamAndPiecesMakeWholeFrames) {
    const std::string frame = Frame(Answer{Fatal{u"why"}});
    FrameReader reader;
    for (const char byte : frame) {
        EXPECT_FALSE(reader.next());
        reader.append(std::string_view(&byte, 1));
    }
    EXPECT_EQ(ParseAnswer(reader.next().value_or("")), Answer{Fatal{u"why"}});

    reader.append(Number(static_cast<std::uint32_t>(kMaxPayload) + 1));
    EXPECT_FALSE(reader.next());
    EXPECT_TRUE(reader.broken());
    reader.append(frame);
    EXPECT_FALSE(reader.next());
}

}  // namespace
}  // namespace brevane::pageproto
