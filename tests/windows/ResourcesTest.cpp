// Tessarin.exe's version record and icon, read from the program file through
// the calls a file manager uses.

#include <string>
#include <vector>
#include <windows.h>

#include <gtest/gtest.h>

namespace {

TEST(Resources, VersionRecordAndIcon)
{
    const char* const program = TESSARIN_EXE;
    std::vector<char> info(::GetFileVersionInfoSizeA(program, nullptr));
    ASSERT_TRUE(::GetFileVersionInfoA(program, 0, static_cast<DWORD>(info.size()), info.data()))
        << program;
    const auto query = [&info](const std::string& key) -> const void* {
        void* value = nullptr;
        UINT length = 0;
        return ::VerQueryValueA(info.data(), key.c_str(), &value, &length) ? value : nullptr;
    };
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(query("\\"));
    ASSERT_NE(fixed, nullptr);
    // File and product version 2.0.0.0, and in text.
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
    const HMODULE file = ::LoadLibraryExA(program, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(file, nullptr);
    EXPECT_NE(::FindResourceA(file, "IDI_APPLICATION_ICON", RT_GROUP_ICON), nullptr)
        << "the program's icon, for the file manager";
    ::FreeLibrary(file);
}

} // namespace
