// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The six loopback servers: routing, the request log and the faults.
#include "standin/standin_sites.h"

#include <httplib.h>

#include <algorithm>
#include <array>
#include <condition_variable>
#include <map>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <thread>
#include <utility>

#include "standin/connection_reset.h"

namespace brevane::standin {

namespace {

constexpr const char* kLoopback = "127.0.0.1";
constexpr int kWorkerThreads = 8;
constexpr auto kTrickleStep = std::chrono::milliseconds(100);

std::string ErrorPage(int status, std::string_view reason) {
    return "<!DOCTYPE html><html><head><title>" + std::to_string(status) +
           "</title></head><body><h1>" + std::to_string(status) + " " + std::string(reason) +
           "</h1></body></html>";
}

std::string Filler(std::size_t bytes) {
    static constexpr std::string_view kLine =
        "<p>Filler text that carries no marker of any kind, repeated to make the page "
        "large.</p>\n";
    std::string filler;
    filler.reserve(bytes + kLine.size());
    while (filler.size() < bytes) {
        filler += kLine;
    }
    filler.resize(bytes);
    return filler;
}

std::u16string Widen(std::string_view ascii) {
    return {ascii.begin(), ascii.end()};
}

}  // namespace

std::string_view SiteName(Site site) {
    switch (site) {
        case Site::Location1:
            return "location1";
        case Site::Location2:
            return "location2";
        case Site::Location3:
            return "location3";
        case Site::SiteA:
            return "siteA";
        case Site::SiteB:
            return "siteB";
        case Site::Sponsor:
            return "sponsor";
    }
    return "unknown";
}

struct StandinSites::Impl {
    struct Route {
        std::optional<Page> page;
        std::optional<Fault> fault;
    };

    mutable std::mutex mutex;
    // Wakes requests that wait (Hang, Delay, Trickle) when the sites reset or stop.
    std::condition_variable wake;
    bool stopping = false;
    std::uint64_t generation = 0;
    std::map<std::pair<Site, std::string>, Route, std::less<>> routes;
    std::vector<LoggedRequest> log;

    std::array<std::unique_ptr<httplib::Server>, kSiteCount> servers;
    std::array<std::thread, kSiteCount> threads;
    std::array<int, kSiteCount> ports{};

