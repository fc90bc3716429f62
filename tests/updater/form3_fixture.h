#pragma once
// An updater window on fakes: scripted HTTP, a clock that stands still (every
// block reports the speed 1025), a pump whose yields the test fills, files in
// memory. A stand-in main window is open before the updater loads.
#include <memory>
#include <string>
#include <vector>

#include <QLabel>
#include <QPointer>

#include "base/site.h"
#include "tests/support/fake_clock.h"
#include "tests/support/fake_file_system.h"
#include "tests/support/fake_internet.h"
#include "tests/support/fake_message_pump.h"
#include "tests/support/window_test_fixture.h"
#include "updater/cls_download.h"
#include "updater/form3.h"

namespace velmora::test {

inline const std::string kProgramFolder = "/program";
inline const std::string kTargetPath = "/program/Velmora1.0.zip";

class Form3Test : public WindowTest {
protected:
    void SetUp() override
    {
        clock.set(100.4);
        platform.folder = kProgramFolder;
        platform.useClock(clock);
        platform.usePump(pump);
        platform.useFileSystem(files);
        platform.makeInternet = [this] {
            auto internet = std::make_unique<FakeInternet>();
            (net ? signatureNet : net) = internet.get();
            return internet;
        };
        windows.define(FormKind::Form1, [] { return std::make_unique<Form>(); });
        windows.define(FormKind::Form3, [this] { return std::make_unique<Form3>(context); });
    }

    // Opens the updater as the update check does, and records what Label5
    // reads after every status.
    Form3& open()
    {
        windows.show(FormKind::Form1);
        form = static_cast<Form3*>(windows.show(FormKind::Form3));
        Cls_DownLoad& cdf = *form->downloader();
        auto shown = cdf.entDLFileStatus;
        cdf.entDLFileStatus = [this, shown](std::int32_t& code) {
            shown(code);
            statusLabels.push_back(form->Label5().text().toStdString());
        };
        return *form;
    }

    static std::string archiveUrl() { return siteAddress("/velmora.zip"); }

    FakeClock clock;
    FakeMessagePump pump;
    FakeFileSystem files;
    FakeInternet* net = nullptr;           // the download's, owned by the window
    FakeInternet* signatureNet = nullptr;  // the signature's (with a key), owned by the window
    QPointer<Form3> form;
    std::vector<std::string> statusLabels;
};

}  // namespace velmora::test
