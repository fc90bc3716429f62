#pragma once
// The program's browser behind every pane: one off-the-record profile that
// speaks Chinese, the pop-up windows its pages open, the downloads they
// start and the permissions the user granted them in this run.
//
// Created once, after the application object, by the desktop platform; it
// must outlive every pane it served. Nothing of it outlives the run: no
// cookie, cache, permission or history is written to disk.
#include <memory>
#include <vector>

#include <QObject>
#include <QPointer>

class QWebEngineProfile;
class QWebEngineView;
class QWidget;

namespace velmora {

class DownloadList;
class NotificationBoxes;
class PermissionQuestions;
class PopupWindow;
class UserInputWatch;
class WebPage;

class WebEngineBrowser final : public QObject {
    Q_OBJECT
public:
    WebEngineBrowser();
    ~WebEngineBrowser() override;

    QWebEngineProfile* profile() const { return profile_; }
    PermissionQuestions& permissions() { return *permissions_; }

    // A view under parent whose page is one of this browser's.
    QWebEngineView* createView(QWidget* parent);
    // A new top-level window with one pane, shown at once; its page is the
    // one a page in opener asked for with target="_blank" or window.open.
    WebPage* openPopup(const QWidget* opener);

private:
    QWebEngineProfile* profile_;  // owned; deleted after every page of it
    std::unique_ptr<PermissionQuestions> permissions_;
    std::unique_ptr<DownloadList> downloads_;
    std::unique_ptr<NotificationBoxes> notifications_;
    std::unique_ptr<UserInputWatch> userInput_;
    std::vector<QPointer<PopupWindow>> popups_;
};

}  // namespace velmora
