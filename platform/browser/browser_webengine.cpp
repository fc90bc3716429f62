#include "platform/browser/browser_webengine.h"

#include <QWebEngineNotification>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineView>

#include "platform/browser/download_list_webengine.h"
#include "platform/browser/notification_boxes_webengine.h"
#include "platform/browser/permission_questions_webengine.h"
#include "platform/browser/popup_window_webengine.h"
#include "platform/browser/user_activation_webengine.h"
#include "platform/browser/web_page_webengine.h"

namespace velmora {

namespace {

// What pages are told the user reads, whatever the machine's own locale.
const QString kAcceptLanguage = QStringLiteral("zh-CN,zh;q=0.9");

}  // namespace

WebEngineBrowser::WebEngineBrowser()
    : profile_(new QWebEngineProfile),  // no storage name: off the record
      permissions_(std::make_unique<PermissionQuestions>()),
      notifications_(std::make_unique<NotificationBoxes>()), userInput_(std::make_unique<UserInputWatch>())
{
    profile_->setHttpAcceptLanguage(kAcceptLanguage);
    profile_->setNotificationPresenter([boxes = notifications_.get()](
                                           std::unique_ptr<QWebEngineNotification> notification) {
        boxes->present(std::move(notification));
    });
    QWebEngineSettings* settings = profile_->settings();
    settings->setAttribute(QWebEngineSettings::FullScreenSupportEnabled, true);
    settings->setAttribute(QWebEngineSettings::ScreenCaptureEnabled, true);
    // Pages open windows only when the user asked for it with a click or a
    // key, as a browser's pop-up blocker lets them.
    settings->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    // A page writes the clipboard only for a few seconds after the user's
    // click or key in it (UserActivation), as a browser's copy button does;
    // reading it stays refused, so that no page learns what the user copied
    // elsewhere.
    settings->setAttribute(QWebEngineSettings::JavascriptCanAccessClipboard, false);
    settings->setAttribute(QWebEngineSettings::JavascriptCanPaste, false);
    // A page's own audio and video start with their sound: the user chose
    // the page from the menu, which is the gesture (a television page's
    // channel starts by itself). That holds for every page of the profile,
    // the windows pages open included; a pane nobody sees is muted instead
    // (BrowserPane::muteAudio).
    settings->setAttribute(QWebEngineSettings::PlaybackRequiresUserGesture, false);
    downloads_ = std::make_unique<DownloadList>(profile_);
}

WebEngineBrowser::~WebEngineBrowser()
{
    // Pages first: the engine wants every page of a profile gone before it.
    for (const QPointer<PopupWindow>& popup : popups_)
        delete popup.data();
    downloads_.reset();
    notifications_.reset();
    permissions_.reset();
    delete profile_;
}

QWebEngineView* WebEngineBrowser::createView(QWidget* parent)
{
    auto* view = new QWebEngineView(parent);
    view->setPage(new WebPage(*this, view));
    return view;
}

WebPage* WebEngineBrowser::openPopup(const QWidget* opener)
{
    std::erase_if(popups_, [](const QPointer<PopupWindow>& popup) { return popup.isNull(); });
    auto* popup = new PopupWindow(*this, opener);
    popups_.emplace_back(popup);
    popup->show();
    return popup->page();
}

}  // namespace velmora
