#pragma once

#include "platform/Platform.h"

#include <optional>

#include <QByteArrayView>
#include <QString>

namespace tessarin {

// Each byte in decimal, joined by single dots: {192, 168, 0, 1} gives "192.168.0.1".
QString DottedDecimal(QByteArrayView bytes);

// The dotted-decimal text of the first address the platform's forward lookup
// gives for a name, copied out of the platform's record at once and read no
// further than the record says it holds. Nothing when the name is not
// resolved, or its record has no first address or an address length below 1.
std::optional<QString> FirstAddressOf(Platform& platform, const QString& name);

// The text with every "http://" removed: exact case, left to right, in one
// pass, so text that comes together where one was removed stays.
QString WithoutHttp(QString text);

} // namespace tessarin
