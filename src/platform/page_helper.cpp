// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The hidden pages as the window reaches them: through the page helper.
#include "platform/page_helper.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTimer>

#include <algorithm>
#include <utility>

#include "platform/logging.h"
#include "platform/qt_text.h"

namespace brevane {

namespace {

using Clock = Waiter::Clock;
using namespace std::chrono_literals;
using pageproto::Outcome;

constexpr char kHelperName[] = "brevane-pages";
// What the helper itself may take beyond the page's time limit: reading the page (at
// most 5 s) and ending a renderer that does not answer (at most 3 s).
constexpr std::chrono::milliseconds kReadLimit = 5s;
constexpr std::chrono::milliseconds kRendererEnd = 3s;
// The helper's answer may take this long to arrive after its own limits have run out.
constexpr std::chrono::milliseconds kAnswerMargin = 5s;
// A helper whose engine is still starting gets this much longer for its first answer.
constexpr std::chrono::milliseconds kStartAllowance = 10s;
// After the run, the time the helper has to end its engine before it is ended.
constexpr std::chrono::milliseconds kExitGrace = 2s;
// How much of the helper's standard error is kept to explain its end.
constexpr qsizetype kErrorTail = 4096;

QString OutcomeName(Outcome outcome) {
    switch (outcome) {
        case Outcome::Loaded:
            return QStringLiteral("loaded");
        case Outcome::Failed:
            return QStringLiteral("failed");
        case Outcome::TimedOut:
            return QStringLiteral("timed out");
    }
    return QStringLiteral("failed");
}

// "Web_IP http://host/ loaded (HTTP status below 400) in 38 ms, 1200 characters"
void LogLoad(Control browser, std::u16string_view address, const QString& outcome,
             const QString& detail, std::chrono::milliseconds took, std::size_t characters) {
    const std::string_view name = SpecOf(browser).name;
    qCDebug(lcPages).noquote() << QStringLiteral("%1 %2 %3%4 in %5 ms, %6 characters")
                                      .arg(QLatin1String(name.data(), qsizetype(name.size())),
                                           ToQt(address), outcome,
                                           detail.isEmpty() ? detail
                                                            : QStringLiteral(" (%1)").arg(detail),
                                           QString::number(took.count()),
                                           QString::number(characters));
}

bool IsBrowser(Control control) {
    return SpecOf(control).kind == ControlKind::Browser;
}

}  // namespace

QString FindPageHelper() {
    const QDir folder(QCoreApplication::applicationDirPath());
    QString beside = folder.filePath(QLatin1String(kHelperName));
    if (QFileInfo(beside).isExecutable()) {
        return beside;
    }
    return QDir::cleanPath(
        folder.filePath(QStringLiteral("../libexec/brevane/%1").arg(kHelperName)));
}

HelperPages::HelperPages(PageHelperLaunch launch, QObject* parent)
    : QObject(parent), m_launch(std::move(launch)) {}

HelperPages::~HelperPages() {
    if (m_helper != nullptr) {
        letGo(m_helper.release());
    }
    // Every helper still running, the current one and those let go, is ended and reaped.
    for (QProcess* helper : findChildren<QProcess*>(Qt::FindDirectChildrenOnly)) {
        helper->kill();
        helper->waitForFinished(1000);
    }
}

void HelperPages::start() {
    if (!m_released && !m_unusable && !m_waiter.aborted()) {
        ensureHelper();
    }
}

bool HelperPages::ensureHelper() {
    if (m_helper != nullptr) {
        return true;
    }
    QStringList arguments;
    if (m_launch.loopbackOnly) {
        arguments << QString::fromLatin1(pageproto::kLoopbackOnlyArgument);
    }
    if (m_launch.unsandboxedAsRoot) {
        arguments << QString::fromLatin1(pageproto::kUnsandboxedAsRootArgument);
    }
    arguments << m_launch.extraArguments;

    ++m_helperNumber;
    m_ready = false;
    m_reader = pageproto::FrameReader();
    m_errorTail.clear();
    m_lastErrorLine.clear();
    m_helper = std::make_unique<QProcess>();
    QProcess* helper = m_helper.get();
    helper->setProgram(m_launch.program);
    helper->setArguments(arguments);
    connect(helper, &QProcess::readyReadStandardOutput, this, &HelperPages::onOutput);
    connect(helper, &QProcess::readyReadStandardError, this, &HelperPages::onErrorOutput);
    connect(helper, &QProcess::finished, this, [this](int code, QProcess::ExitStatus status) {
        onHelperEnded(status == QProcess::CrashExit
                          ? QStringLiteral("its page helper crashed")
                          : QStringLiteral("its page helper exited with code %1").arg(code));
    });
    connect(helper, &QProcess::errorOccurred, this, [this, helper](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) {
            onHelperEnded(QStringLiteral("its page helper %1 cannot be started (%2)")
                              .arg(helper->program(), helper->errorString()));
        }
    });
    helper->start(QIODevice::ReadWrite);
    // A program that cannot be started may be reported at once, and has then ended.
    return m_helper != nullptr;
}

