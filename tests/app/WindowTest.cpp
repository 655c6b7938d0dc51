// The window over the fake platform: what the user sees and clicks, the four
// commands, and how the program starts and ends.

#include "FakePlatform.h"
#include "WindowHarness.h"

#include <chrono>
#include <semaphore>

#include <QAbstractEventDispatcher>
#include <QAccessible>
#include <QApplication>
#include <QElapsedTimer>
#include <QIcon>
#include <QLabel>
#include <QScreen>
#include <QTimer>
#include <QtGui/private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>
#include <qpa/qwindowsysteminterface.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace tessarin::testing {
namespace {

using ::testing::Contains;
using ::testing::ExitedWithCode;
using ::testing::HasSubstr;

const QString CantResolve = QStringLiteral("Can't resolve name: ");

// Serves every event but user input, as the window does while it waits, until
// `done` holds, for at most 5 s; answers whether it holds.
bool ServeUntil(const std::function<bool()>& done)
{
    QEventLoop loop;
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, [&] {
        if (done()) {
            loop.quit();
        }
    });
    look.start(5);
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    return done();
}

// Runs `start`, which makes the window look something up, and holds that
// lookup on its thread while `meanwhile` runs on the window's thread. The lookup
// ends only once the window is about to wait with nothing due (the suites'
// carets do not blink): then its answer must wake the window, long before a timer would.
void HoldingTheLookup(FakePlatform& fake, const std::function<void()>& start,
                      const std::function<void()>& meanwhile)
{
    std::binary_semaphore entered{0};
    std::binary_semaphore released{0};
    bool first = true;
    fake.during = [&] {
        if (std::exchange(first, false)) {
            entered.release();
            // A window that waits on its own thread never lets go: fail, not hang.
            (void)released.try_acquire_for(std::chrono::seconds(5));
        }
    };
    bool rescued = false;
    const QObject context; // the timers and the connection go with it
    QTimer::singleShot(0, &context, [&] {
        if (entered.try_acquire_for(std::chrono::seconds(5))) {
            meanwhile();
        }
        QTimer::singleShot(2000, &context, [&rescued] { rescued = true; });
        QObject::connect(
            QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, &context,
            [&released] { released.release(); }, Qt::SingleShotConnection);
    });
    start();
    fake.during = nullptr;
    EXPECT_FALSE(rescued) << "the answer never woke the waiting window";
}

// What the answer box shows when it next paints.
struct NextPaint : QObject {
    const QPlainTextEdit* box;
    std::optional<QString> shown;

    bool eventFilter(QObject* /*watched*/, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !shown) {
            shown = box->toPlainText();
        }
        return false;
    }
};

// User input as the window system hands it over: queued, not delivered at once.
void PostKey(QWindow* window, char key)
{
    for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
        QWindowSystemInterface::handleKeyEvent(window, type, QChar(key).toUpper().unicode(),
                                               Qt::NoModifier, QString(QChar(key)));
    }
}
// Left presses and releases by turns, as the window system hands them over,
// each at its point `apart` milliseconds after the last, on QTest's clock.
struct Step {
    QPoint at;
    int apart;
};
void Post(QWindow* window, const std::vector<Step>& steps)
{
    bool press = true;
    for (const auto& [at, apart] : steps) {
        QWindowSystemInterface::handleMouseEvent(
            window, ulong(QTest::lastMouseTimestamp += apart), at, window->mapToGlobal(at),
            press ? Qt::LeftButton : Qt::NoButton, Qt::LeftButton,
            press ? QEvent::MouseButtonPress : QEvent::MouseButtonRelease);
        press = !press;
    }
}

// The objects assistive technology is told have turned busy or idle.
std::vector<const QObject*> toldBusy;
void Tell(QAccessibleEvent* event)
{
    if (event->type() == QAccessible::StateChanged &&
        static_cast<QAccessibleStateChangeEvent*>(event)->changedStates().busy) {
        toldBusy.push_back(event->object());
    }
}

// Assistive technology's press action on a control, as a screen reader gives it.
void Press(const WindowHarness& harness, const char* name)
{
    QAccessible::queryAccessibleInterface(harness.Find(name))
        ->actionInterface()
        ->doAction(QAccessibleActionInterface::pressAction());
}

class WindowTest : public ::testing::Test {
protected:
    FakePlatform fake;
    WindowHarness harness{fake};
};

