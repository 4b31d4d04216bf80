// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target: any bytes as what a page helper or the window sends, through the
// frame reader and the message parsers.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "pageproto/page_protocol.h"

namespace {

using namespace brevane::pageproto;

// A message read back is exactly the frame it came in: nothing is dropped, added or
// read two ways.
template <typename Message>
void CheckRoundTrip(const std::optional<Message>& message, const std::string& payload) {
    if (message && Frame(*message).substr(4) != payload) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    FrameReader reader;
    // Bytes arrive in pieces of every size; the first byte chooses them.
    const std::size_t piece = size > 0 ? 1 + data[0] % 64 : 1;
    for (std::size_t at = 0; at < bytes.size(); at += piece) {
        reader.append(bytes.substr(at, piece));
        while (const std::optional<std::string> payload = reader.next()) {
            if (payload->size() > kMaxPayload) {
                std::abort();
            }
            CheckRoundTrip(ParseAnswer(*payload), *payload);
            CheckRoundTrip(ParseRequest(*payload), *payload);
        }
    }
    return 0;
}
