// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// One page helper process on Windows.
#include "winchannel/helper_process.h"

#include <algorithm>
#include <array>
#include <system_error>
#include <utility>

namespace brevane::winchannel {

namespace {

// The pipes' buffers: a page's answer crosses in a few reads.
constexpr DWORD kPipeSize = 64 * 1024;
constexpr DWORD kReadSize = 64 * 1024;
// What a helper may have queued for the owner before its pipes are read no further: a
// helper that writes faster than the owner takes then waits, instead of filling memory.
constexpr std::size_t kMaxPendingBytes = 8 * 1024 * 1024;
// The exit code of a helper that was killed; nobody is told it.
constexpr UINT kKilledExitCode = 1;

struct Pipe {
    UniqueHandle read;
    UniqueHandle write;
};

bool MakePipe(Pipe& pipe) {
    HANDLE read = nullptr;
    HANDLE write = nullptr;
    if (::CreatePipe(&read, &write, nullptr, kPipeSize) == 0) {
        return false;
    }
    pipe.read = UniqueHandle(read);
    pipe.write = UniqueHandle(write);
    return true;
}

/// The attribute that lets a child inherit the given handles and no others.
class InheritOnly {
public:
    explicit InheritOnly(std::array<HANDLE, 3> handles) : m_handles(handles) {
        SIZE_T size = 0;
        ::InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
        m_buffer.resize(size);
        m_ok = ::InitializeProcThreadAttributeList(list(), 1, 0, &size) != 0;
        if (m_ok && ::UpdateProcThreadAttribute(list(), 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST,
                                                m_handles.data(), sizeof m_handles, nullptr,
                                                nullptr) == 0) {
            ::DeleteProcThreadAttributeList(list());
            m_ok = false;
        }
    }
    ~InheritOnly() {
        if (m_ok) {
            ::DeleteProcThreadAttributeList(list());
        }
    }
    InheritOnly(const InheritOnly&) = delete;
    InheritOnly& operator=(const InheritOnly&) = delete;

    bool ok() const { return m_ok; }
    LPPROC_THREAD_ATTRIBUTE_LIST list() {
        return reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(m_buffer.data());
    }

private:
    std::array<HANDLE, 3> m_handles;  // the list points at them until it is deleted
    std::vector<char> m_buffer;
    bool m_ok = false;
};

/// A job that kills its processes when its last handle closes, and lets a process that
/// crashes end at once instead of waiting for a crash dialog.
UniqueHandle MakeKillingJob() {
    UniqueHandle job(::CreateJobObjectW(nullptr, nullptr));
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags =
        JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE | JOB_OBJECT_LIMIT_DIE_ON_UNHANDLED_EXCEPTION;
    if (job && ::SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits,
                                         sizeof limits) == 0) {
        // The caller reports the error, which closing the job must not overwrite.
        const DWORD error = ::GetLastError();
        job.reset();
        ::SetLastError(error);
    }
    return job;
}

bool WriteAll(HANDLE pipe, std::string_view bytes) {
    while (!bytes.empty()) {
        DWORD written = 0;
        const auto size = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 20));
        if (::WriteFile(pipe, bytes.data(), size, &written, nullptr) == 0) {
            return false;
        }
        bytes.remove_prefix(written);
    }
    return true;
}

}  // namespace

std::unique_ptr<HelperProcess> HelperProcess::Start(const std::wstring& program,
                                                    std::wstring commandLine, Notify notify,
                                                    DWORD& error) {
    Pipe input;
    Pipe output;
    Pipe errors;
    UniqueHandle job = MakeKillingJob();
    if (!job || !MakePipe(input) || !MakePipe(output) || !MakePipe(errors)) {
        error = ::GetLastError();
        return nullptr;
    }
    // The child's ends are inheritable from here until they are closed on return, and the
    // handle list passes them to this child alone.
    const std::array<HANDLE, 3> childEnds{input.read.get(), output.write.get(), errors.write.get()};
    for (HANDLE end : childEnds) {
        if (::SetHandleInformation(end, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT) == 0) {
            error = ::GetLastError();
            return nullptr;
        }
    }
    InheritOnly inherit(childEnds);
    if (!inherit.ok()) {
        error = ::GetLastError();
        return nullptr;
    }
    STARTUPINFOEXW startup{};
    startup.StartupInfo.cb = sizeof startup;
    startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
    startup.StartupInfo.hStdInput = input.read.get();
    startup.StartupInfo.hStdOutput = output.write.get();
    startup.StartupInfo.hStdError = errors.write.get();
    startup.lpAttributeList = inherit.list();
    PROCESS_INFORMATION started{};
    // Suspended until it is in its job, so that nothing it starts escapes the job. A
    // console program, started without a console window.
    if (::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                         CREATE_SUSPENDED | CREATE_NO_WINDOW | EXTENDED_STARTUPINFO_PRESENT,
                         nullptr, nullptr, &startup.StartupInfo, &started) == 0) {
        error = ::GetLastError();
        return nullptr;
    }
    UniqueHandle process(started.hProcess);
    const UniqueHandle thread(started.hThread);
    if (::AssignProcessToJobObject(job.get(), process.get()) == 0 ||
        ::ResumeThread(thread.get()) == static_cast<DWORD>(-1)) {
        error = ::GetLastError();
        ::TerminateProcess(process.get(), kKilledExitCode);
        return nullptr;
    }
    std::unique_ptr<HelperProcess> helper(
        new HelperProcess(std::move(job), std::move(process), std::move(input.write),
                          std::move(output.read), std::move(errors.read), std::move(notify)));
    if (!helper->startThreads()) {
        error = ERROR_NOT_ENOUGH_MEMORY;
        return nullptr;
    }
    return helper;
}

