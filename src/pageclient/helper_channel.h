// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The window's line to its page helper as a platform provides it: a helper process started,
// fed and ended, and waits that keep the window alive.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace brevane {

/// One page helper at a time, as the platform runs processes and its event loop. Only the
/// helper started last is reported on; once end() is called, or its end is reported, nothing
/// more is heard of it.
class HelperChannel {
public:
    using Clock = std::chrono::steady_clock;

    /// What the helper started last does, reported from inside the platform's event loop.
    class Listener {
    public:
        /// Bytes of its standard output, as they arrive.
        virtual void helperOutput(std::string_view bytes) = 0;
        /// Bytes of its standard error, as they arrive.
        virtual void helperErrorOutput(std::string_view bytes) = 0;
        /// It has ended, or could not be started, after everything it wrote was reported;
        /// `cause` says how, e.g. "its page helper exited with code 1".
        virtual void helperEnded(std::string cause) = 0;

    protected:
        ~Listener() = default;
    };

    enum class Ending {
        Kill,        ///< at once
        CloseInput,  ///< its input closed, so that it ends its engine; killed if it lingers
    };

    virtual ~HelperChannel() = default;

    virtual void setListener(Listener* listener) = 0;
    /// Starts a fresh helper with `arguments`. A helper that cannot be started may be
    /// reported as ended from inside this call.
    virtual void start(const std::vector<std::string>& arguments) = 0;
    /// Writes to the helper's standard input without waiting for the helper to read it.
    virtual void write(std::string_view bytes) = 0;
    /// Ends the helper started last and stops reporting on it.
    virtual void end(Ending how) = 0;
    /// The process id of the helper started last while it runs, else 0.
    virtual std::int64_t processId() const = 0;

    /// Runs the platform's events until `done` holds or `deadline` passes: meanwhile the
    /// window repaints, moves and answers the user, and the helper is reported on. `done` is
    /// looked at again after every report and after wake(). The thread sleeps meanwhile.
    virtual void waitUntil(const std::function<bool()>& done, Clock::time_point deadline) = 0;
    /// Makes a wait in progress look at its condition again.
    virtual void wake() = 0;
    /// The time the waits count in.
    virtual Clock::time_point now() const { return Clock::now(); }
};

}  // namespace brevane
