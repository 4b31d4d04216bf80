// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// Stand-in web sites on loopback: the three location sources, the two price sites
// and the sponsor page, each an HTTP server on its own port, serving the pages it is
// given, logging every request in order and failing chosen paths on demand.
#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/web_addresses.h"

namespace brevane::standin {

enum class Site { Location1, Location2, Location3, SiteA, SiteB, Sponsor };
inline constexpr int kSiteCount = 6;

/// A short name for logs and messages: "location1", "siteA", ...
std::string_view SiteName(Site site);

struct Page {
    std::string body;  ///< the bytes as sent, in the encoding the content type or page declares
    std::string contentType = "text/html; charset=utf-8";
};

enum class FaultKind {
    NotFound,     ///< 404 with a short error page
    ServerError,  ///< 500 with a short error page
    Reset,        ///< the connection is reset before any byte of a response
    Hang,         ///< never answers; the connection stays open until reset() or shutdown
    Trickle,      ///< the page (or filler) in small pieces spread over `duration`
    Delay,        ///< the page, after waiting `duration`
    Redirect,     ///< 302 to `target`
    EmptyBody,    ///< 200 with an empty body
    Huge,         ///< 200 with the page followed by 20 MiB of filler text
};

struct Fault {
    FaultKind kind;
    std::chrono::milliseconds duration{0};  ///< Trickle and Delay
    std::string target;                     ///< Redirect: the Location value
};

struct LoggedRequest {
    Site site;
    std::string method;
    std::string path;  ///< the request target as sent, query included
    friend bool operator==(const LoggedRequest&, const LoggedRequest&) = default;
};

/// Size of the filler a Huge fault appends.
inline constexpr std::size_t kHugeFillerBytes = 20u << 20;

/// Six HTTP servers on 127.0.0.1, each on a port the system chose, each run by its own
/// threads. Unknown paths answer 404. All members may be called from any thread.
class StandinSites {
public:
    /// Starts the six servers. Throws std::runtime_error when a server cannot start.
    StandinSites();
    /// Releases every waiting request and stops the servers.
    ~StandinSites();
    StandinSites(const StandinSites&) = delete;
    StandinSites& operator=(const StandinSites&) = delete;

    /// Serves `page` for `path` (e.g. "/guangdong.shtml") on `site`.
    void serve(Site site, std::string path, Page page);
    /// From now on `path` on `site` fails as `fault` says; a page served there stays
    /// stored and is what Trickle, Delay and Huge send.
    void fail(Site site, std::string path, Fault fault);
    /// Forgets every page, fault and logged request, and lets hung requests go.
    void reset();

    int port(Site site) const;
    /// "http://127.0.0.1:<port>" followed by `path`.
    std::string url(Site site, std::string_view path) const;
    /// The six addresses of a run against these sites.
    WebAddresses addresses() const;

    /// Every request received so far, in order of arrival.
    std::vector<LoggedRequest> requests() const;
    void clearLog();

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace brevane::standin
