// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// brevane-fake.exe, test equipment: brevane.exe with pages from a table instead of a
// browser engine, for the tests that read the program from outside. The environment
// variable BREVANE_FAKE_PAGES chooses what the pages hold:
//   nowhere   every page is empty: no place is found, and the run asks about Guangdong;
//   shenzhen  the location and price pages of a place with a city, as in the core's tests;
//   hanging   the first page never comes: the run waits until it is aborted, and the
//             named event "brevane-fake-waiting-<process id>" says that it waits.
#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include <array>
#include <string>

#include "support/fake_ports.h"
#include "support/sample_pages.h"
#include "win32/message_wait.h"
#include "win32/program.h"

namespace brevane::win32 {
namespace {

class FakeSitePages final : public ProgramPages {
public:
    explicit FakeSitePages(std::wstring_view scenario) : m_hanging(scenario == L"hanging") {
        using testing::LocationPage;
        using testing::SiteAPage;
        using testing::SiteBPage;
        if (scenario == L"shenzhen") {
            m_pages.Serve(u"https://loc1.test/", LocationPage(u"广东省深圳市"));
            m_pages.Serve(u"http://a.test/guangdong.shtml", SiteAPage(u"广东"));
            m_pages.Serve(u"http://a.test/guangdong/shenzhen.shtml", SiteAPage(u"深圳", u"7.15"));
            m_pages.Serve(u"http://b.test/guangdong/", SiteBPage());
            m_pages.Serve(u"http://b.test/guangdong/shenzhenshi.html", SiteBPage(u"7.13"));
        }
    }

    std::u16string LoadPage(Control browser, std::optional<std::u16string_view> address) override {
        if (m_wait.aborted()) {
            throw RunAborted();
        }
        if (m_hanging) {
            const std::wstring name =
                L"brevane-fake-waiting-" + std::to_wstring(GetCurrentProcessId());
            const HANDLE waiting = CreateEventW(nullptr, TRUE, TRUE, name.c_str());
            m_wait.until([] { return false; }, std::nullopt);
            CloseHandle(waiting);
            throw RunAborted();
        }
        return m_pages.LoadPage(browser, address);
    }
    std::u16string ReadPageText(Control browser) override { return m_pages.ReadPageText(browser); }
    void Abort() override { m_wait.abort(); }

private:
    testing::FakePages m_pages;
    MessageWait m_wait;
    bool m_hanging;
};

std::wstring Scenario() {
    std::array<wchar_t, 32> value{};
    const DWORD length = GetEnvironmentVariableW(L"BREVANE_FAKE_PAGES", value.data(),
                                                 static_cast<DWORD>(value.size()));
    return length > 0 && length < value.size() ? std::wstring(value.data(), length) : L"nowhere";
}

}  // namespace
}  // namespace brevane::win32

int WINAPI wWinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, PWSTR /*commandLine*/,
                    int /*show*/) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    const INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    brevane::win32::Win32Program program(
        brevane::testing::TestAddresses(),
        std::make_unique<brevane::win32::FakeSitePages>(brevane::win32::Scenario()));
    program.start();
    return brevane::win32::RunMessageLoop();
}
