// One click of HOST TO IP and of IP TO HOST through the real window, against
// the bare system call plus the same widget updates the click makes.

#include "app/TessarinMain.h"
#include "platform/Platform.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

#include <arpa/inet.h>
#include <netdb.h>
#include <sys/socket.h>

#include <array>
#include <memory>

#include <benchmark/benchmark.h>

namespace {

using tessarin::TessarinMain;

struct OpenWindow {
    OpenWindow() : window(*platform)
    {
        window.show();
        exposed = QTest::qWaitForWindowExposed(&window);
    }
    QPoint Centre(const char* label) const
    {
        return window.findChild<QLabel*>(label)->geometry().center();
    }
    QLineEdit* Text1() const { return window.findChild<QLineEdit*>("Text1"); }
    QPlainTextEdit* Text2() const { return window.findChild<QPlainTextEdit*>("Text2"); }

    std::unique_ptr<tessarin::Platform> platform = tessarin::MakeSystemPlatform();
    TessarinMain window;
    bool exposed = false;
};

void Click(benchmark::State& state, const char* label, const char* input, const char* answer)
{
    OpenWindow open;
    if (!open.exposed) {
        state.SkipWithError("the window was not shown");
        return;
    }
    open.Text1()->setText(input);
    const QPoint at = open.Centre(label);
    for (auto _ : state) {
        // QTest ends each click by processing pending events, as a user's click would be.
        QTest::mouseClick(open.window.windowHandle(), Qt::LeftButton, {}, at);
    }
    if (answer != nullptr && open.Text2()->toPlainText() != answer) {
        state.SkipWithError("the click did not give the expected answer");
    }
}

void HostToIpClick(benchmark::State& state)
{
    Click(state, "Label1", "localhost", "127.0.0.1");
}

void HostToIpFloor(benchmark::State& state)
{
    OpenWindow open;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    for (auto _ : state) {
        addrinfo* found = nullptr;
        if (::getaddrinfo("localhost", nullptr, &hints, &found) != 0 || found == nullptr) {
            state.SkipWithError("getaddrinfo failed");
            break;
        }
        std::array<char, INET_ADDRSTRLEN> text{};
        ::inet_ntop(AF_INET, &reinterpret_cast<sockaddr_in*>(found->ai_addr)->sin_addr, text.data(),
                    text.size());
        ::freeaddrinfo(found);
        open.Text1()->setText(QStringLiteral("localhost"));
        open.Text2()->setPlainText(QString::fromLatin1(text.data()));
        QCoreApplication::processEvents();
    }
}

void IpToHostClick(benchmark::State& state)
{
    Click(state, "Label4", "127.0.0.1", nullptr);
}

void IpToHostFloor(benchmark::State& state)
{
    OpenWindow open;
    sockaddr_in loopback{};
    loopback.sin_family = AF_INET;
    loopback.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    for (auto _ : state) {
        std::array<char, NI_MAXHOST> host{};
        if (::getnameinfo(reinterpret_cast<sockaddr*>(&loopback), sizeof loopback, host.data(),
                          host.size(), nullptr, 0, NI_NAMEREQD) != 0) {
            state.SkipWithError("getnameinfo failed");
            break;
        }
        open.Text2()->setPlainText(QString::fromLocal8Bit(host.data()));
        QCoreApplication::processEvents();
    }
}

} // namespace

BENCHMARK(HostToIpClick)->Unit(benchmark::kMicrosecond);
BENCHMARK(HostToIpFloor)->Unit(benchmark::kMicrosecond);
BENCHMARK(IpToHostClick)->Unit(benchmark::kMicrosecond);
BENCHMARK(IpToHostFloor)->Unit(benchmark::kMicrosecond);
namespace {
void PictureClick(benchmark::State& state)
{
    OpenWindow open;
    const QPoint at = open.window.findChild<QLabel*>("Image1")->geometry().topLeft();
    for (auto _ : state) {
        QTest::mouseClick(open.window.windowHandle(), Qt::LeftButton, {}, at);
    }
}
void AboutClick(benchmark::State& state)
{
    Click(state, "Label2", "", nullptr);
}
}
BENCHMARK(PictureClick)->Unit(benchmark::kMicrosecond);
BENCHMARK(AboutClick)->Unit(benchmark::kMicrosecond);
