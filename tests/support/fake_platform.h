#pragma once
// A Platform for in-process window tests: browser panes that record where they
// were sent, a scripted notice fetch, scripted answers to questions, and a
// stacking call that records and answers as told. HTTP, clock, pump and files
// are whatever the test hands in; by default there is no network, a clock
// standing at midnight, Qt's pump and files in memory, so that a test reaches
// the real clock or disk only when it says so.
#include <deque>
#include <functional>
#include <memory>
#include <stdexcept>
#include <set>
#include <string>
#include <vector>

#include <QWidget>

#include "platform/windows/message_pump_qt.h"
#include "platform/platform.h"
#include "platform/files/program_folder.h"
#include "platform/system/platform_error.h"
#include "tests/support/fake_clock.h"
#include "tests/support/fake_file_system.h"

namespace velmora::test {

class FakeBrowserPane final : public BrowserPane {
public:
    explicit FakeBrowserPane(QWidget* parent) : widget_(new QWidget(parent)) {}
    QWidget* widget() override { return widget_; }
    void Navigate2(const std::string& url) override { navigations.push_back(url); }
    void enableUserControls() override { userControls = true; }
    void muteAudio() override { muted = true; }

    std::vector<std::string> navigations;
    bool userControls = false;
    bool muted = false;

private:
    QWidget* widget_;
};

class FakeTransferControl final : public TransferControl {
public:
    explicit FakeTransferControl(std::function<std::string(const std::string&)> answer)
        : answer_(std::move(answer)) {}
    std::string OpenURL(const std::string& url) override { return answer_(url); }

private:
    std::function<std::string(const std::string&)> answer_;
};

struct StackingCall {
    long insertAfter;
    unsigned flags;
};

class FakeWindowStacking final : public WindowStacking {
public:
    bool SetWindowPos(QWidget&, long insertAfter, int, int, int, int, unsigned flags) override
    {
        calls.push_back({insertAfter, flags});
        return succeeds;
    }
    std::vector<StackingCall> calls;
    bool succeeds = true;
};

class FakeMessageBox final : public MessageBox {
public:
    int askYesNo(const std::string& prompt, const std::string& title) override
    {
        questions.push_back(title + "|" + prompt);
        if (answers.empty())
            throw std::logic_error("unexpected question: " + prompt);
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::deque<int> answers;
    std::vector<std::string> questions;  // "title|prompt"
};

class FakeShell final : public Shell {
public:
    bool Run(const std::string& commandLine, int windowStyle) override
    {
        runs.push_back({commandLine, windowStyle});
        return true;
    }
    std::vector<std::pair<std::string, int>> runs;
};

class FakePlatform final : public Platform {
public:
    std::unique_ptr<BrowserPane> createBrowserPane(QWidget* parent) override
    {
        auto pane = std::make_unique<FakeBrowserPane>(parent);
        panes.push_back(pane.get());
        return pane;
    }
    std::unique_ptr<TransferControl> createTransferControl() override
    {
        return std::make_unique<FakeTransferControl>([this](const std::string& url) {
            fetchedUrls.push_back(url);
            return notice(url);
        });
    }
    std::unique_ptr<Internet> createInternet(const TransferLimits& limits) override
    {
        internetLimits.push_back(limits);
        if (!makeInternet)
            throw std::logic_error("this test has no HTTP backend");
        return makeInternet();
    }
    std::unique_ptr<SignatureVerifier> createSignatureVerifier() override
    {
        if (!makeVerifier)
            throw std::logic_error("this test has no signature verifier");
        return makeVerifier();
    }
    WindowStacking& windowStacking() override { return stacking; }
    MessageBox& messageBox() override { return messageBox_; }
    Shell& shell() override { return shell_; }
    Clock& clock() override { return clock_ ? *clock_ : ownClock_; }
    MessagePump& messagePump() override { return pump_ ? *pump_ : qtPump_; }
    FileSystem& fileSystem() override { return files_ ? *files_ : ownFiles_; }
    std::string programFolder() override { return folder; }
    // As the real one, makes the folder when it is missing.
    UserFolder userFolder() override
    {
        foldersMade.insert(user.path);
        return user;
    }
    bool canCreateFilesIn(const std::string& path) override { return path != folder || folderWritable; }

    // The notice fetch: by default the site answers with an empty notice.
    std::function<std::string(const std::string&)> notice = [](const std::string&) { return std::string(); };
    std::function<std::unique_ptr<Internet>()> makeInternet;
    std::vector<TransferLimits> internetLimits;  // of every createInternet, in order
    std::function<std::unique_ptr<SignatureVerifier>()> makeVerifier;
    std::vector<FakeBrowserPane*> panes;  // in creation order; owned by their windows
    std::vector<std::string> fetchedUrls;
    FakeWindowStacking stacking;
    FakeMessageBox& messageBoxFake() { return messageBox_; }
    FakeShell& shellFake() { return shell_; }
    std::string folder = "/tmp";
    bool folderWritable = true;  // the program's folder; every other one is
    UserFolder user{"/home/user/.local/share/velmora", "~/.local/share/velmora"};
    std::set<std::string> foldersMade;  // on the user's disk, by userFolder()

    void useClock(Clock& clock) { clock_ = &clock; }
    void usePump(MessagePump& pump) { pump_ = &pump; }
    void useFileSystem(FileSystem& files) { files_ = &files; }

private:
    FakeMessageBox messageBox_;
    FakeShell shell_;
    QtMessagePump qtPump_;
    FakeClock ownClock_;
    FakeFileSystem ownFiles_;
    Clock* clock_ = nullptr;
    MessagePump* pump_ = nullptr;
    FileSystem* files_ = nullptr;
};


// Throws the same error the curl backend throws for a refused connection.
inline std::string refuseNotice(const std::string&)
{
    throw PlatformError("获取更新通知失败", "Couldn't connect to server");
}

}  // namespace velmora::test
