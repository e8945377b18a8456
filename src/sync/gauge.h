#pragma once

#include <QString>

// The memory gauge under each article list: "lines/2000" and a bar from 0 to 2000 whose
// colour runs from green through yellow to red as the base fills up.
namespace basesync {

struct GaugeColor {
    int red = 0, green = 0, blue = 0;
    bool operator==(const GaugeColor&) const = default;
};

constexpr int GaugeMaximum = 2000;

// (c/4, 250, 0) below 1000 lines, (250, 250, 0) at 1000, (250, 500 - c/4, 0) above, with
// c/4 rounded down; counts outside 0..2000 are taken at the nearest end.
GaugeColor gaugeColor(int lines);
// "123/2000"; the register gauge reads "?/2000" until its base has been read.
QString gaugeText(int lines);
QString unknownGaugeText();

} // namespace basesync
