// The updater window's download steps: Command1 runs one download, and the
// downloader's notifications become the labels and the bar.
#include <algorithm>
#include <optional>
#include <utility>

#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

#include "base/failure_handler.h"
#include "platform/files/program_folder.h"
#include "platform/platform.h"
#include "platform/system/qt_text.h"
#include "updater/cls_download.h"
#include "updater/form3.h"
#include "updater/progress_caption.h"
#include "updater/status_text.h"

namespace velmora {

namespace {

constexpr const char* kArchiveName = "Velmora1.0.zip";
constexpr std::int32_t kTimeOut = 5000;

}  // namespace

// One download started by Command1: the button is disabled for its length,
// and when it ends the last captions reach the screen and a close that was
// asked for meanwhile is carried out.
class Form3::DownloadRun {
public:
    explicit DownloadRun(Form3& form) : form_(form), hadFocus_(form.focusWidget() == form.command1_)
    {
        form_.downloadStarts();
    }
    ~DownloadRun() { form_.downloadEnded(hadFocus_); }
    DownloadRun(const DownloadRun&) = delete;
    DownloadRun& operator=(const DownloadRun&) = delete;

private:
    Form3& form_;
    bool hadFocus_;
};

void Form3::downloadStarts()
{
    // A disabled button passes its focus along the tab order, into the
    // address box with its text selected, where the next key typed would
    // replace the address. Stop is what the user may want next.
    if (focusWidget() == command1_)
        command2_->setFocus(Qt::OtherFocusReason);
    command1_->setEnabled(false);
    frameDue_ = true;
    frameTimer_.start();
}

void Form3::downloadEnded(bool buttonHadFocus)
{
    frameTimer_.stop();
    pushCaptions();
    settleProgressBar();
    command1_->setEnabled(true);
    // Disabling the button passed its focus on; it takes it back.
    if (buttonHadFocus)
        command1_->setFocus();
    if (std::exchange(closeWhenDone_, false))
        close();
}

void Form3::Command1_Click()
{
    Cls_DownLoad& cdf = downloaderOrFail();
    const std::string url = text1_->text().toStdString();
    const ArchivePlace place = archivePlace();
    const std::string target = joinPath(place.folder, kArchiveName);
    // A click while a download runs (the button is disabled then) is refused
    // by the downloader and must leave the running download's state alone.
    std::optional<DownloadRun> run;
    if (!cdf.isDownloading()) {
        run.emplace(*this);
        savedIn_ = place.shown;
    }
    cdf.DLFile(url, target, kTimeOut);
}

// The program's folder wherever this user can write it (the ZIP unpacked
// anywhere, a portable install); an installed program's folder belongs to
// the system, and the archive then goes to the user's own folder.
Form3::ArchivePlace Form3::archivePlace()
{
    std::string program = context_.platform.programFolder();
    if (context_.platform.canCreateFilesIn(program))
        return {std::move(program), {}};
    UserFolder user = context_.platform.userFolder();
    return {std::move(user.path), std::move(user.shown)};
}

void Form3::Command2_Click()
{
    downloaderOrFail().DLFileStop();
}

void Form3::Cdf_entDLFileStatus(std::int32_t& TmpState)
{
    statusCaption_ = statusCaption(TmpState, Cdf->lastOutcome(), savedIn_, Cdf->resumedBytes());
    // The stages are few: each is shown as it comes, with the progress the
    // last block left.
    pushCaptions();
}

void Form3::Cdf_entDLFileDowning(std::string& /*sRemoteURL*/, std::int32_t& lDownLoaded, std::int32_t& lFilesize,
                                 std::int32_t& lSpeed)
{
    lSpeed = shownSpeed(lSpeed);
    writeProgressCaption(progressCaption_, lDownLoaded, lFilesize, lSpeed);
    percent_ = progressPercent(lDownLoaded, lFilesize);
    lengthKnown_ = lFilesize > 0;
    progressPending_ = true;
    // Every block changes the caption; repainting for each would cost more
    // than the block. The screen gets one change per frame.
    if (std::exchange(frameDue_, false))
        pushCaptions();
}

void Form3::pushCaptions()
{
    if (!statusCaption_.empty())
        label5_->setText(qs(statusCaption_));
    if (!progressPending_)
        return;
    progressPending_ = false;
    label4_->setText(qs(progressCaption_));
    showPercent();
}

void Form3::showPercent()
{
    if (!lengthKnown_) {
        progressBar1_->setRange(0, 0);  // busy: no length to measure against
        return;
    }
    progressBar1_->setRange(0, 100);
    progressBar1_->setValue(static_cast<int>(std::clamp<std::int64_t>(percent_, 0, 100)));
}

// A busy bar would go on moving after the end: it shows a full bar for a
// complete body and an empty one otherwise.
void Form3::settleProgressBar()
{
    if (progressBar1_->maximum() != 0)
        return;
    progressBar1_->setRange(0, 100);
    if (Cdf->lastOutcome() == DownloadOutcome::Complete)
        progressBar1_->setValue(100);
    else
        progressBar1_->reset();
}

}  // namespace velmora
