// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The page service on the helper's pipes, in Qt's event loop.
#include "engine/page_server.h"

#include <QSocketNotifier>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace brevane {

PageServer::PageServer(pageserve::PageService& service, int input, int output, QObject* parent)
    : QObject(parent),
      m_service(service),
      m_input(input),
      m_output(output),
      m_readable(std::make_unique<QSocketNotifier>(input, QSocketNotifier::Read)),
      m_writable(std::make_unique<QSocketNotifier>(output, QSocketNotifier::Write)) {
    ::fcntl(m_output, F_SETFL, ::fcntl(m_output, F_GETFL) | O_NONBLOCK);
    m_writable->setEnabled(false);
    connect(m_readable.get(), &QSocketNotifier::activated, this, &PageServer::onReadable);
    connect(m_writable.get(), &QSocketNotifier::activated, this, &PageServer::onWritable);
    m_expiry.setSingleShot(true);
    m_expiry.setTimerType(Qt::PreciseTimer);
    connect(&m_expiry, &QTimer::timeout, this, [this] {
        m_service.expire();
        scheduleExpiry();
    });
    // An answer queued from inside an engine's handler goes out once that handler is done.
    m_service.setOutputQueued([this] {
        if (!m_stopped) {
            m_writable->setEnabled(true);
        }
        scheduleExpiry();
    });
}

PageServer::~PageServer() {
    m_service.setOutputQueued(nullptr);
}

bool PageServer::flush() {
    for (std::string_view out = m_service.outgoing(); !out.empty(); out = m_service.outgoing()) {
        const ssize_t n = ::write(m_output, out.data(), out.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && errno == EAGAIN) {
            return false;
        }
        if (n <= 0) {
            // The window is gone.
            stop();
            return false;
        }
        m_service.written(static_cast<std::size_t>(n));
    }
    return true;
}

void PageServer::onWritable() {
    m_writable->setEnabled(!flush() && !m_stopped);
}

void PageServer::onReadable() {
    char buffer[64 * 1024];
    const ssize_t n = ::read(m_input, buffer, sizeof buffer);
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) {
        return;
    }
    if (n <= 0 || !m_service.receive(std::string_view(buffer, static_cast<std::size_t>(n)))) {
        stop();
        return;
    }
    scheduleExpiry();
}

void PageServer::scheduleExpiry() {
    const auto next = m_service.nextDeadline();
    if (!next || m_stopped) {
        m_expiry.stop();
        return;
    }
    const auto left =
        std::chrono::ceil<std::chrono::milliseconds>(*next - pageserve::PageService::Clock::now());
    m_expiry.start(std::max(left, std::chrono::milliseconds(0)));
}

void PageServer::stop() {
    if (m_stopped) {
        return;
    }
    m_stopped = true;
    m_readable->setEnabled(false);
    m_writable->setEnabled(false);
    m_expiry.stop();
    // Leaves the handler that stopped it, if any, to unwind first.
    QTimer::singleShot(0, this, &PageServer::finished);
}

}  // namespace brevane
