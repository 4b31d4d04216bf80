// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// A small HTTP server on 127.0.0.1 for tests: routes set up by the test, a log of the
// paths asked for, and handlers that can hang until the server stops.
#pragma once

#include <httplib.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace brevane::testing {

class LocalHttpServer {
public:
    LocalHttpServer() {
        // One request per connection: no idle connection holds stop() up.
        m_server.set_keep_alive_max_count(1);
        m_server.set_tcp_nodelay(true);
        // Logged before routing, so a request whose handler never answers is seen too.
        m_server.set_pre_routing_handler(
            [this](const httplib::Request& request, httplib::Response&) {
                const std::lock_guard lock(m_mutex);
                m_log.push_back(request.path);
                return httplib::Server::HandlerResponse::Unhandled;
            });
    }

    ~LocalHttpServer() { stop(); }

    LocalHttpServer(const LocalHttpServer&) = delete;
    LocalHttpServer& operator=(const LocalHttpServer&) = delete;

    /// Routes are added here before start().
    httplib::Server& routes() { return m_server; }

    /// Binds a port the system picks and serves on a thread of its own. Throws when the
    /// server cannot start.
    void start() {
        m_port = m_server.bind_to_any_port("127.0.0.1");
        if (m_port <= 0) {
            throw std::runtime_error("test server: cannot bind a loopback port");
        }
        m_thread = std::thread([this] { m_server.listen_after_bind(); });
        // stop() does nothing to a server that has not begun listening yet.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!m_server.is_running() && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        if (!m_server.is_running()) {
            throw std::runtime_error("test server: the server did not start");
        }
    }

    void stop() {
        {
            const std::lock_guard lock(m_mutex);
            m_stopping = true;
        }
        m_wake.notify_all();
        if (m_thread.joinable()) {
            m_server.stop();
            m_thread.join();
        }
    }

    int port() const { return m_port; }
    std::u16string url(const std::string& path) const {
        const std::string text = "http://127.0.0.1:" + std::to_string(m_port) + path;
        return std::u16string(text.begin(), text.end());
    }

    /// Paths requested so far, in order.
    std::vector<std::string> log() const {
        const std::lock_guard lock(m_mutex);
        return m_log;
    }
    int count(const std::string& path) const {
        const std::lock_guard lock(m_mutex);
        return int(std::count(m_log.begin(), m_log.end(), path));
    }

    /// For a handler that must never answer: blocks until the server stops.
    void hang() const {
        std::unique_lock lock(m_mutex);
        m_wake.wait(lock, [this] { return m_stopping; });
    }

    /// Answers `path` with `body`, after `delay`.
    void serve(const std::string& path, std::string body,
               std::string type = "text/html; charset=utf-8", int status = 200,
               std::chrono::milliseconds delay = std::chrono::milliseconds(0)) {
        m_server.Get(path, [body = std::move(body), type = std::move(type), status, delay](
                               const httplib::Request&, httplib::Response& response) {
            std::this_thread::sleep_for(delay);
            response.status = status;
            response.set_content(body, type);
        });
    }

    /// Never answers `path` while the server runs.
    void serveSilence(const std::string& path) {
        m_server.Get(path, [this](const httplib::Request&, httplib::Response&) { hang(); });
    }

private:
    httplib::Server m_server;
    std::thread m_thread;
    int m_port = 0;
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_wake;
    bool m_stopping = false;
    std::vector<std::string> m_log;
};

}  // namespace brevane::testing
