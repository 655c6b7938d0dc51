// The window over the fake platform: layout, input, start-up and shut-down.

#include "FakePlatform.h"
#include "WindowHarness.h"

#include <limits>
#include <optional>
#include <vector>

#include <QApplication>
#include <QClipboard>
#include <QFontInfo>
#include <QIcon>
#include <QPixmap>
#include <QScreen>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace tessarin::testing {
namespace {

class TessarinMainTest : public ::testing::Test {
protected:
    FakePlatform fake;
    WindowHarness harness;
};

TEST_F(TessarinMainTest, Layout)
{
    TessarinMain& window = harness.Open(fake);
    EXPECT_EQ(window.size(), QSize(378, 194));
    EXPECT_EQ(window.minimumSize(), window.maximumSize()) << "the user cannot resize it";
    // Centred as well as the frame, unknown until shown, lets it be.
    const QPoint frame = window.geometry().topLeft() - window.frameGeometry().topLeft();
    EXPECT_LE((window.geometry().center() - window.screen()->availableGeometry().center())
                  .manhattanLength(),
              frame.manhattanLength() + 1)
        << "centred on the screen";
    EXPECT_EQ(window.palette().color(window.backgroundRole()), QColor(Qt::white));
    EXPECT_TRUE(window.autoFillBackground());

    struct Control {
        const char* name;
        const char* kind;
        QRect rect;
        const char* caption;
    };
    // Back to front, as the window stacks its children.
    const std::vector<Control> controls = {
        {"Image1", "QLabel", {8, 32, 108, 27}, ""},
        {"Label1", "QLabel", {16, 40, 97, 17}, "HOST TO IP"},
        {"Image2", "QLabel", {232, 32, 68, 27}, ""},
        {"Label2", "QLabel", {232, 40, 65, 17}, "ABOUT"},
        {"Image3", "QLabel", {304, 32, 68, 27}, ""},
        {"Label3", "QLabel", {304, 40, 65, 17}, "QUIT"},
        {"Image4", "QLabel", {120, 32, 108, 27}, ""},
        {"Label4", "QLabel", {128, 40, 97, 17}, "IP TO HOST"},
        {"Text1", "QLineEdit", {8, 8, 361, 19}, ""},
        {"Text2", "QPlainTextEdit", {8, 64, 361, 121}, ""},
    };
    const QObjectList children = window.children();
    qsizetype previous = -1;
    for (const Control& c : controls) {
        SCOPED_TRACE(c.name);
        QWidget* widget = harness.Find(c.name);
        ASSERT_NE(widget, nullptr);
        EXPECT_STREQ(widget->metaObject()->className(), c.kind);
        EXPECT_EQ(widget->geometry(), c.rect);
        EXPECT_TRUE(widget->isVisible() && widget->isEnabled());
        const qsizetype index = children.indexOf(widget);
        EXPECT_GT(index, previous) << "stacked in front of the control before it";
        previous = index;
        auto* label = qobject_cast<QLabel*>(widget);
        if (label == nullptr) {
            continue;
        }
        EXPECT_EQ(label->text(), QString::fromLatin1(c.caption));
        EXPECT_EQ(label->focusPolicy(), Qt::NoFocus);
        if (*c.caption != '\0') {
            EXPECT_EQ(label->alignment(), Qt::AlignHCenter | Qt::AlignTop);
            EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(Qt::white));
            EXPECT_FALSE(label->autoFillBackground()) << "the picture shows through";
            EXPECT_EQ(label->textFormat(), Qt::PlainText) << "no mnemonics, no markup";
            EXPECT_EQ(label->font().pointSize(), 9);
            EXPECT_TRUE(QFontInfo(label->font()).fixedPitch());
        } else {
            EXPECT_TRUE(label->hasScaledContents()) << "the face is stretched to the picture";
            EXPECT_EQ(label->pixmap().size(), QSize(100, 30));
        }
    }

