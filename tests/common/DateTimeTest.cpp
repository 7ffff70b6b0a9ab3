#include "common/DateTime.h"

#include <gtest/gtest.h>

TEST(DateTime, DayCountsFromTheEpochWithTheTimeAsFraction)
{
    EXPECT_EQ(DateTime::ToQDateTime(0.0), QDateTime(QDate(1899, 12, 30), QTime(0, 0)));
    EXPECT_EQ(DateTime::ToQDateTime(2.75), QDateTime(QDate(1900, 1, 1), QTime(18, 0)));
    EXPECT_EQ(DateTime::ToQDateTime(45000.5), QDateTime(QDate(2023, 3, 15), QTime(12, 0)));
    EXPECT_DOUBLE_EQ(DateTime::FromQDateTime(QDateTime(QDate(2023, 3, 15), QTime(12, 0))), 45000.5);
}

TEST(DateTime, DaysBeforeTheEpochKeepAForwardFraction)
{
    // -1.25: one day back, then six hours forward.
    EXPECT_EQ(DateTime::ToQDateTime(-1.25), QDateTime(QDate(1899, 12, 29), QTime(6, 0)));
    EXPECT_DOUBLE_EQ(DateTime::FromQDateTime(QDateTime(QDate(1899, 12, 29), QTime(6, 0))), -1.25);
}

TEST(DateTime, RoundTripsToTheMillisecond)
{
    const QDateTime moment(QDate(2026, 12, 9), QTime(14, 51, 12, 345));
    EXPECT_EQ(DateTime::ToQDateTime(DateTime::FromQDateTime(moment)), moment);
}

TEST(DateTime, DamagedValuesGiveAnInvalidDate)
{
    EXPECT_FALSE(DateTime::ToQDateTime(std::numeric_limits<double>::quiet_NaN()).isValid());
    EXPECT_FALSE(DateTime::ToQDateTime(1e300).isValid());
}
