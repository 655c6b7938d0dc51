// The backend of the system the suite was built for, against that system: the
// same cases for every backend, on Linux natively and on Windows under Wine.

#include "platform/Platform.h"

#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace tessarin {
namespace {

// The first address of a record, dotted; "none" without one.
std::string First(const HOSTENT* record)
{
    if (record == nullptr || record->h_addr_list[0] == nullptr) {
        return "none";
    }
    EXPECT_EQ(record->h_length, 4);
    const auto* b = reinterpret_cast<const unsigned char*>(record->h_addr_list[0]);
    return std::to_string(b[0]) + '.' + std::to_string(b[1]) + '.' + std::to_string(b[2]) + '.' +
           std::to_string(b[3]);
}

TEST(Platform, SessionsAndVersions)
{
    const std::unique_ptr<Platform> platform = MakeSystemPlatform();
    WSADATA data;
    EXPECT_EQ(platform->gethostbyname("localhost"), nullptr) << "no session is open";
#ifndef _WIN32 // Wine's Winsock answers a reverse lookup before any session; Windows refuses it
    EXPECT_EQ(platform->gethostbyaddr("\x7f\0\0\x01", 4, 2), nullptr);
#endif
    EXPECT_EQ(platform->WSACleanup(), -1);
    EXPECT_EQ(platform->WSAStartup(0x0100, data), 10092) << "major version 0";
    // Asked and granted, the highest being 2.2; the sessions nest.
    const std::vector<std::pair<int, int>> versions{
        {0x0101, 0x0101}, {0x0202, 0x0202}, {0x0302, 0x0202}, {0x0003, 0x0202}, {0xFF02, 0x0202}};
    for (const auto& [asked, granted] : versions) {
        ASSERT_EQ(platform->WSAStartup(static_cast<std::uint16_t>(asked), data), 0);
        EXPECT_EQ(data.wVersion, granted) << asked;
        EXPECT_EQ(data.wHighVersion, 0x0202);
    }
    for (auto open = versions.size(); open > 0; --open) {
        EXPECT_NE(platform->gethostbyname("localhost"), nullptr);
        EXPECT_EQ(platform->WSACleanup(), 0);
    }
    EXPECT_EQ(platform->WSACleanup(), -1);
}

class PlatformTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(platform->WSAStartup(0x0101, data), 0); }
    void TearDown() override { EXPECT_EQ(platform->WSACleanup(), 0); }

    const std::unique_ptr<Platform> platform = MakeSystemPlatform();
    WSADATA data;
};

TEST_F(PlatformTest, Lookups)
{
    EXPECT_GE(data.iMaxSockets, 1);
    EXPECT_EQ(First(platform->gethostbyname("localhost")), "127.0.0.1");
    EXPECT_EQ(First(platform->gethostbyname("1.2.3.4")), "1.2.3.4");
    EXPECT_STREQ(platform->gethostbyname("1.2.3.4")->h_name, "1.2.3.4") << "a dotted text";
    const unsigned char loopback[] = {127, 0, 0, 1};
    const HOSTENT* named = platform->gethostbyaddr(reinterpret_cast<const char*>(loopback), 4, 2);
    ASSERT_NE(named, nullptr);
    const std::string name = named->h_name;
    EXPECT_EQ(First(platform->gethostbyname(name.c_str())), "127.0.0.1") << name;
    EXPECT_EQ(platform->gethostbyaddr(reinterpret_cast<const char*>(loopback), 4, 23), nullptr);
    const unsigned char ipv6[16] = {127, 0, 0, 1}; // an IPv4 loopback in a 16-byte address
    EXPECT_EQ(platform->gethostbyaddr(reinterpret_cast<const char*>(ipv6), 16, 2), nullptr);
}

TEST_F(PlatformTest, ComputerName)
{
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
