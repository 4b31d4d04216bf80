// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// One hidden browser page: a QWebEnginePage without a view that never shows anything.
#pragma once

#include <QWebEnginePage>

namespace brevane {

/// A page nobody sees. It opens no dialog and no window, answers every permission,
/// certificate, login and file request with a refusal, launches no external program and
/// logs nothing.
class HiddenPage : public QWebEnginePage {
    Q_OBJECT
public:
    explicit HiddenPage(QWebEngineProfile* profile, QObject* parent = nullptr);

protected:
    QWebEnginePage* createWindow(WebWindowType type) override;
    QStringList chooseFiles(FileSelectionMode mode, const QStringList& oldFiles,
                            const QStringList& acceptedMimeTypes) override;
    void javaScriptAlert(const QUrl& securityOrigin, const QString& msg) override;
    bool javaScriptConfirm(const QUrl& securityOrigin, const QString& msg) override;
    bool javaScriptPrompt(const QUrl& securityOrigin, const QString& msg,
                          const QString& defaultValue, QString* result) override;
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message,
                                  int lineNumber, const QString& sourceID) override;
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
};

}  // namespace brevane
