#include "updater/form3.h"

#include <algorithm>
#include <utility>

#include <QCloseEvent>
#include <QFont>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>

#include "base/failure_handler.h"
#include "base/site.h"
#include "base/twips.h"
#include "base/window_registry.h"
#include "platform/platform.h"
#include "platform/system/qt_text.h"
#include "updater/cls_download.h"

namespace velmora {

namespace {

constexpr int kFrameMilliseconds = 16;

// 宋体 is the Song face of Chinese Windows; where it is missing, the Song
// faces that free font packages bring stand in for it.
QFont songFont(int pointSize)
{
    static const bool substituted = [] {
        QFont::insertSubstitutions(QStringLiteral("宋体"), {QStringLiteral("SimSun"), QStringLiteral("AR PL UMing CN"),
                                                           QStringLiteral("AR PL SungtiL GB"),
                                                           QStringLiteral("Noto Serif CJK SC")});
        return true;
    }();
    (void)substituted;
    QFont font(QStringLiteral("宋体"), pointSize, QFont::Normal);
    return font;
}

}  // namespace

Form3::Form3(const AppContext& context) : context_(context)
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(qs("更新程序--" + siteCaptionName()));
    // No layout: the controls keep their places whatever size the window gets.
    resize(px(9450), px(5040));
    createControls();
    createLink();
    frameTimer_.setInterval(kFrameMilliseconds);
    // At every tick what the last blocks brought reaches the screen, so that
    // a server that goes quiet cannot hold back a picture blocks behind.
    connect(&frameTimer_, &QTimer::timeout, this, [this] {
        if (progressPending_)
            pushCaptions();
        else
            frameDue_ = true;
    });

    setTabOrder(command1_, text1_);
    setTabOrder(text1_, command2_);
    command1_->setFocus();
}

Form3::~Form3() = default;

void Form3::createControls()
{
    label2_ = createLabel("Label2", "下载地址：", 420, 105, 900, 180);

    text1_ = new QLineEdit(qs(siteAddress("/velmora.zip")), this);
    text1_->setObjectName(QStringLiteral("Text1"));
    text1_->setAccessibleName(QStringLiteral("下载地址"));
    text1_->setGeometry(px(450), px(405), px(5400), px(315));

    command1_ = new QPushButton(QStringLiteral("下载"), this);
    command1_->setObjectName(QStringLiteral("Command1"));
    command1_->setGeometry(px(5970), px(375), px(1500), px(360));
    connect(command1_, &QPushButton::clicked, this,
            [this] { context_.failures.guard("下载更新", [this] { Command1_Click(); }); });

    command2_ = new QPushButton(QStringLiteral("停止"), this);
    command2_->setObjectName(QStringLiteral("Command2"));
    command2_->setGeometry(px(7560), px(375), px(1500), px(360));
    connect(command2_, &QPushButton::clicked, this,
            [this] { context_.failures.guard("停止下载", [this] { Command2_Click(); }); });

    label3_ = createLabel("Label3", "下载信息：（有了百分比你可以做成进度条）", 420, 1005, 4755, 270);
    label4_ = createLabel("Label4", "准备：", 420, 1530, 8580, 1440);
    label4_->setWordWrap(true);
    label5_ = createLabel("Label5", "连接状态：", 465, 3405, 5235, 270);

    // What Label3 invites: the percentage as a bar, under the status line.
    progressBar1_ = new QProgressBar(this);
    progressBar1_->setObjectName(QStringLiteral("ProgressBar1"));
    progressBar1_->setAccessibleName(QStringLiteral("下载进度"));
    progressBar1_->setGeometry(px(465), px(3750), px(7965), px(270));
    progressBar1_->setRange(0, 100);
    progressBar1_->reset();

    line1_ = new QFrame(this);
    line1_->setObjectName(QStringLiteral("Line1"));
    line1_->setFrameShape(QFrame::HLine);
    line1_->setFrameShadow(QFrame::Sunken);
    line1_->setGeometry(px(90), px(4155), px(8430 - 90), 2);
}

void Form3::createLink()
{
    label1_ = createLabel("Label1", "Velmora网络:" + siteCaptionName(), 5280, 4545, 2160, 180);
    QFont font = songFont(9);
    font.setUnderline(true);
    label1_->setFont(font);
    QPalette palette = label1_->palette();
    palette.setColor(QPalette::WindowText, QColor(0, 0, 255));
    label1_->setPalette(palette);
    label1_->setCursor(Qt::PointingHandCursor);
    // The designed width cuts the host name short: the label grows to its
    // whole text from its left edge, as far as the window reaches.
    const int room = width() - label1_->x();
    label1_->resize(std::max(label1_->width(), std::min(label1_->sizeHint().width(), room)), label1_->height());
    label1_->installEventFilter(this);
}

QLabel* Form3::createLabel(const char* name, const std::string& text, int left, int top, int width, int height)
{
    auto* label = new QLabel(qs(text), this);
    label->setObjectName(QString::fromLatin1(name));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setGeometry(px(left), px(top), px(width), px(height));
    return label;
}

void Form3::Form_Load()
{
    internet_ = context_.platform.createInternet(kDownloadLimits);
    std::optional<ReleaseCheck> check;
    if (context_.updateKey) {
        verifier_ = context_.platform.createSignatureVerifier();
        signatureInternet_ = context_.platform.createInternet(kSignatureLimits);
        check.emplace(ReleaseCheck{*context_.updateKey, *verifier_, *signatureInternet_});
    }
    Cdf = std::make_unique<Cls_DownLoad>(*internet_, context_.platform.clock(), context_.platform.messagePump(),
                                         context_.platform.fileSystem(), std::move(check));
    connectDownloader();
    context_.windows.unload(FormKind::Form1);
}

void Form3::connectDownloader()
{
    Cdf->entDLFileDowning = [this](std::string& sRemoteURL, std::int32_t& lDownLoaded, std::int32_t& lFilesize,
                                   std::int32_t& lSpeed) {
        context_.failures.guard("显示下载进度",
                                [&] { Cdf_entDLFileDowning(sRemoteURL, lDownLoaded, lFilesize, lSpeed); });
    };
    Cdf->entDLFileStatus = [this](std::int32_t& TmpState) {
        context_.failures.guard("显示下载状态", [&] { Cdf_entDLFileStatus(TmpState); });
    };
}

Cls_DownLoad& Form3::downloaderOrFail() const
{
    if (!Cdf)
        throw DownloadError("下载器没有创建成功，无法下载");
    return *Cdf;
}

void Form3::Label1_Click()
{
    context_.platform.shell().Run("explorer.exe " + homePageAddress(), SW_SHOWMINIMIZED);
}

void Form3::closeEvent(QCloseEvent* event)
{
    // The downloader and this window must outlive the running DLFile.
    if (Cdf && Cdf->isDownloading()) {
        Cdf->DLFileStop();
        closeWhenDone_ = true;
        event->ignore();
        return;
    }
    Form::closeEvent(event);
}

bool Form3::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == label1_ && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton && label1_->rect().contains(mouse->position().toPoint()))
            context_.failures.guard("打开主页", [this] { Label1_Click(); });
    }
    return Form::eventFilter(watched, event);
}

}  // namespace velmora
