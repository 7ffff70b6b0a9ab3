#pragma once

#include <QDateTime>

// Date-times in the program's files: days since 1899-12-30 00:00 local time as a double,
// the fraction being the time of day. Days before the epoch count down from it while the
// fraction still counts forward: -1.25 is 1899-12-29 06:00.
namespace DateTime {

QDateTime ToQDateTime(double value);
double FromQDateTime(const QDateTime& dateTime);

// Local wall-clock time now, as a day count.
double Now();

} // namespace DateTime
