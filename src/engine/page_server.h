// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The page service on the helper's pipes, in Qt's event loop.
#pragma once

#include <QObject>
#include <QTimer>

#include <memory>

#include "pageserve/page_service.h"

class QSocketNotifier;

namespace brevane {

/// Feeds the service what the window writes on `input` and writes its answers to `output`
/// (file descriptors it does not own) as fast as the window reads them, without ever
/// blocking: a long answer the window drains slowly holds up no other page's timers. Keeps
/// the service's time budget with a timer. When the input ends or breaks, or the window
/// stops reading, finished() follows and nothing more is written.
class PageServer : public QObject {
    Q_OBJECT
public:
    PageServer(pageserve::PageService& service, int input, int output, QObject* parent = nullptr);
    ~PageServer() override;

    /// Writes what is queued until the output would block; true when it all went out.
    bool flush();

signals:
    void finished();

private:
    void onReadable();
    void onWritable();
    void scheduleExpiry();
    void stop();

    pageserve::PageService& m_service;
    int m_input;
    int m_output;
    std::unique_ptr<QSocketNotifier> m_readable;
    std::unique_ptr<QSocketNotifier> m_writable;
    QTimer m_expiry;
    bool m_stopped = false;
};

}  // namespace brevane
