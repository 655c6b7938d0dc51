#pragma once

// The address-text helpers behind clsIPRESOLVE. Internal: only the resolver,
// its tests, its fuzz target and its benchmark include this header.

#include <cstdint>

#include <QStringView>

namespace tessarin::detail {

// Whether the text is exactly four dot-separated parts, each of decimal digits
// (blanks around them and leading zeros allowed) with a value 0 to 255.
bool IsIPAddress(QStringView text) noexcept;

// The 32-bit address value: part i is weighted 256^i, except the last, which
// always weighs 256^3 and counts as negative from 128 on, whatever the number
// of parts; 0 when a part is no number or a running sum leaves the signed
// 32-bit range. Exact, with no rounding, for every text. For a dotted address
// it is the four bytes with the first one least significant.
std::int32_t IPToLong(QStringView text) noexcept;

} // namespace tessarin::detail
