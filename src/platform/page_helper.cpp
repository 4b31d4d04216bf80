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

// Every page helper this object made is its child: those still ending are ended and
// reaped with it.
HelperPages::~HelperPages() {
    m_released = true;
    endHelper(QStringLiteral("pages destroyed"), Retire::Kill);
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
    if (m_released || m_unusable || m_waiter.aborted()) {
        return false;
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
    auto* helper = new QProcess(this);
    m_helper = helper;
    helper->setProgram(m_launch.program);
    helper->setArguments(arguments);
    connect(helper, &QProcess::readyReadStandardOutput, this, &HelperPages::onOutput);
    connect(helper, &QProcess::readyReadStandardError, this, &HelperPages::onErrorOutput);
    connect(helper, &QProcess::finished, this, [this](int code, QProcess::ExitStatus status) {
        onOutput();
        onErrorOutput();
        endHelper(status == QProcess::CrashExit
                      ? QStringLiteral("its page helper crashed")
                      : QStringLiteral("its page helper exited with code %1").arg(code),
                  Retire::Ended);
    });
    connect(helper, &QProcess::errorOccurred, this, [this, helper](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) {
            endHelper(QStringLiteral("its page helper %1 cannot be started (%2)")
                          .arg(helper->program(), helper->errorString()),
                      Retire::Ended);
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
                endHelper(QStringLiteral("its page helper sent an oversized answer"), Retire::Kill);
            }
            return;
        }
        std::optional<pageproto::Answer> answer = pageproto::ParseAnswer(*payload);
        if (!answer) {
            endHelper(QStringLiteral("its page helper sent a malformed answer"), Retire::Kill);
            return;
        }
        onAnswer(std::move(*answer));
    }
}

void HelperPages::onAnswer(pageproto::Answer answer) {
    if (const auto* ready = std::get_if<pageproto::Ready>(&answer)) {
        if (ready->version != pageproto::kProtocolVersion) {
            endHelper(QStringLiteral("page helper of version %1, expected %2")
                          .arg(ready->version)
                          .arg(pageproto::kProtocolVersion),
                      Retire::Kill);
            return;
        }
        m_ready = true;
    } else if (const auto* fatal = std::get_if<pageproto::Fatal>(&answer)) {
        engineUnusable(ToQt(fatal->reason));
        endHelper(QStringLiteral("browser engine unusable"), Retire::Kill);
    } else {
        auto& page = std::get<pageproto::PageAnswer>(answer);
        const auto sent = m_sent.find(page.id);
        if (sent == m_sent.end() || sent->second.answer || !sent->second.failure.isEmpty() ||
            sent->second.helper != m_helperNumber || page.control != sent->second.control) {
            endHelper(QStringLiteral("its page helper sent an unexpected answer"), Retire::Kill);
            return;
        }
        m_ready = true;
        if (sent->second.wanted) {
            sent->second.answer = std::move(page);
            m_waiter.wake();
        } else {
            m_sent.erase(sent);
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
            qCDebug(lcHelper).noquote() << line;
            m_lastErrorLine = line.left(300);
        }
    }
    // A line without an end is kept only so far.
    if (m_errorTail.size() > kErrorTail) {
        m_errorTail = m_errorTail.right(kErrorTail);
    }
}

void HelperPages::endHelper(const QString& cause, Retire how) {
    QProcess* helper = m_helper;
    if (helper == nullptr) {
        return;
    }
    m_helper = nullptr;
    if (!m_ready && !m_released && !m_waiter.aborted()) {
        QString reason = QStringLiteral("the browser engine could not start: %1").arg(cause);
        if (!m_lastErrorLine.isEmpty()) {
            reason += QStringLiteral(" (it said: %1)").arg(m_lastErrorLine);
        }
        engineUnusable(reason);
    }
    for (auto it = m_sent.begin(); it != m_sent.end();) {
        Sent& sent = it->second;
        if (sent.helper == m_helperNumber && !sent.answer) {
            if (!sent.wanted) {
                it = m_sent.erase(it);
                continue;
            }
            sent.failure = cause;
        }
        ++it;
    }
    m_waiter.wake();

    // Goes once it has ended; at the latest with this object, which ends it then.
    helper->disconnect(this);
    if (how == Retire::Kill) {
        helper->kill();
    } else if (how == Retire::CloseInput) {
        // The helper ends its engine when its input ends, and is ended if it takes too long.
        helper->closeWriteChannel();
        QTimer::singleShot(kExitGrace, helper, &QProcess::kill);
    }
    if (helper->state() == QProcess::NotRunning) {
        helper->deleteLater();
    } else {
        connect(helper, &QProcess::finished, helper, &QObject::deleteLater);
    }
}

void HelperPages::engineUnusable(const QString& reason) {
    if (!m_unusable) {
        m_unusable = true;
        emit engineFailed(reason);
    }
}

std::optional<std::uint32_t> HelperPages::send(const pageproto::Request& request,
                                               std::chrono::milliseconds helperTime) {
    if (!ensureHelper()) {
        return std::nullopt;
    }
    const std::uint32_t id = m_nextId++;
    auto numbered = request;
    std::visit([id](auto& r) { r.id = id; }, numbered);
    const auto now = Clock::now();
    Sent sent{
        .control = std::visit([](const auto& r) { return r.control; }, request),
        .helper = m_helperNumber,
        .begun = now,
        .deadline = now + helperTime + pageproto::kAnswerMargin + (m_ready ? 0s : kStartAllowance)};
    if (const auto* load = std::get_if<pageproto::LoadRequest>(&request)) {
        sent.address = load->address;
    }
    m_sent.emplace(id, std::move(sent));
    const std::string frame = pageproto::Frame(numbered);
    m_helper->write(frame.data(), qint64(frame.size()));
    return id;
}

