#pragma once
// Downloads that pages start (attachments, links with a download attribute,
// "save page"): the user picks where each goes in a save dialog that opens
// in the download folder with the suggested name, then follows it in a
// window of its own that tells progress and the end in Chinese and can
// cancel it. Nothing is written before the user has chosen a file; a
// dialog cancelled leaves nothing on disk, and an existing file is replaced
// only when the user says so in the dialog.
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
    // Asks where download goes; empty when the user cancels.
    QString askTarget(QWebEngineDownloadRequest* download) const;
    void follow(QWebEngineDownloadRequest* download);

    // Qt's file dialog keeps its history in the user's settings; they go to
    // a folder of the run's own instead, deleted with it.
    QTemporaryDir dialogSettings_;
    QPointer<QWidget> window_;  // created with the first download, deleted on close
    QVBoxLayout* rows_ = nullptr;
};

}  // namespace velmora
