// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The page helper's engine on Linux: the hidden pages on Qt WebEngine.
#include "engine/web_pages.h"

#include <QUrl>
#include <QWebEngineDownloadRequest>
#include <QWebEngineLoadingInfo>
#include <QWebEngineProfile>
#include <QWebEngineSettings>

#include <algorithm>
#include <utility>

#include "engine/hidden_page.h"
#include "engine/web_request_filter.h"

namespace brevane {

namespace {

using pageproto::Outcome;
using std::chrono::milliseconds;

bool isWebAddress(const QUrl& url) {
    return url.isValid() && (url.scheme() == u"http" || url.scheme() == u"https") &&
           !url.host().isEmpty();
}

// A new fragment on the page shown moves within its document, as a browser does it.
bool movesWithinDocument(const QUrl& url, const QUrl& shown) {
    return url.hasFragment() &&
           url.adjusted(QUrl::RemoveFragment) == shown.adjusted(QUrl::RemoveFragment);
}

void configure(QWebEngineSettings& settings) {
    using S = QWebEngineSettings;
    // Nothing the user would see or hear, nothing that reaches beyond the page.
    for (const S::WebAttribute off : {
             S::AutoLoadImages,
             S::PluginsEnabled,
             S::JavascriptCanOpenWindows,
             S::JavascriptCanAccessClipboard,
             S::JavascriptCanPaste,
             S::ErrorPageEnabled,
             S::FullScreenSupportEnabled,
             S::ScreenCaptureEnabled,
             S::WebGLEnabled,
             S::Accelerated2dCanvasEnabled,
             S::HyperlinkAuditingEnabled,
             S::DnsPrefetchEnabled,
             S::PdfViewerEnabled,
             S::AutoLoadIconsForPage,
             S::TouchIconsEnabled,
             S::FocusOnNavigationEnabled,
             S::AllowRunningInsecureContent,
             S::AllowGeolocationOnInsecureOrigins,
             S::LocalContentCanAccessRemoteUrls,
             S::LocalContentCanAccessFileUrls,
             S::NavigateOnDropEnabled,
         }) {
        settings.setAttribute(off, false);
    }
    settings.setAttribute(S::PlaybackRequiresUserGesture, true);
    settings.setAttribute(S::WebRTCPublicInterfacesOnly, true);
}

}  // namespace

WebPages::WebPages(QObject* parent) : QObject(parent) {}

WebPages::~WebPages() {
    // The pages go with their jobs, none of which answers any more; what the pages still
    // tell as they go reaches nobody.
    for (Slot& slot : m_slots) {
        if (slot.page != nullptr) {
            slot.page->disconnect(this);
        }
    }
}

void WebPages::start() {
    if (m_profile != nullptr) {
        return;
    }
    m_filter = std::make_unique<WebRequestFilter>();
    // A profile without a storage name is off the record: cookies, cache and web storage
    // live in memory and die with it. Making the first profile starts the engine.
    m_profile = std::make_unique<QWebEngineProfile>();
    m_profile->setHttpCacheType(QWebEngineProfile::NoCache);
    m_profile->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
    m_profile->setSpellCheckEnabled(false);
    m_profile->setUrlRequestInterceptor(m_filter.get());
    configure(*m_profile->settings());
    connect(m_profile.get(), &QWebEngineProfile::downloadRequested, this,
            [](QWebEngineDownloadRequest* download) { download->cancel(); });

    for (Slot& slot : m_slots) {
        slot.page = std::make_unique<HiddenPage>(m_profile.get());
        HiddenPage* page = slot.page.get();
        connect(page, &QWebEnginePage::loadingChanged, this,
                [this, &slot](const QWebEngineLoadingInfo& info) {
                    if (info.status() != QWebEngineLoadingInfo::LoadStartedStatus) {
                        endWarmUp(slot);
                    }
                });
        connect(page, &QWebEnginePage::renderProcessTerminated, this, [this, &slot] {
            ++slot.rendererEnds;
            endWarmUp(slot);
        });
    }
}

void WebPages::warmUp() {
    if (m_profile != nullptr) {
        return;
    }
    start();
    // A page sets itself up in the engine with its first load. A blank document asks
    // nothing of the network, yet starts the page's renderer process.
    for (Slot& slot : m_slots) {
        slot.warming = true;
        slot.page->load(QUrl(QStringLiteral("about:blank")));
    }
}

void WebPages::endWarmUp(Slot& slot) {
    if (!slot.warming) {
        return;
    }
    slot.warming = false;
    if (slot.job != nullptr) {
        slot.job->warmUpEnded();
    }
    const bool warm =
        std::none_of(m_slots.begin(), m_slots.end(), [](const Slot& s) { return s.warming; });
    if (warm && !m_warm) {
        m_warm = true;
        emit warmedUp();
    }
}

WebPages::Slot& WebPages::slotOf(const HiddenPage& page) {
    return *std::find_if(m_slots.begin(), m_slots.end(),
                         [&page](const Slot& slot) { return slot.page.get() == &page; });
}

const WebPages::Slot& WebPages::slotOf(const HiddenPage& page) const {
    return *std::find_if(m_slots.begin(), m_slots.end(),
                         [&page](const Slot& slot) { return slot.page.get() == &page; });
}

int WebPages::rendererEnds(const HiddenPage& page) const {
    return slotOf(page).rendererEnds;
}

bool WebPages::warming(const HiddenPage& page) const {
    return slotOf(page).warming;
}

bool WebPages::sharesRenderer(const HiddenPage& page) const {
    const qint64 renderer = page.renderProcessPid();
    return std::any_of(m_slots.begin(), m_slots.end(), [&](const Slot& slot) {
        return slot.page.get() != &page && slot.page->renderProcessPid() == renderer;
    });
}

void WebPages::navigating(const HiddenPage& page) {
    // The navigation takes the start-up document's place; it ends no less for the warm-up.
    endWarmUp(slotOf(page));
}

LoadJob& WebPages::begin(PageNumber page, Done done, milliseconds limit) {
    start();
    Slot& slot = m_slots.at(page);
    if (slot.job != nullptr) {
        slot.job->abandon();
    }
    PageContext& context = *this;
    slot.job = std::make_unique<LoadJob>(*slot.page, slot.history, context, std::move(done), limit);
    return *slot.job;
}

void WebPages::Load(PageNumber page, std::u16string_view address, milliseconds limit, Done done) {
    const QUrl url(QString::fromStdU16String(std::u16string(address)));
    LoadJob& job = begin(page, std::move(done), limit);
    const Slot& slot = m_slots.at(page);
    if (slot.history.serial > 0 && movesWithinDocument(url, slot.page->url())) {
        job.startMoveWithinDocument(url);
    } else if (!isWebAddress(url)) {
        // The engine would drop it without a word.
        job.refuse({Outcome::Failed, u"not a web address", {}});
    } else {
        job.startLoad(url);
    }
}

void WebPages::Read(PageNumber page, milliseconds limit, Done done) {
    begin(page, std::move(done), limit).startRead();
}

void WebPages::Abandon(PageNumber page) {
    if (Slot& slot = m_slots.at(page); slot.job != nullptr) {
        slot.job->abandon();
    }
}

}  // namespace brevane