HelperProcess::HelperProcess(UniqueHandle job, UniqueHandle process, UniqueHandle input,
                             UniqueHandle output, UniqueHandle errors, Notify notify)
    : m_job(std::move(job)),
      m_process(std::move(process)),
      m_processId(::GetProcessId(m_process.get())),
      m_input(std::move(input)),
      m_output(std::move(output)),
      m_errors(std::move(errors)),
      m_notify(std::move(notify)) {}

bool HelperProcess::startThreads() {
    try {
        m_threads.reserve(3);
        m_threads.emplace_back([this] { readLoop(m_output.get(), HelperEvent::Kind::Output); });
        m_threads.emplace_back(
            [this] { readLoop(m_errors.get(), HelperEvent::Kind::ErrorOutput); });
        m_threads.emplace_back([this] { writeLoop(); });
    } catch (const std::system_error&) {
        return false;  // the destructor ends the helper and the threads that did start
    }
    return true;
}

HelperProcess::~HelperProcess() {
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_writeWanted.notify_all();
    m_taken.notify_all();
    kill();
    for (std::thread& thread : m_threads) {
        thread.join();
    }
}

void HelperProcess::write(std::string_view bytes) {
    {
        const std::lock_guard lock(m_mutex);
        if (m_inputClosing || m_inputBroken) {
            return;
        }
        m_toWrite += bytes;
    }
    m_writeWanted.notify_one();
}

void HelperProcess::closeInput() {
    {
        const std::lock_guard lock(m_mutex);
        m_inputClosing = true;
    }
    m_writeWanted.notify_one();
}

void HelperProcess::kill() {
    ::TerminateJobObject(m_job.get(), kKilledExitCode);
}

std::optional<HelperEvent> HelperProcess::take() {
    std::optional<HelperEvent> event;
    {
        const std::lock_guard lock(m_mutex);
        if (m_events.empty()) {
            m_notified = false;
            return std::nullopt;
        }
        event = std::move(m_events.front());
        m_events.pop_front();
        m_pendingBytes -= event->bytes.size();
    }
    m_taken.notify_all();
    if (event->kind == HelperEvent::Kind::Ended) {
        m_endTaken = true;
    }
    return event;
}

void HelperProcess::push(HelperEvent event) {
    bool notify = false;
    {
        const std::lock_guard lock(m_mutex);
        m_pendingBytes += event.bytes.size();
        m_events.push_back(std::move(event));
        notify = !std::exchange(m_notified, true);
    }
    if (notify) {
        m_notify();
    }
}

void HelperProcess::readLoop(HANDLE pipe, HelperEvent::Kind kind) {
    std::string buffer(kReadSize, '\0');
    for (;;) {
        {
            std::unique_lock lock(m_mutex);
            m_taken.wait(lock, [this] { return m_stopping || m_pendingBytes < kMaxPendingBytes; });
            if (m_stopping) {
                return;
            }
        }
        DWORD got = 0;
        // Fails with ERROR_BROKEN_PIPE once the helper's end is closed. A read of nothing
        // is a write of nothing on the other end, not the end.
        if (::ReadFile(pipe, buffer.data(), kReadSize, &got, nullptr) == 0) {
            break;
        }
        if (got > 0) {
            push({.kind = kind, .bytes = buffer.substr(0, got)});
        }
    }
    {
        const std::lock_guard lock(m_mutex);
        if (--m_openPipes > 0 || m_stopping) {
            return;
        }
    }
    ::WaitForSingleObject(m_process.get(), INFINITE);
    DWORD exitCode = 0;
    ::GetExitCodeProcess(m_process.get(), &exitCode);
    push({.kind = HelperEvent::Kind::Ended, .exitCode = exitCode});
}

void HelperProcess::writeLoop() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_writeWanted.wait(lock,
                           [this] { return m_stopping || m_inputClosing || !m_toWrite.empty(); });
        if (m_stopping || m_toWrite.empty()) {
            break;
        }
        const std::string bytes = std::exchange(m_toWrite, {});
        lock.unlock();
        const bool written = WriteAll(m_input.get(), bytes);
        lock.lock();
        if (!written) {
            m_inputBroken = true;
            m_toWrite.clear();
            break;
        }
    }
    lock.unlock();
    // The helper reads the end of its input.
    m_input.reset();
}

}  // namespace brevane::winchannel
