// IP TO HOST and ABOUT, and the whole window over the real system.

#include "FakePlatform.h"
#include "SystemHosts.h"
#include "WindowHarness.h"

#include <memory>
#include <vector>

#include <QTextBlock>
#include <QUrl>

#include <gtest/gtest.h>

namespace tessarin::testing {
namespace {

// The lines of the output field, as the user reads them.
QStringList Lines(const QPlainTextEdit* text)
{
    QStringList lines;
    for (QTextBlock block = text->document()->begin(); block.isValid(); block = block.next()) {
        lines << block.text();
    }
    return lines;
}

void ExpectAbout(const QPlainTextEdit* text2)
{
    const QStringList lines = Lines(text2);
    ASSERT_EQ(lines.size(), 4) << "four lines, no break after the last";
    EXPECT_EQ(lines[0], "App: Tessarin");
    EXPECT_EQ(lines[1], "Dev: Korvane");
    EXPECT_EQ(lines[2], "Ver: " TESSARIN_PROJECT_VERSION);
    ASSERT_TRUE(lines[3].startsWith("Web: http://"));
    const QUrl page(lines[3].mid(5), QUrl::StrictMode);
    EXPECT_TRUE(page.isValid());
    EXPECT_TRUE(page.host().endsWith(".example")) << "a reserved example domain";
}

class IpToHostAboutTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fake.namesByAddress[{10, 1, 2, 3}] = "gateway.lan";
        harness.Open(fake);
    }

    FakePlatform fake;
    WindowHarness harness;
};

TEST_F(IpToHostAboutTest, AboutShowsFourLines)
{
    harness.Click("Label2");
    ExpectAbout(harness.Text2());
    EXPECT_EQ(fake.calls.byName + fake.calls.byAddress, 0);
}

TEST_F(IpToHostAboutTest, IpToHost)
{
    struct Case {
        const char* label;
        QString input;
        QString shown;
        int lookups;
    };
    const std::vector<Case> cases = {
        {"a known address", "10.1.2.3", "gateway.lan", 1},
        {"blanks and leading zeros", " 10 .1.2.003", "gateway.lan", 1},
        {"an address without a name", "10.1.2.4", "", 1},
        {"a prefix stays and makes it no address", "http://10.1.2.3", "", 0},
        {"a host name is no address", "gateway.lan", "", 0},
        {"five parts", "10.1.2.3.4", "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        harness.Text2()->setPlainText("earlier answer");
        const CallCounts before = fake.calls;
        harness.Run("Label4", c.input);
        EXPECT_EQ(harness.Text2()->toPlainText(), c.shown);
        EXPECT_EQ(harness.Text1()->text(), c.input) << "the input is never rewritten";
        EXPECT_EQ(fake.calls.byAddress - before.byAddress, c.lookups);
        EXPECT_EQ(fake.calls.startup - before.startup, 1) << "one resolver per click";
        EXPECT_EQ(fake.calls.cleanup - before.cleanup, 1);
        EXPECT_EQ(fake.openSessions, 1) << "the window's session stays open";
    }
}

TEST_F(IpToHostAboutTest, InertResolverShowsNothing)
{
    fake.startupResult = 10091;
    harness.Run("Label4", "10.1.2.3");
    EXPECT_EQ(harness.Text2()->toPlainText(), "");
    EXPECT_EQ(fake.calls.byAddress, 0);
    EXPECT_EQ(fake.calls.cleanup, 0);
    EXPECT_EQ(fake.openSessions, 1);
}

TEST_F(IpToHostAboutTest, EachCommandReplacesTheOther)
{
    harness.Run("Label4", "10.1.2.3");
    harness.Click("Label2");
    ExpectAbout(harness.Text2());
    harness.Click("Label4");
    EXPECT_EQ(Lines(harness.Text2()), QStringList{"gateway.lan"});
    harness.Click("Label2");
    harness.Run("Label1", "http://nowhere");
    EXPECT_EQ(Lines(harness.Text2()), QStringList{"Can't resolve name: nowhere"});
}

// Everything a user does, typed and clicked, over the real system.
class RealWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        window = &harness.Open(*platform);
        QApplication::setActiveWindow(window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    }

    void Type(const QString& text) const
    {
        QLineEdit* text1 = harness.Text1();
        text1->selectAll();
        QTest::keyClick(text1, Qt::Key_Delete);
        QTest::keyClicks(text1, text);
    }

    std::unique_ptr<Platform> platform = MakeSystemPlatform();
    WindowHarness harness;
    TessarinMain* window = nullptr;
};

TEST_F(RealWindowTest, AllFourCommands)
{
    Type("http://localhost");
    harness.Click("Label1");
    EXPECT_EQ(harness.Text1()->text(), "localhost");
    EXPECT_EQ(Lines(harness.Text2()), QStringList{"127.0.0.1"});

    Type("127.0.0.1");
    harness.Click("Label4");
    const std::optional<HostsLine> loopback = GetentHosts("127.0.0.1");
    ASSERT_TRUE(loopback);
    EXPECT_EQ(Lines(harness.Text2()), QStringList{QString::fromStdString(loopback->name)});

    Type("192.0.2.1");
    harness.Click("Label4");
    EXPECT_EQ(harness.Text2()->toPlainText(), "") << "a documentation address has no name";

    harness.Click("Label2");
    ExpectAbout(harness.Text2());

    EXPECT_EXIT(harness.Click("Label3"), ::testing::ExitedWithCode(0),
                ::testing::Not(::testing::HasSubstr("tessarin:")));
}

} // namespace
} // namespace tessarin::testing