void HelperPages::onOutput() {
    if (m_helper == nullptr) {
        return;
    }
    const QByteArray bytes = m_helper->readAllStandardOutput();
    m_reader.append(std::string_view(bytes.constData(), std::size_t(bytes.size())));
    while (m_helper != nullptr) {
        const std::optional<std::string> payload = m_reader.next();
        if (!payload) {
            if (m_reader.broken()) {
                dropHelper(QStringLiteral("page helper sent an oversized answer"));
            }
            return;
        }
        std::optional<pageproto::Answer> answer = pageproto::ParseAnswer(*payload);
        if (!answer) {
            dropHelper(QStringLiteral("page helper sent a malformed answer"));
            return;
        }
        if (std::holds_alternative<pageproto::Ready>(*answer)) {
            m_ready = true;
        } else if (const auto* fatal = std::get_if<pageproto::Fatal>(&*answer)) {
            engineUnusable(ToQt(fatal->reason));
            dropHelper(QStringLiteral("browser engine unusable"));
            return;
        } else {
            auto& page = std::get<pageproto::PageAnswer>(*answer);
            if (!m_exchange || m_exchange->answer || page.id != m_exchange->id ||
                page.control != m_exchange->control) {
                dropHelper(QStringLiteral("page helper sent an unexpected answer"));
                return;
            }
            m_ready = true;
            m_exchange->answer = std::move(page);
            m_waiter.wake();
        }
    }
}

void HelperPages::onErrorOutput() {
    if (m_helper == nullptr) {
        return;
    }
    m_errorTail += m_helper->readAllStandardError();
    qsizetype end = 0;
    while ((end = m_errorTail.indexOf('\n')) >= 0) {
        const QString line = QString::fromLocal8Bit(m_errorTail.left(end)).trimmed();
        m_errorTail.remove(0, end + 1);
        if (!line.isEmpty()) {
            qCDebug(lcEngine).noquote() << line;
            m_lastErrorLine = line.left(300);
        }
    }
    // A line without an end is kept only so far.
    if (m_errorTail.size() > kErrorTail) {
        m_errorTail = m_errorTail.right(kErrorTail);
    }
}

void HelperPages::onHelperEnded(const QString& cause) {
    if (m_helper == nullptr) {
        return;
    }
    onOutput();
    onErrorOutput();
    if (m_helper == nullptr) {
        return;  // the last answers ended it already
    }
    if (!m_ready && !m_released && !m_waiter.aborted()) {
        QString reason = QStringLiteral("the browser engine could not start: %1").arg(cause);
        if (!m_lastErrorLine.isEmpty()) {
            reason += QStringLiteral(" (it said: %1)").arg(m_lastErrorLine);
        }
        engineUnusable(reason);
    }
    failExchange(QStringLiteral("page helper ended"));
    letGo(m_helper.release());
}

QProcess* HelperPages::letGo(QProcess* helper) {
    // Goes once it has ended; at the latest with this object, which ends it then.
    helper->disconnect(this);
    helper->setParent(this);
    if (helper->state() == QProcess::NotRunning) {
        helper->deleteLater();
    } else {
        connect(helper, &QProcess::finished, helper, &QObject::deleteLater);
    }
    return helper;
}

void HelperPages::dropHelper(const QString& why) {
    if (m_helper == nullptr) {
        return;
    }
    if (!m_ready && !m_released && !m_waiter.aborted()) {
        engineUnusable(QStringLiteral("the browser engine could not start: its %1").arg(why));
    }
    failExchange(why);
    letGo(m_helper.release())->kill();
}

void HelperPages::failExchange(const QString& why) {
    if (m_exchange && !m_exchange->answer && m_exchange->failure.isEmpty()) {
        m_exchange->failure = why;
    }
    m_waiter.wake();
}

void HelperPages::engineUnusable(const QString& reason) {
    if (!m_unusable) {
        m_unusable = true;
        emit engineFailed(reason);
    }
}

