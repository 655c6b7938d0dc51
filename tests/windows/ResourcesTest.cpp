// The program file's version record and icon, read back from
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
    // File and product version 2.0.0.0, as CMakeLists.txt gives it, and in text.
    EXPECT_EQ(fixed->dwFileVersionMS, 0x20000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x20000u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0u);
    for (const auto& [field, text] : std::vector<std::pair<std::string, const char*>>{
             {"FileVersion", "2.00"},
             {"ProductVersion", "2.00"},
             {"FileDescription", "Finds IP of a given Host and vice-versa"},
             {"CompanyName", "Korvane"},
         }) {
        EXPECT_STREQ(static_cast<const char*>(query("\\StringFileInfo\\040904B0\\" + field)), text)
            << field;
    }
    EXPECT_NE(::FindResourceA(nullptr, "IDI_APPLICATION_ICON", RT_GROUP_ICON), nullptr)
        << "the program's icon, for the file manager";
}

} // namespace
