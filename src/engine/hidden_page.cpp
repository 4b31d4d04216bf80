// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// One hidden browser page: a QWebEnginePage without a view that never shows anything.
#include "engine/hidden_page.h"

#include <QAuthenticator>
#include <QWebEngineCertificateError>
#include <QWebEngineClientCertificateSelection>
#include <QWebEngineFileSystemAccessRequest>
#include <QWebEngineFullScreenRequest>
#include <QWebEngineRegisterProtocolHandlerRequest>
#include <QtGlobal>
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
#include <QWebEnginePermission>
#endif

namespace brevane {

HiddenPage::HiddenPage(QWebEngineProfile* profile, QObject* parent)
    : QWebEnginePage(profile, parent) {
    setAudioMuted(true);

    // Every request a page can make of its user is refused on the spot: nobody is there
    // to answer it, and a request left open could hold the load.
    connect(this, &QWebEnginePage::certificateError, this,
            [](const QWebEngineCertificateError& error) {
                QWebEngineCertificateError refused = error;
                refused.rejectCertificate();
            });
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    connect(this, &QWebEnginePage::permissionRequested, this,
            [](const QWebEnginePermission& permission) { permission.deny(); });
#else
    connect(this, &QWebEnginePage::featurePermissionRequested, this,
            [this](const QUrl& origin, Feature feature) {
                setFeaturePermission(origin, feature, PermissionDeniedByUser);
            });
#endif
    connect(this, &QWebEnginePage::fullScreenRequested, this,
            [](QWebEngineFullScreenRequest request) { request.reject(); });
    connect(this, &QWebEnginePage::registerProtocolHandlerRequested, this,
            [](QWebEngineRegisterProtocolHandlerRequest request) { request.reject(); });
    connect(this, &QWebEnginePage::fileSystemAccessRequested, this,
            [](QWebEngineFileSystemAccessRequest request) { request.reject(); });
    connect(this, &QWebEnginePage::selectClientCertificate, this,
            [](QWebEngineClientCertificateSelection selection) { selection.selectNone(); });
    // An authenticator left empty cancels the login.
    connect(this, &QWebEnginePage::authenticationRequired, this,
            [](const QUrl&, QAuthenticator* authenticator) { *authenticator = QAuthenticator(); });
    connect(this, &QWebEnginePage::proxyAuthenticationRequired, this,
            [](const QUrl&, QAuthenticator* authenticator, const QString&) {
                *authenticator = QAuthenticator();
            });
}

QWebEnginePage* HiddenPage::createWindow(WebWindowType) {
    return nullptr;
}

QStringList HiddenPage::chooseFiles(FileSelectionMode, const QStringList&, const QStringList&) {
    return {};
}

void HiddenPage::javaScriptAlert(const QUrl&, const QString&) {}

bool HiddenPage::javaScriptConfirm(const QUrl&, const QString&) {
    return false;
}

bool HiddenPage::javaScriptPrompt(const QUrl&, const QString&, const QString&, QString*) {
    return false;
}

void HiddenPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString&, int,
                                          const QString&) {}

bool HiddenPage::acceptNavigationRequest(const QUrl& url, NavigationType, bool isMainFrame) {
    // Frames are never loaded, and any scheme but the web's own would hand the address to
    // another program on the desktop (mail, chat, file manager).
    if (!isMainFrame) {
        return false;
    }
    const QString scheme = url.scheme();
    return scheme == u"http" || scheme == u"https" || scheme == u"about";
}

}  // namespace brevane
