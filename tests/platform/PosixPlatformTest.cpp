// The POSIX backend against the real system, using only what every Linux has.

#include "SystemHosts.h"
#include "platform/Platform.h"

#include <arpa/inet.h>
#include <array>
#include <cstdio>
#include <memory>
#include <netdb.h>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

namespace tessarin {
namespace {

std::string Dotted(const char* address)
{
    std::array<char, INET_ADDRSTRLEN> text{};
    return ::inet_ntop(AF_INET, address, text.data(), text.size()) ? text.data() : "";
}

std::vector<std::string> AddressesOf(const HOSTENT* record)
{
    std::vector<std::string> addresses;
    for (char** entry = record->h_addr_list; *entry != nullptr; ++entry) {
        addresses.push_back(Dotted(*entry));
    }
    return addresses;
}

class PosixPlatformTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(platform->WSAStartup(0x0101, data), 0); }
    void TearDown() override { platform->WSACleanup(); }

    std::unique_ptr<Platform> platform = MakeSystemPlatform();
    WSADATA data;
};

TEST_F(PosixPlatformTest, ForwardLookups)
{
    struct Case {
        const char* label;
        std::string name;
        std::optional<std::string> officialName; // nullopt: no record expected
        std::string firstAddress;
    };
    const std::vector<Case> cases = {
        {"hosts file", "localhost", "localhost", "127.0.0.1"},
        {"loopback address comes back as itself", "127.0.0.1", "127.0.0.1", "127.0.0.1"},
        {"any dotted address comes back as itself", "1.2.3.4", "1.2.3.4", "1.2.3.4"},
        {"reserved top-level domain", "no-such-host.invalid", std::nullopt, ""},
        {"non-ASCII name that does not exist",
         "b\xC3\xBC"
         "cher.invalid",
         std::nullopt, ""},
        {"label too long for DNS", std::string(300, 'a') + ".invalid", std::nullopt, ""},
        {"1 MiB of text", std::string(1 << 20, 'x'), std::nullopt, ""},
        {"only dots", "...", std::nullopt, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const HOSTENT* record = platform->gethostbyname(c.name.c_str());
        if (!c.officialName) {
            EXPECT_EQ(record, nullptr);
            continue;
        }
        ASSERT_NE(record, nullptr);
        EXPECT_EQ(std::string(record->h_name), *c.officialName);
        EXPECT_EQ(record->h_addrtype, AF_INET);
        EXPECT_EQ(record->h_length, 4);
        ASSERT_NE(record->h_aliases, nullptr);
        EXPECT_EQ(record->h_aliases[0], nullptr);
        const std::vector<std::string> addresses = AddressesOf(record);
        ASSERT_FALSE(addresses.empty());
        EXPECT_EQ(addresses.front(), c.firstAddress);
    }
}

TEST_F(PosixPlatformTest, EmptyNameIsThisComputer)
{
    std::array<char, NI_MAXHOST + 1> own{};
    ASSERT_EQ(::gethostname(own.data(), NI_MAXHOST), 0);
    const HOSTENT* direct = platform->gethostbyname(own.data());
    if (direct == nullptr) {
        GTEST_SKIP() << "this machine cannot resolve its own name '" << own.data() << "'";
    }
    const std::vector<std::string> expected = AddressesOf(direct);
    const HOSTENT* empty = platform->gethostbyname("");
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(AddressesOf(empty), expected);
}

TEST_F(PosixPlatformTest, ReverseLookups)
{
    const std::optional<testing::HostsLine> getent = testing::GetentHosts("127.0.0.1");
    ASSERT_TRUE(getent) << "every Linux names 127.0.0.1 in its hosts file";
    const std::string systemName = getent->name;

    struct Case {
        const char* label;
        std::array<unsigned char, 16> bytes;
        int length;
        int family;
        std::optional<std::string> name;
    };
    const std::vector<Case> cases = {
        {"loopback has the system's name", {127, 0, 0, 1}, 4, AF_INET, systemName},
        {"documentation address has none", {192, 0, 2, 1}, 4, AF_INET, std::nullopt},
        {"IPv6 length refused",
         {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1},
         16,
         AF_INET6,
         std::nullopt},
        {"length 16 with IPv4 family refused", {127, 0, 0, 1}, 16, AF_INET, std::nullopt},
        {"length 3 refused", {127, 0, 0, 1}, 3, AF_INET, std::nullopt},
        {"other family refused", {127, 0, 0, 1}, 4, AF_UNIX, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const HOSTENT* record = platform->gethostbyaddr(
            reinterpret_cast<const char*>(c.bytes.data()), c.length, c.family);
        if (!c.name) {
            EXPECT_EQ(record, nullptr);
            continue;
        }
        ASSERT_NE(record, nullptr);
        EXPECT_EQ(std::string(record->h_name), *c.name);
        EXPECT_EQ(AddressesOf(record), std::vector<std::string>{"127.0.0.1"});
    }
    EXPECT_EQ(platform->gethostbyaddr(nullptr, 4, AF_INET), nullptr);
}

TEST(PosixPlatformSessions, StartupGrantsAndCounts)
{
    struct Case {
        const char* label;
        std::uint16_t requested;
        int result;
        std::uint16_t granted;
    };
    const std::vector<Case> cases = {
        {"1.1", 0x0101, 0, 0x0101},
        {"1.0", 0x0001, 0, 0x0001},
        {"2.2", 0x0202, 0, 0x0202},
        {"2.3 capped", 0x0302, 0, 0x0202},
        {"3.0 capped", 0x0003, 0, 0x0202},
        {"major 0 refused", 0x0100, VersionNotSupported, 0},
        {"0.0 refused", 0x0000, VersionNotSupported, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const std::unique_ptr<Platform> platform = MakeSystemPlatform();
        WSADATA data;
        EXPECT_EQ(platform->WSAStartup(c.requested, data), c.result);
        if (c.result == 0) {
            EXPECT_EQ(data.wVersion, c.granted);
            EXPECT_EQ(data.wHighVersion, 0x0202);
            EXPECT_EQ(data.iMaxSockets, 32767);
            EXPECT_EQ(platform->WSACleanup(), 0);
        }
        EXPECT_EQ(platform->WSACleanup(), -1) << "no session may be left open";
    }
}

TEST(PosixPlatformSessions, SessionsNestAndLookupsNeedOne)
{
    const std::unique_ptr<Platform> platform = MakeSystemPlatform();
    EXPECT_EQ(platform->gethostbyname("localhost"), nullptr);
    WSADATA data;
    ASSERT_EQ(platform->WSAStartup(0x0101, data), 0);
    ASSERT_EQ(platform->WSAStartup(0x0101, data), 0);
    EXPECT_EQ(platform->WSACleanup(), 0);
    EXPECT_NE(platform->gethostbyname("localhost"), nullptr) << "the outer session is still open";
    EXPECT_EQ(platform->WSACleanup(), 0);
    EXPECT_EQ(platform->WSACleanup(), -1);
    const std::array<unsigned char, 4> loopback{127, 0, 0, 1};
    EXPECT_EQ(platform->gethostbyaddr(reinterpret_cast<const char*>(loopback.data()), 4, AF_INET),
              nullptr);
}

TEST(PosixPlatformComputerName, FitsOrWritesNothing)
{
    std::array<char, NI_MAXHOST + 1> full{};
    ASSERT_EQ(::gethostname(full.data(), NI_MAXHOST), 0);
    std::string expected(full.data());
    expected = expected.substr(0, expected.find('.'));
    const std::unique_ptr<Platform> platform = MakeSystemPlatform();

    std::string buffer(250, ' ');
    std::uint32_t size = 250;
    ASSERT_EQ(platform->GetComputerNameA(buffer.data(), size), 1);
    EXPECT_EQ(buffer.substr(0, expected.size() + 1), expected + '\0');
    EXPECT_EQ(buffer.substr(expected.size() + 1), std::string(249 - expected.size(), ' '))
        << "the bytes behind the NUL stay as they were";

    std::string tight(expected.size(), ' ');
    auto tightSize = static_cast<std::uint32_t>(tight.size());
    EXPECT_EQ(platform->GetComputerNameA(tight.data(), tightSize), 0);
    EXPECT_EQ(tight, std::string(expected.size(), ' '));
}

} // namespace
} // namespace tessarin
