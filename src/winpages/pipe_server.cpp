// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The Windows page helper on its pipes: the window's requests in, the answers out.
#include "winpages/pipe_server.h"

#include <process.h>

#include <algorithm>
#include <mutex>
#include <optional>
#include <string>
#include <utility>

#include "winpages/page_threads.h"

namespace brevane::winpages {

namespace {

constexpr std::size_t kReadChunk = 64 * 1024;
constexpr std::size_t kWriteChunk = 1024 * 1024;

/// What the pipes' threads tell the serving thread.
struct PipeEvent {
    enum Kind { Read, InputEnded, Written, OutputBroken } kind;
    std::string bytes;
};

/// What the serving thread shares with the threads that read and write the pipes; each of
/// them holds it for as long as it runs. A thread blocked on a pipe stays so until the
/// process ends; nothing it does after the loop has ended reaches anyone.
struct Pipes {
    Pipes(HANDLE in, HANDLE out, std::shared_ptr<TaskQueue> queue)
        : input(in), output(out), main(std::move(queue)) {}
    ~Pipes() {
        CloseHandle(taken);
        CloseHandle(toWrite);
    }
    Pipes(const Pipes&) = delete;
    Pipes& operator=(const Pipes&) = delete;

    const HANDLE input;
    const HANDLE output;
    const std::shared_ptr<TaskQueue> main;
    std::function<void(PipeEvent)> handle;  // on the serving thread alone
    // The serving thread has taken what was read last: the reader reads on. Reading no
    // further ahead keeps a window that floods the pipe from filling this process.
    const HANDLE taken = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    // A chunk waits in `chunk`, or the loop has ended.
    const HANDLE toWrite = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    std::mutex mutex;
    std::string chunk;    // under `mutex`
    bool ending = false;  // under `mutex`
};

/// Any thread: `event` is handled on the serving thread, while its loop runs.
void Tell(const std::shared_ptr<Pipes>& pipes, PipeEvent event) {
    pipes->main->post([pipes, event = std::move(event)]() mutable {
        if (pipes->handle) {
            pipes->handle(std::move(event));
        }
    });
}

bool Ending(Pipes& pipes) {
    const std::lock_guard lock(pipes.mutex);
    return pipes.ending;
}

unsigned __stdcall ReadInput(void* shared) {
    const std::shared_ptr<Pipes> pipes = std::move(*static_cast<std::shared_ptr<Pipes>*>(shared));
    delete static_cast<std::shared_ptr<Pipes>*>(shared);
    std::string buffer(kReadChunk, '\0');
    while (!Ending(*pipes)) {
        DWORD n = 0;
        if (!ReadFile(pipes->input, buffer.data(), static_cast<DWORD>(buffer.size()), &n,
                      nullptr) ||
            n == 0) {
            Tell(pipes, {PipeEvent::InputEnded, {}});
            return 0;
        }
        Tell(pipes, {PipeEvent::Read, buffer.substr(0, n)});
        WaitForSingleObject(pipes->taken, INFINITE);
    }
    return 0;
}

unsigned __stdcall WriteOutput(void* shared) {
    const std::shared_ptr<Pipes> pipes = std::move(*static_cast<std::shared_ptr<Pipes>*>(shared));
    delete static_cast<std::shared_ptr<Pipes>*>(shared);
    for (;;) {
        WaitForSingleObject(pipes->toWrite, INFINITE);
        std::string chunk;
        {
            const std::lock_guard lock(pipes->mutex);
            if (pipes->ending) {
                return 0;
            }
            chunk.swap(pipes->chunk);
        }
        for (std::size_t at = 0; at < chunk.size();) {
            DWORD n = 0;
            const auto size =
                static_cast<DWORD>(std::min<std::size_t>(chunk.size() - at, kWriteChunk));
            if (!WriteFile(pipes->output, chunk.data() + at, size, &n, nullptr) || n == 0) {
                // The window is gone.
                Tell(pipes, {PipeEvent::OutputBroken, {}});
                return 0;
            }
            at += n;
        }
        Tell(pipes, {PipeEvent::Written, std::move(chunk)});
    }
}

bool StartThread(unsigned(__stdcall* run)(void*), const std::shared_ptr<Pipes>& pipes) {
    auto* shared = new std::shared_ptr<Pipes>(pipes);
    const std::uintptr_t thread = _beginthreadex(nullptr, 0, run, shared, 0, nullptr);
    if (thread == 0) {
        delete shared;
        return false;
    }
    CloseHandle(reinterpret_cast<HANDLE>(thread));
    return true;
}

}  // namespace

void Serve(pageserve::PageService& service, const std::shared_ptr<TaskQueue>& main, HANDLE input,
           HANDLE output) {
    const auto pipes = std::make_shared<Pipes>(input, output, main);
    bool inputEnded = false;
    bool broken = false;
    bool writing = false;
    pipes->handle = [&](PipeEvent event) {
        switch (event.kind) {
            case PipeEvent::Read:
                service.receive(event.bytes);
                SetEvent(pipes->taken);
                break;
            case PipeEvent::InputEnded:
                inputEnded = true;
                break;
            case PipeEvent::Written:
                writing = false;
                service.written(event.bytes.size());
                break;
            case PipeEvent::OutputBroken:
                writing = false;
                broken = true;
                break;
        }
    };
    if (!StartThread(&WriteOutput, pipes) || !StartThread(&ReadInput, pipes)) {
        pipes->handle = nullptr;
        return;
    }
    for (;;) {
        const std::string_view out = service.outgoing();
        if (!writing && !broken && !out.empty()) {
            const std::lock_guard lock(pipes->mutex);
            pipes->chunk.assign(out.substr(0, kWriteChunk));
            writing = true;
            SetEvent(pipes->toWrite);
        }
        if (inputEnded || broken || (service.stopped() && !writing && out.empty())) {
            break;
        }
        main->runUntil(service.nextDeadline(), false);
        service.expire();
    }
    pipes->handle = nullptr;
    {
        const std::lock_guard lock(pipes->mutex);
        pipes->ending = true;
    }
    SetEvent(pipes->toWrite);
    SetEvent(pipes->taken);
}

HelperEnd RunPageHelper(const pageserve::HelperArguments& arguments,
                        const controlpage::BrowserMaker& make, HANDLE input, HANDLE output) {
    const auto main = std::make_shared<TaskQueue>();
    ThreadedPages pages(make, main);
    pageserve::PageService service(pages);
    bool refused = false;
    const auto refuse = [&](std::u16string reason) {
        refused = true;
        service.refuse(std::move(reason));
    };
    if (auto wrongVersion = pageproto::RefuseWindowVersion(arguments.windowVersion)) {
        refuse(std::move(*wrongVersion));
    } else {
        pages.warmUp(pageproto::kPageCount, [&](std::optional<std::u16string> refusal) {
            if (refusal) {
                refuse(std::move(*refusal));
            } else {
                service.engineUp();
            }
        });
    }
    Serve(service, main, input, output);
    main->close();
    const bool ended = pages.close();
    return {.status = refused ? 1 : 0, .threadsLeft = !ended};
}

}  // namespace brevane::winpages