TEST_F(WindowTest, Layout)
{
    const TessarinMain& window = harness.window;
    EXPECT_EQ(window.minimumSize(), QSize(378, 194));
    EXPECT_EQ(window.maximumSize(), QSize(378, 194)) << "the user cannot resize it";
    EXPECT_EQ(window.screen()->grabWindow(window.winId()).toImage().pixelColor(2, 2),
              QColor(Qt::white));
    EXPECT_THAT(
        window.windowIcon().availableSizes(),
        ::testing::IsSupersetOf({QSize(16, 16), QSize(24, 24), QSize(32, 32), QSize(48, 48)}));
    EXPECT_EQ(harness.Text1()->geometry(), QRect(8, 8, 361, 19));
    EXPECT_EQ(harness.Text2()->geometry(), QRect(8, 64, 361, 121));
    // Every control's text: fixed-pitch, 9 points.
    for (const char* name : {"Text1", "Text2", "Label1", "Label2", "Label3", "Label4"}) {
        const QFont font = harness.Find(name)->font();
        EXPECT_TRUE(QFontInfo(font).fixedPitch()) << name << ": " << font.family().toStdString();
        EXPECT_EQ(font.pointSize(), 9) << name;
    }
    for (const auto& [face, rect, caption] : std::vector<std::tuple<QRect, QRect, QString>>{
             {{8, 32, 108, 27}, {16, 40, 97, 17}, "HOST TO IP"},
             {{120, 32, 108, 27}, {128, 40, 97, 17}, "IP TO HOST"},
             {{232, 32, 68, 27}, {232, 40, 65, 17}, "ABOUT"},
             {{304, 32, 68, 27}, {304, 40, 65, 17}, "QUIT"},
         }) {
        // On top at the label's centre lies the label; at the picture's corner, the picture.
        const auto* label = qobject_cast<const QLabel*>(window.childAt(rect.center()));
        const auto* picture = qobject_cast<const QLabel*>(window.childAt(face.topLeft()));
        ASSERT_NE(label, nullptr) << caption.toStdString();
        ASSERT_NE(picture, nullptr) << caption.toStdString();
        EXPECT_EQ(label->text(), caption);
        EXPECT_EQ(label->geometry(), rect) << caption.toStdString();
        EXPECT_EQ(picture->geometry(), face) << caption.toStdString();
        EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(Qt::white))
            << caption.toStdString();
        EXPECT_EQ(label->cursor().hotSpot(), QPoint(5, 0)) << caption.toStdString();
    }
}

// What a user sees of the frame needs a window manager: the run under Xvfb with openbox.
TEST_F(WindowTest, FrameCentredOnTheScreen)
{
    const QRect frame = harness.window.frameGeometry();
    if (frame == harness.window.geometry()) {
        GTEST_SKIP() << "no window manager frames the window on this platform";
    }
    const QPoint off = frame.center() - harness.window.screen()->availableGeometry().center();
    EXPECT_LE(std::max(std::abs(off.x()), std::abs(off.y())), 2) << frame.x() << "," << frame.y();
    harness.window.move(40, 30);
    (void)QTest::qWaitFor([&] { return harness.window.pos() == QPoint(40, 30); });
    EXPECT_EQ(harness.window.pos(), QPoint(40, 30)) << "and afterwards it stays where it is put";
}

TEST_F(WindowTest, OnlyAClickOnALabelRunsItsCommand)
{
    harness.window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&harness.window));
    EXPECT_EQ(QApplication::focusWidget(), harness.Text1()) << "the focus starts in Text1";
    QTest::keyClicks(QApplication::focusWidget(), "\r\t");
    EXPECT_EQ(QApplication::focusWidget(), harness.Text2()) << "and Tab takes it to Text2";
    harness.Text1()->setText("hthttp://tp://host");
    for (const char* picture : {"Image1", "Image2", "Image3", "Image4"}) {
        harness.ClickAt(harness.Find(picture)->geometry().topLeft());
        harness.ClickAt(harness.Find(picture)->geometry().bottomRight());
    }
    const QPoint label = harness.Find("Label1")->geometry().center();
    harness.ClickAt(label, Qt::RightButton);
    EXPECT_EQ(fake.asked, std::vector<std::string>{});

    QTest::mouseDClick(harness.window.windowHandle(), Qt::LeftButton, {}, label);
    EXPECT_EQ(harness.Text1()->text(), "http://host") << "cleaned once";
    EXPECT_EQ(harness.Text2()->toPlainText(), CantResolve + "http://host");
    EXPECT_EQ(fake.asked, std::vector<std::string>{"http://host"}) << "a double-click is one click";

    // Presses and releases in quick succession, the second press of a pair
    // being a double-click to Qt, and the label's clicks they make.
    const QPoint rim(14, 45);
    const QPoint on(17, 45);
    const int later = QTest::mouseDoubleClickInterval;
    for (const auto& [name, steps, clicks] :
         std::vector<std::tuple<const char*, std::vector<Step>, std::size_t>>{
             {"the picture's rim, then at once the label",
              {{rim, later}, {rim, 20}, {on, 20}, {on, 20}},
              1},
             {"a click; later a press taken back just off the label, then at once a press",
              {{on, later}, {on, 20}, {on, later}, {rim, 20}, {on, 20}, {on, 20}},
              2},
         }) {
        fake.asked.clear();
        Post(harness.window.windowHandle(), steps);
        QWindowSystemInterface::flushWindowSystemEvents();
        EXPECT_EQ(fake.asked.size(), clicks) << name;
    }
}

