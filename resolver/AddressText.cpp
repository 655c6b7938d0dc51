#include "resolver/AddressText_p.h"

#include <algorithm>
#include <array>
#include <limits>
#include <optional>

namespace tessarin::detail {
namespace {

constexpr bool IsBlank(char16_t c) noexcept
{
    return c == u' ' || c == u'\t';
}

constexpr bool IsDigit(char16_t c) noexcept
{
    return static_cast<unsigned>(c - u'0') <= 9;
}

// Part values are capped here: any part this large already leaves the signed
// 32-bit range once weighted, so the cap changes no result.
constexpr std::int64_t ValueCap = std::int64_t{1} << 32;

struct Part {
    std::int64_t value;   // capped; -1 when the part is no number
    const char16_t* next; // after the dot, or the end
    bool more;            // a dot followed, so another part comes
};

// Reads one part: blanks, decimal digits, blanks, then a dot or the end. It is
// no number when empty, blanks only, or holding anything else (a sign, a
// letter, a fraction).
inline Part ReadPart(const char16_t* at, const char16_t* end) noexcept
{
    while (at != end && IsBlank(*at)) {
        ++at;
    }
    const char16_t* digits = at;
    std::int64_t value = 0;
    while (at != end && IsDigit(*at)) {
        value = std::min(value * 10 + (*at - u'0'), ValueCap);
        ++at;
    }
    const bool number = at != digits;
    while (at != end && IsBlank(*at)) {
        ++at;
    }
    const bool more = at != end && *at == u'.';
    if (!number || (at != end && !more)) {
        return {-1, at, false};
    }
    return {value, more ? at + 1 : at, more};
}

// The four bytes of a text of exactly four parts that each read as 0 to 255:
// ReadPart's rules, with the range test made on the way. This runs on every
// IP TO HOST click, twice, so the common case (no blanks) is kept short.
std::optional<std::array<std::uint8_t, 4>> FourBytes(QStringView text) noexcept
{
    const char16_t* at = text.utf16();
    const char16_t* const end = at + text.size();
    std::array<std::uint8_t, 4> bytes{};
    for (std::size_t index = 0;; ++index) {
        if (at == end) {
            return std::nullopt;
        }
        unsigned value = static_cast<unsigned>(*at) - u'0';
        if (value > 9) {
            while (at != end && IsBlank(*at)) {
                ++at;
            }
            if (at == end || !IsDigit(*at)) {
                return std::nullopt;
            }
            value = static_cast<unsigned>(*at) - u'0';
        }
        while (++at != end) {
            const unsigned digit = static_cast<unsigned>(*at) - u'0';
            if (digit > 9) {
                break;
            }
            value = value * 10 + digit;
            if (value > 255) {
                return std::nullopt;
            }
        }
        bytes[index] = static_cast<std::uint8_t>(value);
        if (at != end && *at != u'.') {
            while (at != end && IsBlank(*at)) {
                ++at;
            }
        }
        if (index == 3) {
            return at == end ? std::optional(bytes) : std::nullopt;
        }
        if (at == end || *at != u'.') {
            return std::nullopt;
        }
        ++at;
    }
}

} // namespace

bool IsIPAddress(QStringView text) noexcept
{
    return FourBytes(text).has_value();
}

std::int32_t IPToLong(QStringView text) noexcept
{
    // Four bytes give their 32-bit pattern, the first byte least significant;
    // every other text takes the general sum below, which agrees on these.
    if (const std::optional<std::array<std::uint8_t, 4>> bytes = FourBytes(text)) {
        const std::uint32_t pattern = (*bytes)[0] | (*bytes)[1] << 8 | (*bytes)[2] << 16 |
                                      static_cast<std::uint32_t>((*bytes)[3]) << 24;
        return static_cast<std::int32_t>(pattern);
    }
    const char16_t* at = text.utf16();
    const char16_t* end = at + text.size();
    std::int64_t sum = 0;
    for (int index = 0;; ++index) {
        const Part part = ReadPart(at, end);
        if (part.value < 0) {
            return 0;
        }
        if (!part.more) {
            // The last part always weighs 256^3 and stands for a signed top byte.
            sum += (part.value < 128 ? part.value : part.value - 256) * 16777216;
        } else if (index >= 128) {
            return 0; // 256^index is beyond any floating-point number: an overflow
        } else if (part.value != 0) {
            if (index >= 4) {
                return 0; // value * 256^index is at least 2^32
            }
            sum += part.value << (8 * index);
        }
        if (sum < std::numeric_limits<std::int32_t>::min() ||
            sum > std::numeric_limits<std::int32_t>::max()) {
            return 0;
        }
        if (!part.more) {
            return static_cast<std::int32_t>(sum);
        }
        at = part.next;
    }
}

QString StripNull(const QString& text)
{
    const qsizetype nul = text.indexOf(QChar(u'\0'));
    return nul < 0 ? text : text.first(nul);
}

} // namespace tessarin::detail
