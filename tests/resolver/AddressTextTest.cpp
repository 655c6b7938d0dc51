// The address-text helpers, each against one table of named rows.

#include "QtPrinting.h"
#include "resolver/AddressText_p.h"

#include <cstdint>
#include <vector>

#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

namespace tessarin::detail {
namespace {

QString Parts(int zeros, const char* last)
{
    QStringList parts(zeros, QStringLiteral("0"));
    parts << QString::fromLatin1(last);
    return parts.join(u'.');
}

TEST(AddressText, IsIPAddress)
{
    struct Case {
        const char* label;
        QString text;
        bool expected;
    };
    const std::vector<Case> cases = {
        {"plain address", "192.168.1.10", true},
        {"all zeros", "0.0.0.0", true},
        {"all 255", "255.255.255.255", true},
        {"leading zeros", "001.002.003.004", true},
        {"many leading zeros", "0000000255.0.0.0", true},
        {"blank after a dot", "1. 2.3.4", true},
        {"blanks around every part", " 1 . 2 . 3 . 4 ", true},
        {"tab before the first part", "\t1.2.3.4", true},
        {"empty text", "", false},
        {"three parts", "1.2.3", false},
        {"five parts", "1.2.3.4.5", false},
        {"five parts whose sum would overflow", "1.2.3.200.5", false},
        {"trailing dot", "1.2.3.", false},
        {"leading dot", ".1.2.3", false},
        {"empty part in the middle", "1..2.3.4", false},
        {"part of blanks only", "1. .3.4", false},
        {"blank inside the digits", "1 2.3.4.5", false},
        {"value above 255", "256.1.1.1", false},
        {"huge value", "99999999999999999999999.1.1.1", false},
        {"negative", "-1.1.1.1", false},
        {"plus sign", "+1.1.1.1", false},
        {"letter", "a.1.1.1", false},
        {"host name", "www.example.co.uk", false},
        {"hexadecimal", "0x1.1.1.1", false},
        {"exponent", "1e2.1.1.1", false},
        {"fraction comma", "1,5.1.1.1", false},
        {"newline is no blank", "1.2.3.4\n", false},
        {"NUL at the end", QString::fromUtf16(u"1.2.3.4\0", 8), false},
        {"full-width digit", QString::fromUtf16(u"\uFF11.2.3.4"), false},
        {"prefixed", "http://1.2.3.4", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsIPAddress(c.text), c.expected)
            << c.label << ": '" << c.text.toStdString() << "'";
    }
}

TEST(AddressText, IPToLong)
{
    struct Case {
        const char* label;
        QString text;
        std::int32_t expected;
    };
    const std::vector<Case> cases = {
        {"private address", "192.168.1.10", 167880896},
        {"loopback", "127.0.0.1", 16777343},
        {"top byte 200 is negative", "10.0.0.200", -939524086},
        {"top byte 128 is the minimum", "0.0.0.128", -2147483648},
        {"all ones", "255.255.255.255", -1},
        {"five parts add up in the top byte", "1.2.3.4.5", 151192065},
        {"five parts that overflow", "1.2.3.200.5", 0},
        {"leading zeros", "001.002.003.004", 67305985},
        {"blank after a dot", "1. 2.3.4", 67305985},
        {"zero address", "0.0.0.0", 0},
        {"one part weighs 256^3", "5", 83886080},
        {"two parts", "1.2", 33554433},
        {"last part 256 wraps without a range test", "1.2.3.256", 197121},
        {"first part overflows", "99999999999.0.0.0", 0},
        {"empty text", "", 0},
        {"empty part", "1..3.4", 0},
        {"letters", "a.b.c.d", 0},
        {"negative part", "1.-2.3.4", 0},
        {"100 zero parts then 1", Parts(100, "1"), 16777216},
        {"200 zero parts: a weight beyond any number", Parts(200, "1"), 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IPToLong(c.text), c.expected) << c.label;
    }
}

TEST(AddressText, StripNull)
{
    struct Case {
        const char* label;
        QString text;
        QString expected;
    };
    const std::vector<Case> cases = {
        {"cut at the NUL", QString::fromUtf16(u"abc\0def", 7), "abc"},
        {"NUL first", QString::fromUtf16(u"\0abc", 4), ""},
        {"no NUL", "abc", "abc"},
        {"empty", "", ""},
        {"first of several NULs", QString::fromUtf16(u"a\0b\0", 4), "a"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(StripNull(c.text), c.expected) << c.label;
    }
}

} // namespace
} // namespace tessarin::detail
