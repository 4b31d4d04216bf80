// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The pages of a program whose browser engine cannot start.
#include "win32/program_pages.h"

#include <string>

namespace brevane::win32 {

std::u16string EngineUnavailablePages::LoadPage(Control browser,
                                                std::optional<std::u16string_view> address) {
    if (m_aborted) {
        throw RunAborted();
    }
    if (address) {
        // "Web_IP https://host/ failed (browser engine unusable) in 0 ms, 0 characters"
        m_log.Line(LogCategory::Pages, std::string(SpecOf(browser).name) + " " + ToUtf8(*address) +
                                           " failed (browser engine unusable) in 0 ms, "
                                           "0 characters");
    }
    return {};
}

std::u16string EngineUnavailablePages::ReadPageText(Control /*browser*/) {
    if (m_aborted) {
        throw RunAborted();
    }
    return {};
}

void EngineUnavailablePages::Start() {
    if (!m_told && engineFailed) {
        m_told = true;
        engineFailed(m_reason);
    }
}

}  // namespace brevane::win32