// While a lookup is out the window serves paints, timers and its window
// manager; the user's input waits, and is handled afterwards in its order.
TEST_F(WindowTest, TheWindowLivesWhileALookupRuns)
{
    harness.window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&harness.window));
    fake.hosts["10.0.0.10"] = {"ten", {{10, 0, 0, 10}}};
    QWindow* window = harness.window.windowHandle();
    QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(true);
    QAccessible::installUpdateHandler(&Tell);
    // The command clicked, the one given during its lookup (after typing "0",
    // and before typing "z") by a click or by a screen reader, and what that one shows.
    for (const auto& [first, then, pressed, shown] :
         std::vector<std::tuple<const char*, const char*, bool, QString>>{
             {"Label1", "Label4", false, "ten"},
             {"Label4", "Label1", true, "10.0.0.10"},
         }) {
        SCOPED_TRACE(first);
        harness.Text1()->setText("10.0.0.1");
        const QString before = harness.Text2()->toPlainText();
        NextPaint paint;
        paint.box = harness.Text2();
        fake.asked.clear();
        toldBusy.clear();
        HoldingTheLookup(
            fake, [&] { harness.Click(first); },
            [&] {
                PostKey(window, '0');
                if (pressed) {
                    Press(harness, then);
                } else {
                    // Far enough from the presses before and after it to pair with neither.
                    const QPoint at = harness.Find(then)->geometry().center();
                    const int apart = QTest::mouseDoubleClickInterval;
                    Post(window, {{at, apart}, {at, apart}});
                }
                PostKey(window, 'z');
                EXPECT_TRUE(ServeUntil([&] { return harness.window.Busy(); })) << "busy, in time";
                // The lookup lasts three busy delays more: the wait cursor is
                // still set once, and goes with the answer.
                QElapsedTimer longer;
                longer.start();
                ServeUntil([&] { return longer.hasExpired(300); });
                EXPECT_EQ(harness.Text1()->text(), "10.0.0.1") << "typing waits";
                EXPECT_EQ(fake.asked.size(), 1u) << "one lookup at a time";
                EXPECT_TRUE(QAccessible::queryAccessibleInterface(&harness.window)->state().busy)
                    << "busy to assistive technology";
                EXPECT_THAT(toldBusy, Contains(&harness.window));
                // Last, so only the window's own wait can serve it.
                harness.Text2()->viewport()->installEventFilter(&paint);
                harness.Text2()->viewport()->update();
                const QCursor* cursor = QGuiApplication::overrideCursor();
                ASSERT_NE(cursor, nullptr) << "the wait cursor";
                EXPECT_EQ(cursor->shape(), Qt::WaitCursor);
            });
        EXPECT_EQ(paint.shown, before) << "the answer box paints while the lookup runs";
        EXPECT_EQ(fake.asked, (std::vector<std::string>{"10.0.0.1", "10.0.0.10"}));
        EXPECT_EQ(harness.Text1()->text(), "10.0.0.10z");
        EXPECT_EQ(harness.Text2()->toPlainText(), shown);
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr) << "the cursor goes with the answer";
        EXPECT_FALSE(QAccessible::queryAccessibleInterface(&harness.window)->state().busy)
            << "idle to assistive technology";
    }
    QAccessible::installUpdateHandler(nullptr);
    QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(false);
}

