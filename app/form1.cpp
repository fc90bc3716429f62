#include "app/form1.h"

#include <QAction>
#include <QGuiApplication>
#include <QIcon>
#include <QLineEdit>
#include <QMenuBar>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

#include "base/failure.h"
#include "base/failure_handler.h"
#include "base/site.h"
#include "base/twips.h"
#include "app/update_notice.h"
#include "base/window_registry.h"
#include "platform/platform.h"
#include "platform/system/qt_text.h"
#include "platform/windows/menu_bar_highlight_qt.h"

namespace velmora {

Form1::Form1(const AppContext& context) : context_(context)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(qs("VelmoraV1.0--" + siteCaptionName()));
    setWindowIcon(programIcon());
    createMenus();
    createControls();
    Inet1 = context_.platform.createTransferControl();

    // The window does nothing when its size changes, so it keeps its designed
    // size, with no maximise button: a larger window would bring the banner
    // pane and Text1 into view.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen) {
        adjustSize();
        move(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(),
                                 screen->availableGeometry()).topLeft());
    }
}

Form1::~Form1() = default;

void Form1::createMenus()
{
    menuBar_ = new QMenuBar(this);
    menuBar_->setNativeMenuBar(false);
    highlightMenuBarItems(*menuBar_);
    for (const MenuItem& item : kMenuItems) {
        QAction* action = menuBar_->addAction(qs(item.caption));
        action->setObjectName(qs(item.name));
        connect(action, &QAction::triggered, this, [this, &item] {
            context_.failures.guard(item.caption, [&] { onMenuItem(item); });
        });
        if (item.action == MenuAction::ToggleOnTop)
            ckzd_ = action;
    }
}

void Form1::createControls()
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(menuBar_);

    clientArea_ = new QWidget(this);
    clientArea_->setFixedSize(px(11640), px(6825));
    layout->addWidget(clientArea_);

    webBrowser1_ = context_.platform.createBrowserPane(clientArea_);
    webBrowser1_->widget()->setObjectName(QStringLiteral("WebBrowser1"));
    webBrowser1_->widget()->setGeometry(px(0), px(0), px(11655), px(6855));
    webBrowser1_->enableUserControls();

    // The banner pane and the notice holder lie below the client area: they
    // are there and work, but are never seen at the window's size. So the
    // banner is never heard either: an advert's sound nobody could stop.
    webBrowser2_ = context_.platform.createBrowserPane(clientArea_);
    webBrowser2_->muteAudio();
    webBrowser2_->widget()->setObjectName(QStringLiteral("WebBrowser2"));
    webBrowser2_->widget()->setGeometry(px(0), px(7080), px(11775), px(1815));

    text1_ = new QLineEdit(QStringLiteral("Text1"), clientArea_);
    text1_->setObjectName(QStringLiteral("Text1"));
    text1_->setGeometry(px(2280), px(8400), px(975), px(495));
    connect(text1_, &QLineEdit::textChanged, this, [this] {
        context_.failures.guard(kUpdateCheckStep, [this] { Text1_Change(); });
    });
}

QAction* Form1::menuItem(std::string_view name) const
{
    return menuBar_->findChild<QAction*>(qs(name), Qt::FindDirectChildrenOnly);
}

void Form1::Form_Load()
{
    webBrowser1_->Navigate2(siteAddress(kStartPagePath));
    webBrowser2_->Navigate2(siteAddress(kBannerPagePath));
    // Setting the notice holder runs Text1_Change at once: the update check
    // (and, on Yes, the hand-over to the updater) goes on there, nested in
    // this call, before the last step below.
    // A failed fetch still ends this load step, but the user waited for an
    // update check, not for a window, and is told so.
    const std::string notice = asStep(kUpdateCheckStep, [this] { return Inet1->OpenURL(siteAddress(kNoticePath)); });
    text1_->setText(QString::fromStdString(notice));
    IsOnTop = false;
}

void Form1::onMenuItem(const MenuItem& item)
{
    switch (item.action) {
    case MenuAction::Navigate:
        webBrowser1_->Navigate2(siteAddress(item.path));
        break;
    case MenuAction::ShowQuoteWindow:
        gphq_Click();
        break;
    case MenuAction::ToggleOnTop:
        ckzd_Click();
        break;
    }
}

void Form1::gphq_Click()
{
    context_.windows.show(FormKind::Form2);
}

void Form1::ckzd_Click()
{
    // The call's result is not looked at: the flag and the caption follow the
    // user's choice even when the window system refuses.
    const long insertAfter = IsOnTop ? HWND_NOTOPMOST : HWND_TOPMOST;
    context_.platform.windowStacking().SetWindowPos(*this, insertAfter, 0, 0, 0, 0,
                                                    SWP_NOSIZE | SWP_NOMOVE);
    IsOnTop = !IsOnTop;
    ckzd_->setText(qs(onTopCaption(IsOnTop)));
}

void Form1::Text1_Change()
{
    if (!isUpdateMarker(text1_->text().toStdString()))
        return;
    const int answer = context_.platform.messageBox().askYesNo(std::string(kUpdatePrompt),
                                                               std::string(kUpdatePromptTitle));
    if (answer == IDYES)
        context_.windows.show(FormKind::Form3);
}

}  // namespace velmora
