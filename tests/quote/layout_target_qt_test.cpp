// A real window as a layout target: twips, the order of its controls, moves.
#include <cmath>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <QAction>
#include <QDialog>
#include <QLocale>
#include <QTimer>
#include <QVBoxLayout>
#include <QVariant>
#include <QWidget>

#include <gtest/gtest.h>

#include "platform/windows/layout_target_qt.h"
#include "quote/proportional_layout.h"
#include "tests/support/window_test_fixture.h"

namespace velmora {
namespace {

class QtLayoutTargetTest : public test::WindowTest {
protected:
    void SetUp() override
    {
        window.resize(734, 575);
        // The twips below are 15 to the pixel.
        ASSERT_EQ(window.logicalDpiX(), 96);
        ASSERT_EQ(window.logicalDpiY(), 96);
    }

    QWidget* child(QWidget* parent, const char* name, QRect geometry = {})
    {
        auto* widget = new QWidget(parent);
        widget->setObjectName(QString::fromLatin1(name));
        widget->setGeometry(geometry);
        return widget;
    }

    QWidget& window = *new QWidget;  // a top-level: the fixture deletes it
    QtLayoutTarget target{window};
};

TEST_F(QtLayoutTargetTest, ReportsTheInnerAreaInTwipsAndNothingWhileMinimised)
{
    EXPECT_EQ(target.ScaleWidth(), 11010.0f);
    EXPECT_EQ(target.ScaleHeight(), 8625.0f);
    window.showMinimized();
    EXPECT_EQ(target.ScaleWidth(), 0.0f);
    EXPECT_EQ(target.ScaleHeight(), 0.0f);
}

TEST_F(QtLayoutTargetTest, ListsWidgetsInCreationOrderButNotWhatALayoutPlacesNorOverlays)
{
    QWidget* a = child(&window, "A");
    child(a, "A1");
    new QAction(QStringLiteral("menu"), &window);
    QWidget* b = child(&window, "B");
    auto* placed = new QVBoxLayout(b);
    placed->addWidget(child(b, "B1"));
    new QTimer(&window);
    const std::unique_ptr<QDialog> dialog = std::make_unique<QDialog>(&window);
    child(a, "A2");
    child(&window, "C");
    QWidget* overlay = child(&window, "O");  // a find bar over the window
    child(overlay, "O1");
    markAsOverlay(*overlay);

    int visited = 0;
    target.forEachControl([&](LayoutControl& control) { control.setTag(std::to_string(visited++)); });
    std::map<std::string, std::string> order;
    for (const QWidget* w : window.findChildren<QWidget*>())
        order[w->objectName().toStdString()] = w->property("Tag").toString().toStdString();
    EXPECT_EQ(visited, 5);
    EXPECT_EQ(order, (std::map<std::string, std::string>{
                         {"A", "0"}, {"A1", "1"}, {"A2", "2"}, {"B", "3"}, {"B1", ""}, {"C", "4"}, {"O", ""}, {"O1", ""},
                         {"", ""}}));
}

TEST_F(QtLayoutTargetTest, GivesGeometryInTwipsOfTheContainer)
{
    QWidget* a = child(&window, "A", {10, 20, 100, 50});
    child(a, "A1", {-2, 3, 10, 20});
    std::vector<ControlGeometry> seen;
    target.forEachControl([&](LayoutControl& control) { seen.push_back(*control.geometry()); });
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1].Left, -30.0f);
    EXPECT_EQ(seen[1].Top, 45.0f);
    EXPECT_EQ(seen[1].Width, 150.0f);
    EXPECT_EQ(seen[1].Height, 300.0f);
    EXPECT_EQ(seen[0].Width, 1500.0f);
}

TEST_F(QtLayoutTargetTest, MovesInWholePixelsAndRefusesWhatAWidgetCannotTake)
{
    struct Case {
        double left, top, width, height;
        bool taken;
        QRect pixels;
    };
    const QRect before(1, 1, 1, 1);
    const Case cases[] = {
        {30, 45, 150, 300, true, {2, 3, 10, 20}},
        {22.5, 37.5, 7.5, 22.5, true, {2, 2, 0, 2}},  // halves go to the even pixel
        {-30, 0, 0, 0, true, {-2, 0, 0, 0}},
        {0, 0, -15, 10, false, before},
        {0, 0, 10, -0.001, false, before},
        {0, 0, 1e12, 10, false, before},
        {1e12, 0, 10, 10, false, before},
        {std::nan(""), 0, 10, 10, false, before},
        {0, 0, 15.0 * QWIDGETSIZE_MAX, 15, true, {0, 0, QWIDGETSIZE_MAX, 1}},
    };
    QWidget* a = child(&window, "A");
    for (const Case& c : cases) {
        a->setGeometry(before);
        bool taken = false;
        target.forEachControl([&](LayoutControl& control) { taken = control.Move(c.left, c.top, c.width, c.height); });
        EXPECT_EQ(taken, c.taken) << c.left << ' ' << c.width;
        EXPECT_EQ(a->geometry(), c.pixels) << c.left << ' ' << c.width;
    }
}

TEST_F(QtLayoutTargetTest, KeepsTheTagAsAPropertyOfTheWidget)
{
    QWidget* a = child(&window, "A");
    a->setProperty("Tag", QStringLiteral("旧的 text"));
    target.forEachControl([&](LayoutControl& control) {
        EXPECT_EQ(control.Tag(), "旧的 text");
        control.setTag("新的 1 2 3 ");
    });
    EXPECT_EQ(a->property("Tag").toString(), QStringLiteral("新的 1 2 3 "));
}

TEST_F(QtLayoutTargetTest, WritesAndReadsTagsInTheSystemLocale)
{
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::Swedish, QLocale::Sweden));
    const LocaleNumbers numbers = target.localeNumbers();
    EXPECT_EQ(numbers.decimalPoint, ",");
    EXPECT_EQ(numbers.minusSign, "\u2212");

    QWidget* a = child(&window, "A", {-1, 2, 10, 20});
    ProportionalLayout layout;
    layout.ResizeInit(target);
    EXPECT_EQ(a->property("Tag").toString().toStdString(), "\u221215 30 150 300 ");
    a->setGeometry(50, 50, 5, 5);
    layout.ResizeForm(target);
    EXPECT_EQ(a->geometry(), QRect(-1, 2, 10, 20));
    QLocale::setDefault(previous);
}

}  // namespace
}  // namespace velmora
