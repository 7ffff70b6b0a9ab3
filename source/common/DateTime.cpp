#include "DateTime.h"

#include <cmath>

namespace {

const QDate kEpoch(1899, 12, 30);
constexpr double kMsPerDay = 86400000.0;
// QDate holds far more, but a day count this large is damage, not a date.
constexpr double kMaxDays = 2958466.0; // 9999-12-31

} // namespace

namespace DateTime {

QDateTime ToQDateTime(double value)
{
    if (!std::isfinite(value) || std::fabs(value) > kMaxDays)
        return {};
    const double days = std::trunc(value);
    const double fraction = std::fabs(value - days);
    qint64 ms = std::llround(fraction * kMsPerDay);
    qint64 wholeDays = static_cast<qint64>(days);
    if (ms >= qint64(kMsPerDay)) { // rounding reached midnight
        ms = 0;
        wholeDays += value < 0 ? -1 : 1;
    }
    return QDateTime(kEpoch.addDays(wholeDays), QTime::fromMSecsSinceStartOfDay(int(ms)));
}

double FromQDateTime(const QDateTime& dateTime)
{
    if (!dateTime.isValid())
        return 0.0;
    const QDateTime local = dateTime.toLocalTime();
    const double days = double(kEpoch.daysTo(local.date()));
    const double fraction = local.time().msecsSinceStartOfDay() / kMsPerDay;
    return days < 0 ? days - fraction : days + fraction;
}

double Now()
{
    return FromQDateTime(QDateTime::currentDateTime());
}

} // namespace DateTime
