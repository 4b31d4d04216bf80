// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The page helper's side of the protocol: requests in, answers out.
#include "engine/page_server.h"

#include <QSocketNotifier>
#include <QTimer>

#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>

#include "engine/web_pages.h"

namespace brevane {

PageServer::PageServer(WebPages& pages, int input, int output, QObject* parent)
    : QObject(parent),
      m_pages(pages),
      m_output(output),
      m_input(input),
      m_notifier(std::make_unique<QSocketNotifier>(input, QSocketNotifier::Read)) {
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &PageServer::onReadable);
    connect(&m_pages, &WebPages::warmedUp, this, [this] { send(pageproto::Ready{}); });
}

PageServer::~PageServer() {
    // No answer may come for a server that is gone.
    m_pages.release();
}

bool PageServer::send(const pageproto::Answer& answer) {
    if (m_stopped) {
        return false;
    }
    const std::string frame = pageproto::Frame(answer);
    std::size_t written = 0;
    while (written < frame.size()) {
        const ssize_t n = ::write(m_output, frame.data() + written, frame.size() - written);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            stop();
            return false;
        }
        written += static_cast<std::size_t>(n);
    }
    return true;
}

void PageServer::onReadable() {
    char buffer[64 * 1024];
    const ssize_t n = ::read(m_input, buffer, sizeof buffer);
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) {
        return;
    }
    if (n <= 0) {
        stop();
        return;
    }
    m_reader.append(std::string_view(buffer, static_cast<std::size_t>(n)));
    while (!m_stopped) {
        const std::optional<std::string> payload = m_reader.next();
        if (!payload) {
            if (m_reader.broken()) {
                stop();
            }
            return;
        }
        const std::optional<pageproto::Request> request = pageproto::ParseRequest(*payload);
        if (!request) {
            stop();
            return;
        }
        serve(*request);
    }
}

void PageServer::serve(const pageproto::Request& request) {
    const std::uint32_t id = std::visit([](const auto& r) { return r.id; }, request);
    const Control control = std::visit([](const auto& r) { return r.control; }, request);
    const std::chrono::milliseconds limit(
        std::visit([](const auto& r) { return r.timeLimitMs; }, request));
    auto answer = [this, id, control](PageResult result) {
        send(pageproto::PageAnswer{.id = id,
                                   .control = control,
                                   .outcome = result.outcome,
                                   .detail = result.detail.toStdU16String(),
                                   .text = std::move(result.text)});
    };
    if (const auto* load = std::get_if<pageproto::LoadRequest>(&request)) {
        m_pages.load(control, load->address, limit, std::move(answer));
    } else {
        m_pages.read(control, limit, std::move(answer));
    }
}

void PageServer::stop() {
    if (m_stopped) {
        return;
    }
    m_stopped = true;
    m_notifier->setEnabled(false);
    // Leaves the answer being written, if any, to unwind first.
    QTimer::singleShot(0, this, &PageServer::finished);
}

}  // namespace brevane
