// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// One page helper process on Windows: started in a job of its own on three pipes, each
// pipe served by a thread of its own.
#pragma once

#include <windows.h>

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "winchannel/unique_handle.h"

namespace brevane::winchannel {

/// What a helper did, in the order its threads saw it.
struct HelperEvent {
    enum class Kind { Output, ErrorOutput, Ended };
    Kind kind = Kind::Output;
    std::string bytes;   ///< of Output and ErrorOutput
    DWORD exitCode = 0;  ///< of Ended
};

/// A helper process and the threads that serve its pipes. It is started suspended, put in
/// a job that kills it and everything it starts when the job's handle closes, and only
/// then resumed, with nothing inherited but its own three pipe ends. One thread per
/// output pipe queues what arrives; the one to reach its end last then waits for the
/// process and queues its end, so the end comes after everything the helper wrote. A
/// third thread writes what is queued for its input, so a helper that does not read
/// blocks only that thread. The owner takes the events on its own thread; `notify` tells
/// it, from a helper's thread, that some wait. Destroying the object kills what is left
/// of the helper and joins its threads: each blocks only on a pipe or the process, and
/// the killed job ends both, as no process outside it holds the pipes' other ends.
class HelperProcess {
public:
    /// Called from the helper's threads when events wait to be taken; not again until
    /// take() has found the queue empty.
    using Notify = std::function<void()>;

    /// Starts `program` with `commandLine` (which names the program first); nothing, and
    /// the system's error code in `error`, when it cannot be started.
    static std::unique_ptr<HelperProcess> Start(const std::wstring& program,
                                                std::wstring commandLine, Notify notify,
                                                DWORD& error);
    ~HelperProcess();
    HelperProcess(const HelperProcess&) = delete;
    HelperProcess& operator=(const HelperProcess&) = delete;

    /// Queues `bytes` for its input; dropped once the input is closed or broken.
    void write(std::string_view bytes);
    /// Closes its input once what is queued is written.
    void closeInput();
    /// Kills it and everything it started.
    void kill();

    DWORD processId() const { return m_processId; }
    /// The next event, if one waits.
    std::optional<HelperEvent> take();
    /// Its Ended event has been taken: nothing of it runs any more.
    bool ended() const { return m_endTaken; }

private:
    HelperProcess(UniqueHandle job, UniqueHandle process, UniqueHandle input, UniqueHandle output,
                  UniqueHandle errors, Notify notify);
    bool startThreads();
    void readLoop(HANDLE pipe, HelperEvent::Kind kind);
    void writeLoop();
    void push(HelperEvent event);

    const UniqueHandle m_job;
    const UniqueHandle m_process;
    const DWORD m_processId;
    UniqueHandle m_input;  // owned by the writer thread once it runs
    const UniqueHandle m_output;
    const UniqueHandle m_errors;
    const Notify m_notify;

    std::mutex m_mutex;
    std::condition_variable m_writeWanted;  // input queued or closing, or stopping
    std::condition_variable m_taken;        // the owner took events, or stopping
    bool m_stopping = false;
    // What goes to the helper.
    std::string m_toWrite;
    bool m_inputClosing = false;
    bool m_inputBroken = false;
    // What comes from it.
    std::deque<HelperEvent> m_events;
    std::size_t m_pendingBytes = 0;
    bool m_notified = false;
    int m_openPipes = 2;
    bool m_endTaken = false;  // only the owner's thread touches it

    std::vector<std::thread> m_threads;
};

}  // namespace brevane::winchannel