pageproto::PageAnswer HelperPages::exchange(const pageproto::Request& request,
                                            std::chrono::milliseconds limit) {
    const std::uint32_t id = std::visit([](const auto& r) { return r.id; }, request);
    const Control control = std::visit([](const auto& r) { return r.control; }, request);
    const auto failed = [id, control](const QString& detail) {
        return pageproto::PageAnswer{
            .id = id, .control = control, .detail = detail.toStdU16String()};
    };
    if (m_released) {
        return failed(QStringLiteral("pages already released"));
    }
    if (m_unusable || !ensureHelper()) {
        return failed(QStringLiteral("browser engine unusable"));
    }
    const auto deadline = Clock::now() + limit + kAnswerMargin + (m_ready ? 0s : kStartAllowance);
    m_exchange = Exchange{.id = id, .control = control};
    const std::string frame = pageproto::Frame(request);
    m_helper->write(frame.data(), qint64(frame.size()));
    const bool answered = m_waiter.until(
        [this] { return m_exchange->answer || !m_exchange->failure.isEmpty(); }, deadline);
    if (!answered && !m_waiter.aborted()) {
        dropHelper(QStringLiteral("page helper gave no answer in time"));
    }
    Exchange done = std::move(*m_exchange);
    m_exchange.reset();
    if (done.answer) {
        return std::move(*done.answer);
    }
    pageproto::PageAnswer answer = failed(done.failure);
    answer.outcome = answered ? Outcome::Failed : Outcome::TimedOut;
    return answer;
}

std::u16string HelperPages::LoadPage(Control browser, std::optional<std::u16string_view> address) {
    throwIfAborted();
    // Loads run one after another; one asked for from inside another's wait (an event
    // handler running during it) would take that wait over, so it gets nothing.
    if (!IsBrowser(browser) || m_exchange) {
        return {};
    }
    if (!address.has_value()) {
        return ReadPageText(browser);
    }
    const auto begun = Clock::now();
    Kept& page = kept(browser);
    page = Kept{.sent = true};
    const std::uint32_t id = m_nextId++;
    const auto helperLimit = m_timeLimit + std::min(m_timeLimit, kReadLimit) + kRendererEnd;
    pageproto::PageAnswer answer = exchange(
        pageproto::LoadRequest{.id = id,
                               .control = browser,
                               .timeLimitMs = static_cast<std::uint32_t>(m_timeLimit.count()),
                               .address = std::u16string(*address)},
        helperLimit);
    if (answer.outcome != Outcome::Failed) {
        page.helper = m_helperNumber;
    }
    page.text = std::move(answer.text);
    const bool aborted = m_waiter.aborted();
    if (aborted) {
        page.text.clear();
    }
    LogLoad(browser, *address, aborted ? QStringLiteral("aborted") : OutcomeName(answer.outcome),
            ToQt(answer.detail),
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - begun),
            page.text.size());
    throwIfAborted();
    return page.text;
}

std::u16string HelperPages::ReadPageText(Control browser) {
    throwIfAborted();
    if (!IsBrowser(browser) || m_exchange) {
        return {};
    }
    Kept& page = kept(browser);
    // Only the helper that loaded the page still shows it.
    if (page.helper == 0 || page.helper != m_helperNumber || m_helper == nullptr || m_released ||
        m_unusable) {
        return page.text;
    }
    const std::uint32_t id = m_nextId++;
    const auto readLimit = std::min(m_timeLimit, kReadLimit);
    pageproto::PageAnswer answer = exchange(
        pageproto::ReadRequest{.id = id,
                               .control = browser,
                               .timeLimitMs = static_cast<std::uint32_t>(m_timeLimit.count())},
        readLimit + kRendererEnd);
    throwIfAborted();
    return answer.outcome == Outcome::Loaded ? std::move(answer.text) : page.text;
}

void HelperPages::release() {
    m_released = true;
    if (m_helper == nullptr) {
        return;
    }
    // The helper ends its engine when its input ends, and is ended if it takes too long.
    QProcess* helper = letGo(m_helper.release());
    helper->closeWriteChannel();
    QTimer::singleShot(kExitGrace, helper, &QProcess::kill);
}

void HelperPages::abort() {
    m_waiter.abort();
    if (m_helper != nullptr) {
        letGo(m_helper.release())->kill();
    }
}

void HelperPages::setTimeLimit(std::chrono::milliseconds limit) {
    m_timeLimit =
        std::clamp(limit, std::chrono::milliseconds(1), std::chrono::milliseconds(3600000));
}

qint64 HelperPages::helperProcessId() const {
    return m_helper != nullptr ? m_helper->processId() : 0;
}

HelperPages::Kept& HelperPages::kept(Control browser) {
    return m_kept[static_cast<std::size_t>(browser)];
}

void HelperPages::throwIfAborted() const {
    if (m_waiter.aborted()) {
        throw RunAborted();
    }
}

}  // namespace brevane
