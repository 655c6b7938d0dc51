#include "resolver/HostAddress.h"

#include "resolver/AnsiText.h"

#include <QByteArray>

namespace tessarin {

QString DottedDecimal(QByteArrayView bytes)
{
    QString text;
    text.reserve(bytes.size() * 4);
    for (const char byte : bytes) {
        text += QString::number(static_cast<unsigned char>(byte));
        text += u'.';
    }
    text.chop(1);
    return text;
}

std::optional<QString> FirstAddressOf(Platform& platform, const QString& name)
{
    const HOSTENT* record = platform.gethostbyname(ToAnsi(name).constData());
    if (record == nullptr) {
        return std::nullopt;
    }
    HOSTENT head;
    RtlMoveMemory(&head, record, sizeof head);
    if (head.h_addr_list == nullptr || head.h_length < 1) {
        return std::nullopt;
    }
    const char* first = nullptr;
    RtlMoveMemory(static_cast<void*>(&first), static_cast<const void*>(head.h_addr_list),
                  sizeof first);
    if (first == nullptr) {
        return std::nullopt;
    }
    QByteArray address(head.h_length, Qt::Uninitialized);
    RtlMoveMemory(address.data(), first, static_cast<std::size_t>(head.h_length));
    return DottedDecimal(address);
}

QString WithoutHttp(QString text)
{
    // QString::remove makes one linear pass over the text as it was.
    return text.remove(QStringLiteral("http://"), Qt::CaseSensitive);
}

} // namespace tessarin
