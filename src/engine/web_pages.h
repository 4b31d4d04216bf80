// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The page helper's engine on Linux: the hidden pages on Qt WebEngine.
#pragma once

#include <QObject>

#include <array>
#include <memory>

#include "engine/load_job.h"
#include "pageserve/page_service.h"

class QWebEngineProfile;

namespace brevane {

class HiddenPage;
class WebRequestFilter;

/// The pages as hidden QWebEnginePages sharing one off-the-record profile (nothing reaches
/// the disk), numbered as the protocol numbers them and knowing nothing of what they are
/// for. Every page works on its own, each in a renderer process of its own as far as the
/// engine gives it (EngineSetup): a load or a read returns at once, and its answer comes
/// later, through the event loop, once the navigation it asked for has finished, well or
/// not, or its time limit has run out, and the page's text has been read from its document
/// (LoadJob). A read reads the document as the page's scripts have left it by then. Pages
/// keep nothing of their loads but their documents.
///
/// The engine starts with warmUp(), or else with the first load, and ends with this
/// object, its one owner: no answer still due comes after that.
class WebPages final : public QObject, public pageserve::PageEngine, private PageContext {
    Q_OBJECT
public:
    using PageNumber = pageproto::PageNumber;

    explicit WebPages(QObject* parent = nullptr);
    ~WebPages() override;

    void Load(PageNumber page, std::u16string_view address, std::chrono::milliseconds limit,
              Done done) override;
    void Read(PageNumber page, std::chrono::milliseconds limit, Done done) override;
    void Abandon(PageNumber page) override;

    /// Starts the engine ahead of the first load: the profile, the pages with a blank
    /// document each, and their renderer processes. Requests nothing from the network;
    /// warmedUp() follows, once, when every blank page is done, or has given way to a load.
    void warmUp();

signals:
    void warmedUp();

private:
    struct Slot {
        std::unique_ptr<HiddenPage> page;
        // Written here alone.
        bool warming = false;  // the start-up document is loading
        int rendererEnds = 0;  // renderers of this page ended so far
        // Written by the page's jobs alone.
        PageHistory history;
        std::unique_ptr<LoadJob> job;  // the request in progress, or the last one
    };

    /// Creates the profile and the pages unless they exist.
    void start();
    Slot& slotOf(const HiddenPage& page);
    const Slot& slotOf(const HiddenPage& page) const;
    /// A new job for `page`, in place of its last one.
    LoadJob& begin(PageNumber page, Done done, std::chrono::milliseconds limit);
    /// The start-up document of `slot` is done, well or not, or has given way.
    void endWarmUp(Slot& slot);

    int rendererEnds(const HiddenPage& page) const override;
    bool warming(const HiddenPage& page) const override;
    bool sharesRenderer(const HiddenPage& page) const override;
    void navigating(const HiddenPage& page) override;

    bool m_warm = false;
    // Destroyed in reverse order: the pages before their profile, the profile before the
    // filter it uses.
    std::unique_ptr<WebRequestFilter> m_filter;
    std::unique_ptr<QWebEngineProfile> m_profile;
    std::array<Slot, pageproto::kPageCount> m_slots;
};

}  // namespace brevane
