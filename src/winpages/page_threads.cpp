// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The Windows page helper's engine: each page's browser control on a thread of its own.
#include "winpages/page_threads.h"

#include <ole2.h>
#include <process.h>

#include <algorithm>
#include <atomic>
#include <utility>

namespace brevane::winpages {

using controlpage::ControlPage;
using pageserve::Outcome;
using pageserve::PageResult;

/// One page's thread: its apartment, its message loop, its control.
class PageThread {
public:
    explicit PageThread(controlpage::BrowserMaker make) : m_make(std::move(make)) {}
    ~PageThread() {
        if (m_handle != nullptr) {
            CloseHandle(m_handle);
        }
    }
    PageThread(const PageThread&) = delete;
    PageThread& operator=(const PageThread&) = delete;

    /// A running thread, or nothing when none can be started.
    static std::shared_ptr<PageThread> Start(controlpage::BrowserMaker make) {
        auto thread = std::make_shared<PageThread>(std::move(make));
        // The thread owns itself as well: it outlives its owner when it is given up.
        auto* own = new std::shared_ptr<PageThread>(thread);
        const std::uintptr_t handle = _beginthreadex(nullptr, 0, &PageThread::Run, own, 0, nullptr);
        if (handle == 0) {
            delete own;
            return nullptr;
        }
        thread->m_handle = reinterpret_cast<HANDLE>(handle);
        return thread;
    }

    /// Runs `task` with the page, on its thread, unless the thread is ending.
    void post(std::function<void(ControlPage&)> task) {
        m_queue.post([this, task = std::move(task)] {
            if (!m_quit && m_page != nullptr) {
                task(*m_page);
            }
        });
    }
    bool stuck() const {
        const auto since = m_queue.busySince();
        return since && TaskQueue::Clock::now() - *since > kStuckAfter;
    }
    /// The thread ends once it is back in its loop, and runs nothing more.
    void quit() {
        m_quit = true;
        m_queue.post([] {});
    }
    HANDLE handle() const { return m_handle; }

private:
    static unsigned __stdcall Run(void* own) {
        const std::shared_ptr<PageThread> self =
            std::move(*static_cast<std::shared_ptr<PageThread>*>(own));
        delete static_cast<std::shared_ptr<PageThread>*>(own);
        self->serve();
        return 0;
    }

    void serve() {
        // The control is an OLE object hosted in place: its thread is a single-threaded
        // apartment with OLE's services.
        const HRESULT ole = OleInitialize(nullptr);
        {
            ControlPage page(m_make);
            m_page = &page;
            while (!m_quit) {
                m_queue.runUntil(page.deadline(), true);
                page.expire();
            }
            m_page = nullptr;
        }
        m_queue.close();
        if (SUCCEEDED(ole)) {
            OleUninitialize();
        }
    }

