// The real window over the real resolver, against the DNS server that
// run-in-namespace.sh starts: every lookup goes hosts file, then DNS.

#include "FakePlatform.h"
#include "WindowHarness.h"

#include <QGuiApplication>
#include <QPalette>
#include <QScreen>
#include <QTimer>

#include <gtest/gtest.h>

namespace tessarin::testing {
namespace {

const QString cant = QStringLiteral("Can't resolve name: ");

TEST(System, BothLookupsThroughTheWindow)
{
    if (qEnvironmentVariableIsEmpty("TESSARIN_MULTI_FIRST")) {
        GTEST_SKIP() << "run through run-in-namespace.sh, which brings the DNS server";
    }
    const std::unique_ptr<Platform> platform = MakeSystemPlatform();
    const WindowHarness harness(*platform);
    for (const auto& [label, input, shown] : std::vector<std::tuple<const char*, QString, QString>>{
             {"Label1", "http://only-dns.test", "10.53.0.1"},
             {"Label1", "multi.test", qEnvironmentVariable("TESSARIN_MULTI_FIRST")},
             {"Label1",
              QString::fromUtf8("b\xC3\xBC"
                                "cher.test"),
              "10.53.3.1"},
             {"Label1", "", "10.53.4.1"}, // this computer
             {"Label1", "nope.test", cant + "nope.test"},
             {"Label1", "refused.test", cant + "refused.test"},
             {"Label4", "10.53.0.7", "ptr-only.test"},
             {"Label4", "10.53.0.9", ""},
             {"Label4", "10.53.2.1", qEnvironmentVariable("TESSARIN_LONG_NAME").left(255)},
         }) {
        EXPECT_EQ(harness.Run(label, input), shown) << input;
    }
}

// Runs `then` once, just after an object has handled its next event of a type.
struct After : QObject {
    After(QObject* object, QEvent::Type type) : type(type) { object->installEventFilter(this); }
    bool eventFilter(QObject* /*watched*/, QEvent* event) override
    {
        if (event->type() == type && then) {
            QTimer::singleShot(0, this, std::exchange(then, nullptr));
        }
        return false;
    }
    const QEvent::Type type;
    std::function<void()> then;
};

// While the resolver waits for a server that never answers, another window
// covers Tessarin's and goes: what it covered is drawn again at once.
TEST(System, TheWindowRepaintsWhileTheResolverWaits)
{
    if (qEnvironmentVariableIsEmpty("TESSARIN_MULTI_FIRST") ||
        QGuiApplication::platformName() != QStringLiteral("xcb")) {
        GTEST_SKIP() << "needs the DNS server and a real X server: run-in-namespace.sh, under X";
    }
    const std::unique_ptr<Platform> platform = MakeSystemPlatform();
    const WindowHarness harness(*platform);
    const auto output = [&] {
        return harness.window.screen()
            ->grabWindow(harness.window.winId())
            .toImage()
            .copy(harness.Text2()->geometry());
    };
    const QImage before = output();
    QWidget cover(nullptr, Qt::X11BypassWindowManagerHint | Qt::FramelessWindowHint);
    cover.setPalette(QPalette(Qt::black));
    cover.setAutoFillBackground(true);
    cover.setGeometry(harness.window.geometry());
    // Each step waits until the one before it is on the screen: a slow machine
    // slows the steps down, and they still come while the resolver waits.
    After covered(&cover, QEvent::Paint), redrawn(harness.window.windowHandle(), QEvent::Expose);
    QImage during;
    covered.then = [&] {
        redrawn.then = [&] { during = output(); };
        cover.hide();
    };
    QTimer::singleShot(100, [&] { cover.show(); });
    EXPECT_EQ(harness.Run("Label1", "silent.test"), cant + "silent.test")
        << "the answer when the resolver gives up";
    EXPECT_EQ(during, before) << "the output box, drawn again while the resolver waited";
}

} // namespace
} // namespace tessarin::testing
