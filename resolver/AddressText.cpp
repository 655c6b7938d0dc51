#include "resolver/AddressText_p.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace tessarin::detail {
namespace {

constexpr bool IsBlank(QChar c) noexcept
{
    return c == u' ' || c == u'\t';
}

// The number a part denotes: decimal digits with optional blanks around them.
// No sign, no other base, no exponent, no fraction.
std::optional<double> PartValue(QStringView part) noexcept
{
    qsizetype begin = 0;
    qsizetype end = part.size();
    while (begin < end && IsBlank(part[begin])) {
        ++begin;
    }
    while (end > begin && IsBlank(part[end - 1])) {
        --end;
    }
    if (begin == end) {
        return std::nullopt;
    }
    double value = 0;
    for (qsizetype i = begin; i < end; ++i) {
        const char16_t c = part[i].unicode();
        if (c < u'0' || c > u'9') {
            return std::nullopt;
        }
        value = value * 10 + (c - u'0');
    }
    return value;
}

// Calls visit(index, part) for each dot-separated part in order, empty parts
// included, until it answers false; answers whether every call answered true.
template <typename Visit> bool EveryPart(QStringView text, Visit visit) noexcept
{
    qsizetype index = 0;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == u'.') {
            if (!visit(index++, text.sliced(start, i - start))) {
                return false;
            }
            start = i + 1;
        }
    }
    return true;
}

} // namespace

bool IsIPAddress(QStringView text) noexcept
{
    if (text.count(u'.') != 3) {
        return false;
    }
    return EveryPart(text, [](qsizetype, QStringView part) noexcept {
        const std::optional<double> value = PartValue(part);
        return value && *value <= 255;
    });
}

std::int32_t IPToLong(QStringView text) noexcept
{
    if (text.isEmpty()) {
        return 0;
    }
    const qsizetype last = text.count(u'.');
    double sum = 0;
    const bool converted = EveryPart(text, [&](qsizetype index, QStringView part) noexcept {
        const std::optional<double> value = PartValue(part);
        if (!value) {
            return false;
        }
        if (index < last) {
            // 256^index; beyond the double range it is infinite and the sum leaves the range.
            sum += *value * std::ldexp(1.0, static_cast<int>(std::min<qsizetype>(index, 1024)) * 8);
        } else {
            // The last part always weighs 256^3 and stands for a signed top byte.
            sum += (*value < 128 ? *value : *value - 256) * 16777216.0;
        }
        // Written so that NaN (zero times an infinite weight) fails too.
        return sum >= std::numeric_limits<std::int32_t>::min() &&
               sum <= std::numeric_limits<std::int32_t>::max();
    });
    return converted ? static_cast<std::int32_t>(sum) : 0;
}

QString StripNull(const QString& text)
{
    const qsizetype nul = text.indexOf(QChar(u'\0'));
    return nul < 0 ? text : text.first(nul);
}

} // namespace tessarin::detail
