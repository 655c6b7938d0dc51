// WithoutHttp never lengthens its input, leaves text without "http://" as it
// is, and agrees with a plain left-to-right scan that skips each match.

#include "app/WithoutHttp.h"

#include "FuzzCheck.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString cleaned = tessarin::WithoutHttp(text);
    FUZZ_REQUIRE(cleaned.size() <= text.size());
    if (!text.contains(QStringLiteral("http://"))) {
        FUZZ_REQUIRE(cleaned == text);
    }

    const QStringView prefix = u"http://";
    QString scanned;
    for (qsizetype i = 0; i < text.size();) {
        if (QStringView(text).sliced(i).startsWith(prefix)) {
            i += prefix.size();
        } else {
            scanned += text[i++];
        }
    }
    FUZZ_REQUIRE(cleaned == scanned);
    return 0;
}
