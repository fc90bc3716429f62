// The version record and icon that the .rc compiles into the executable,
// read back as Explorer's properties page and the window system read them.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/site.h"
#include "platform/system/codepage_win32.h"

#include <windows.h>

namespace velmora {
namespace {

std::vector<char> ownVersionRecord()
{
    wchar_t path[MAX_PATH];
    const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length == MAX_PATH)
        return {};
    const DWORD size = ::GetFileVersionInfoSizeW(path, nullptr);
    std::vector<char> record(size);
    if (size == 0 || !::GetFileVersionInfoW(path, 0, size, record.data()))
        return {};
    return record;
}

std::optional<std::string> versionString(std::vector<char>& record, const std::string& name)
{
    void* value = nullptr;
    UINT length = 0;
    const std::wstring key = utf8ToWide("\\StringFileInfo\\080404b0\\" + name);
    if (!::VerQueryValueW(record.data(), key.c_str(), &value, &length) || length == 0)
        return std::nullopt;
    return wideToUtf8(static_cast<const wchar_t*>(value));
}

TEST(VersionRecord, NamesTheProgramInChinesePrc)
{
    std::vector<char> record = ownVersionRecord();
    ASSERT_FALSE(record.empty());
    struct Case {
        std::string name;
        std::string value;
    };
    const std::vector<Case> cases = {
        {"ProductName", "VelmoraV1.0"},       {"InternalName", "Velmora1.0"},
        {"OriginalFilename", "Velmora1.0.exe"}, {"FileVersion", "1.00"},
        {"ProductVersion", "1.00"},           {"CompanyName", siteCaptionName()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(versionString(record, c.name), c.value);
    }

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueW(record.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);

    DWORD* translation = nullptr;
    ASSERT_TRUE(::VerQueryValueW(record.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                                 &length));
    EXPECT_EQ(LOWORD(*translation), 0x0804);  // Chinese (PRC)
    EXPECT_EQ(HIWORD(*translation), 1200);    // Unicode
}

// An icon group as it lies in the executable: a header and one entry per
// image (the layout of GRPICONDIR, which no SDK header declares).
#pragma pack(push, 2)
struct IconGroupEntry {
    BYTE width, height, colours, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
struct IconGroupHeader {
    WORD reserved, type, count;
};
#pragma pack(pop)

TEST(VersionRecord, CarriesTheIconInEachSizeIn256ColoursAndIn32Bit)
{
    const HMODULE self = ::GetModuleHandleW(nullptr);
    const HRSRC found = ::FindResourceW(self, L"IDI_ICON1", MAKEINTRESOURCEW(14));  // RT_GROUP_ICON
    ASSERT_NE(found, nullptr);
    const auto* header = static_cast<const IconGroupHeader*>(::LockResource(::LoadResource(self, found)));
    ASSERT_NE(header, nullptr);
    const auto* entries = reinterpret_cast<const IconGroupEntry*>(header + 1);
    std::vector<std::pair<int, int>> images;  // size, bits per pixel
    for (WORD i = 0; i < header->count; ++i)
        images.emplace_back(entries[i].width, entries[i].bitCount);
    std::sort(images.begin(), images.end());
    const std::vector<std::pair<int, int>> expected = {{16, 8}, {16, 32}, {24, 8}, {24, 32},
                                                       {32, 8}, {32, 32}, {48, 8}, {48, 32}};
    EXPECT_EQ(images, expected);
    // The window system can make an icon of each size from them.
    for (const int size : {16, 24, 32, 48}) {
        SCOPED_TRACE(size);
        const HANDLE icon = ::LoadImageW(self, L"IDI_ICON1", IMAGE_ICON, size, size, LR_DEFAULTCOLOR);
        EXPECT_NE(icon, nullptr);
        if (icon)
            ::DestroyIcon(static_cast<HICON>(icon));
    }
}

}  // namespace
}  // namespace velmora
