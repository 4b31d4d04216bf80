// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The OK/Cancel box, the shell and the clock, made with Qt.
#include "platform/qt_ports.h"

#include <QDebug>
#include <QDesktopServices>
#include <QMessageBox>
#include <QUrl>

#include "platform/logging.h"
#include "platform/qt_text.h"

namespace brevane {

bool QtConfirm::AskOkCancel(std::u16string_view title, std::u16string_view text) {
    if (m_aborted) {
        throw RunAborted();
    }
    QString body = ToQt(text);
    body.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));

    QMessageBox box(m_parent);
    box.setWindowTitle(ToQt(title));
    box.setIcon(QMessageBox::NoIcon);
    // Automatic detection would take text with angle brackets for markup.
    box.setTextFormat(Qt::PlainText);
    box.setText(body);
    box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
    box.setDefaultButton(QMessageBox::Ok);
    // Esc and the box's close button both give the escape button.
    box.setEscapeButton(QMessageBox::Cancel);
    box.setWindowModality(Qt::ApplicationModal);

    m_box = &box;
    box.exec();
    m_box = nullptr;
    if (m_aborted) {
        throw RunAborted();
    }
    return box.clickedButton() == box.button(QMessageBox::Ok);
}

void QtConfirm::abort() {
    m_aborted = true;
    if (m_box) {
        m_box->reject();
    }
}

void QtShell::OpenAddress(std::u16string_view address) {
    // A failure to open the page is of no consequence to the program.
    static_cast<void>(QDesktopServices::openUrl(QUrl(ToQt(address))));
}

void QtLogSink::Line(LogCategory category, std::string_view line) {
    const QLoggingCategory& to = category == LogCategory::Pages    ? lcPages()
                                 : category == LogCategory::Helper ? lcHelper()
                                                                   : lcRun();
    qCDebug(to).noquote() << QString::fromUtf8(line.data(), qsizetype(line.size()));
}

Today TodayFrom(QDate date, const QLocale& locale) {
    Today today;
    today.year = date.year();
    today.month = date.month();
    today.day = date.day();
    // Qt counts Monday 1 to Sunday 7; the program counts Sunday 1 to Saturday 7.
    today.dayOfWeek = date.dayOfWeek() % 7 + 1;
    const QString text = locale.toString(date, QLocale::ShortFormat);
    today.shortDateText = text.toStdU16String();
    return today;
}

Today QtClock::Now() {
    return TodayFrom(QDate::currentDate(), QLocale::system());
}

}  // namespace brevane
