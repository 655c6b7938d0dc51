// HOST TO IP, clicked through the window.

#include "FakePlatform.h"
#include "WindowHarness.h"

#include <optional>
#include <vector>

#include <QElapsedTimer>

#include <gtest/gtest.h>

namespace tessarin::testing {
namespace {

const QString CantResolve = QStringLiteral("Can't resolve name: ");

// Time limits stretch under tools that slow the program down (valgrind sets 30).
qint64 TimeScale()
{
    const qint64 scale = qEnvironmentVariableIntValue("TESSARIN_TIME_SCALE");
    return scale > 0 ? scale : 1;
}

class HostToIpTest : public ::testing::Test {
protected:
    void SetUp() override { harness.Open(fake); }

    FakePlatform fake;
    WindowHarness harness;
};

TEST_F(HostToIpTest, PrefixesAreCleanedOnce)
{
    struct Case {
        const char* label;
        QString input;
        QString cleaned;
    };
    const std::vector<Case> cases = {
        {"at the start", "http://host", "host"},
        {"doubled", "http://http://host", "host"},
        {"in the middle", "hohttp://st", "host"},
        {"at the end", "hosthttp://", "host"},
        {"text that comes together is not searched again", "hthttp://tp://host", "http://host"},
        {"capitals are kept", "HTTP://host", "HTTP://host"},
        {"https is kept", "https://host", "https://host"},
        {"a trailing slash is kept", "http://host/", "host/"},
        {"a partial prefix is kept", "http:/host", "http:/host"},
        {"nothing but the prefix", "http://", ""},
        {"no prefix", "host", "host"},
    };
    fake.hostsByName["host"] = Ipv4Host("host", {{192, 168, 0, 1}});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        fake.namesAsked.clear();
        harness.Run("Label1", c.input);
        EXPECT_EQ(harness.Text1()->text(), c.cleaned);
        EXPECT_EQ(fake.namesAsked, std::vector<std::string>{c.cleaned.toStdString()});
        EXPECT_EQ(harness.Text2()->toPlainText(),
                  c.cleaned == "host" ? QString("192.168.0.1") : CantResolve + c.cleaned);
    }
}

TEST_F(HostToIpTest, RecordsGiveTheirFirstAddress)
{
    struct Case {
        const char* label;
        std::optional<FakeHost> host;
        QString shown;
    };
    std::vector<Case> cases = {
        {"private address", Ipv4Host("x", {{192, 168, 0, 1}}), "192.168.0.1"},
        {"last byte 255", Ipv4Host("x", {{10, 0, 0, 255}}), "10.0.0.255"},
        {"all zeros", Ipv4Host("x", {{0, 0, 0, 0}}), "0.0.0.0"},
        {"second byte 0", Ipv4Host("x", {{1, 0, 2, 3}}), "1.0.2.3"},
        {"the first of several", Ipv4Host("x", {{10, 0, 0, 2}, {10, 0, 0, 1}}), "10.0.0.2"},
        {"not resolved", std::nullopt, CantResolve + "name"},
    };
    for (const OddRecord& odd : OddRecords()) {
        cases.push_back({odd.label, odd.host,
                         odd.dotted ? QString::fromStdString(*odd.dotted) : CantResolve + "name"});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        fake.hostsByName.clear();
        if (c.host) {
            fake.hostsByName["name"] = *c.host;
        }
        harness.Run("Label1", "name");
        EXPECT_EQ(harness.Text2()->toPlainText(), c.shown);
    }
}

TEST_F(HostToIpTest, EachAnswerReplacesTheLast)
{
    fake.hostsByName["up"] = Ipv4Host("up", {{10, 1, 1, 1}});
    const std::vector<std::pair<const char*, QString>> clicks = {
        {"up", "10.1.1.1"},
        {"down", CantResolve + "down"},
        {"up", "10.1.1.1"},
    };
    for (const auto& [input, shown] : clicks) {
        harness.Run("Label1", input);
        EXPECT_EQ(harness.Text2()->toPlainText(), shown);
    }
    EXPECT_EQ(fake.calls.startup, 1) << "the click uses the window's session";
    EXPECT_EQ(fake.calls.cleanup, 0);
    EXPECT_EQ(fake.openSessions, 1);
}

TEST_F(HostToIpTest, BadInputFinishesWithTheUsualAnswer)
{
    fake.hostsByName["host"] = Ipv4Host("host", {{9, 8, 7, 6}});
    fake.hostsByName["b\xC3\xBC"
                     "cher"] = Ipv4Host("x", {{5, 6, 7, 8}});
    const QString huge(1 << 20, u'a');
    const QString withNul = QString::fromUtf16(u"host\0junk", 9);
    struct Case {
        const char* label;
        QString input;
        std::string asked;
        QString shown;
    };
    const std::vector<Case> cases = {
        {"1 MiB of text", huge, huge.toStdString(), CantResolve + huge},
        {"100,000 prefixes in a row", QString("http://").repeated(100000) + "host", "host",
         "9.8.7.6"},
        {"a NUL ends the name at the platform", withNul, "host", "9.8.7.6"},
        {"non-ASCII goes as 8-bit text",
         QString::fromUtf8("b\xC3\xBC"
                           "cher"),
         "b\xC3\xBC"
         "cher",
         "5.6.7.8"},
        {"only a NUL", QString(1, QChar(u'\0')), "", CantResolve + QString(1, QChar(u'\0'))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        fake.namesAsked.clear();
        QElapsedTimer timer;
        timer.start();
        harness.Run("Label1", c.input);
        QCoreApplication::processEvents(); // and shows it
        EXPECT_LT(timer.elapsed(), 5000 * TimeScale());
        EXPECT_EQ(fake.namesAsked, std::vector<std::string>{c.asked});
        EXPECT_EQ(harness.Text2()->toPlainText(), c.shown);
    }
}

} // namespace
} // namespace tessarin::testing
