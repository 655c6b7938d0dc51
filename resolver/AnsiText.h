#pragma once

// Text crosses the platform boundary here and nowhere else: the program's
// text becomes NUL-terminated 8-bit text in the system's code page, and what
// the platform fills comes back whole, NULs and blanks included.

#include <QByteArray>
#include <QString>

namespace tessarin {

// The result's constData() is NUL-terminated; a NUL inside the text ends it there.
QByteArray ToAnsi(const QString& text);

QString FromAnsi(const char* data, qsizetype size);

} // namespace tessarin
