#include "common/progressestimate.h"

#include <gtest/gtest.h>

TEST(ProgressEstimate, DurationTexts)
{
    const std::pair<qint64, const char*> cases[] = {
        {1, "1 s"},
        {1000, "1 s"},
        {1001, "2 s"},
        {59000, "59 s"},
        {60000, "1 min 00 s"},
        {125000, "2 min 05 s"},
        {3599000, "59 min 59 s"},
        {3600000, "1 h 00 min"},
        {3780000, "1 h 03 min"},
    };
    for (const auto& [ms, text] : cases)
        EXPECT_EQ(ProgressEstimate::durationText(ms), QString::fromUtf8(text)) << ms;
}

TEST(ProgressEstimate, TimeLeftFollowsTheRateSinceTheFirstReport)
{
    ProgressEstimate e;
    e.update(1, 2000, 5000); // the first record took the run's start-up time as well
    EXPECT_EQ(e.remainingMs(), -1);
    EXPECT_EQ(e.text(), QStringLiteral("1 z 2000"));
    e.update(11, 2000, 6000); // 10 records a second from here on
    EXPECT_EQ(e.remainingMs(), 198900);
    EXPECT_EQ(e.text(), QStringLiteral("11 z 2000, pozostało około 3 min 19 s"));
    e.update(2000, 2000, 204900);
    EXPECT_EQ(e.remainingMs(), 0);
    EXPECT_EQ(e.text(), QStringLiteral("2000 z 2000"));
}

TEST(ProgressEstimate, ANewRunStartsAfresh)
{
    ProgressEstimate e;
    e.update(1, 10, 0);
    e.update(5, 10, 4000);
    EXPECT_EQ(e.remainingMs(), 5000);
    e.update(1, 10, 100000); // count fell back: another run
    EXPECT_EQ(e.remainingMs(), -1);
    e.update(2, 10, 100500);
    EXPECT_EQ(e.remainingMs(), 4000);
    e.update(2, 50, 101000); // a new total
    EXPECT_EQ(e.remainingMs(), -1);
}

TEST(ProgressEstimate, UnknownTotalShowsTheCountOnly)
{
    ProgressEstimate e;
    e.update(0, 0, 0);
    e.update(300, 0, 1000);
    EXPECT_EQ(e.remainingMs(), -1);
    EXPECT_EQ(e.text(), QStringLiteral("300"));
}
