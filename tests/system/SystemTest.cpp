// The real window over the real resolver, against the DNS server that
// run-in-namespace.sh starts: every lookup goes hosts file, then DNS.

#include "FakePlatform.h"
#include "WindowHarness.h"

#include <array>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QDir>
#include <QGuiApplication>
#include <QPainter>
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

// The server dnsmasq forwards silent.test to: it holds the query until the
// test lets it go, answering that the name does not exist.
class HeldServer {
public:
    HeldServer()
    {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(5300);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    }
    ~HeldServer() { ::close(socket_); }
    HeldServer(const HeldServer&) = delete;
    HeldServer& operator=(const HeldServer&) = delete;

    // Whether a query waits here, that is: the resolver is waiting.
    [[nodiscard]] bool Holding() const
    {
        char byte = 0;
        return ::recv(socket_, &byte, 1, MSG_PEEK | MSG_DONTWAIT) >= 0;
    }
    // Answers the query it holds.
    void Release() const
    {
        std::array<unsigned char, 4096> packet{};
        sockaddr_in from{};
        socklen_t size = sizeof from;
        const ssize_t length = ::recvfrom(socket_, packet.data(), packet.size(), MSG_DONTWAIT,
                                          reinterpret_cast<sockaddr*>(&from), &size);
        ASSERT_GE(length, 12) << "a DNS query";
        packet[2] |= 0x80; // a response
        packet[3] = 0x83;  // recursion available; no such name
        ::sendto(socket_, packet.data(), static_cast<std::size_t>(length), 0,
                 reinterpret_cast<sockaddr*>(&from), size);
    }

private:
    int socket_ = ::socket(AF_INET, SOCK_DGRAM, 0);
};

// Writes what the screen showed, what it should have shown and their
// difference beside the suite, and answers where.
std::string Kept(const QImage& shown, const QImage& drawn)
{
    QImage difference = drawn;
    QPainter painter(&difference);
    painter.setCompositionMode(QPainter::CompositionMode_Difference);
    painter.drawImage(0, 0, shown);
    painter.end();
    const QString at = QDir::currentPath() + QStringLiteral("/repaint-");
    shown.save(at + QStringLiteral("shown.png"));
    drawn.save(at + QStringLiteral("drawn.png"));
    difference.save(at + QStringLiteral("difference.png"));
    return "; the images: " + at.toStdString() + "{shown,drawn,difference}.png";
}

// While the resolver waits, another window covers Tessarin's and goes: what it
// covered is drawn again at once. Each step waits for what the one before it
// put on the screen; the held query keeps the resolver waiting meanwhile.
TEST(System, TheWindowRepaintsWhileTheResolverWaits)
{
    if (qEnvironmentVariableIsEmpty("TESSARIN_MULTI_FIRST") ||
        QGuiApplication::platformName() != QStringLiteral("xcb")) {
        GTEST_SKIP() << "needs the DNS server and a real X server: run-in-namespace.sh, under X";
    }
    const HeldServer server;
    const std::unique_ptr<Platform> platform = MakeSystemPlatform();
    WindowHarness harness(*platform);
    // What the screen shows where the output box is, and what the window drew there.
    const QRect box(harness.Text2()->mapToGlobal(QPoint()), harness.Text2()->size());
    const auto shown = [&] {
        return harness.window.screen()
            ->grabWindow(0, box.x(), box.y(), box.width(), box.height())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    };
    const QImage drawn = harness.window.grab(harness.Text2()->geometry())
                             .toImage()
                             .convertToFormat(QImage::Format_RGB32);
    ASSERT_TRUE(QTest::qWaitFor([&] { return shown() == drawn; }, 30000))
        << "the window's first frame never reached the screen" << Kept(shown(), drawn);

    QWidget cover(nullptr, Qt::X11BypassWindowManagerHint | Qt::FramelessWindowHint);
    cover.setPalette(QPalette(Qt::black));
    cover.setAutoFillBackground(true);
    cover.setGeometry(harness.window.frameGeometry());
    QImage black(drawn.size(), QImage::Format_RGB32);
    black.fill(Qt::black);
    enum Step { Asked, Covered, Uncovered, Released } step = Asked;
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, [&] {
        if (step == Asked && server.Holding()) {
            cover.show();
            step = Covered;
        } else if (step == Covered && shown() == black) {
            cover.hide();
            step = Uncovered;
        } else if (step == Uncovered && shown() == drawn) {
            server.Release();
            step = Released;
        }
    });
    look.start(10);
    EXPECT_EQ(harness.Run("Label1", "silent.test"), cant + "silent.test");
    EXPECT_EQ(step, Released) << "the resolver gave up (step " << step
                              << ") before the screen showed the output box again"
                              << Kept(shown(), drawn);
}

} // namespace
} // namespace tessarin::testing
