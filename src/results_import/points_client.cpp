#include "results_import/points_client.h"

#include <array>
#include <cstring>

#include "couloir/couloir.h"
#include "shared/components.h"
#include "shared/error.h"

namespace couloir::ombrelay {

CalculPoint creerCalculPoint() {
    auto calcul = reinterpret_cast<couloir_calcul_point_fn>(resolveMethod("Calcul_Point.ClsCalcul", "CalculPoint"));
    return [calcul](double codeEpreuve, double temps) {
        std::array<char, 64> points{};
        std::array<char, 512> erreur{};
        int status = calcul(codeEpreuve, temps, points.data(), points.size(), erreur.data(), erreur.size());
        // A component that fills a buffer to its end leaves no terminating zero.
        if (status != 0) throw Error(status, std::string(erreur.data(), strnlen(erreur.data(), erreur.size())));
        return std::string(points.data(), strnlen(points.data(), points.size()));
    };
}

}  // namespace couloir::ombrelay
