// The real window over the real resolver, against the DNS server that
// run-in-namespace.sh starts: every lookup goes hosts file, then DNS.

#include "FakePlatform.h"
#include "WindowHarness.h"

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
             // The window's session outlives the sessions of the resolvers before.
             {"Label1", "1.2.3.4", "1.2.3.4"},
         }) {
        EXPECT_EQ(harness.Run(label, input), shown) << input.toStdString();
    }
}

} // namespace
} // namespace tessarin::testing
