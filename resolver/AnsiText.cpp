#include "resolver/AnsiText.h"

namespace tessarin {

QByteArray ToAnsi(const QString& text)
{
    return text.toLocal8Bit();
}

QString FromAnsi(const char* data, qsizetype size)
{
    return QString::fromLocal8Bit(data, size);
}

} // namespace tessarin
