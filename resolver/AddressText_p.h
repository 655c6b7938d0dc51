#pragma once

// The address-text helpers behind clsIPRESOLVE. Internal: only the resolver
// and its tests include this header.

#include <cstdint>

#include <QString>
#include <QStringView>

namespace tessarin::detail {

// True when the text is exactly four dot-separated parts, each of decimal
// digits (blanks around them and leading zeros allowed) with a value 0 to 255.
bool IsIPAddress(QStringView text) noexcept;

// The 32-bit address value: part i is weighted 256^i, except the last, which
// always weighs 256^3 and counts as negative from 128 on, whatever the number
// of parts; 0 when a part is no number or a running sum leaves the signed
// 32-bit range. Exact, with no rounding, for every text.
std::int32_t IPToLong(QStringView text) noexcept;

// The text up to, not including, its first NUL.
QString StripNull(const QString& text);

} // namespace tessarin::detail
