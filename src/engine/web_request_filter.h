// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// Keeps the hidden pages to what their text needs: documents, scripts and data.
#pragma once

#include <QWebEngineUrlRequestInterceptor>

namespace brevane {

/// Blocks every request whose answer cannot change a page's body text (images, style
/// sheets, fonts, media, frames, pings, prefetches, icons, reports, plug-ins) and lets
/// the main document, its scripts and its data requests through. A page full of images
/// and advertisements then completes as soon as its document and scripts are in.
class WebRequestFilter : public QWebEngineUrlRequestInterceptor {
    Q_OBJECT
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;

    /// Whether a request of this kind may go out.
    static bool allows(QWebEngineUrlRequestInfo::ResourceType type);

    void interceptRequest(QWebEngineUrlRequestInfo& info) override;
};

}  // namespace brevane
