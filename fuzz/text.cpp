// The address helpers over any input, against an independent reading of the
// same rule: IsIPAddress, and IPToLong's bytes for what it takes for an
// address, which IP TO HOST asks the platform for.

#include "resolver/AddressText_p.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <vector>

#include <QRegularExpression>
#include <QStringList>

// A property that must hold; a violation is reported and ends the run as a finding.
#define REQUIRE(condition)                                                                         \
    ((condition)                                                                                   \
         ? void()                                                                                  \
         : (std::fprintf(stderr, "property violated: %s (line %d)\n", #condition, __LINE__),       \
            std::abort()))

namespace {

// One part of a dotted address: blanks, decimal digits, blanks, and a value 0 to 255.
std::optional<int> Byte(const QString& part)
{
    static const QRegularExpression number(QStringLiteral("\\A[ \\t]*0*([0-9]{1,3})[ \\t]*\\z"));
    const QRegularExpressionMatch match = number.match(part);
    const int value = match.hasMatch() ? match.captured(1).toInt() : 256;
    return value <= 255 ? std::optional(value) : std::nullopt;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

    std::vector<std::optional<int>> bytes;
    for (const QString& part : text.split(u'.')) {
        bytes.push_back(Byte(part));
    }
    const bool address =
        bytes.size() == 4 && std::ranges::all_of(bytes, [](auto byte) { return byte.has_value(); });
    REQUIRE(tessarin::detail::IsIPAddress(text) == address);
    if (address) {
        const auto value = static_cast<std::uint32_t>(tessarin::detail::IPToLong(text));
        for (std::size_t i = 0; i < 4; ++i) {
            REQUIRE(static_cast<int>((value >> (8 * i)) & 0xFF) == *bytes[i]);
        }
    }
    return 0;
}
