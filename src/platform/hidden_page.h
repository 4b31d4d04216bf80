// One hidden browser page: a QWebEnginePage without a view that never shows anything.
#pragma once

#include <QWebEnginePage>

namespace brevane {

/// A page nobody sees. Whatever its silent flag says, it opens no dialog and no window,
/// answers every permission, certificate, login and file request with a refusal, launches
/// no external program and logs nothing.
class HiddenPage : public QWebEnginePage {
    Q_OBJECT
public:
    explicit HiddenPage(QWebEngineProfile* profile, QObject* parent = nullptr);

    /// The classic control's "show no dialogs of your own" switch. This page shows
    /// nothing either way; the flag is kept so the load handlers have it to set.
    bool isSilent() const { return m_silent; }
    void setSilent(bool silent) { m_silent = silent; }

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

private:
    bool m_silent = false;
};

}  // namespace brevane