    controlpage::BrowserMaker m_make;
    TaskQueue m_queue;
    std::atomic<bool> m_quit{false};
    ControlPage* m_page = nullptr;  // on the page's thread alone
    HANDLE m_handle = nullptr;
};

namespace {

std::u16string Ascii(const std::string& text) {
    return {text.begin(), text.end()};
}

std::optional<std::u16string> BlankPageRefusal(const PageResult& blank) {
    constexpr char16_t kDoesNotLoad[] =
        u"the system's web browser control was created but does not load pages: its blank start "
        u"page ";
    switch (blank.outcome) {
        case Outcome::Loaded:
        case Outcome::Unreadable:
            return std::nullopt;
        case Outcome::TimedOut:
            return kDoesNotLoad + std::u16string(u"did not complete within ") +
                   Ascii(std::to_string(kBlankPageLimit.count())) + u" s";
        case Outcome::Failed:
            break;
    }
    return kDoesNotLoad + std::u16string(u"failed: ") + blank.detail;
}

}  // namespace

ThreadedPages::ThreadedPages(controlpage::BrowserMaker make, std::shared_ptr<TaskQueue> main)
    : m_make(std::move(make)), m_main(std::move(main)) {}

ThreadedPages::~ThreadedPages() {
    close();
}

void ThreadedPages::warmUp(std::size_t pages,
                           std::function<void(std::optional<std::u16string>)> done) {
    struct WarmUp {
        std::size_t left;
        std::function<void(std::optional<std::u16string>)> done;
    };
    pages = std::min(pages, m_slots.size());
    const auto state = std::make_shared<WarmUp>(WarmUp{pages, std::move(done)});
    // On the main thread: the first refusal, or the last blank page, ends the warm-up.
    const auto report = [state](std::optional<std::u16string> refusal) {
        if (state->done && (refusal || --state->left == 0)) {
            const auto warmed = std::move(state->done);
            state->done = nullptr;
            warmed(std::move(refusal));
        }
    };
    for (PageNumber page = 0; page < pages; ++page) {
        PageThread* thread = threadFor(page);
        if (thread == nullptr) {
            m_main->post([report] { report(u"no thread could be started for a page"); });
            return;
        }
        thread->post([main = m_main, report](ControlPage& control) {
            if (!control.failure().empty()) {
                main->post([report, why = control.failure()] { report(why); });
                return;
            }
            control.load(u"about:blank", kBlankPageLimit, [main, report](const PageResult& blank) {
                main->post([report, refusal = BlankPageRefusal(blank)] { report(refusal); });
            });
        });
    }
}

void ThreadedPages::Load(PageNumber page, std::u16string_view address,
                         std::chrono::milliseconds limit, Done done) {
    PageThread* thread = threadFor(page);
    if (thread == nullptr) {
        done({Outcome::Failed, u"no thread could be started for the page", {}});
        return;
    }
    m_slots[page].lost = false;
    thread->post([address = std::u16string(address), limit, done = onMain(std::move(done))](
                     ControlPage& control) { control.load(address, limit, done); });
}

void ThreadedPages::Read(PageNumber page, std::chrono::milliseconds, Done done) {
    Slot& slot = m_slots[page];
    if (slot.thread && slot.thread->stuck()) {
        giveUp(slot);
    }
    if (slot.lost) {
        done({Outcome::Unreadable, u"its control stopped answering and was given up", {}});
    } else if (!slot.thread) {
        done({Outcome::Loaded, u"holds no page", {}});
    } else {
        slot.thread->post(
            [done = onMain(std::move(done))](ControlPage& control) { control.read(done); });
    }
}

void ThreadedPages::Abandon(PageNumber page) {
    Slot& slot = m_slots[page];
    if (!slot.thread) {
        return;
    }
    // A thread that does not get back to its loop would never see the task.
    if (slot.thread->stuck()) {
        giveUp(slot);
    } else {
        slot.thread->post([](ControlPage& control) { control.abandon(); });
    }
}

bool ThreadedPages::close() {
    if (m_closed) {
        return true;
    }
    m_closed = true;
    std::vector<HANDLE> ending;
    for (Slot& slot : m_slots) {
        if (slot.thread && slot.thread->stuck()) {
            giveUp(slot);
        } else if (slot.thread) {
            slot.thread->quit();
            ending.push_back(slot.thread->handle());
        }
    }
    const auto wait = static_cast<DWORD>(std::chrono::milliseconds(kThreadEnd).count());
    bool ended =
        ending.empty() || WaitForMultipleObjects(static_cast<DWORD>(ending.size()), ending.data(),
                                                 TRUE, wait) < WAIT_OBJECT_0 + ending.size();
    for (const std::shared_ptr<PageThread>& thread : m_givenUp) {
        ended = ended && WaitForSingleObject(thread->handle(), 0) == WAIT_OBJECT_0;
    }
    for (Slot& slot : m_slots) {
        slot.thread.reset();
    }
    m_givenUp.clear();
    return ended;
}

PageThread* ThreadedPages::threadFor(PageNumber page) {
    Slot& slot = m_slots[page];
    if (slot.thread && slot.thread->stuck()) {
        giveUp(slot);
    }
    if (!slot.thread && !m_closed) {
        slot.thread = PageThread::Start(m_make);
    }
    return slot.thread.get();
}

void ThreadedPages::giveUp(Slot& slot) {
    slot.thread->quit();
    m_givenUp.push_back(std::move(slot.thread));
    slot.thread.reset();
    slot.lost = true;
}

pageserve::PageEngine::Done ThreadedPages::onMain(Done done) const {
    return [main = m_main, done = std::move(done)](PageResult result) {
        main->post([done, result = std::move(result)]() mutable { done(std::move(result)); });
    };
}

}  // namespace brevane::winpages
