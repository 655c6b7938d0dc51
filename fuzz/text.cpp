// The text helpers over any input, each against an independent reading of the
// same rule: the dotted-address parser, IPToLong, StripNull and WithoutHttp.

#include "resolver/AddressText_p.h"
#include "resolver/AnsiText.h"
#include "resolver/HostAddress.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <optional>

#include <QStringList>

// A property that must hold; a violation is reported and ends the run as a finding.
#define REQUIRE(condition)                                                                         \
    ((condition)                                                                                   \
         ? void()                                                                                  \
         : (std::fprintf(stderr, "property violated: %s (line %d)\n", #condition, __LINE__),       \
            std::abort()))

namespace {

// Any part value this large gives the same results as a larger one.
constexpr std::int64_t Cap = std::int64_t{1} << 33;

// One part of a dotted text: blanks, decimal digits, blanks. Its value, at most Cap.
std::optional<std::int64_t> Number(QStringView part)
{
    const QString digits = part.toString().remove(u' ').remove(u'\t');
    bool number = !digits.isEmpty() && part.trimmed().size() == digits.size();
    for (const QChar c : digits) {
        number = number && c >= u'0' && c <= u'9';
    }
    bool small = false;
    const qulonglong value = digits.toULongLong(&small);
    if (!number) {
        return std::nullopt;
    }
    return small && value < Cap ? static_cast<std::int64_t>(value) : Cap;
}

// IPToLong's rule read in floating point: part i weighs 256^i, but the last
// weighs 256^3 and counts from 128 on as negative; 0 when a part is no number,
// a weight is no finite number, or a running sum leaves the signed 32-bit range.
std::int32_t AddressValue(const QString& text)
{
    const QStringList parts = text.split(u'.');
    double sum = 0;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const std::optional<std::int64_t> value = Number(parts[i]);
        if (!value) {
            return 0;
        }
        const bool last = i + 1 == parts.size();
        const double weight = std::pow(256.0, last ? 3 : static_cast<double>(i));
        if (!std::isfinite(weight)) {
            return 0;
        }
        sum += static_cast<double>(last && *value >= 128 ? *value - 256 : *value) * weight;
        if (sum < std::numeric_limits<std::int32_t>::min() ||
            sum > std::numeric_limits<std::int32_t>::max()) {
            return 0;
        }
    }
    return static_cast<std::int32_t>(sum);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

    QStringList bytes;
    for (const QString& part : text.split(u'.')) {
        const std::optional<std::int64_t> value = Number(part);
        bytes << (value && *value <= 255 ? QString::number(*value) : QString());
    }
    const bool address = bytes.size() == 4 && !bytes.contains(QString());
    const auto parsed = tessarin::detail::IsIPAddress(text);
    REQUIRE(parsed.has_value() == address);
    if (parsed) {
        REQUIRE(tessarin::DottedDecimal(QByteArrayView(parsed->data(), 4)) == bytes.join(u'.'));
    }
    REQUIRE(tessarin::detail::IPToLong(text) == AddressValue(text));

    REQUIRE(tessarin::StripNull(text) == text.section(QChar(u'\0'), 0, 0));

    QString scanned;
    for (qsizetype i = 0; i < text.size();) {
        const bool prefix = QStringView(text).sliced(i).startsWith(u"http://");
        scanned += prefix ? QString() : QString(text[i]);
        i += prefix ? 7 : 1;
    }
    REQUIRE(tessarin::WithoutHttp(text) == scanned);
    return 0;
}