    QPlainTextEdit* text2 = harness.Text2();
    EXPECT_TRUE(text2->isReadOnly());
    EXPECT_EQ(text2->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    EXPECT_EQ(text2->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_NE(text2->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_TRUE(harness.Text1()->text().isEmpty() && text2->toPlainText().isEmpty());
    EXPECT_EQ(harness.Text1()->maxLength(), std::numeric_limits<int>::max());
    for (QWidget* text : {static_cast<QWidget*>(harness.Text1()), static_cast<QWidget*>(text2)}) {
        EXPECT_EQ(text->font().pointSize(), 9);
        EXPECT_TRUE(QFontInfo(text->font()).fixedPitch());
    }

    const QList<QSize> iconSizes = window.windowIcon().availableSizes();
    for (int side : {16, 24, 32, 48}) {
        EXPECT_TRUE(iconSizes.contains(QSize(side, side))) << side;
    }
}

TEST_F(TessarinMainTest, ClicksReachLabelsOnly)
{
    harness.Open(fake);
    fake.hostsByName["host"] = Ipv4Host("host", {{1, 2, 3, 4}});
    harness.Text1()->setText("host");

    // Where a picture shows around its label, a click does nothing.
    for (const char* picture : {"Image1", "Image2", "Image3", "Image4"}) {
        const QRect face = harness.Find(picture)->geometry();
        for (QPoint rim : {face.topLeft(), face.bottomRight(), face.bottomLeft()}) {
            harness.ClickAt(rim);
        }
    }
    QTest::mouseClick(harness.Window().windowHandle(), Qt::RightButton, {},
                      harness.Find("Label1")->geometry().center());
    const QPoint label = harness.Find("Label1")->geometry().center();
    QTest::mousePress(harness.Window().windowHandle(), Qt::LeftButton, {}, label);
    QTest::mouseRelease(harness.Window().windowHandle(), Qt::LeftButton, {}, QPoint(200, 120));
    EXPECT_EQ(fake.calls.byName, 0);
    EXPECT_EQ(harness.Text2()->toPlainText(), "");

    harness.Click("Label1");
    EXPECT_EQ(fake.calls.byName, 1);
    EXPECT_EQ(harness.Text2()->toPlainText(), "1.2.3.4");
}

TEST_F(TessarinMainTest, CursorsOverLabelsAndPictures)
{
    TessarinMain& window = harness.Open(fake);
    for (const char* name : {"Label1", "Label2", "Label3", "Label4"}) {
        SCOPED_TRACE(name);
        const QWidget* top = window.childAt(harness.Find(name)->geometry().center());
        ASSERT_NE(top, nullptr);
        EXPECT_EQ(top->objectName(), name);
        const QCursor cursor = top->cursor();
        EXPECT_EQ(cursor.shape(), Qt::BitmapCursor);
        EXPECT_EQ(cursor.hotSpot(), QPoint(5, 0));
        EXPECT_EQ(cursor.pixmap().size(), QSize(32, 32));
    }
    for (const char* name : {"Image1", "Image2", "Image3", "Image4"}) {
        const QWidget* top = window.childAt(harness.Find(name)->geometry().topLeft());
        ASSERT_NE(top, nullptr);
        EXPECT_EQ(top->objectName(), name);
        EXPECT_EQ(top->cursor().shape(), Qt::ArrowCursor);
    }
}

TEST_F(TessarinMainTest, KeyboardRunsNoCommand)
{
    TessarinMain& window = harness.Open(fake);
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QLineEdit* text1 = harness.Text1();
    QPlainTextEdit* text2 = harness.Text2();
    EXPECT_EQ(QApplication::focusWidget(), text1);

    QTest::keyClicks(text1, "localhost");
    QTest::keyClick(text1, Qt::Key_Return);
    QTest::keyClick(text1, Qt::Key_Enter);
    EXPECT_EQ(text1->text(), "localhost");
    EXPECT_EQ(fake.calls.byName + fake.calls.byAddress, 0);

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), text2);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), text1) << "Tab cycles between the two text boxes";
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    EXPECT_EQ(QApplication::focusWidget(), text2);

    text2->setPlainText("answer");
    QTest::keyClicks(text2, "typed");
    QTest::keyClick(text2, Qt::Key_Backspace);
    QTest::keyClick(text2, Qt::Key_Delete);
    EXPECT_EQ(text2->toPlainText(), "answer");
    QTest::keyClick(text2, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(text2, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "answer") << "the output can be copied";
}

