// The program file's version record, icon group and manifest, read back from
// this test program, which carries the same resource file as Tessarin.exe,
// through the calls a file manager uses.

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
    const auto query = [&info](const std::string& key) -> const void* {
        void* value = nullptr;
        UINT length = 0;
        return ::VerQueryValueA(info.data(), key.c_str(), &value, &length) ? value : nullptr;
    };
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(query("\\"));
    ASSERT_NE(fixed, nullptr);
    // File and product version 2.0.0.0, no flags, 32-bit Windows, an application.
    EXPECT_EQ(std::vector<DWORD>({fixed->dwFileVersionMS, fixed->dwFileVersionLS,
                                  fixed->dwProductVersionMS, fixed->dwProductVersionLS,
                                  fixed->dwFileFlags, fixed->dwFileOS, fixed->dwFileType}),
              std::vector<DWORD>({0x20000, 0, 0x20000, 0, 0, 4, 1}));
    for (const auto& [field, text] : std::vector<std::pair<std::string, const char*>>{
             {"FileDescription", "Finds IP of a given Host and vice-versa"},
             {"FileVersion", "2.00"},
             {"ProductVersion", "2.00"},
             {"ProductName", "Tessarin"},
             {"Comments", "Tessarin"},
             {"InternalName", "Tessarin"},
             {"OriginalFilename", "Tessarin.exe"},
             {"CompanyName", "Korvane"},
         }) {
        EXPECT_STREQ(static_cast<const char*>(query("\\StringFileInfo\\040904B0\\" + field)), text)
            << field;
    }
}

TEST(Resources, OneIconGroupOfTwelveImages)
{
    int groups = 0;
    ::EnumResourceNamesA(
        nullptr, RT_GROUP_ICON,
        [](HMODULE, LPCSTR, LPSTR, LONG_PTR count) -> BOOL {
            return ++*reinterpret_cast<int*>(count);
        },
        reinterpret_cast<LONG_PTR>(&groups));
    EXPECT_EQ(groups, 1);
    const auto* directory = static_cast<const BYTE*>(::LockResource(
        ::LoadResource(nullptr, ::FindResourceA(nullptr, "IDI_APPLICATION_ICON", RT_GROUP_ICON))));
    ASSERT_NE(directory, nullptr);
    ASSERT_EQ(directory[4], 12) << "images";
    // 14 bytes an image: width, height, colours, reserved, planes, bits per pixel, size, id.
    const BYTE* entry = directory + 6;
    for (int side : {16, 24, 32, 48}) {
        for (int bits : {4, 8, 32}) {
            EXPECT_EQ(entry[0], side);
            EXPECT_EQ(entry[6], bits) << side;
            EXPECT_NE(
                ::FindResourceA(nullptr, MAKEINTRESOURCEA(entry[12] | entry[13] << 8), RT_ICON),
                nullptr);
            entry += 14;
        }
    }
}

TEST(Resources, Manifest)
{
    const HRSRC found = ::FindResourceA(nullptr, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    ASSERT_NE(found, nullptr) << "no manifest for the loader";
    const std::string manifest(
        static_cast<const char*>(::LockResource(::LoadResource(nullptr, found))),
        ::SizeofResource(nullptr, found));
    for (const char* entry : {
             R"(level="asInvoker")",
             "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}", // Windows 7
             "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}", // Windows 8
             "{1f676c76-80e1-4239-95bb-83d0f6d0da78}", // Windows 8.1
             "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}", // Windows 10 and 11
             ">PerMonitorV2<",
         }) {
        EXPECT_NE(manifest.find(entry), std::string::npos) << entry;
    }
}

} // namespace
