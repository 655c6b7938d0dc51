#pragma once

// Text crosses the platform boundary here and nowhere else: the program's
// text becomes NUL-terminated 8-bit text in the system's code page, and what
// the platform fills comes back whole, NULs and blanks included.

#include <QByteArray>
#include <QString>

namespace tessarin {

// The result's constData() is NUL-terminated; a NUL inside the text ends it there.
QByteArray ToAnsi(const QString& text);

// A character cut off at the end of the bytes is left out, not shown as a replacement.
QString FromAnsi(const char* data, qsizetype size);

// The text up to, not including, its first NUL.
QString StripNull(const QString& text);

} // namespace tessarin
