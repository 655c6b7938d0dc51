// The program file's version record and icon group, read back from this test
// program, which carries the same resource file as Tessarin.exe, through the
// calls a file manager uses.

#include <string>
#include <vector>
#include <windows.h>

#include <gtest/gtest.h>

namespace {

TEST(Resources, VersionRecord)
{
    char path[MAX_PATH];
    ASSERT_GT(::GetModuleFileNameA(nullptr, path, MAX_PATH), 0u);
    std::vector<char> info(::GetFileVersionInfoSizeA(path, nullptr));
    ASSERT_TRUE(::GetFileVersionInfoA(path, 0, static_cast<DWORD>(info.size()), info.data()));
    void* value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueA(info.data(), "\\", &value, &length));
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    EXPECT_EQ(fixed->dwFileVersionMS, 0x20000u) << "2.0";
    EXPECT_EQ(fixed->dwProductVersionMS + fixed->dwFileVersionLS + fixed->dwProductVersionLS,
              0x20000u)
        << "2.0.0.0 both";
    EXPECT_EQ(fixed->dwFileFlags & fixed->dwFileFlagsMask, 0u);
    EXPECT_EQ(fixed->dwFileOS, static_cast<DWORD>(VOS__WINDOWS32));
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
    for (const auto& [field, text] : std::vector<std::pair<std::string, std::string>>{
             {"FileDescription", "Finds IP of a given Host and vice-versa"},
             {"FileVersion", "2.00"},
             {"ProductVersion", "2.00"},
             {"ProductName", "Tessarin"},
             {"Comments", "Tessarin"},
             {"InternalName", "Tessarin"},
             {"OriginalFilename", "Tessarin.exe"},
             {"CompanyName", "Korvane"},
         }) {
        const std::string key = "\\StringFileInfo\\040904B0\\" + field;
        ASSERT_TRUE(::VerQueryValueA(info.data(), key.c_str(), &value, &length)) << field;
        EXPECT_EQ(static_cast<const char*>(value), text);
    }
}

TEST(Resources, OneIconGroupOfTwelveImages)
{
    // Names live only as long as the enumeration: kept as text, "#" and a number for an id.
    std::vector<std::string> groups;
    ::EnumResourceNamesA(
        nullptr, RT_GROUP_ICON,
        [](HMODULE, LPCSTR, LPSTR name, LONG_PTR found) {
            reinterpret_cast<std::vector<std::string>*>(found)->push_back(
                IS_INTRESOURCE(name) ? "#" + std::to_string(reinterpret_cast<ULONG_PTR>(name))
                                     : std::string(name));
            return TRUE;
        },
        reinterpret_cast<LONG_PTR>(&groups));
    ASSERT_EQ(groups.size(), 1u);
    const HRSRC group = ::FindResourceA(nullptr, groups[0].c_str(), RT_GROUP_ICON);
    const auto* directory =
        static_cast<const BYTE*>(::LockResource(::LoadResource(nullptr, group)));
    ASSERT_NE(directory, nullptr);
    ASSERT_EQ(*reinterpret_cast<const WORD*>(directory + 4), 12) << "images";
    // Each entry of 14 bytes: width, height, colours, reserved, planes, bits per pixel, size, id.
    const BYTE* entry = directory + 6;
    for (int side : {16, 24, 32, 48}) {
        for (int bits : {4, 8, 32}) {
            EXPECT_EQ(entry[0], side);
            EXPECT_EQ(*reinterpret_cast<const WORD*>(entry + 6), bits) << side;
            const WORD id = *reinterpret_cast<const WORD*>(entry + 12);
            EXPECT_NE(::FindResourceA(nullptr, MAKEINTRESOURCEA(id), RT_ICON), nullptr) << id;
            entry += 14;
        }
    }
}

} // namespace
