// The backend of the system the suite was built for, against that system: the
// same cases for every backend, on Linux natively and on Windows under Wine.
// Its lookups are the DNS suite's, through the window, and on Windows the
// real program's under Wine.

#include "platform/Platform.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace tessarin {
namespace {

TEST(Platform, SessionsAndVersions)
{
    const std::unique_ptr<Platform> platform = MakeSystemPlatform();
    WSADATA data;
    EXPECT_EQ(platform->gethostbyname("localhost"), nullptr) << "no session is open";
    EXPECT_EQ(platform->WSACleanup(), -1);
    EXPECT_EQ(platform->WSAStartup(0x0100, data), 10092) << "major version 0";
    // Asked and granted, the highest being 2.2; the sessions nest. Tessarin's
    // own 1.1 comes last: its socket count is the one read (Winsock 2 gives none).
    const std::vector<std::pair<int, int>> versions{
        {0x0202, 0x0202}, {0x0302, 0x0202}, {0x0003, 0x0202}, {0xFF02, 0x0202}, {0x0101, 0x0101}};
    for (const auto& [asked, granted] : versions) {
        ASSERT_EQ(platform->WSAStartup(static_cast<std::uint16_t>(asked), data), 0);
        EXPECT_EQ(data.wVersion, granted) << asked;
        EXPECT_EQ(data.wHighVersion, 0x0202) << asked;
    }
    EXPECT_GE(data.iMaxSockets, 1);
    for (auto open = versions.size(); open > 0; --open) {
        EXPECT_NE(platform->gethostbyname("localhost"), nullptr);
        EXPECT_EQ(platform->WSACleanup(), 0);
    }
    EXPECT_EQ(platform->WSACleanup(), -1);
}

TEST(Platform, ComputerName)
{
    const std::unique_ptr<Platform> platform = MakeSystemPlatform();
    std::string buffer(250, ' ');
    std::uint32_t size = 250;
    ASSERT_EQ(platform->GetComputerNameA(buffer.data(), size), 1);
    const std::string computer = buffer.substr(0, buffer.find('\0'));
    EXPECT_EQ(size, computer.size()) << "the length written";
    EXPECT_EQ(buffer.substr(computer.size()), '\0' + std::string(249 - computer.size(), ' '));
    EXPECT_EQ(computer.find('.'), std::string::npos) << "the host name up to its first dot";
    std::string tight(computer.size(), ' ');
    size = static_cast<std::uint32_t>(computer.size());
    EXPECT_EQ(platform->GetComputerNameA(tight.data(), size), 0);
    EXPECT_EQ(tight, std::string(computer.size(), ' ')) << "too small: nothing written";
    EXPECT_EQ(size, computer.size() + 1) << "but the room it needs";
    size = static_cast<std::uint32_t>(computer.size() + 1);
    EXPECT_EQ(platform->GetComputerNameA(buffer.data(), size), 1) << "just large enough";
}

} // namespace
} // namespace tessarin
