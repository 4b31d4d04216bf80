// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The ports the program asks of the platform, made with Qt: the OK/Cancel box, the
// shell that opens a web address, and the clock.
#pragma once

#include <QDate>
#include <QLocale>
#include <QPointer>
#include <QWidget>

#include "core/diagnostics.h"
#include "core/ports.h"

class QMessageBox;

namespace brevane {

/// A modal box with OK (the default) and Cancel, no icon, plain text.
class QtConfirm : public ConfirmPort {
public:
    explicit QtConfirm(QWidget* parent = nullptr) : m_parent(parent) {}

    /// The window the box is modal over.
    void setParentWindow(QWidget* parent) { m_parent = parent; }

    bool AskOkCancel(std::u16string_view title, std::u16string_view text) override;

    /// Closes an open box and makes it and every later question throw RunAborted.
    void abort();

private:
    QPointer<QWidget> m_parent;
    QPointer<QMessageBox> m_box;
    bool m_aborted = false;
};

/// Opens addresses with the desktop's default handler.
class QtShell : public ShellPort {
public:
    void OpenAddress(std::u16string_view address) override;
};

/// Today's date from the system clock, its text in the user's short date format.
class QtClock : public ClockPort {
public:
    Today Now() override;
};

/// Diagnostic lines on Qt's logging categories of the same names (logging.h), off unless
/// QT_LOGGING_RULES turns them on.
class QtLogSink : public LogSink {
public:
    void Line(LogCategory category, std::string_view line) override;
};

/// The date as the clock port gives it, with its text in `locale`'s short format.
Today TodayFrom(QDate date, const QLocale& locale);

}  // namespace brevane
