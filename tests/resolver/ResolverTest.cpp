// IPToLong, and clsIPRESOLVE where the window does not reach it (IsIPAddress
// and the object's sessions are tested through IP TO HOST).

#include "FakePlatform.h"
#include "resolver/AddressText_p.h"
#include "resolver/clsIPRESOLVE.h"

#include <gtest/gtest.h>

namespace tessarin::testing {
namespace {

TEST(AddressText, IPToLong)
{
    for (const auto& [text, asked, value] : AddressRows()) {
        EXPECT_EQ(detail::IPToLong(text), value) << text.left(20).toStdString();
    }
}

TEST(clsIPRESOLVE, AddressToNameKeepsAtMost255Bytes)
{
    // One character in the system's code page: two bytes in UTF-8, one in Windows-1252.
    const std::string u = QString(QChar(0xFC)).toLocal8Bit().toStdString();
    const std::size_t cut = 256 - u.size(); // so its last byte is the 256th
    for (const auto& [official, shown] : std::vector<std::pair<std::string, QString>>{
             {std::string(253, 'e') + u, QString(253, u'e') + QChar(0xFC)},
             {std::string(cut, 'f') + u, QString(cut, u'f')}, // no character is cut in two
         }) {
        FakePlatform fake;
        fake.hosts["10.1.2.3"] = {official};
        EXPECT_EQ(clsIPRESOLVE(fake).AddressToName("10.1.2.3"), shown);
    }
}

TEST(clsIPRESOLVE, NameToAddress)
{
    FakePlatform fake;
    fake.hosts["host "] = {"host", {{1, 0, 0, 255}, {9, 9, 9, 9}}};
    clsIPRESOLVE resolver(fake);
    EXPECT_EQ(resolver.NameToAddress("host "), "1.0.0.255") << "asked untrimmed";
    EXPECT_EQ(resolver.NameToAddress("host"), "");
    fake.startupResult = 10091;
    EXPECT_EQ(clsIPRESOLVE(fake).NameToAddress("host "), "") << "an inert object";
}

} // namespace
} // namespace tessarin::testing
