// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// Keeps the hidden pages to what their text needs: documents, scripts and data.
#include "engine/web_request_filter.h"

#include <QtGlobal>

namespace brevane {

bool WebRequestFilter::allows(QWebEngineUrlRequestInfo::ResourceType type) {
    using Info = QWebEngineUrlRequestInfo;
    switch (type) {
        case Info::ResourceTypeMainFrame:
        case Info::ResourceTypeNavigationPreloadMainFrame:
        case Info::ResourceTypeScript:
        case Info::ResourceTypeWorker:
        case Info::ResourceTypeSharedWorker:
        case Info::ResourceTypeXhr:
        case Info::ResourceTypeSubResource:
        case Info::ResourceTypeWebSocket:
        case Info::ResourceTypeUnknown:
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
        case Info::ResourceTypeJson:  // a script's JSON module: data, as an XHR's answer
#endif
            return true;
        case Info::ResourceTypeSubFrame:
        case Info::ResourceTypeNavigationPreloadSubFrame:
        case Info::ResourceTypeStylesheet:
        case Info::ResourceTypeImage:
        case Info::ResourceTypeFontResource:
        case Info::ResourceTypeObject:
        case Info::ResourceTypePluginResource:
        case Info::ResourceTypeMedia:
        case Info::ResourceTypePrefetch:
        case Info::ResourceTypeFavicon:
        case Info::ResourceTypePing:
        case Info::ResourceTypeCspReport:
        case Info::ResourceTypeServiceWorker:
            return false;
    }
    // A kind this code does not know yet: let it through, as a browser would.
    return true;
}

void WebRequestFilter::interceptRequest(QWebEngineUrlRequestInfo& info) {
    if (!allows(info.resourceType())) {
        info.block(true);
    }
}

}  // namespace brevane
