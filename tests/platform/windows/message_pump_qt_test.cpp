// Qt's event loop as the downloader's message pump: what arrives between two
// yields is dispatched by the next one, and a yield with nothing waiting runs
// no pass of the loop.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

#include "platform/windows/message_pump_qt.h"

namespace velmora {
namespace {

using namespace std::chrono_literals;

class Receiver final : public QObject {
public:
    bool event(QEvent* event) override
    {
        if (event->type() != QEvent::User)
            return QObject::event(event);
        ++received;
        return true;
    }
    int received = 0;
};

class PaintedWidget final : public QWidget {
public:
    int paints = 0;

protected:
    void paintEvent(QPaintEvent*) override { ++paints; }
};

// Passes of the loop: the dispatcher announces each as it starts.
class PassCounter {
public:
    PassCounter()
    {
        connection_ = QObject::connect(QCoreApplication::eventDispatcher(), &QAbstractEventDispatcher::awake,
                                       [this] { ++passes; });
    }
    ~PassCounter() { QObject::disconnect(connection_); }
    int passes = 0;

private:
    QMetaObject::Connection connection_;
};

// Whatever the loop still holds from earlier tests goes first.
void settle(QtMessagePump& pump)
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents();
        pump.DoEvents();
    }
}

struct ArrivalCase {
    const char* name;
    // Makes something arrive; returns how to tell that it was dispatched.
    std::function<std::function<bool()>(Receiver&, PaintedWidget&)> arrive;
};

// The timer slice is an hour here: only an arrival can make these yields
// run the loop.
TEST(QtMessagePump, TheNextYieldDispatchesWhatArrivedSinceTheLast)
{
    PaintedWidget widget;
    widget.resize(50, 50);
    widget.show();
    const std::vector<ArrivalCase> cases = {
        {"an event posted by the GUI thread",
         [](Receiver& r, PaintedWidget&) {
             QCoreApplication::postEvent(&r, new QEvent(QEvent::User));
             return std::function<bool()>([&r] { return r.received == 1; });
         }},
        // As Qt's X reader thread hands over a click or a close request.
        {"an event posted by another thread",
         [](Receiver& r, PaintedWidget&) {
             std::thread poster([&r] { QCoreApplication::postEvent(&r, new QEvent(QEvent::User)); });
             poster.join();
             return std::function<bool()>([&r] { return r.received == 1; });
         }},
        {"a repaint asked for",
         [](Receiver&, PaintedWidget& w) {
             const int before = w.paints;
             w.update();
             return std::function<bool()>([&w, before] { return w.paints == before + 1; });
         }},
        {"a call queued to the GUI thread",
         [](Receiver& r, PaintedWidget&) {
             QMetaObject::invokeMethod(&r, [&r] { r.received = 7; }, Qt::QueuedConnection);
             return std::function<bool()>([&r] { return r.received == 7; });
         }},
    };
    QtMessagePump pump(1h);
    for (const ArrivalCase& c : cases) {
        SCOPED_TRACE(c.name);
        settle(pump);
        Receiver receiver;
        const auto dispatched = c.arrive(receiver, widget);
        EXPECT_FALSE(dispatched());
        pump.DoEvents();
        EXPECT_TRUE(dispatched());
    }
}

TEST(QtMessagePump, AYieldWithNothingWaitingRunsNoPass)
{
    QtMessagePump pump(1h);
    settle(pump);
    PassCounter counter;
    for (int i = 0; i < 1000; ++i)
        pump.DoEvents();
    EXPECT_EQ(counter.passes, 0);

    Receiver receiver;
    QCoreApplication::postEvent(&receiver, new QEvent(QEvent::User));
    pump.DoEvents();
    EXPECT_EQ(counter.passes, 1);
    pump.DoEvents();
    EXPECT_EQ(counter.passes, 1);
}

// Nothing announces that a timer has come due: the loop runs once per slice
// whatever arrived, so a timer is late by a slice at most.
TEST(QtMessagePump, ATimerThatCameDueFiresAtTheFirstYieldAfterTheSlice)
{
    QtMessagePump pump(2ms);
    settle(pump);
    bool fired = false;
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, [&fired] { fired = true; });
    timer.start(1);
    pump.DoEvents();  // a pass may run here: the timer is not due yet
    std::this_thread::sleep_for(5ms);
    pump.DoEvents();
    EXPECT_TRUE(fired);
}

}  // namespace
}  // namespace velmora
