// The points rule: World Aquatics points, the whole part of
// 1000 x (base time / swim time)^3, on times in the results' notation m.sscc.
#pragma once

#include <cstdint>

namespace couloir::points {

class BaseTimes;

// A time written m.sscc (1.0523 is 1 min 05.23 s) as whole hundredths of a
// second. The value is first rounded to 4 decimals, so that 1.0523 gives
// 6523 whatever its binary value. Expects 0 <= msscc < 90.
std::int64_t hundredthsFromMsscc(double msscc);

// Whole part of 1000 x (base / time)^3, computed exactly on hundredths.
std::int64_t worldAquaticsPoints(std::int64_t baseHundredths, std::int64_t timeHundredths);

// The points of a swim of event `eventCode` in `time` (m.sscc): 0 when the
// event has no base time or the time is no swim time (0 or less, or 90 and
// above, the status codes).
std::int64_t pointsOfSwim(const BaseTimes& baseTimes, double eventCode, double time);

}  // namespace couloir::points
