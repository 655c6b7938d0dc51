#include "app/WithoutHttp.h"

namespace tessarin {

QString WithoutHttp(QString text)
{
    // QString::remove makes one linear pass over the text as it was.
    text.remove(QStringLiteral("http://"), Qt::CaseSensitive);
    return text;
}

} // namespace tessarin
