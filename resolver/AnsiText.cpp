#include "resolver/AnsiText.h"

#include <QStringDecoder>

namespace tessarin {

QByteArray ToAnsi(const QString& text)
{
    return text.toLocal8Bit();
}

QString FromAnsi(const char* data, qsizetype size)
{
    // A decoder keeps the bytes of an unfinished character for more input that never comes.
    QStringDecoder decoder(QStringDecoder::System);
    return decoder.decode(QByteArrayView(data, size));
}

QString StripNull(const QString& text)
{
    const qsizetype nul = text.indexOf(QChar(u'\0'));
    return nul < 0 ? text : text.first(nul);
}

} // namespace tessarin
