#include <windows.h>

#include <string>

#include "platform/files/program_folder.h"
#include "platform/files/user_folder.h"
#include "platform/system/codepage_win32.h"
#include "platform/system/platform_error.h"

namespace velmora {

namespace {

constexpr const wchar_t* kFolderName = L"Velmora";

std::wstring localAppData()
{
    std::wstring value(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetEnvironmentVariableW(L"LOCALAPPDATA", value.data(), static_cast<DWORD>(value.size()));
        if (length == 0)
            throw PlatformError("无法确定用户的数据文件夹", "没有 LOCALAPPDATA 环境变量");
        if (length < value.size()) {
            value.resize(length);
            while (!value.empty() && (value.back() == L'\\' || value.back() == L'/'))
                value.pop_back();
            return value;
        }
        value.resize(length);
    }
}

}  // namespace

UserFolder userFolder()
{
    const std::wstring path = localAppData() + L"\\" + kFolderName;
    if (!::CreateDirectoryW(path.c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS) {
        const DWORD error = ::GetLastError();  // before the conversion's own calls
        throw systemFailure("无法创建文件夹“" + wideToUtf8(path) + "”", error);
    }
    return {wideToUtf8(path), "%LOCALAPPDATA%\\Velmora"};
}

bool canCreateFilesIn(const std::string& folder)
{
    const std::wstring probe =
        utf8ToWide(joinPath(folder, ".velmora-write-test-" + std::to_string(::GetCurrentProcessId())));
    const HANDLE file = ::CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    ::CloseHandle(file);
    return true;
}

}  // namespace velmora
