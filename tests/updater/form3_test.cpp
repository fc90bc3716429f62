// The updater window as it opens: its place in the hand-over from the main
// window, its controls, and the link to the home page.
#include <QAccessible>
#include <QFontInfo>
#include <QLineEdit>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "tests/updater/form3_fixture.h"
#include "platform/system/shell.h"

namespace velmora::test {
namespace {

TEST_F(Form3Test, OpensWithTheArchiveAddressAndTheMainWindowClosed)
{
    Form3& f = open();
    EXPECT_EQ(windows.find(FormKind::Form1), nullptr);
    EXPECT_EQ(windows.find(FormKind::Form3), &f);
    EXPECT_TRUE(f.isVisible());
    EXPECT_NE(f.downloader(), nullptr);
    EXPECT_EQ(f.Text1().text().toStdString(), std::string(kSiteScheme) + "://" + std::string(kSiteHost) + "/velmora.zip");
    EXPECT_EQ(f.Label4().text(), QStringLiteral("准备："));
    EXPECT_EQ(f.Label5().text(), QStringLiteral("连接状态："));
    EXPECT_EQ(f.windowTitle().toStdString(), "更新程序--" + siteCaptionName());
    EXPECT_EQ(f.size(), QSize(630, 336));
    EXPECT_EQ(f.ProgressBar1().value(), -1) << "no bar before a download";
    EXPECT_TRUE(failures.reports.empty());
}

TEST_F(Form3Test, EveryControlAtItsPlaceWithItsText)
{
    const struct {
        const char* name;
        QRect geometry;
        const char* text;  // nullptr: not checked here
    } controls[] = {
        {"Label2", {28, 7, 60, 12}, "下载地址："},
        {"Text1", {30, 27, 360, 21}, nullptr},
        {"Command1", {398, 25, 100, 24}, "下载"},
        {"Command2", {504, 25, 100, 24}, "停止"},
        {"Label3", {28, 67, 317, 18}, "下载信息：（有了百分比你可以做成进度条）"},
        {"Label4", {28, 102, 572, 96}, "准备："},
        {"Label5", {31, 227, 349, 18}, "连接状态："},
        {"ProgressBar1", {31, 250, 531, 18}, nullptr},
        {"Line1", {6, 277, 556, 2}, nullptr},
        {"Label1", {352, 303, 0, 12}, nullptr},  // as wide as its text: below
    };
    Form3& f = open();
    for (const auto& c : controls) {
        SCOPED_TRACE(c.name);
        auto* control = f.findChild<QWidget*>(QString::fromLatin1(c.name));
        ASSERT_NE(control, nullptr);
        if (c.geometry.width() == 0)
            EXPECT_EQ(control->geometry().adjusted(0, 0, -control->width(), 0), c.geometry);
        else
            EXPECT_EQ(control->geometry(), c.geometry);
        if (!c.text)
            continue;
        QString text;
        if (auto* label = qobject_cast<QLabel*>(control))
            text = label->text();
        else if (auto* button = qobject_cast<QPushButton*>(control))
            text = button->text();
        EXPECT_EQ(text.toStdString(), c.text);
    }
    EXPECT_EQ(f.Label1().text().toStdString(), "Velmora网络:" + siteCaptionName());
}

TEST_F(Form3Test, TheLinkShowsItsWholeTextWithinTheWindow)
{
    Form3& f = open();
    const QLabel& link = f.Label1();
    EXPECT_GE(link.width(), link.fontMetrics().horizontalAdvance(link.text())) << "cut short";
    EXPECT_GE(link.width(), 144) << "narrower than designed";
    EXPECT_LE(link.geometry().right(), f.width() - 1);
}

// What a screen reader says for each control the keyboard reaches, and for
// the bar that shows the progress.
TEST_F(Form3Test, EveryControlAScreenReaderMeetsHasAName)
{
    const struct {
        const char* control;
        const char* name;
    } controls[] = {
        {"Text1", "下载地址"},
        {"Command1", "下载"},
        {"Command2", "停止"},
        {"ProgressBar1", "下载进度"},
    };
    Form3& f = open();
    for (const auto& c : controls) {
        SCOPED_TRACE(c.control);
        QAccessibleInterface* reader = QAccessible::queryAccessibleInterface(f.findChild<QWidget*>(c.control));
        ASSERT_NE(reader, nullptr);
        EXPECT_EQ(reader->text(QAccessible::Name).toStdString(), c.name);
    }
}

TEST_F(Form3Test, ResizingMovesNothing)
{
    Form3& f = open();
    const QRect before = f.Command2().geometry();
    f.resize(900, 600);
    EXPECT_EQ(f.Command2().geometry(), before);
    f.resize(300, 200);
    EXPECT_EQ(f.Command2().geometry(), before);
}

TEST_F(Form3Test, TheLinkIsBlueUnderlinedSongNinePoint)
{
    Form3& f = open();
    const QFont font = f.Label1().font();
    EXPECT_EQ(font.family(), QStringLiteral("宋体"));
    EXPECT_EQ(font.pointSize(), 9);
    EXPECT_TRUE(font.underline());
    EXPECT_EQ(font.weight(), QFont::Normal);
    EXPECT_EQ(f.Label1().palette().color(QPalette::WindowText), QColor(0, 0, 255));
    // Where 宋体 itself is missing a Song face stands in, never the sans
    // face that a bare family name falls back to.
    const QString used = QFontInfo(font).family();
    EXPECT_TRUE(used == QStringLiteral("宋体") || used == QStringLiteral("SimSun") || used.startsWith("AR PL U")
                || used.startsWith("AR PL Sungti") || used.startsWith("Noto Serif CJK"))
        << used.toStdString();
}

TEST_F(Form3Test, DownloadTakesTheFocusFirstThenTheAddressThenStop)
{
    Form3& f = open();
    EXPECT_EQ(f.focusWidget(), &f.Command1());
    std::vector<QWidget*> chain;
    QWidget* w = &f.Command1();
    for (int i = 0; i < 3; ++i, w = w->nextInFocusChain()) {
        while (w->focusPolicy() == Qt::NoFocus)
            w = w->nextInFocusChain();
        chain.push_back(w);
    }
    EXPECT_EQ(chain, (std::vector<QWidget*>{&f.Command1(), &f.Text1(), &f.Command2()}));
    for (const char* label : {"Label1", "Label2", "Label3", "Label4", "Label5"})
        EXPECT_EQ(f.findChild<QWidget*>(label)->focusPolicy(), Qt::NoFocus) << label;
}

// Enter and Return click the focused button, as on Windows; Space still does;
// from the text box they click nothing.
TEST_F(Form3Test, EnterAndReturnClickTheButtonThatHasTheFocus)
{
    const struct {
        const char* name;
        const char* focus;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int downloads;
        int stops;
    } cases[] = {
        {"Return on Download", "Command1", Qt::Key_Return, Qt::NoModifier, 1, 0},
        {"keypad Enter on Download", "Command1", Qt::Key_Enter, Qt::KeypadModifier, 1, 0},
        {"Space on Download", "Command1", Qt::Key_Space, Qt::NoModifier, 1, 0},
        {"Return on Stop", "Command2", Qt::Key_Return, Qt::NoModifier, 0, 1},
        {"Enter on Stop", "Command2", Qt::Key_Enter, Qt::NoModifier, 0, 1},
        {"Return in the address", "Text1", Qt::Key_Return, Qt::NoModifier, 0, 0},
        {"Ctrl+Return on Download", "Command1", Qt::Key_Return, Qt::ControlModifier, 0, 0},
        {"a letter on Download", "Command1", Qt::Key_A, Qt::NoModifier, 0, 0},
    };
    Form3& f = open();
    int downloads = 0;
    int stops = 0;
    QObject::connect(&f.Command1(), &QPushButton::clicked, [&] { ++downloads; });
    QObject::connect(&f.Command2(), &QPushButton::clicked, [&] { ++stops; });
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        downloads = stops = 0;
        auto* focus = f.findChild<QWidget*>(QString::fromLatin1(c.focus));
        focus->setFocus();
        ASSERT_EQ(f.focusWidget(), focus);
        QTest::keyClick(focus, c.key, c.modifiers);
        EXPECT_EQ(downloads, c.downloads);
        EXPECT_EQ(stops, c.stops);
    }
    // Return on Download runs the download, as a click does.
    EXPECT_FALSE(statusLabels.empty());
}

TEST_F(Form3Test, ALeftClickOnTheLinkOpensTheHomePage)
{
    const struct {
        const char* name;
        QEvent::Type type;
        Qt::MouseButton button;
        QPoint at;
        bool opens;
    } cases[] = {
        {"left release inside", QEvent::MouseButtonRelease, Qt::LeftButton, {10, 5}, true},
        {"left press only", QEvent::MouseButtonPress, Qt::LeftButton, {10, 5}, false},
        {"right release", QEvent::MouseButtonRelease, Qt::RightButton, {10, 5}, false},
        {"released outside", QEvent::MouseButtonRelease, Qt::LeftButton, {10, 40}, false},
    };
    Form3& f = open();
    for (const auto& c : cases) {
        platform.shellFake().runs.clear();
        QMouseEvent event(c.type, QPointF(c.at), f.Label1().mapToGlobal(QPointF(c.at)), c.button, c.button,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(&f.Label1(), &event);
        const std::vector<std::pair<std::string, int>> expected =
            c.opens ? std::vector<std::pair<std::string, int>>{{"explorer.exe " + std::string(kSiteScheme) + "://www." + std::string(kSiteHost),
                                                                SW_SHOWMINIMIZED}}
                    : std::vector<std::pair<std::string, int>>{};
        EXPECT_EQ(platform.shellFake().runs, expected) << c.name;
    }
    EXPECT_TRUE(failures.reports.empty());
}

TEST_F(Form3Test, AWindowWithoutItsHttpBackendReportsAndStaysUsable)
{
    platform.makeInternet = nullptr;
    windows.show(FormKind::Form1);
    auto* f = static_cast<Form3*>(windows.show(FormKind::Form3));
    ASSERT_NE(f, nullptr);
    ASSERT_EQ(failures.reports.size(), 1u);
    EXPECT_EQ(failures.reports[0].rfind("加载窗口|", 0), 0u) << failures.reports[0];
    EXPECT_NE(windows.find(FormKind::Form1), nullptr) << "the load step ended before closing it";

    f->Command1().click();
    f->Command2().click();
    ASSERT_EQ(failures.reports.size(), 3u);
    EXPECT_EQ(failures.reports[1].rfind("下载更新|", 0), 0u) << failures.reports[1];
    EXPECT_EQ(failures.reports[2].rfind("停止下载|", 0), 0u) << failures.reports[2];
    EXPECT_TRUE(f->Command1().isEnabled());
}

}  // namespace
}  // namespace velmora::test
