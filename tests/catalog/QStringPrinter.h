#pragma once

#include <QString>

#include <ostream>

// GoogleTest prints a QString that fails a comparison as its text, not as its bytes.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}
