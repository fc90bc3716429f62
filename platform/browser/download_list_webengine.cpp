#include "platform/browser/download_list_webengine.h"

#include <algorithm>

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QVBoxLayout>
#include <QWebEngineDownloadRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>

#include "platform/browser/browser_texts.h"
#include "platform/browser/page_dialog_loop_qt.h"
#include "platform/browser/page_dialogs_webengine.h"
#include "platform/browser/user_activation_webengine.h"
#include "platform/browser/web_page_webengine.h"
#include "platform/system/qt_text.h"
#include "platform/windows/enter_clicks_button_qt.h"

namespace velmora {

namespace {

// The user's download folder, or the home folder where there is none yet:
// the program creates no folders of its own in the user's home.
QString downloadFolder()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : QDir::homePath();
}

// One download in the list: its file, a bar, the words for its state and a
// button to cancel it while it runs.
class DownloadRow final : public QWidget {
public:
    DownloadRow(QWebEngineDownloadRequest* download, QWidget* parent)
        : QWidget(parent), download_(download), bar_(new QProgressBar(this)), state_(new QLabel(this)),
          cancel_(new QPushButton(qs(kCancelCaption), this))
    {
        auto* name = new QLabel(download->downloadFileName(), this);
        name->setTextFormat(Qt::PlainText);
        name->setToolTip(QDir(download->downloadDirectory()).filePath(download->downloadFileName()));
        state_->setTextFormat(Qt::PlainText);
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(name);
        auto* line = new QHBoxLayout;
        line->addWidget(bar_, 1);
        line->addWidget(cancel_);
        layout->addLayout(line);
        layout->addWidget(state_);

        connect(cancel_, &QPushButton::clicked, download, &QWebEngineDownloadRequest::cancel);
        connect(download, &QWebEngineDownloadRequest::receivedBytesChanged, this, &DownloadRow::update);
        connect(download, &QWebEngineDownloadRequest::totalBytesChanged, this, &DownloadRow::update);
        connect(download, &QWebEngineDownloadRequest::stateChanged, this, &DownloadRow::update);
        update();
    }

private:
    void update()
    {
        const qint64 total = download_->totalBytes();
        const qint64 received = download_->receivedBytes();
        switch (download_->state()) {
        case QWebEngineDownloadRequest::DownloadRequested:
        case QWebEngineDownloadRequest::DownloadInProgress:
            bar_->setRange(0, total > 0 ? 100 : 0);  // no total: a busy bar
            bar_->setValue(total > 0 ? static_cast<int>(received * 100 / total) : 0);
            state_->setText(qs(downloadProgressText(received, total)));
            return;
        case QWebEngineDownloadRequest::DownloadCompleted:
            bar_->setRange(0, 100);
            bar_->setValue(100);
            state_->setText(qs(kDownloadDone) + QStringLiteral("，") + qs(byteSizeText(received)));
            break;
        case QWebEngineDownloadRequest::DownloadCancelled:
            state_->setText(qs(kDownloadCancelled));
            break;
        case QWebEngineDownloadRequest::DownloadInterrupted:
            state_->setText(qs(downloadFailedText(downloadInterruptText(download_->interruptReason()).toStdString())));
            break;
        }
        bar_->setRange(0, 100);
        cancel_->hide();
    }

    QWebEngineDownloadRequest* download_;  // owned by the profile, outlives the row
    QProgressBar* bar_;
    QLabel* state_;
    QPushButton* cancel_;
};

}  // namespace

QString downloadInterruptText(int reason)
{
    using Request = QWebEngineDownloadRequest;
    switch (reason) {
    case Request::FileAccessDenied: return QStringLiteral("没有写入该文件夹的权限");
    case Request::FileNoSpace: return QStringLiteral("磁盘空间不足");
    case Request::FileNameTooLong: return QStringLiteral("文件名太长");
    case Request::FileTooLarge: return QStringLiteral("文件太大，无法保存在该磁盘上");
    case Request::FileVirusInfected:
    case Request::FileBlocked:
    case Request::FileSecurityCheckFailed: return QStringLiteral("文件被系统的安全设置阻止");
    case Request::FileFailed:
    case Request::FileTransientError:
    case Request::FileTooShort:
    case Request::FileHashMismatch: return QStringLiteral("无法写入文件");
    case Request::NetworkTimeout: return QStringLiteral("网络连接超时");
    case Request::NetworkDisconnected: return QStringLiteral("网络连接已断开");
    case Request::NetworkServerDown:
    case Request::ServerUnreachable: return QStringLiteral("无法连接到服务器");
    case Request::NetworkFailed:
    case Request::NetworkInvalidRequest: return QStringLiteral("网络错误");
    case Request::ServerBadContent: return QStringLiteral("服务器上没有这个文件");
    case Request::ServerUnauthorized:
    case Request::ServerForbidden: return QStringLiteral("服务器拒绝了访问");
    case Request::ServerCertProblem: return QStringLiteral("服务器的安全证书有问题");
    case Request::ServerFailed: return QStringLiteral("服务器出错");
    case Request::UserCanceled: return qs(kDownloadCancelled);
    default: return QStringLiteral("未知错误");
    }
}

