#pragma once

#include "platform/Platform.h"

#include <optional>

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace tessarin {

// Each byte in decimal, joined by single dots: {192, 168, 0, 1} gives "192.168.0.1".
QString DottedDecimal(QByteArrayView bytes);

// Copies the first address of a host record out of the platform's storage at
// once, reading no more than the record says it holds. Nothing when there is
// no record, no first address, or an address length below 1.
std::optional<QByteArray> CopyFirstAddress(const HOSTENT* record);

} // namespace tessarin
