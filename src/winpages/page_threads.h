// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The Windows page helper's engine: each page's browser control on a thread of its own.
#pragma once

#include <array>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "controlpage/control_page.h"
#include "pageserve/page_service.h"
#include "winpages/task_queue.h"

namespace brevane::winpages {

class PageThread;

/// How long the blank start page may take before the control is taken as one that does not
/// load pages.
inline constexpr std::chrono::seconds kBlankPageLimit{5};
/// A page's thread away from its message loop this long is stuck, in a script that never
/// yields: its control is given up, and the page's next load gets a fresh thread.
inline constexpr std::chrono::seconds kStuckAfter{1};
/// How long close() waits for the threads that are not stuck to end.
inline constexpr std::chrono::seconds kThreadEnd{1};

/// The pages as browser controls, each on a thread of its own: a single-threaded COM
/// apartment with its own message loop, where the control lives and its page's scripts run.
/// A script that never yields blocks that thread alone: the other pages load on, the service
/// answers the stuck page as timed out at its bound, and the thread is given up, never
/// waited for; the process's end ends it. Requests are handed to the threads as tasks, and
/// their answers come back as tasks posted to `main`, the queue of the thread that serves
/// the window, where the service lives.
class ThreadedPages final : public pageserve::PageEngine {
public:
    using PageNumber = pageproto::PageNumber;

    ThreadedPages(controlpage::BrowserMaker make, std::shared_ptr<TaskQueue> main);
    ~ThreadedPages() override;
    ThreadedPages(const ThreadedPages&) = delete;
    ThreadedPages& operator=(const ThreadedPages&) = delete;

    /// Starts the threads of the first `pages` pages (at least one); each makes its control and
    /// loads a blank page. `done` follows once, from `main`: with nothing when every blank page is
    /// complete, else with the plain sentence of the first that is not.
    void warmUp(std::size_t pages, std::function<void(std::optional<std::u16string>)> done);

    void Load(PageNumber page, std::u16string_view address, std::chrono::milliseconds limit,
              Done done) override;
    void Read(PageNumber page, std::chrono::milliseconds limit, Done done) override;
    void Abandon(PageNumber page) override;

    /// Ends every page's thread, waiting kThreadEnd at most for those that are not stuck;
    /// false when some thread still runs after that. Nothing is answered afterwards.
    bool close();

private:
    struct Slot {
        std::shared_ptr<PageThread> thread;
        bool lost = false;  // its control was given up, and nothing has been loaded since
    };

    /// The page's thread, started unless it runs; a stuck one is given up first. Nothing
    /// when no thread can be started.
    PageThread* threadFor(PageNumber page);
    void giveUp(Slot& slot);
    /// `done`, called on the main thread instead of the page's.
    Done onMain(Done done) const;

    controlpage::BrowserMaker m_make;
    std::shared_ptr<TaskQueue> m_main;
    std::array<Slot, pageproto::kPageCount> m_slots;
    std::vector<std::shared_ptr<PageThread>> m_givenUp;
    bool m_closed = false;
};

}  // namespace brevane::winpages
