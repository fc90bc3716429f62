#pragma once
// Downloads that pages start (attachments, links with a download attribute,
// "save page"): the user picks where each goes in a save dialog that opens
// in the download folder with the suggested name, then follows it in a
// window of its own that tells progress and the end in Chinese and can
// cancel it. Nothing is written before the user has chosen a file; a
// dialog cancelled leaves nothing on disk, and an existing file is replaced
// only when the user says so in the dialog.
//
// A page's first download, and the first after each click or key of the
// user's in it, go straight to the save dialog; for further ones the page
// starts by itself the user is asked once, "此网站想下载多个文件" (允许 /
// 禁止), and the answer holds for the page. The dialogs are modal to the
// page's window, one at a time over it.
#include <optional>
#include <vector>

#include <QPointer>
#include <QString>
#include <QTemporaryDir>
#include <QWidget>

class QWebEngineDownloadRequest;
class QWebEngineProfile;
class QVBoxLayout;

namespace velmora {

// Chinese words for why a download stopped, from the engine's reason code.
QString downloadInterruptText(int reason);

class DownloadList final : public QObject {
    Q_OBJECT
public:
    explicit DownloadList(QWebEngineProfile* profile);
    ~DownloadList() override;

private:
    void onDownloadRequested(QWebEngineDownloadRequest* download);
    // Whether the page may start download now, asking the user if need be.
    static bool mayStart(QWebEngineDownloadRequest* download, QWidget* window);
    // The user's answer whether a page may start more downloads; none when
    // the window closed first.
    static std::optional<bool> askMoreDownloads(QWidget* window);
    // Asks where download goes; empty when the user cancels.
    static QString askTarget(QWebEngineDownloadRequest* download, QWidget* window);
    void follow(QWebEngineDownloadRequest* download);

    // Qt's file dialog keeps its history in the user's settings; they go to
    // a folder of the run's own instead, deleted with it.
    QTemporaryDir dialogSettings_;
    std::vector<QPointer<QWidget>> asking_;  // the windows a dialog of this list is open over
    QPointer<QWidget> window_;  // created with the first download, deleted on close
    QVBoxLayout* rows_ = nullptr;
};

}  // namespace velmora
