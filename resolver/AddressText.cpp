#include "resolver/AddressText_p.h"

#include <algorithm>
#include <limits>

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
        return {.value = -1, .next = at, .more = false};
    }
    return {.value = value, .next = more ? at + 1 : at, .more = more};
}

} // namespace

bool IsIPAddress(QStringView text) noexcept
{
    const char16_t* at = text.utf16();
    const char16_t* const end = at + text.size();
    for (int index = 0; index < 4; ++index) {
        const Part part = ReadPart(at, end);
        if (part.value < 0 || part.value > 255 || part.more != (index < 3)) {
            return false;
        }
        at = part.next;
    }
    return true;
}

std::int32_t IPToLong(QStringView text) noexcept
{
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