DownloadList::DownloadList(QWebEngineProfile* profile)
{
    // The program reads and writes no settings of its own, so only the file
    // dialog's history is redirected by this.
    if (dialogSettings_.isValid())
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dialogSettings_.path());
    profile->setDownloadPath(downloadFolder());
    connect(profile, &QWebEngineProfile::downloadRequested, this, &DownloadList::onDownloadRequested);
}

DownloadList::~DownloadList()
{
    delete window_.data();
}

void DownloadList::onDownloadRequested(QWebEngineDownloadRequest* download)
{
    // The engine wants the answer before the signal returns; a download not
    // accepted by then is cancelled and its bytes thrown away.
    const QPointer<QWebEngineDownloadRequest> asked(download);
    QWidget* window = pageWindow(download->page());
    std::erase_if(asking_, [](const QPointer<QWidget>& open) { return open.isNull(); });
    // One question at a time over a window: downloads its pages start
    // meanwhile are refused.
    if (window && std::find(asking_.begin(), asking_.end(), window) != asking_.end()) {
        download->cancel();
        return;
    }
    asking_.emplace_back(window);
    const QString target = mayStart(download, window) ? askTarget(download, window) : QString();
    std::erase_if(asking_, [window](const QPointer<QWidget>& open) { return open.isNull() || open == window; });
    if (!asked || asked->state() != QWebEngineDownloadRequest::DownloadRequested)
        return;
    if (target.isEmpty()) {
        download->cancel();
        return;
    }
    const QFileInfo file(target);
    download->setDownloadDirectory(file.absolutePath());
    download->setDownloadFileName(file.fileName());
    download->accept();
    follow(download);
}

bool DownloadList::mayStart(QWebEngineDownloadRequest* download, QWidget* window)
{
    const QPointer<WebPage> page = qobject_cast<WebPage*>(download->page());
    if (!page || page->activation().takeDownload())
        return true;
    if (!page->activation().moreDownloads()) {
        const std::optional<bool> answer = askMoreDownloads(window);
        if (!answer || !page)
            return false;
        page->activation().setMoreDownloads(*answer);
    }
    return *page->activation().moreDownloads();
}

std::optional<bool> DownloadList::askMoreDownloads(QWidget* window)
{
    PageDialog<QMessageBox> box(window, QMessageBox::NoIcon, qs(kPermissionTitle), qs(kMultipleDownloadsQuestion),
                                QMessageBox::Yes | QMessageBox::No);
    makeReadable(*box.get());
    setCaption(box->button(QMessageBox::Yes), kAllowCaption);
    setCaption(box->button(QMessageBox::No), kBlockCaption);
    // Nothing is allowed by a stray Return.
    box->setDefaultButton(QMessageBox::No);
    box->setEscapeButton(QMessageBox::No);
    const std::optional<int> answer = box.run(nullptr, ModalTo::Window);
    if (!answer)
        return std::nullopt;
    return *answer == QMessageBox::Yes;
}

QString DownloadList::askTarget(QWebEngineDownloadRequest* download, QWidget* window)
{
    // Over the page's window and modal to it. A window closed meanwhile (a
    // pop-up that closes itself once its download has begun) goes once the
    // user has chosen, and the choice holds for the download, which the
    // profile owns.
    PageDialog<QFileDialog> dialog(window);
    dialog->setWindowTitle(qs(kSaveDialogTitle));
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setDirectory(download->downloadDirectory());
    dialog->selectFile(download->downloadFileName());
    if (dialog.run(nullptr, ModalTo::Window, WhenWindowCloses::Wait) != QDialog::Accepted
        || dialog->selectedFiles().isEmpty())
        return {};
    return dialog->selectedFiles().constFirst();
}

void DownloadList::follow(QWebEngineDownloadRequest* download)
{
    if (!window_) {
        window_ = new QWidget(nullptr, Qt::Window);
        window_->setAttribute(Qt::WA_DeleteOnClose);
        new EnterClicksButton(window_);
        window_->setWindowTitle(qs(kDownloadsTitle));
        window_->resize(460, 120);
        rows_ = new QVBoxLayout(window_);
        rows_->addStretch();
    }
    rows_->insertWidget(rows_->count() - 1, new DownloadRow(download, window_));
    window_->show();
    window_->raise();
}

}  // namespace velmora
