#include "results_import/points_client.h"

#include <array>
#include <cstring>

#include "couloir/couloir.h"
#include "shared/components.h"
#include "shared/error.h"

namespace couloir::ombrelay {

PointsCalculator createPointsCalculator() {
    auto calculate = reinterpret_cast<couloir_calcul_point_fn>(resolveMethod("Calcul_Point.ClsCalcul", "CalculPoint"));
    return [calculate](double eventCode, double time) {
        std::array<char, 64> points{};
        std::array<char, 512> error{};
        int status = calculate(eventCode, time, points.data(), points.size(), error.data(), error.size());
        // A component that fills a buffer to its end leaves no terminating zero.
        if (status != 0) throw Error(status, std::string(error.data(), strnlen(error.data(), error.size())));
        return std::string(points.data(), strnlen(points.data(), points.size()));
    };
}

}  // namespace couloir::ombrelay
