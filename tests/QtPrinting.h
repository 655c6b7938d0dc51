#pragma once

// Lets GoogleTest print Qt strings in failure messages.

#include <ostream>

#include <QString>

inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}
