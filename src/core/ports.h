// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// What the platform gives the program: hidden pages, the OK/Cancel box, the shell
// that opens a web address, and today's date. All calls are synchronous.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "core/controls.h"

namespace brevane {

/// Thrown by a port when the run must stop at once (the window was closed while the
/// run waited). Nothing of the window may be touched after it.
class RunAborted : public std::runtime_error {
public:
    RunAborted() : std::runtime_error("run aborted") {}
};

/// The five hidden browser pages, named by their browser controls.
class PagePort {
public:
    virtual ~PagePort() = default;
    /// Sends `browser` to `address` when one is given, waits until that page is
    /// complete and returns the text of its body. Without an address nothing is
    /// requested and the text of the page the control holds is returned (empty
    /// when it holds none). Throws RunAborted when the run must stop.
    virtual std::u16string LoadPage(Control browser,
                                    std::optional<std::u16string_view> address) = 0;
    /// The body text of the page `browser` holds now, as its scripts have left it, without
    /// navigation: no page is loaded, though reading the document may take a moment, bounded
    /// like a load. Empty when the control holds no page. Throws RunAborted when the run
    /// must stop.
    virtual std::u16string ReadPageText(Control browser) = 0;
    /// Says ahead that `browser` will be sent to `address` by a later LoadPage, so that
    /// the page may start loading now, beside the others; that LoadPage then waits only
    /// for what remains of it. A port may ignore it. Throws nothing.
    virtual void Expect(Control browser, std::u16string_view address) {
        static_cast<void>(browser);
        static_cast<void>(address);
    }
};

/// A modal box with OK (the default) and Cancel.
class ConfirmPort {
public:
    virtual ~ConfirmPort() = default;
    /// True for OK; Cancel, Esc and the box's close button give false. Throws
    /// RunAborted when the run must stop.
    virtual bool AskOkCancel(std::u16string_view title, std::u16string_view text) = 0;
};

/// Opens a web address in the user's default browser; failures are ignored.
class ShellPort {
public:
    virtual ~ShellPort() = default;
    virtual void OpenAddress(std::u16string_view address) = 0;
};

struct Today {
    int year = 0;
    int month = 0;
    int day = 0;
    int dayOfWeek = 1;             ///< Sunday 1 to Saturday 7
    std::u16string shortDateText;  ///< the date alone, in the user's short date format
};

class ClockPort {
public:
    virtual ~ClockPort() = default;
    virtual Today Now() = 0;
};

/// Where the run notes each mark it looked for in a page and did not find, and the
/// failure that ends a run early, so that an empty panel, an error code or a window left
/// half loaded can be traced to its cause. Notes change nothing in the run.
class RunLogPort {
public:
    virtual ~RunLogPort() = default;
    /// `where` (the control whose page was searched) lacked `mark`.
    virtual void Missed(std::string_view where, std::u16string_view mark) = 0;
    /// The run stopped at a failure other than an abort; `what` describes it.
    virtual void Failed(std::string_view what) = 0;
};

}  // namespace brevane
