// IsIPAddress accepts exactly four parts that convert, and then IPToLong's
// four bytes are those parts in order. IPToLong never fails on any text.

#include "FuzzCheck.h"
#include "resolver/AddressText_p.h"

#include <array>
#include <cstdint>
#include <optional>

#include <QStringList>

namespace {

// An independent reading of one part: blanks, 1+ decimal digits, blanks; 0 to 255.
std::optional<int> Byte(QStringView part)
{
    while (!part.isEmpty() && (part.front() == u' ' || part.front() == u'\t')) {
        part = part.sliced(1);
    }
    while (!part.isEmpty() && (part.back() == u' ' || part.back() == u'\t')) {
        part.chop(1);
    }
    if (part.isEmpty()) {
        return std::nullopt;
    }
    int value = 0;
    for (const QChar c : part) {
        if (c < u'0' || c > u'9') {
            return std::nullopt;
        }
        value = std::min(value * 10 + (c.unicode() - u'0'), 1000);
    }
    return value <= 255 ? std::optional<int>(value) : std::nullopt;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const std::int32_t value = tessarin::detail::IPToLong(text);

    std::optional<std::array<int, 4>> parts;
    const QStringList pieces = text.split(u'.');
    if (pieces.size() == 4) {
        std::array<int, 4> bytes{};
        bool all = true;
        for (int i = 0; i < 4 && all; ++i) {
            const std::optional<int> byte = Byte(pieces[i]);
            all = byte.has_value();
            bytes[static_cast<std::size_t>(i)] = byte.value_or(0);
        }
        if (all) {
            parts = bytes;
        }
    }
    FUZZ_REQUIRE(tessarin::detail::IsIPAddress(text) == parts.has_value());
    if (parts) {
        const auto bits = static_cast<std::uint32_t>(value);
        for (std::size_t i = 0; i < 4; ++i) {
            FUZZ_REQUIRE(static_cast<int>((bits >> (8 * i)) & 0xFF) == (*parts)[i]);
        }
    }
    return 0;
}
