// The real window over the real resolver, against the DNS server that
// run-in-namespace.sh starts: every lookup goes hosts file, then DNS.

#include "SystemHosts.h"
#include "app/WindowHarness.h"

#include <arpa/inet.h>
#include <array>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include <QElapsedTimer>

#include <gtest/gtest.h>

namespace tessarin::testing {
namespace {

const QString CantResolve = QStringLiteral("Can't resolve name: ");

// A UDP socket on 127.0.0.1 at `port`; -1 when it cannot be bound.
int BoundSocket(std::uint16_t port)
{
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        return -1;
    }
    return fd;
}

// The upstream servers dnsmasq forwards to: one answers every query with
// SERVFAIL, the other takes queries and never answers.
class Upstreams {
public:
    Upstreams() : failing_(BoundSocket(5355)), silent_(BoundSocket(5354))
    {
        timeval tick{0, 100000};
        ::setsockopt(failing_, SOL_SOCKET, SO_RCVTIMEO, &tick, sizeof tick);
        server_ = std::thread([this] { AnswerServerFailure(); });
    }
    ~Upstreams()
    {
        stop_ = true;
        server_.join();
        ::close(failing_);
        ::close(silent_);
    }
    Upstreams(const Upstreams&) = delete;
    Upstreams& operator=(const Upstreams&) = delete;

    [[nodiscard]] bool Ready() const { return failing_ >= 0 && silent_ >= 0; }

private:
    void AnswerServerFailure() const
    {
        std::array<unsigned char, 512> packet{};
        while (!stop_) {
            sockaddr_in from{};
            socklen_t fromLength = sizeof from;
            const ssize_t length = ::recvfrom(failing_, packet.data(), packet.size(), 0,
                                              reinterpret_cast<sockaddr*>(&from), &fromLength);
            if (length < 12) {
                continue;
            }
            // Same id and question; a response, recursion available, rcode 2; no other records.
            packet[2] = 0x80 | (packet[2] & 0x01);
            packet[3] = 0x80 | 0x02;
            std::fill(packet.begin() + 6, packet.begin() + 12, 0);
            std::size_t end = 12;
            while (end < static_cast<std::size_t>(length) && packet[end] != 0) {
                end += packet[end] + 1;
            }
            end = std::min<std::size_t>(end + 5, static_cast<std::size_t>(length));
            ::sendto(failing_, packet.data(), end, 0, reinterpret_cast<sockaddr*>(&from),
                     fromLength);
        }
    }

    int failing_;
    int silent_;
    std::atomic<bool> stop_ = false;
    std::thread server_;
};

class SystemTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (std::getenv("TESSARIN_IN_NAMESPACE") == nullptr) {
            GTEST_SKIP() << "run through run-in-namespace.sh, which brings the DNS server";
        }
        ASSERT_TRUE(upstreams.Ready()) << "ports 5354 and 5355 on 127.0.0.1";
        harness.Open(*platform);
    }

    Upstreams upstreams;
    std::unique_ptr<Platform> platform = MakeSystemPlatform();
    WindowHarness harness;
};

TEST_F(SystemTest, HostToIp)
{
    // The first address the system's own tool gives in this namespace.
    const std::optional<HostsLine> multi = GetentHosts("multi.test");
    ASSERT_TRUE(multi);
    const QString multiFirst = QString::fromStdString(multi->address);
    ASSERT_TRUE(multiFirst.startsWith("10.53.1."));
    struct Case {
        const char* label;
        QString input;
        QString cleaned;
        QString shown;
    };
    const std::vector<Case> cases = {
        {"a name only DNS knows", "only-dns.test", "only-dns.test", "10.53.0.1"},
        {"several A records give the system's first", "multi.test", "multi.test", multiFirst},
        {"a CNAME", "alias.test", "alias.test", "10.53.0.1"},
        {"a name that does not exist", "nope.test", "nope.test", CantResolve + "nope.test"},
        {"a server failure", "servfail.test", "servfail.test", CantResolve + "servfail.test"},
        {"an internationalised name through its xn-- form",
         QString::fromUtf8("b\xC3\xBC"
                           "cher.test"),
         QString::fromUtf8("b\xC3\xBC"
                           "cher.test"),
         "10.53.3.1"},
        {"the empty name is this computer", "", "", "10.53.4.1"},
        {"a trailing blank is kept", "only-dns.test ", "only-dns.test ",
         CantResolve + "only-dns.test "},
        {"a trailing slash is kept", "only-dns.test/", "only-dns.test/",
         CantResolve + "only-dns.test/"},
        {"an http:// prefix is removed", "http://only-dns.test", "only-dns.test", "10.53.0.1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        harness.Run("Label1", c.input);
        EXPECT_EQ(harness.Text1()->text(), c.cleaned);
        EXPECT_EQ(harness.Text2()->toPlainText(), c.shown);
    }
}

TEST_F(SystemTest, ServerThatNeverAnswers)
{
    QElapsedTimer timer;
    timer.start();
    harness.Run("Label1", "silent.test");
    const qint64 elapsed = timer.elapsed();
    EXPECT_EQ(harness.Text2()->toPlainText(), CantResolve + "silent.test");
    EXPECT_GE(elapsed, 900) << "the answer waited for the resolver's time-out";
    EXPECT_LT(elapsed, 5000);
}

TEST_F(SystemTest, IpToHost)
{
    const QString longName = QString::fromLatin1(std::getenv("TESSARIN_LONG_NAME"));
    ASSERT_EQ(longName.size(), 300);
    struct Case {
        const char* label;
        QString input;
        QString shown;
    };
    const std::vector<Case> cases = {
        {"a PTR record from DNS", "10.53.0.7", "ptr-only.test"},
        {"a host record's own PTR", "10.53.0.1", "only-dns.test"},
        {"an address without a name", "10.53.0.9", ""},
        {"a 300-character hosts-file name keeps its first 255", "10.53.2.1", longName.left(255)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        harness.Run("Label4", c.input);
        EXPECT_EQ(harness.Text2()->toPlainText(), c.shown);
    }
}

} // namespace
} // namespace tessarin::testing
