// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The page helper as the Qt program runs it.
#include "platform/qt_helper_channel.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QTimer>

#include <utility>

namespace brevane {

namespace {

using namespace std::chrono_literals;

constexpr char kHelperName[] = "brevane-pages";
// After the run, the time the helper has to end its engine before it is ended.
constexpr std::chrono::milliseconds kExitGrace = 2s;

std::string_view View(const QByteArray& bytes) {
    return {bytes.constData(), static_cast<std::size_t>(bytes.size())};
}

}  // namespace

PageHelperOptions PageHelperLaunch::options() const {
    PageHelperOptions options{.loopbackOnly = loopbackOnly, .unsandboxedAsRoot = unsandboxedAsRoot};
    for (const QString& argument : extraArguments) {
        options.extraArguments.push_back(argument.toStdString());
    }
    return options;
}

QString FindPageHelper() {
    const QDir folder(QCoreApplication::applicationDirPath());
    QString beside = folder.filePath(QLatin1String(kHelperName));
    if (QFileInfo(beside).isExecutable()) {
        return beside;
    }
    return QDir::cleanPath(
        folder.filePath(QStringLiteral("../libexec/brevane/%1").arg(kHelperName)));
}

QtHelperChannel::QtHelperChannel(QString program, QObject* parent)
    : QObject(parent), m_program(std::move(program)) {}

QtHelperChannel::~QtHelperChannel() {
    m_listener = nullptr;
    for (QProcess* helper : findChildren<QProcess*>(Qt::FindDirectChildrenOnly)) {
        helper->disconnect(this);
        helper->kill();
        helper->waitForFinished(1000);
    }
}

void QtHelperChannel::start(const std::vector<std::string>& arguments) {
    if (QProcess* earlier = detach()) {
        earlier->kill();
    }
    QStringList list;
    for (const std::string& argument : arguments) {
        list << QString::fromStdString(argument);
    }
    auto* helper = new QProcess(this);
    m_helper = helper;
    helper->setProgram(m_program);
    helper->setArguments(list);
    connect(helper, &QProcess::readyReadStandardOutput, this, &QtHelperChannel::onOutput);
    connect(helper, &QProcess::readyReadStandardError, this, &QtHelperChannel::onErrorOutput);
    connect(helper, &QProcess::finished, this, [this](int code, QProcess::ExitStatus status) {
        onOutput();
        onErrorOutput();
        onEnded(status == QProcess::CrashExit
                    ? std::string("its page helper crashed")
                    : "its page helper exited with code " + std::to_string(code));
    });
    connect(helper, &QProcess::errorOccurred, this, [this, helper](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) {
            onEnded("its page helper " + helper->program().toStdString() + " cannot be started (" +
                    helper->errorString().toStdString() + ")");
        }
    });
    helper->start(QIODevice::ReadWrite);
}

void QtHelperChannel::write(std::string_view bytes) {
    if (m_helper != nullptr) {
        m_helper->write(bytes.data(), qint64(bytes.size()));
    }
}

QProcess* QtHelperChannel::detach() {
    QProcess* helper = std::exchange(m_helper, nullptr);
    if (helper == nullptr) {
        return nullptr;
    }
    helper->disconnect(this);
    // Goes once it has ended; at the latest with this object, which ends it then.
    if (helper->state() == QProcess::NotRunning) {
        helper->deleteLater();
    } else {
        connect(helper, &QProcess::finished, helper, &QObject::deleteLater);
    }
    return helper;
}

void QtHelperChannel::end(Ending how) {
    QProcess* helper = detach();
    if (helper == nullptr || helper->state() == QProcess::NotRunning) {
        return;
    }
    if (how == Ending::Kill) {
        helper->kill();
    } else {
        // The helper ends its engine when its input ends, and is ended if it takes too long.
        helper->closeWriteChannel();
        QTimer::singleShot(kExitGrace, helper, &QProcess::kill);
    }
}

std::int64_t QtHelperChannel::processId() const {
    return m_helper != nullptr ? m_helper->processId() : 0;
}

void QtHelperChannel::onOutput() {
    if (m_helper != nullptr && m_listener != nullptr) {
        m_listener->helperOutput(View(m_helper->readAllStandardOutput()));
    }
}

void QtHelperChannel::onErrorOutput() {
    if (m_helper != nullptr && m_listener != nullptr) {
        m_listener->helperErrorOutput(View(m_helper->readAllStandardError()));
    }
}

void QtHelperChannel::onEnded(const std::string& cause) {
    if (detach() != nullptr && m_listener != nullptr) {
        m_listener->helperEnded(cause);
    }
    wake();
}

void QtHelperChannel::waitUntil(const std::function<bool()>& done, Clock::time_point deadline) {
    while (!done()) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            return;
        }
        QEventLoop loop;
        QTimer timer;
        timer.setSingleShot(true);
        timer.setTimerType(Qt::PreciseTimer);
        connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
        timer.start(left);
        QEventLoop* const outer = std::exchange(m_loop, &loop);
        loop.exec();
        m_loop = outer;
    }
}

void QtHelperChannel::wake() {
    if (m_loop != nullptr) {
        m_loop->quit();
    }
}

}  // namespace brevane