TEST(TessarinMainStartup, AcceptedVersionsAndSockets)
{
    struct Case {
        std::uint16_t version;
        std::uint16_t sockets;
    };
    for (const Case& c :
         std::vector<Case>{{0x0101, 100}, {0x0201, 100}, {0x0002, 100}, {0x0101, 1}}) {
        SCOPED_TRACE(c.version);
        FakePlatform fake;
        fake.grantedVersion = c.version;
        fake.maxSockets = c.sockets;
        const TessarinMain window(fake);
        EXPECT_EQ(fake.versionsRequested, std::vector<std::uint16_t>{0x0101});
        EXPECT_EQ(fake.openSessions, 1);
        EXPECT_EQ(fake.calls.computerName, 1);
        EXPECT_FALSE(window.isVisible()) << "loading happens before the window is shown";
    }
}

TEST(TessarinMainStartup, FailuresEndAtOnce)
{
    struct Case {
        const char* label;
        int startupResult;
        std::uint16_t version;
        std::uint16_t sockets;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"start-up refused", 10091, 0x0101, 100, "#ERROR: Winsock.dll is not responding."},
        {"version 1.0", 0, 0x0001, 100,
         "Windows Sockets version 1.0 is not supported by winsock.dll "},
        {"version 0.0", 0, 0x0000, 100,
         "Windows Sockets version 0.0 is not supported by winsock.dll "},
        {"major first, minor second", 0, 0x0900, 100,
         "Windows Sockets version 0.9 is not supported by winsock.dll "},
        {"no sockets", 0, 0x0101, 0, "This application requires a minimum of 1 supported sockets."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        FakePlatform fake;
        fake.startupResult = c.startupResult;
        fake.grantedVersion = c.version;
        fake.maxSockets = c.sockets;
        EXPECT_EXIT(TessarinMain window(fake), ::testing::ExitedWithCode(1), StderrLine(c.message));
    }
}

TEST(TessarinMainStartup, TitleNamesTheComputer)
{
    struct Case {
        std::optional<std::string> computerName;
        QString title;
    };
    const std::vector<Case> cases = {
        {"HOST", "Tessarin - You are: HOST"},
        {"  padded  ", "Tessarin - You are: padded"},
        {std::string(249, 'n'), "Tessarin - You are: " + QString(249, u'n')},
        {std::string(250, 'n'), "Tessarin"},
        {std::nullopt, "Tessarin"},
    };
    for (const Case& c : cases) {
        FakePlatform fake;
        fake.computerName = c.computerName;
        EXPECT_EQ(TessarinMain(fake).windowTitle(), c.title);
    }
}

TEST_F(TessarinMainTest, CloseCleansUpOnce)
{
    harness.Open(fake).close();
    EXPECT_EQ(fake.calls.cleanup, 1);
    EXPECT_EQ(fake.openSessions, 0);
}

TEST(TessarinMainShutdown, QuitAndFailedCleanupEndAtOnce)
{
    // QUIT must not unload: with a clean-up that would fail, the process still ends quietly.
    EXPECT_EXIT(
        {
            FakePlatform fake;
            fake.cleanupResult = -1;
            WindowHarness harness;
            harness.Open(fake);
            harness.Click("Label3");
        },
        ::testing::ExitedWithCode(0), ::testing::Not(::testing::HasSubstr("tessarin:")));

    EXPECT_EXIT(
        {
            FakePlatform fake;
            fake.cleanupResult = -1;
            WindowHarness harness;
            harness.Open(fake).close();
        },
        ::testing::ExitedWithCode(1), StderrLine("#ERROR: Socket error -1 occurred in Cleanup "));
}

} // namespace
} // namespace tessarin::testing
