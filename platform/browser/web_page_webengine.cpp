#include "platform/browser/web_page_webengine.h"

#include <QAuthenticator>
#include <QTimer>
#include <QWebEngineCertificateError>
#include <QWebEngineFullScreenRequest>
#include <QWebEngineProfile>
#include <QWebEngineView>

#include "platform/browser/browser_texts.h"
#include "platform/browser/browser_webengine.h"
#include "platform/browser/file_chooser_webengine.h"
#include "platform/browser/full_screen_window_webengine.h"
#include "platform/browser/page_dialogs_webengine.h"
#include "platform/browser/permission_questions_webengine.h"
#include "platform/browser/popup_window_webengine.h"
#include "platform/browser/user_activation_webengine.h"

namespace velmora {

WebPage::WebPage(WebEngineBrowser& browser, QWebEngineView* view)
    : QWebEnginePage(browser.profile(), view), browser_(browser), homeView_(view), dialogs_(new PageDialogs(this)),
      activation_(new UserActivation(this))
{
    connect(this, &QWebEnginePage::fullScreenRequested, this, &WebPage::onFullScreenRequested);
    connect(this, &QWebEnginePage::featurePermissionRequested, this, &WebPage::onFeaturePermissionRequested);
    connect(this, &QWebEnginePage::authenticationRequired, this, &WebPage::onAuthenticationRequired);
    connect(this, &QWebEnginePage::proxyAuthenticationRequired, this, &WebPage::onProxyAuthenticationRequired);
    connect(this, &QWebEnginePage::certificateError, this, &WebPage::onCertificateError);
    connect(this, &QWebEnginePage::renderProcessTerminated, this, &WebPage::onRenderProcessTerminated);
}

WebPage::~WebPage()
{
    // The view this page lived in is going away with it; there is nowhere
    // to give it back to.
    if (fullScreen_)
        fullScreen_->forgetPage();
}

void WebPage::loadAsked(const QUrl& url)
{
    dialogs_->endForNavigation([this, url] { load(url); });
}

QWebEnginePage* WebPage::createWindow(WebWindowType)
{
    // Tabs, windows and dialogs alike: the program has no tabs, so every
    // page a page opens gets a window of its own.
    return browser_.openPopup(pageWindow(this));
}

void WebPage::javaScriptAlert(const QUrl& securityOrigin, const QString& msg)
{
    dialogs_->alert(securityOrigin, msg);
}

bool WebPage::javaScriptConfirm(const QUrl& securityOrigin, const QString& msg)
{
    return dialogs_->confirm(securityOrigin, msg);
}

bool WebPage::javaScriptPrompt(const QUrl& securityOrigin, const QString& msg, const QString& defaultValue,
                               QString* result)
{
    return dialogs_->prompt(securityOrigin, msg, defaultValue, result);
}

QStringList WebPage::chooseFiles(FileSelectionMode mode, const QStringList& oldFiles,
                                 const QStringList& acceptedMimeTypes)
{
    return choosePageFiles(this, mode, oldFiles, acceptedMimeTypes, profile()->downloadPath());
}

void WebPage::onFullScreenRequested(QWebEngineFullScreenRequest request)
{
    if (request.toggleOn() == static_cast<bool>(fullScreen_)) {
        request.accept();
        return;
    }
    request.accept();
    if (request.toggleOn())
        fullScreen_ = std::make_unique<FullScreenWindow>(homeView_);
    else
        fullScreen_.reset();
}

void WebPage::onFeaturePermissionRequested(const QUrl& securityOrigin, Feature feature)
{
    browser_.permissions().request(this, pageWindow(this), securityOrigin, feature);
}

void WebPage::onAuthenticationRequired(const QUrl& requestUrl, QAuthenticator* authenticator)
{
    const std::string text = siteSignInText(originName(requestUrl).toStdString(), authenticator->realm().toStdString());
    dialogs_->signIn(QString::fromStdString(text), authenticator);
}

void WebPage::onProxyAuthenticationRequired(const QUrl&, QAuthenticator* authenticator, const QString& proxyHost)
{
    dialogs_->signIn(QString::fromStdString(proxySignInText(proxyHost.toStdString())), authenticator);
}

void WebPage::onCertificateError(const QWebEngineCertificateError& error)
{
    refuseCertificate(pageWindow(this), error);
}

void WebPage::onRenderProcessTerminated(RenderProcessTerminationStatus status)
{
    // A renderer that crashed or was killed leaves the pane blank. A browser
    // offers to load the page again; with no toolbar to offer it on, the
    // pane does so itself, once in a while, so that a page that crashes its
    // renderer each time cannot keep the engine busy. Between two such
    // loads the pane says what happened, with a link that loads it again.
    constexpr qint64 kReloadIntervalMs = 10000;
    if (status == NormalTerminationStatus)
        return;
    if (sinceReload_.isValid() && sinceReload_.elapsed() < kReloadIntervalMs) {
        // The program's page takes the lost page's address as its own, so
        // that it still leads back there when its own renderer dies.
        QTimer::singleShot(0, this, [this, lost = url()] {
            setHtml(QString::fromStdString(crashedPageHtml(lost.toString().toStdString())), lost);
        });
        return;
    }
    sinceReload_.start();
    QTimer::singleShot(0, this, [this] { triggerAction(Reload); });
}

}  // namespace velmora