    void start(Site site);
    void stop();
    void handle(Site site, const httplib::Request& request, httplib::Response& response);
    void applyFault(const Fault& fault, std::optional<Page> page, const httplib::Request& request,
                    httplib::Response& response);
    /// Waits up to `limit`; false when the sites reset or stop in the meantime.
    bool waitFor(std::chrono::milliseconds limit, std::uint64_t since);
};

void StandinSites::Impl::start(Site site) {
    const auto index = static_cast<std::size_t>(site);
    auto server = std::make_unique<httplib::Server>();
    server->new_task_queue = [] { return new httplib::ThreadPool(kWorkerThreads); };
    // An idle kept-alive connection holds a worker until this runs out, and stopping
    // waits for the workers.
    server->set_keep_alive_timeout(1);
    server->set_tcp_nodelay(true);
    server->set_pre_routing_handler(
        [this, site](const httplib::Request& request, httplib::Response&) {
            const std::lock_guard lock(mutex);
            log.push_back({site, request.method, request.target});
            return httplib::Server::HandlerResponse::Unhandled;
        });
    server->Get(".*", [this, site](const httplib::Request& request, httplib::Response& response) {
        handle(site, request, response);
    });
    const int port = server->bind_to_any_port(kLoopback);
    if (port <= 0) {
        throw std::runtime_error("stand-in site " + std::string(SiteName(site)) +
                                 ": cannot bind a loopback port");
    }
    ports[index] = port;
    threads[index] = std::thread([s = server.get()] { s->listen_after_bind(); });
    // stop() does nothing to a server whose thread has not begun listening yet, and
    // that thread would then listen for ever; so the server only counts as started
    // once it runs.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!server->is_running() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    const bool running = server->is_running();
    servers[index] = std::move(server);
    if (!running) {
        throw std::runtime_error("stand-in site " + std::string(SiteName(site)) +
                                 ": the server did not start");
    }
}

void StandinSites::Impl::stop() {
    {
        const std::lock_guard lock(mutex);
        stopping = true;
    }
    wake.notify_all();
    for (std::size_t i = 0; i < servers.size(); ++i) {
        if (servers[i]) {
            servers[i]->stop();
        }
        if (threads[i].joinable()) {
            threads[i].join();
        }
    }
}

bool StandinSites::Impl::waitFor(std::chrono::milliseconds limit, std::uint64_t since) {
    std::unique_lock lock(mutex);
    return !wake.wait_for(lock, limit, [&] { return stopping || generation != since; });
}

void StandinSites::Impl::handle(Site site, const httplib::Request& request,
                                httplib::Response& response) {
    std::optional<Page> page;
    std::optional<Fault> fault;
    {
        const std::lock_guard lock(mutex);
        const auto found = routes.find(std::pair(site, request.path));
        if (found != routes.end()) {
            page = found->second.page;
            fault = found->second.fault;
        }
    }
    if (fault) {
        applyFault(*fault, std::move(page), request, response);
    } else if (page) {
        response.set_content(page->body, page->contentType);
    } else {
        response.status = 404;
        response.set_content(ErrorPage(404, "Not Found"), "text/html; charset=utf-8");
    }
}

void StandinSites::Impl::applyFault(const Fault& fault, std::optional<Page> page,
                                    const httplib::Request& request, httplib::Response& response) {
    const std::uint64_t since = [this] {
        const std::lock_guard lock(mutex);
        return generation;
    }();
    Page content = page ? std::move(*page) : Page{ErrorPage(200, "Stand-in filler page")};
    switch (fault.kind) {
        case FaultKind::NotFound:
            response.status = 404;
            response.set_content(ErrorPage(404, "Not Found"), "text/html; charset=utf-8");
            return;
        case FaultKind::ServerError:
            response.status = 500;
            response.set_content(ErrorPage(500, "Internal Server Error"),
                                 "text/html; charset=utf-8");
            return;
        case FaultKind::Reset:
            ResetConnection(request.local_port, request.remote_port);
            return;
        case FaultKind::Hang:
            while (waitFor(std::chrono::hours(1), since)) {
            }
            ResetConnection(request.local_port, request.remote_port);
            return;
        case FaultKind::Delay:
            if (!waitFor(fault.duration, since)) {
                ResetConnection(request.local_port, request.remote_port);
                return;
            }
            response.set_content(content.body, content.contentType);
            return;
        case FaultKind::Trickle: {
            const auto steps = std::max<std::size_t>(1, fault.duration / kTrickleStep);
            auto body = std::make_shared<std::string>(std::move(content.body));
            const std::size_t slice = std::max<std::size_t>(1, (body->size() + steps - 1) / steps);
            response.set_chunked_content_provider(
                content.contentType,
                [this, body, slice, since](std::size_t offset, httplib::DataSink& sink) {
                    if (offset >= body->size()) {
                        sink.done();
                        return true;
                    }
                    const std::size_t count = std::min(slice, body->size() - offset);
                    if (!sink.write(body->data() + offset, count)) {
                        return false;
                    }
                    // The pause follows each piece, so the first arrives at once.
                    return waitFor(kTrickleStep, since);
                });
            return;
        }
        case FaultKind::Redirect:
            response.set_redirect(fault.target, 302);
            return;
        case FaultKind::EmptyBody:
            response.set_content(std::string(), "text/html; charset=utf-8");
            return;
        case FaultKind::Huge:
            response.set_content(content.body + Filler(kHugeFillerBytes), content.contentType);
            return;
    }
}

StandinSites::StandinSites() : m_impl(std::make_unique<Impl>()) {
    try {
        for (int i = 0; i < kSiteCount; ++i) {
            m_impl->start(static_cast<Site>(i));
        }
    } catch (...) {
        m_impl->stop();
        throw;
    }
}

StandinSites::~StandinSites() {
    m_impl->stop();
}

void StandinSites::serve(Site site, std::string path, Page page) {
    const std::lock_guard lock(m_impl->mutex);
    m_impl->routes[std::pair(site, std::move(path))].page = std::move(page);
}

void StandinSites::fail(Site site, std::string path, Fault fault) {
    const std::lock_guard lock(m_impl->mutex);
    m_impl->routes[std::pair(site, std::move(path))].fault = std::move(fault);
}

void StandinSites::reset() {
    {
        const std::lock_guard lock(m_impl->mutex);
        m_impl->routes.clear();
        m_impl->log.clear();
        ++m_impl->generation;
    }
    m_impl->wake.notify_all();
}

int StandinSites::port(Site site) const {
    return m_impl->ports[static_cast<std::size_t>(site)];
}

std::string StandinSites::url(Site site, std::string_view path) const {
    return "http://" + std::string(kLoopback) + ":" + std::to_string(port(site)) +
           std::string(path);
}

WebAddresses StandinSites::addresses() const {
    // Sources 1 and 3 use TLS in production; on loopback the stand-ins speak plain
    // HTTP, since the program treats every address as an opaque value.
    return WebAddresses{
        .locationSource1 = Widen(url(Site::Location1, "/")),
        .locationSource2 = Widen(url(Site::Location2, "/")),
        .locationSource3 = Widen(url(Site::Location3, "/ip.html")),
        .siteARoot = Widen(url(Site::SiteA, "/")),
        .siteBRoot = Widen(url(Site::SiteB, "/")),
        .sponsor = Widen(url(Site::Sponsor, "/dashang.html")),
    };
}

std::vector<LoggedRequest> StandinSites::requests() const {
    const std::lock_guard lock(m_impl->mutex);
    return m_impl->log;
}

void StandinSites::clearLog() {
    const std::lock_guard lock(m_impl->mutex);
    m_impl->log.clear();
}

}  // namespace brevane::standin
