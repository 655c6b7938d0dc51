// The resolver object over the fake platform, and once over the real one.

#include "resolver/clsIPRESOLVE.h"

#include "FakePlatform.h"
#include "QtPrinting.h"
#include "SystemHosts.h"

#include <memory>
#include <optional>
#include <vector>

#include <QString>

#include <gtest/gtest.h>

namespace tessarin {
namespace {

using testing::Address4;
using testing::FakeHost;
using testing::FakePlatform;
using testing::Ipv4Host;

TEST(clsIPRESOLVE, SessionPerObject)
{
    FakePlatform fake;
    WSADATA windowSession;
    fake.WSAStartup(0x0101, windowSession);
    {
        clsIPRESOLVE resolver(fake);
        EXPECT_EQ(fake.openSessions, 2);
    }
    EXPECT_EQ(fake.calls.startup, 2);
    EXPECT_EQ(fake.versionsRequested.back(), 0x0101);
    EXPECT_EQ(fake.calls.cleanup, 1);
    EXPECT_EQ(fake.openSessions, 1) << "the object closes only the session it opened";
}

TEST(clsIPRESOLVE, InertObjectMakesNoCall)
{
    FakePlatform fake;
    fake.startupResult = 10091;
    fake.hostsByName["localhost"] = Ipv4Host("localhost", {{127, 0, 0, 1}});
    fake.namesByAddress[{127, 0, 0, 1}] = "localhost";
    {
        clsIPRESOLVE resolver(fake);
        EXPECT_EQ(resolver.AddressToName("127.0.0.1"), "");
        EXPECT_EQ(resolver.NameToAddress("localhost"), "");
    }
    EXPECT_EQ(fake.calls.byAddress, 0);
    EXPECT_EQ(fake.calls.byName, 0);
    EXPECT_EQ(fake.calls.cleanup, 0);
}

TEST(clsIPRESOLVE, AddressToNameAsksForTheRightBytes)
{
    struct Case {
        const char* label;
        QString text;
        std::optional<Address4> asked; // nullopt: no lookup may be made
    };
    const std::vector<Case> cases = {
        {"plain", "192.168.1.10", Address4{192, 168, 1, 10}},
        {"blanks and leading zeros", " 192 . 168 .001. 010", Address4{192, 168, 1, 10}},
        {"top byte above 127", "10.0.0.200", Address4{10, 0, 0, 200}},
        {"all ones", "255.255.255.255", Address4{255, 255, 255, 255}},
        {"host name", "example.com", std::nullopt},
        {"three parts", "1.2.3", std::nullopt},
        {"five parts", "1.2.3.4.5", std::nullopt},
        {"five parts that overflow", "1.2.3.200.5", std::nullopt},
        {"prefixed", "http://1.2.3.4", std::nullopt},
        {"empty", "", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        FakePlatform fake;
        clsIPRESOLVE resolver(fake);
        EXPECT_EQ(resolver.AddressToName(c.text), "") << "the fake knows no names";
        if (c.asked) {
            EXPECT_EQ(fake.addressesAsked, std::vector<Address4>{*c.asked});
        } else {
            EXPECT_EQ(fake.calls.byAddress, 0);
        }
    }
}

TEST(clsIPRESOLVE, AddressToNameCopiesTheName)
{
    const std::string longName(300, 'n');
    struct Case {
        const char* label;
        std::string official;
        QString expected;
    };
    const std::vector<Case> cases = {
        {"short name", "gateway.lan", "gateway.lan"},
        {"254 characters", std::string(254, 'a'), QString(254, u'a')},
        {"255 characters", std::string(255, 'b'), QString(255, u'b')},
        {"300 characters keep their first 255", std::string(255, 'c') + std::string(45, 'd'),
         QString(255, u'c')},
        {"UTF-8 name",
         "b\xC3\xBC"
         "cher.lan",
         QString::fromUtf8("b\xC3\xBC"
                           "cher.lan")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        FakePlatform fake;
        fake.namesByAddress[{10, 1, 2, 3}] = c.official;
        clsIPRESOLVE resolver(fake);
        EXPECT_EQ(resolver.AddressToName("10.1.2.3"), c.expected);
        EXPECT_EQ(resolver.AddressToName("10.1.2.4"), "") << "an address without a name";
    }
}

TEST(clsIPRESOLVE, NameToAddress)
{
    struct Case {
        const char* label;
        QString name;
        std::string asked;
        std::optional<FakeHost> host;
        QString expected;
    };
    std::vector<Case> cases = {
        {"plain", "host", "host", Ipv4Host("host", {{192, 168, 0, 1}}), "192.168.0.1"},
        {"second byte 0", "host", "host", Ipv4Host("host", {{10, 0, 0, 255}}), "10.0.0.255"},
        {"all zeros", "host", "host", Ipv4Host("host", {{0, 0, 0, 0}}), "0.0.0.0"},
        {"first of several", "multi", "multi", Ipv4Host("multi", {{10, 0, 0, 2}, {10, 0, 0, 1}}),
         "10.0.0.2"},
        {"trailing blank is asked with the blank", "host ", "host ",
         Ipv4Host("host ", {{1, 2, 3, 4}}), "1.2.3.4"},
        {"not resolved", "nowhere", "nowhere", std::nullopt, ""},
        {"non-ASCII as UTF-8",
         QString::fromUtf8("b\xC3\xBC"
                           "cher"),
         "b\xC3\xBC"
         "cher",
         Ipv4Host("x", {{5, 6, 7, 8}}), "5.6.7.8"},
        {"text after a NUL is not sent", QString::fromUtf16(u"host\0junk", 9), "host",
         Ipv4Host("host", {{9, 9, 9, 9}}), "9.9.9.9"},
    };
    for (const testing::OddRecord& odd : testing::OddRecords()) {
        cases.push_back(
            {odd.label, "odd", "odd", odd.host, QString::fromStdString(odd.dotted.value_or(""))});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        FakePlatform fake;
        if (c.host) {
            fake.hostsByName[c.asked] = *c.host;
        }
        clsIPRESOLVE resolver(fake);
        EXPECT_EQ(resolver.NameToAddress(c.name), c.expected);
        EXPECT_EQ(fake.namesAsked, std::vector<std::string>{c.asked});
    }
}

TEST(clsIPRESOLVE, RealSystem)
{
    const std::unique_ptr<Platform> platform = MakeSystemPlatform();
    const std::optional<testing::HostsLine> getent = testing::GetentHosts("127.0.0.1");
    ASSERT_TRUE(getent);
    const QString expected = QString::fromStdString(getent->name);

    clsIPRESOLVE resolver(*platform);
    EXPECT_EQ(resolver.AddressToName("127.0.0.1"), expected);
    EXPECT_EQ(resolver.NameToAddress("localhost"), "127.0.0.1");
    EXPECT_EQ(resolver.NameToAddress("no-such-host.invalid"), "");
}

} // namespace
} // namespace tessarin
