#include "sync/gauge.h"

#include <gtest/gtest.h>

using basesync::GaugeColor;

TEST(Gauge, ColourRunsFromGreenThroughYellowToRed)
{
    struct Case {
        int lines;
        GaugeColor colour;
    };
    const Case cases[] = {
        {0, {0, 250, 0}},      {3, {0, 250, 0}},      {4, {1, 250, 0}},      {999, {249, 250, 0}},
        {1000, {250, 250, 0}}, {1001, {250, 250, 0}}, {1004, {250, 249, 0}}, {1500, {250, 125, 0}},
        {2000, {250, 0, 0}},   {-5, {0, 250, 0}},     {2400, {250, 0, 0}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(basesync::gaugeColor(c.lines), c.colour) << c.lines;
}

TEST(Gauge, Texts)
{
    EXPECT_EQ(basesync::gaugeText(0), QStringLiteral("0/2000"));
    EXPECT_EQ(basesync::gaugeText(1234), QStringLiteral("1234/2000"));
    EXPECT_EQ(basesync::unknownGaugeText(), QStringLiteral("?/2000"));
}
