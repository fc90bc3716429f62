#pragma once
// A page of the program's browser: it does for the user what a browser does
// when the page asks (new windows, full screen, permissions, sign-in, its
// own alert boxes) and says everything in Chinese.
#include <memory>

#include <QElapsedTimer>
#include <QWebEnginePage>

class QAuthenticator;
class QWebEngineCertificateError;
class QWebEngineFullScreenRequest;
class QWebEngineView;

namespace velmora {

class FullScreenWindow;
class PageDialogs;
class UserActivation;
class WebEngineBrowser;

class WebPage final : public QWebEnginePage {
    Q_OBJECT
public:
    // Owned by view, which shows it outside full screen.
    WebPage(WebEngineBrowser& browser, QWebEngineView* view);
    ~WebPage() override;

    PageDialogs& dialogs() { return *dialogs_; }
    UserActivation& activation() { return *activation_; }

    // Loads url as the user asked for it (a menu choice): a dialog of the
    // page open meanwhile ends as if cancelled, and the page loads once it
    // has returned.
    void loadAsked(const QUrl& url);

protected:
    QWebEnginePage* createWindow(WebWindowType type) override;
    void javaScriptAlert(const QUrl& securityOrigin, const QString& msg) override;
    bool javaScriptConfirm(const QUrl& securityOrigin, const QString& msg) override;
    bool javaScriptPrompt(const QUrl& securityOrigin, const QString& msg, const QString& defaultValue,
                          QString* result) override;
    // The chooser opens in the download folder, where what a user sends
    // back to a site most often is.
    QStringList chooseFiles(FileSelectionMode mode, const QStringList& oldFiles,
                            const QStringList& acceptedMimeTypes) override;

private:
    void onFullScreenRequested(QWebEngineFullScreenRequest request);
    void onFeaturePermissionRequested(const QUrl& securityOrigin, Feature feature);
    void onAuthenticationRequired(const QUrl& requestUrl, QAuthenticator* authenticator);
    void onProxyAuthenticationRequired(const QUrl& requestUrl, QAuthenticator* authenticator,
                                       const QString& proxyHost);
    void onCertificateError(const QWebEngineCertificateError& error);
    void onRenderProcessTerminated(RenderProcessTerminationStatus status);

    WebEngineBrowser& browser_;
    QWebEngineView* homeView_;
    PageDialogs* dialogs_;           // children of this page
    UserActivation* activation_;
    std::unique_ptr<FullScreenWindow> fullScreen_;
    QElapsedTimer sinceReload_;  // since the page was last loaded again after a crash
};

}  // namespace velmora
