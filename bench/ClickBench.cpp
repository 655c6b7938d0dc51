// One click of HOST TO IP and of IP TO HOST through the real window, against
// the bare system call plus the same widget updates the click makes, in turns.

#include "Paired.h"
#include "app/TessarinMain.h"
#include "platform/Platform.h"

#include <arpa/inet.h>
#include <array>
#include <memory>
#include <netdb.h>
#include <sys/socket.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

namespace {

struct OpenWindow {
    OpenWindow() : window(*platform)
    {
        window.show();
        exposed = QTest::qWaitForWindowExposed(&window);
    }

    // A user's click: through the window, ending, as QTest does, with the
    // pending events processed, which is when the window is repainted.
    void Click(const char* label) const
    {
        QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {},
                          window.findChild<QLabel*>(label)->geometry().center());
    }
    [[nodiscard]] QLineEdit* Text1() const { return window.findChild<QLineEdit*>("Text1"); }
    [[nodiscard]] QPlainTextEdit* Text2() const
    {
        return window.findChild<QPlainTextEdit*>("Text2");
    }

    std::unique_ptr<tessarin::Platform> platform = tessarin::MakeSystemPlatform();
    tessarin::TessarinMain window;
    bool exposed = false;
};

void HostToIp(benchmark::State& state)
{
    OpenWindow open;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    const auto floor = [&] {
        addrinfo* found = nullptr;
        std::array<char, INET_ADDRSTRLEN> text{};
        if (::getaddrinfo("localhost", nullptr, &hints, &found) == 0 && found != nullptr) {
            ::inet_ntop(AF_INET, &reinterpret_cast<sockaddr_in*>(found->ai_addr)->sin_addr,
                        text.data(), text.size());
            ::freeaddrinfo(found);
        }
        open.Text1()->setText(QStringLiteral("localhost"));
        open.Text2()->setPlainText(QString::fromLatin1(text.data()));
        QCoreApplication::processEvents();
    };
    open.Text1()->setText(QStringLiteral("localhost"));
    Paired paired;
    for (auto _ : state) {
        paired.Ours([&] { open.Click("Label1"); });
        paired.Floor(floor);
    }
    if (!open.exposed || open.Text2()->toPlainText() != QStringLiteral("127.0.0.1")) {
        state.SkipWithError("HOST TO IP did not answer 127.0.0.1");
    }
    paired.Report(state);
}

void IpToHost(benchmark::State& state)
{
    OpenWindow open;
    sockaddr_in loopback{};
    loopback.sin_family = AF_INET;
    loopback.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    QString name;
    const auto floor = [&] {
        std::array<char, NI_MAXHOST> host{};
        ::getnameinfo(reinterpret_cast<sockaddr*>(&loopback), sizeof loopback, host.data(),
                      host.size(), nullptr, 0, NI_NAMEREQD);
        name = QString::fromLocal8Bit(host.data());
        open.Text2()->setPlainText(name);
        QCoreApplication::processEvents();
    };
    open.Text1()->setText(QStringLiteral("127.0.0.1"));
    Paired paired;
    for (auto _ : state) {
        paired.Ours([&] { open.Click("Label4"); });
        paired.Floor(floor);
    }
    if (!open.exposed || name.isEmpty() || open.Text2()->toPlainText() != name) {
        state.SkipWithError("IP TO HOST did not answer the system's name");
    }
    paired.Report(state);
}

// What a click costs Qt to deliver, with no command behind it.
void PictureClick(benchmark::State& state)
{
    OpenWindow open;
    const QPoint rim = open.window.findChild<QLabel*>("Image1")->geometry().topLeft();
    Paired paired;
    for (auto _ : state) {
        paired.Ours(
            [&] { QTest::mouseClick(open.window.windowHandle(), Qt::LeftButton, {}, rim); });
        paired.Floor([] {});
    }
    paired.Report(state);
}

} // namespace

BENCHMARK(HostToIp)->Unit(benchmark::kMicrosecond)->MinTime(1.0);
BENCHMARK(IpToHost)->Unit(benchmark::kMicrosecond)->MinTime(1.0);
BENCHMARK(PictureClick)->Unit(benchmark::kMicrosecond);
