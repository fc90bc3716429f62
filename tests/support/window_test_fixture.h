#pragma once
// A fresh set of windows for each test: a fake platform, a registry with the
// recording failure handler, and the context every form is built with. The
// QApplication is qt_test_main's (link with velmora_add_test(... QT)).
#include <memory>

#include <QApplication>
#include <QPointer>
#include <gtest/gtest.h>

#include "base/app_context.h"
#include "base/window_registry.h"
#include "tests/support/fake_platform.h"
#include "tests/support/recording_failure_handler.h"

namespace velmora::test {

class WindowTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        // Deleting one window deletes its popups too: hold weak pointers.
        QList<QPointer<QWidget>> windows;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (!w->parentWidget())
                windows.append(w);
        for (const QPointer<QWidget>& w : windows)
            delete w.data();
        flushDeletes();
    }

    // Runs the deletions that closing a window posts, as the event loop would.
    static void flushDeletes()
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }

    FakePlatform platform;
    RecordingFailureHandler failures;
    WindowRegistry windows{failures};
    AppContext context{platform, windows, failures};
};

}  // namespace velmora::test