// The controls' names, roles, actions and states, in reading order, are read
// over AT-SPI by the screen-reader suite. Here: each child's index, and none out of range.
TEST_F(WindowTest, AScreenReaderFindsEachControlOnce)
{
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(&harness.window);
    ASSERT_EQ(window->childCount(), 6);
    for (int index = 0; index < window->childCount(); ++index) {
        EXPECT_EQ(window->indexOfChild(window->child(index)), index);
    }
    EXPECT_EQ(window->child(-1), nullptr);
    EXPECT_EQ(window->child(6), nullptr);
    EXPECT_EQ(window->indexOfChild(nullptr), -1);
}

TEST_F(WindowTest, AScreenReaderReadsAndSelectsTheAnswerButCannotEditIt)
{
    QAccessibleInterface* answer = QAccessible::queryAccessibleInterface(harness.Text2());
    EXPECT_EQ(answer->editableTextInterface(), nullptr);
    EXPECT_TRUE(answer->state().multiLine);
    EXPECT_TRUE(answer->state().selectableText);
    const QString about = harness.Run("Label2", "");
    QAccessibleTextInterface* text = answer->textInterface();
    EXPECT_EQ(text->characterCount(), about.size());
    // Read whole, and by word and line: ranges that start inside the text and run past it.
    EXPECT_EQ(text->text(0, about.size()), about);
    EXPECT_EQ(text->text(2, 5), about.mid(2, 3));
    EXPECT_EQ(text->text(3, 1000), about.mid(3));
    // A character's box ends where the next one's begins (give or take rounding).
    EXPECT_GT(text->characterRect(0).width(), 0);
    EXPECT_LE(std::abs(text->characterRect(0).right() + 1 - text->characterRect(1).left()), 1);
    harness.Text2()->selectAll();
    int from = -1;
    int to = -1;
    text->selection(0, &from, &to);
    EXPECT_EQ(text->selectionCount(), 1);
    EXPECT_EQ(from, 0) << "where the selection starts";
    EXPECT_EQ(to, about.size()) << "where it ends";
    // One font throughout: one run of attributes, the whole text, wherever asked.
    text->attributes(2, &from, &to);
    EXPECT_EQ(from, 0) << "where the attributes' run starts";
    EXPECT_EQ(to, about.size()) << "where it ends";
}

// A screen reader's press is a click (the screen-reader suite gives them, and
// the lookup test one during a lookup): two in quick succession are two clicks.
TEST_F(WindowTest, TwoQuickPressesAreTwoClicks)
{
    Press(harness, "Label1");
    Press(harness, "Label1");
    QWindowSystemInterface::flushWindowSystemEvents();
    EXPECT_EQ(fake.asked.size(), 2u);
}

TEST_F(WindowTest, ACloseRequestWaitsForTheAnswer)
{
    harness.Text1()->setText("10.0.0.1");
    HoldingTheLookup(
        fake, [&] { harness.Click("Label4"); },
        [&] {
            QWindowSystemInterface::handleCloseEvent(harness.window.windowHandle());
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            EXPECT_TRUE(harness.window.isVisible()) << "the close request waits";
            EXPECT_EQ(fake.cleanups, 0);
        });
    EXPECT_FALSE(harness.window.isVisible()) << "and is handled after the answer";
    EXPECT_EQ(fake.cleanups, 2) << "the click's, the window's";
    EXPECT_EQ(fake.sessions, 0);
}

TEST_F(WindowTest, HostToIp)
{
    fake.hosts = {
        {"host", {"host", {{192, 168, 0, 1}, {10, 0, 0, 1}}}},
        {"none", {"none", {}}},
        {"null list", {"", {{1, 2, 3, 4}}, 4, true}},
        {"length 0", {"", {{1, 2, 3, 4}}, 0}},
        {"length 16", {"", {{32, 1, 13, 184, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}}, 16}},
    };
    const QString huge(1 << 20, u'a');
    constexpr auto words = QTextOption::WrapAtWordBoundaryOrAnywhere;
    // The input, the text the platform is asked for, the answer shown, and where
    // its lines break: a huge word anywhere, at once, others at word boundaries.
    for (const auto& [input, asked, shown, wrap] :
         std::vector<std::tuple<QString, std::string, QString, QTextOption::WrapMode>>{
             {"http://host", "host", "192.168.0.1", words},
             {QString::fromUtf16(u"host\0junk", 9), "host", "192.168.0.1", words},
             {huge, huge.toStdString(), CantResolve + huge, QTextOption::WrapAnywhere},
             {"none", "none", CantResolve + "none", words},
             {"null list", "null list", CantResolve + "null list", words},
             {"length 0", "length 0", CantResolve + "length 0", words},
             {"length 16", "length 16", "32.1.13.184.0.0.0.0.0.0.0.0.0.0.0.1", words},
         }) {
        SCOPED_TRACE(asked.substr(0, 20));
        fake.asked.clear();
        EXPECT_EQ(harness.Run("Label1", input), shown);
        EXPECT_EQ(harness.Text2()->wordWrapMode(), wrap);
        EXPECT_EQ(fake.asked, std::vector<std::string>{asked});
    }
    EXPECT_EQ(harness.Text1()->text(), "length 16");
    EXPECT_EQ(fake.versions.size(), 1u) << "the command uses the window's session";
}

