#pragma once
// The updater window: the release archive's address, Download and Stop, and
// the downloader's status and progress while it copies the archive into the
// program's folder, or, where this user cannot write that folder, into the
// user's own folder for the program (named in the last status once the
// archive is there). Loading it closes the main window.
//
// A download runs inside Command1_Click; the window stays usable through the
// downloader's yields. While one runs the window is never destroyed: closing
// it asks the downloader to stop and closes the window once DLFile returns.
#include <cstdint>
#include <memory>
#include <string>

#include <QTimer>

#include "base/app_context.h"
#include "base/form.h"

class QFrame;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace velmora {

class Cls_DownLoad;
class Internet;
class SignatureVerifier;

class Form3 final : public Form {
    Q_OBJECT
public:
    explicit Form3(const AppContext& context);
    ~Form3() override;

    // Creates the downloader, then closes the main window.
    void Form_Load() override;

    // The window's handlers. Command1_Click runs a whole download; a call
    // while one runs is refused with DownloadError and changes nothing.
    void Command1_Click();
    void Command2_Click();
    void Label1_Click();
    void Cdf_entDLFileStatus(std::int32_t& TmpState);
    void Cdf_entDLFileDowning(std::string& sRemoteURL, std::int32_t& lDownLoaded, std::int32_t& lFilesize,
                              std::int32_t& lSpeed);

    // For the program's own tests: the controls by their names, and the
    // captions as last computed (the labels follow at the display's pace).
    QLineEdit& Text1() { return *text1_; }
    QPushButton& Command1() { return *command1_; }
    QPushButton& Command2() { return *command2_; }
    QLabel& Label1() { return *label1_; }
    QLabel& Label4() { return *label4_; }
    QLabel& Label5() { return *label5_; }
    QProgressBar& ProgressBar1() { return *progressBar1_; }
    Cls_DownLoad* downloader() const { return Cdf.get(); }
    const std::string& progressCaptionText() const { return progressCaption_; }
    const std::string& statusCaptionText() const { return statusCaption_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class DownloadRun;
    // Before and after one download: the button disabled and the frame timer
    // running, then the last captions on the screen, the button back (with
    // the focus it had) and a close asked for meanwhile carried out.
    void downloadStarts();
    void downloadEnded(bool buttonHadFocus);

    struct ArchivePlace {
        std::string folder;
        std::string shown;  // empty: the program's folder, which goes without saying
    };
    ArchivePlace archivePlace();

    void createControls();
    void createLink();
    QLabel* createLabel(const char* name, const std::string& text, int left, int top, int width, int height);
    void connectDownloader();
    Cls_DownLoad& downloaderOrFail() const;
    void pushCaptions();
    void showPercent();
    void settleProgressBar();

    AppContext context_;
    std::unique_ptr<Internet> internet_;
    std::unique_ptr<Internet> signatureInternet_;
    std::unique_ptr<SignatureVerifier> verifier_;
    std::unique_ptr<Cls_DownLoad> Cdf;

    QLabel* label1_ = nullptr;
    QLabel* label2_ = nullptr;
    QLabel* label3_ = nullptr;
    QLabel* label4_ = nullptr;
    QLabel* label5_ = nullptr;
    QLineEdit* text1_ = nullptr;
    QPushButton* command1_ = nullptr;
    QPushButton* command2_ = nullptr;
    QProgressBar* progressBar1_ = nullptr;
    QFrame* line1_ = nullptr;

    std::string statusCaption_;
    std::string savedIn_;  // ArchivePlace::shown of the running or last download
    std::string progressCaption_;
    std::int64_t percent_ = 0;
    bool lengthKnown_ = false;
    bool progressPending_ = false;
    bool closeWhenDone_ = false;
    // Ticks at the display's pace while a download runs; a caption that
    // changes with every block reaches the screen once per tick.
    QTimer frameTimer_;
    bool frameDue_ = false;
};

}  // namespace velmora
