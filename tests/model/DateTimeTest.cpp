#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "model/DateTime.h"

namespace quillane {
namespace {

TEST(DateTime, CivilDatesAndBack) {
    struct TCase {
        TCivilTime Time;
        double Value;
    };
    const TCase cases[] = {
        {{1899, 12, 30, 0, 0, 0}, 0.0},
        {{1900, 1, 1, 0, 0, 0}, 2.0},
        {{1899, 12, 29, 12, 0, 0}, -0.5},
        {{2000, 2, 29, 18, 0, 0}, 36585.75},
        {{1, 1, 1, 0, 0, 0}, -693593.0},
        {{9999, 12, 31, 23, 59, 59}, 2958465.0 + 86399.0 / 86400.0},
    };
    for (const TCase& c : cases) {
        const auto value = DateTimeOf(c.Time);
        ASSERT_TRUE(value) << c.Value;
        EXPECT_DOUBLE_EQ(c.Value, *value);
        const auto back = CivilTimeOf(*value);
        ASSERT_TRUE(back) << c.Value;
        EXPECT_EQ(c.Time.Year, back->Year);
        EXPECT_EQ(c.Time.Month, back->Month);
        EXPECT_EQ(c.Time.Day, back->Day);
        EXPECT_EQ(c.Time.Hour * 3600 + c.Time.Minute * 60 + c.Time.Second,
                  back->Hour * 3600 + back->Minute * 60 + back->Second);
    }
}

TEST(DateTime, ImpossibleDatesAndValues) {
    for (const TCivilTime& t : {TCivilTime{2001, 2, 29, 0, 0, 0}, TCivilTime{0, 1, 1, 0, 0, 0},
                                TCivilTime{2001, 13, 1, 0, 0, 0}, TCivilTime{2001, 1, 1, 24, 0, 0},
                                TCivilTime{10000, 1, 1, 0, 0, 0}}) {
        EXPECT_FALSE(DateTimeOf(t)) << t.Year << "-" << t.Month << "-" << t.Day;
    }
    for (const double value : {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                               -1.0e9, 3.0e6, 2958466.0 - 0.1 / 86400.0}) {
        EXPECT_FALSE(CivilTimeOf(value)) << value;  // the last rounds into the year 10000
    }
    EXPECT_GT(NowAsDateTime(), 45000.0);  // later than 2023
}

}  // namespace
}  // namespace quillane