TEST_F(WindowTest, IpToHost)
{
    // No address has a name here (the lookup test shows one): every answer is empty.
    for (const auto& [text, asked, value] : AddressRows()) {
        SCOPED_TRACE(text.left(20).toStdString());
        fake.asked.clear();
        EXPECT_EQ(harness.Run("Label4", text), "");
        EXPECT_EQ(harness.Text1()->text(), text) << "the input is never rewritten";
        EXPECT_EQ(fake.asked, asked);
        EXPECT_EQ(fake.sessions, 1) << "the click's own resolver closed its own session";
        EXPECT_EQ(fake.versions.back(), 0x0101);
    }
    fake.startupResult = 10091;
    fake.asked.clear();
    EXPECT_EQ(harness.Run("Label4", "192.168.1.10"), "") << "a resolver that could not start";
    EXPECT_EQ(fake.asked, std::vector<std::string>{});
    EXPECT_EQ(fake.cleanups, static_cast<int>(AddressRows().size())) << "and closes nothing";
}

TEST_F(WindowTest, About)
{
    harness.Text2()->setPlainText("an earlier answer");
    harness.Click("Label2");
    EXPECT_EQ(harness.Text2()->toPlainText(),
              "App: Tessarin\nDev: Korvane\nVer: 2.0.0\nWeb: http://tessarin.example/");
}

TEST(WindowLife, StartUpAndTitle)
{
    // What WSAStartup answers and grants, the computer's name, and the title or the last words.
    for (const auto& [result, version, sockets, name, ending] :
         std::vector<std::tuple<int, int, int, std::optional<std::string>, QString>>{
             {0, 0x0101, 1, "HOST", "Tessarin - You are: HOST"},
             {0, 0x0201, 1, "  padded  ", "Tessarin - You are: padded"},
             {0, 0x0101, 1, "   ", "Tessarin - You are: "},
             {0, 0x0002, 1, std::string(249, 'n'), "Tessarin - You are: " + QString(249, u'n')},
             {0, 0x0101, 1, std::nullopt, "Tessarin"},
             {10091, 0x0101, 1, "HOST", "#ERROR: Winsock.dll is not responding."},
             {0, 0x0001, 1, "HOST", "Windows Sockets version 1.0 is not supported by winsock.dll "},
             {0, 0x0900, 1, "HOST", "Windows Sockets version 0.9 is not supported by winsock.dll "},
             {0, 0x0101, 0, "HOST", "This application requires a minimum of 1 supported sockets."},
         }) {
        SCOPED_TRACE(ending.toStdString());
        FakePlatform fake;
        fake.startupResult = result;
        fake.grantedVersion = static_cast<std::uint16_t>(version);
        fake.maxSockets = static_cast<std::uint16_t>(sockets);
        fake.computerName = name;
        if (!ending.startsWith("Tessarin")) {
            EXPECT_EXIT(TessarinMain window(fake), ExitedWithCode(1),
                        HasSubstr(("tessarin: " + ending + "\n").toStdString()));
            continue;
        }
        const TessarinMain window(fake);
        EXPECT_EQ(window.windowTitle(), ending);
        EXPECT_EQ(fake.versions, std::vector<std::uint16_t>{0x0101});
    }
}

TEST(WindowLife, ClosingCleansUpAndQuitEndsAtOnce)
{
    FakePlatform fake;
    WindowHarness(fake).window.close();
    EXPECT_EQ(fake.cleanups, 1);
    EXPECT_EQ(fake.sessions, 0);
    fake.cleanupResult = -1;
    EXPECT_EXIT(WindowHarness(fake).window.close(), ExitedWithCode(1),
                HasSubstr("tessarin: #ERROR: Socket error -1 occurred in Cleanup \n"));
    EXPECT_EXIT(WindowHarness(fake).Click("Label3"), ExitedWithCode(0),
                ::testing::Not(HasSubstr("tessarin:")))
        << "QUIT does not unload: the failing clean-up is never called";
}

} // namespace
} // namespace tessarin::testing
