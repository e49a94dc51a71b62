#include "points/swim_points.h"

#include <cmath>
#include <limits>

#include "points/base_times.h"

namespace couloir::points {

std::int64_t hundredthsFromMsscc(double msscc) {
    std::int64_t tenThousandths = std::llround(msscc * 10000.0);
    return tenThousandths / 10000 * 6000 + tenThousandths % 10000;
}

std::int64_t worldAquaticsPoints(std::int64_t baseHundredths, std::int64_t timeHundredths) {
    using Wide = unsigned __int128;  // 1000 x 90 min^3 in hundredths overflows 64 bits
    Wide base = static_cast<Wide>(baseHundredths), time = static_cast<Wide>(timeHundredths);
    Wide points = 1000 * base * base * base / (time * time * time);
    constexpr auto largest = std::numeric_limits<std::int64_t>::max();
    return points > static_cast<Wide>(largest) ? largest : static_cast<std::int64_t>(points);
}

std::int64_t pointsOfSwim(const BaseTimes& baseTimes, double eventCode, double time) {
    if (!(time > 0 && time < 90) || !(eventCode >= 0 && eventCode < 100)) return 0;
    std::int64_t hundredths = hundredthsFromMsscc(time);
    auto base = baseTimes.find(static_cast<int>(std::lround(eventCode)));
    if (!base || hundredths <= 0) return 0;
    return worldAquaticsPoints(*base, hundredths);
}

}  // namespace couloir::points
