// The one-instance rule of the program's windows.
#include <stdexcept>

#include <gtest/gtest.h>

#include "tests/support/window_test_fixture.h"

namespace velmora {
namespace {

class CountingForm final : public Form {
public:
    explicit CountingForm(std::function<void(Form&)> onLoad) : onLoad_(std::move(onLoad)) {}
    void Form_Load() override
    {
        ++loads;
        if (onLoad_)
            onLoad_(*this);
    }
    int loads = 0;

private:
    std::function<void(Form&)> onLoad_;
};

class WindowRegistryTest : public test::WindowTest {
protected:
    void defineForm2(std::function<void(Form&)> onLoad = {})
    {
        windows.define(FormKind::Form2, [this, onLoad] {
            ++created;
            return std::make_unique<CountingForm>(onLoad);
        });
    }
    int created = 0;
};

TEST_F(WindowRegistryTest, ShowingAnOpenWindowBringsTheSameOneForwardWithoutLoadingAgain)
{
    defineForm2();
    auto* first = static_cast<CountingForm*>(windows.show(FormKind::Form2));
    first->showMinimized();
    auto* second = static_cast<CountingForm*>(windows.show(FormKind::Form2));
    EXPECT_EQ(first, second);
    EXPECT_EQ(created, 1);
    EXPECT_EQ(first->loads, 1);
    EXPECT_FALSE(first->isMinimized());
    EXPECT_TRUE(first->isVisible());
}

TEST_F(WindowRegistryTest, ClosedWindowIsCreatedAndLoadedAfresh)
{
    defineForm2();
    windows.show(FormKind::Form2)->close();
    flushDeletes();
    EXPECT_EQ(windows.find(FormKind::Form2), nullptr);
    auto* again = static_cast<CountingForm*>(windows.show(FormKind::Form2));
    EXPECT_EQ(created, 2);
    EXPECT_EQ(again->loads, 1);
}

TEST_F(WindowRegistryTest, WindowClosedDuringItsOwnLoadIsNeverShown)
{
    defineForm2([this](Form&) { windows.unload(FormKind::Form2); });
    EXPECT_EQ(windows.show(FormKind::Form2), nullptr);
    EXPECT_EQ(windows.find(FormKind::Form2), nullptr);
    flushDeletes();
    EXPECT_TRUE(QApplication::topLevelWidgets().isEmpty());
}

TEST_F(WindowRegistryTest, FailedLoadIsReportedAndTheWindowShownAllTheSame)
{
    defineForm2([](Form&) { throw ProgramError("页面控件不可用"); });
    Form* form = windows.show(FormKind::Form2);
    ASSERT_NE(form, nullptr);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(failures.reports, std::vector<std::string>{"加载窗口|页面控件不可用"});
}

}  // namespace
}  // namespace velmora