std::optional<std::uint32_t> HelperPages::sendLoad(Control browser, std::u16string_view address) {
    return send(
        pageproto::LoadRequest{.control = browser,
                               .timeLimitMs = static_cast<std::uint32_t>(m_timeLimit.count()),
                               .address = std::u16string(address)},
        pageproto::LoadTime(m_timeLimit));
}

pageproto::PageAnswer HelperPages::await(std::uint32_t id) {
    const auto sent = [this, id]() -> Sent& { return m_sent.at(id); };
    const bool answered =
        m_waiter.until([&] { return sent().answer || !sent().failure.isEmpty(); }, sent().deadline);
    if (!answered && !m_waiter.aborted()) {
        endHelper(QStringLiteral("page helper gave no answer in time"), Retire::Kill);
    }
    Sent done = std::move(sent());
    m_sent.erase(id);
    if (done.answer) {
        return std::move(*done.answer);
    }
    return pageproto::PageAnswer{.id = id,
                                 .control = done.control,
                                 .outcome = answered ? Outcome::Failed : Outcome::TimedOut,
                                 .detail = done.failure.toStdU16String()};
}

std::optional<std::uint32_t> HelperPages::takeAhead(Page& page, std::u16string_view address) {
    const std::optional<std::uint32_t> ahead = std::exchange(page.ahead, std::nullopt);
    if (!ahead) {
        return std::nullopt;
    }
    const Sent& sent = m_sent.at(*ahead);
    // One whose helper ended before it answered is sent again.
    if (sent.address == address && sent.failure.isEmpty()) {
        return ahead;
    }
    unwant(*ahead);
    return std::nullopt;
}

void HelperPages::unwant(std::uint32_t id) {
    Sent& sent = m_sent.at(id);
    if (sent.answer || !sent.failure.isEmpty()) {
        m_sent.erase(id);
    } else {
        sent.wanted = false;  // its answer is dropped when it comes
    }
}

void HelperPages::Expect(Control browser, std::u16string_view address) {
    if (!IsBrowser(browser) || m_released || m_unusable || m_waiter.aborted()) {
        return;
    }
    Page& page = pageOf(browser);
    if (const std::optional<std::uint32_t> earlier = std::exchange(page.ahead, std::nullopt)) {
        unwant(*earlier);
    }
    page.ahead = sendLoad(browser, address);
}

std::u16string HelperPages::LoadPage(Control browser, std::optional<std::u16string_view> address) {
    throwIfAborted();
    // One asked for from inside another's wait (an event handler running during it)
    // would take that wait over, so it gets nothing.
    if (!IsBrowser(browser) || m_waiter.waiting()) {
        return {};
    }
    if (!address.has_value()) {
        return ReadPageText(browser);
    }
    Page& page = pageOf(browser);
    page.helper = 0;
    page.text.clear();
    std::optional<std::uint32_t> id = takeAhead(page, *address);
    if (!id && !m_released && !m_unusable) {
        id = sendLoad(browser, *address);
    }
    pageproto::PageAnswer answer{
        .control = browser,
        .detail = m_released ? u"pages already released" : u"browser engine unusable"};
    Clock::time_point begun = Clock::now();
    int helper = 0;
    if (id) {
        begun = m_sent.at(*id).begun;
        helper = m_sent.at(*id).helper;
        answer = await(*id);
    }
    if (answer.outcome != Outcome::Failed) {
        page.helper = helper;
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
    if (!IsBrowser(browser) || m_waiter.waiting()) {
        return {};
    }
    Page& page = pageOf(browser);
    // Only the helper that loaded the page still shows it, and a load sent ahead would
    // be cut short by a read.
    if (page.helper == 0 || page.helper != m_helperNumber || m_helper == nullptr || page.ahead ||
        m_released || m_unusable) {
        return page.text;
    }
    const std::optional<std::uint32_t> id =
        send(pageproto::ReadRequest{.control = browser,
                                    .timeLimitMs = static_cast<std::uint32_t>(m_timeLimit.count())},
             pageproto::ReadTime(m_timeLimit));
    if (!id) {
        return page.text;
    }
    pageproto::PageAnswer answer = await(*id);
    throwIfAborted();
    return answer.outcome == Outcome::Loaded ? std::move(answer.text) : page.text;
}

void HelperPages::release() {
    m_released = true;
    endHelper(QStringLiteral("pages released"), Retire::CloseInput);
}

void HelperPages::abort() {
    m_waiter.abort();
    endHelper(QStringLiteral("run aborted"), Retire::Kill);
}

void HelperPages::setTimeLimit(std::chrono::milliseconds limit) {
    m_timeLimit =
        std::clamp(limit, std::chrono::milliseconds(1), std::chrono::milliseconds(3600000));
}

qint64 HelperPages::helperProcessId() const {
    return m_helper != nullptr ? m_helper->processId() : 0;
}

HelperPages::Page& HelperPages::pageOf(Control browser) {
    const auto browsers = BrowserControls();
    const auto at = std::find(browsers.begin(), browsers.end(), browser);
    return m_pages[static_cast<std::size_t>(at - browsers.begin())];
}

void HelperPages::throwIfAborted() const {
    if (m_waiter.aborted()) {
        throw RunAborted();
    }
}

}  // namespace brevane
