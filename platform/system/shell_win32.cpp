// Starts a program from a command line, as WinExec does, with the window
// style handed to the started program's first window.
// shell.h comes before windows.h: its constants share their names with
// USER32's macros, which would otherwise rewrite the declarations.
#include "platform/system/shell.h"

#include <windows.h>

#include <string>

#include "platform/system/codepage_win32.h"

namespace velmora {

namespace {

class Win32Shell final : public Shell {
public:
    bool Run(const std::string& commandLine, int windowStyle) override
    {
        if (commandLine.empty())
            return false;
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = static_cast<WORD>(windowStyle);
        PROCESS_INFORMATION process{};
        // CreateProcessW may write into the command line it is given.
        std::wstring line = utf8ToWide(commandLine);
        if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                              &process))
            return false;
        // The program runs on by itself; nothing here waits for it.
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);
        return true;
    }
};

}  // namespace

std::unique_ptr<Shell> createShell()
{
    return std::make_unique<Win32Shell>();
}

}  // namespace velmora
