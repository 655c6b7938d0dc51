// The dotted-decimal text of any bytes reads back as those bytes, each number
// written without sign, blank or leading zero.

#include "FuzzCheck.h"
#include "resolver/HostAddress.h"

#include <cstdint>

#include <QStringList>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArrayView bytes(data, static_cast<qsizetype>(size));
    const QString text = tessarin::DottedDecimal(bytes);
    if (size == 0) {
        FUZZ_REQUIRE(text.isEmpty());
        return 0;
    }
    const QStringList numbers = text.split(u'.');
    FUZZ_REQUIRE(numbers.size() == static_cast<qsizetype>(size));
    for (std::size_t i = 0; i < size; ++i) {
        const QString& number = numbers[static_cast<qsizetype>(i)];
        bool ok = false;
        FUZZ_REQUIRE(number.toUInt(&ok) == data[i] && ok);
        FUZZ_REQUIRE(number == QString::number(data[i]));
    }
    return 0;
}
