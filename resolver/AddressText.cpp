#include "resolver/AddressText_p.h"

#include <algorithm>
#include <bit>
#include <limits>

#include <QtEndian>

namespace tessarin::detail {
namespace {

constexpr bool IsDigit(char16_t c) noexcept
{
    return static_cast<unsigned>(c - u'0') <= 9;
}

const char16_t* SkipBlanks(const char16_t* at, const char16_t* end) noexcept
{
    while (at != end && (*at == u' ' || *at == u'\t')) {
        ++at;
    }
    return at;
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
Part ReadPart(const char16_t* at, const char16_t* end) noexcept
{
    at = SkipBlanks(at, end);
    const char16_t* const digits = at;
    std::int64_t value = 0;
    for (; at != end && IsDigit(*at); ++at) {
        value = std::min(value * 10 + (*at - u'0'), ValueCap);
    }
    const bool number = at != digits;
    at = SkipBlanks(at, end);
    const bool more = at != end && *at == u'.';
    if (!number || (at != end && !more)) {
        return {-1, at, false};
    }
    return {value, more ? at + 1 : at, more};
}

} // namespace

std::optional<std::array<char, 4>> IsIPAddress(QStringView text) noexcept
{
    // ReadPart's rules with the range test made on the way, in one pass: IP TO
    // HOST reads every address here. Blanks are looked for only where a digit
    // or a dot is not found.
    const char16_t* at = text.utf16();
    const char16_t* const end = at + text.size();
    std::array<char, 4> bytes{};
    for (std::size_t index = 0; index < bytes.size(); ++index) {
        if (at != end && !IsDigit(*at)) {
            at = SkipBlanks(at, end);
        }
        if (at == end || !IsDigit(*at)) {
            return std::nullopt;
        }
        unsigned value = *at - u'0';
        while (++at != end && IsDigit(*at)) {
            value = value * 10 + (*at - u'0');
            if (value > 255) {
                return std::nullopt;
            }
        }
        if (at != end && *at != u'.') {
            at = SkipBlanks(at, end);
        }
        if (index < 3 ? at == end || *at++ != u'.' : at != end) {
            return std::nullopt;
        }
        bytes[index] = static_cast<char>(value);
    }
    return bytes;
}

std::int32_t IPToLong(QStringView text) noexcept
{
    // A dotted address gives its 32-bit pattern, the first byte least
    // significant; the general sum below agrees on it, only slower.
    if (const std::optional<std::array<char, 4>> bytes = IsIPAddress(text)) {
        return static_cast<std::int32_t>(qFromLittleEndian(std::bit_cast<std::uint32_t>(*bytes)));
    }
    const char16_t* at = text.utf16();
    const char16_t* const end = at + text.size();
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

} // namespace tessarin::detail
