// The Windows-only edges of the platform layer: text handed to ANSI and wide
// calls, the system's error wording, the share mode of a file being written
// and the shell start.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <thread>
#include <string>
#include <vector>

#include "platform/files/byte_file.h"
#include "platform/files/program_folder.h"
#include "platform/files/user_folder.h"
#include "platform/system/codepage_win32.h"
#include "platform/system/platform_error.h"
#include "platform/system/shell.h"
#include "platform/system/system_error_win32.h"
#include "platform/windows/window_event_arrival.h"

// Last: shell.h's constants share their names with USER32's macros.
#include <windows.h>
#include "tests/support/test_files.h"
#include "tests/support/test_folder.h"

namespace velmora {
namespace {

TEST(Codepage, Utf8AndWideTextConvertWithoutLoss)
{
    const std::vector<std::string> texts = {"", "velmora", "有更新", "下载进度： 51.0 %", "\xF0\x9F\x98\x80"};
    for (const std::string& text : texts) {
        SCOPED_TRACE(text);
        EXPECT_EQ(wideToUtf8(utf8ToWide(text)), text);
    }
    EXPECT_EQ(utf8ToWide("有"), std::wstring(1, static_cast<wchar_t>(0x6709)));
    EXPECT_EQ(utf8ToWide("a\xFF"), std::wstring(L"a") + static_cast<wchar_t>(0xFFFD));
}

TEST(Codepage, UrlsGoToAnsiCallsInTheCodePageOrPercentEncoded)
{
    struct Case {
        std::string url;
        std::string sent;
    };
    // No ANSI code page holds U+1F600, so that address is always encoded.
    const std::vector<Case> cases = {
        {"http://127.0.0.1:8741/velmora.zip", "http://127.0.0.1:8741/velmora.zip"},
        {"http://h/a b?x=1&y=%41", "http://h/a b?x=1&y=%41"},
        {"http://h/\xF0\x9F\x98\x80.zip", "http://h/%F0%9F%98%80.zip"},
        {"", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.url);
        EXPECT_EQ(urlForAnsiCall(c.url), c.sent);
    }
    EXPECT_EQ(utf8ToAnsi("\xF0\x9F\x98\x80"), std::nullopt);
    EXPECT_EQ(utf8ToAnsi("VB Http"), "VB Http");
}

TEST(SystemError, CodesFallIntoTheClassesTheUserIsToldAbout)
{
    const struct {
        unsigned long code;
        FailureClass failureClass;
    } cases[] = {
        {112, FailureClass::DiskFull},           // ERROR_DISK_FULL
        {39, FailureClass::DiskFull},            // ERROR_HANDLE_DISK_FULL
        {5, FailureClass::NoWritePermission},    // ERROR_ACCESS_DENIED
        {19, FailureClass::NoWritePermission},   // ERROR_WRITE_PROTECT
        {12007, FailureClass::HostNotFound},     // ERROR_INTERNET_NAME_NOT_RESOLVED
        {12002, FailureClass::TimedOut},         // ERROR_INTERNET_TIMEOUT
        {12029, FailureClass::NoConnection},     // ERROR_INTERNET_CANNOT_CONNECT
        {12031, FailureClass::Reset},            // ERROR_INTERNET_CONNECTION_RESET
        {12030, FailureClass::CutOff},           // ERROR_INTERNET_CONNECTION_ABORTED
        {12152, FailureClass::BadResponse},      // ERROR_HTTP_INVALID_SERVER_RESPONSE
        {2, FailureClass::Unclassified},         // ERROR_FILE_NOT_FOUND
    };
    for (const auto& c : cases)
        EXPECT_EQ(systemFailureClass(c.code), c.failureClass) << c.code;
}

TEST(SystemError, NamesTheCodeAndTheSystemsWords)
{
    struct Case {
        unsigned long code;
        bool hasText;
    };
    // 12029: WinINet could not connect (its text lives in wininet.dll);
    // 2: file not found; 0x7FFFFFF0: no such message anywhere.
    const std::vector<Case> cases = {{12029, true}, {2, true}, {0x7FFFFFF0, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        const std::string text = systemErrorText(c.code);
        const std::string number = "（错误 " + std::to_string(c.code) + "）";
        ASSERT_GE(text.size(), number.size());
        EXPECT_EQ(text.substr(text.size() - number.size()), number);
        const std::string words = text.substr(0, text.size() - number.size());
        EXPECT_EQ(words != "未知错误", c.hasText) << words;
        EXPECT_EQ(words.find('\n'), std::string::npos);
    }
}

HANDLE openExisting(const std::string& path, DWORD access)
{
    return ::CreateFileW(utf8ToWide(path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Nobody unpacks half an archive, and no second writer joins its bytes to it.
TEST(Win32ByteFile, NobodyElseMayReadOrWriteItWhileItIsWritten)
{
    const std::string path = velmora::test::testPath("velmora-share-mode.zip").string();
    auto file = localFileSystem().openForWriting(path);
    struct Case {
        const char* name;
        DWORD access;
        bool opens;
    };
    const std::vector<Case> whileOpen = {{"read", GENERIC_READ, false}, {"write", GENERIC_WRITE, false}};
    for (const Case& c : whileOpen) {
        SCOPED_TRACE(c.name);
        const HANDLE other = openExisting(path, c.access);
        EXPECT_EQ(other != INVALID_HANDLE_VALUE, c.opens);
        if (other != INVALID_HANDLE_VALUE)
            ::CloseHandle(other);
        else
            EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    }
    file->close();
    const HANDLE reader = openExisting(path, GENERIC_READ);
    EXPECT_NE(reader, INVALID_HANDLE_VALUE);
    if (reader != INVALID_HANDLE_VALUE)
        ::CloseHandle(reader);
    ::DeleteFileW(utf8ToWide(path).c_str());
}

// Where the archive goes when Program Files cannot be written: the user's
// local application data, made when missing, under a user name in Chinese as
// many users have, and written there through the program's UTF-8 paths.
TEST(Win32UserFolder, LocalAppDataHoldsTheProgramsFolder)
{
    const std::filesystem::path root = velmora::test::testPath("velmora-local-app-data");
    const std::filesystem::path data = root / L"Users" / L"张三" / L"AppData" / L"Local";
    std::filesystem::create_directories(data);
    std::wstring old(32768, L'\0');
    old.resize(::GetEnvironmentVariableW(L"LOCALAPPDATA", old.data(), static_cast<DWORD>(old.size())));
    ::SetEnvironmentVariableW(L"LOCALAPPDATA", data.wstring().c_str());

    const UserFolder folder = userFolder();
    EXPECT_EQ(folder.path, wideToUtf8((data / L"Velmora").wstring()));
    EXPECT_EQ(folder.shown, "%LOCALAPPDATA%\\Velmora");
    EXPECT_TRUE(std::filesystem::is_directory(data / L"Velmora"));
    EXPECT_TRUE(canCreateFilesIn(folder.path));
    EXPECT_TRUE(std::filesystem::is_empty(data / L"Velmora")) << "the probe is gone";
    {
        const auto lock = localFileSystem().lockFile(joinPath(folder.path, "Velmora1.0.zip.part.lock"));
        ASSERT_NE(lock, nullptr);
        auto part = localFileSystem().openForWriting(joinPath(folder.path, "Velmora1.0.zip.part"));
        part->write("new", 3);
        part->close();
        localFileSystem().replace(joinPath(folder.path, "Velmora1.0.zip.part"), joinPath(folder.path, "Velmora1.0.zip"));
    }
    EXPECT_EQ(fileBytes(data / L"Velmora" / L"Velmora1.0.zip"), "new");
    EXPECT_FALSE(std::filesystem::exists(data / L"Velmora" / L"Velmora1.0.zip.part.lock"));
    EXPECT_FALSE(canCreateFilesIn(wideToUtf8((data / L"missing").wstring())));
    ::SetEnvironmentVariableW(L"LOCALAPPDATA", nullptr);
    EXPECT_THROW(userFolder(), PlatformError);

    ::SetEnvironmentVariableW(L"LOCALAPPDATA", old.empty() ? nullptr : old.c_str());
    std::filesystem::remove_all(root);
}

UINT_PTR timerId = 0;

void drainMessages()
{
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
}

// The pump runs the loop only when the queue says a message waits: every
// way into the loop that the program meets must show there.
TEST(Win32WindowEvents, AMessageThatWaitsIsSeenAndAnEmptyQueueIsNot)
{
    struct Case {
        const char* name;
        void (*arrive)();
        void (*tidy)();
    };
    const std::vector<Case> cases = {
        {"a message posted by this thread", [] { ::PostThreadMessageW(::GetCurrentThreadId(), WM_APP, 0, 0); },
         [] {}},
        // As another thread wakes the loop to hand over a posted event.
        {"a message posted by another thread",
         [] {
             const DWORD self = ::GetCurrentThreadId();
             std::thread([self] { ::PostThreadMessageW(self, WM_APP + 1, 0, 0); }).join();
         },
         [] {}},
        {"a timer that came due",
         [] {
             timerId = ::SetTimer(nullptr, 0, 1, nullptr);
             ::Sleep(30);
         },
         [] { ::KillTimer(nullptr, timerId); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        drainMessages();
        EXPECT_FALSE(windowEventsMayHaveArrived());
        c.arrive();
        EXPECT_TRUE(windowEventsMayHaveArrived());
        c.tidy();
        drainMessages();
        EXPECT_FALSE(windowEventsMayHaveArrived());
    }
}

TEST(Win32Shell, StartsWhatCanBeStarted)
{
    struct Case {
        std::string commandLine;
        bool started;
    };
    const std::vector<Case> cases = {
        {"cmd.exe /c exit 0", true},
        {"velmora-no-such-program.exe http://www.127.0.0.1", false},
        {"", false},
    };
    const auto shell = createShell();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.commandLine);
        EXPECT_EQ(shell->Run(c.commandLine, SW_SHOWMINIMIZED), c.started);
    }
}

}  // namespace
}  // namespace velmora
