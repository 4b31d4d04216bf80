// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The page helper's side of the protocol: requests in, answers out.
#pragma once

#include <QObject>

#include <memory>

#include "pageproto/page_protocol.h"

class QSocketNotifier;

namespace brevane {

class WebPages;

/// Serves the window's requests with the hidden pages: each starts as it comes, beside
/// those still in progress, and is answered when it is done. Reads frames from `input`
/// and writes answers to `output` (file descriptors it does not own). Sends Ready, with
/// the protocol's version, once the pages have warmed up. Keeps nothing of the window's
/// but what the pages show. When the input ends or carries a malformed frame, no further
/// answer is sent and finished() follows.
class PageServer : public QObject {
    Q_OBJECT
public:
    PageServer(WebPages& pages, int input, int output, QObject* parent = nullptr);
    ~PageServer() override;

    /// Writes one answer in full; false when the window is gone.
    bool send(const pageproto::Answer& answer);

signals:
    void finished();

private:
    void onReadable();
    void serve(const pageproto::Request& request);
    void stop();

    WebPages& m_pages;
    int m_output;
    int m_input;
    std::unique_ptr<QSocketNotifier> m_notifier;
    pageproto::FrameReader m_reader;
    bool m_stopped = false;
};

}  // namespace brevane
