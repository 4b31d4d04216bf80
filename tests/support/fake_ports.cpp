// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// Fakes of the platform ports.
#include "support/fake_ports.h"

namespace brevane::testing {

std::u16string FakePages::LoadPage(Control browser, std::optional<std::u16string_view> address) {
    if (address) {
        m_requests.push_back({browser, std::u16string(*address)});
        m_held[browser] = std::u16string(*address);
    }
    if (duringWait) {
        duringWait(browser);
    }
    if (address && abortAt && *abortAt == *address) {
        throw RunAborted();
    }
    return ReadPageText(browser);
}

std::u16string FakePages::ReadPageText(Control browser) {
    ++m_reads;
    const auto held = m_held.find(browser);
    if (held == m_held.end()) {
        return {};
    }
    const auto page = m_pages.find(held->second);
    return page == m_pages.end() ? std::u16string() : page->second;
}

std::vector<std::u16string> FakePages::addresses() const {
    std::vector<std::u16string> out;
    out.reserve(m_requests.size());
    for (const Request& r : m_requests) {
        out.push_back(r.address);
    }
    return out;
}

bool FakeConfirm::AskOkCancel(std::u16string_view boxTitle, std::u16string_view boxText) {
    ++asked;
    title = boxTitle;
    text = boxText;
    if (whileOpen) {
        whileOpen();
    }
    return answer;
}

WebAddresses TestAddresses() {
    return WebAddresses{
        .locationSource1 = u"https://loc1.test/",
        .locationSource2 = u"http://loc2.test/",
        .locationSource3 = u"https://loc3.test/ip.html",
        .siteARoot = u"http://a.test/",
        .siteBRoot = u"http://b.test/",
        .sponsor = u"http://sponsor.test/dashang.html",
    };
}

}  // namespace brevane::testing
