// StripNull gives the text up to its first NUL: a prefix without NUL, followed
// in the input by a NUL or by nothing.

#include "FuzzCheck.h"
#include "resolver/AddressText_p.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString stripped = tessarin::detail::StripNull(text);
    FUZZ_REQUIRE(text.startsWith(stripped));
    FUZZ_REQUIRE(!stripped.contains(QChar(u'\0')));
    FUZZ_REQUIRE(stripped.size() == text.size() || text[stripped.size()] == QChar(u'\0'));
    return 0;
}
