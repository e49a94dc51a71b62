#include "results_import/result_line.h"

#include "shared/error.h"
#include "shared/text_date.h"
#include "shared/trace.h"

namespace couloir::ombrelay {
namespace {

// Not read, event, race type, heat, lane, order, club, licence; the final
// time and the 14 splits; the points.
constexpr std::array<int, kNombreChamps> kLargeursResultats = {3, 2, 1, 2, 1, 1, 13, 6, 7, 7, 7, 7, 7, 7, 7, 7,
                                                               7, 7, 7, 7, 7, 7, 7, 4};

// Fields are cut by characters; text past the end of a short line reads as empty.
void couper(std::string_view ligne, ChampsResultat& champs) {
    std::string_view reste = ligne;
    for (int champ = 1; champ <= kNombreChamps; ++champ) {
        std::string_view texte = charSubstr(reste, 0, static_cast<std::size_t>(kLargeursResultats[champ - 1]));
        reste.remove_prefix(texte.size());
        champs[champ].assign(champ == kChampTypeCourse ? texte : trim(texte));
    }
}

bool typeCourseConnu(std::string_view type) {
    return type.size() == 1 && std::string_view("SF248BJ").find(type[0]) != std::string_view::npos;
}

}  // namespace

bool DecouperLigneResultat(Trace& trace, std::string_view ligne, ChampsResultat& champs, long numeroLigne,
                           const CalculPoint& calculPoint) {
    try {
        couper(ligne, champs);
        if (!typeCourseConnu(champs[kChampTypeCourse]))
            trace.EcrireLigneErreur(numeroLigne, "Type de course inconnu : " + champs[kChampTypeCourse] + ".",
                                    "Warning");
        if (numericValue(champs[kChampTemps]) == 0) champs[kChampTemps] = "94.0000";
        for (int champ = kChampTemps; champ <= kChampTemps + kNombreInters; ++champ)
            champs[champ] = shortestDecimal(numericValue(champs[champ]));
        if (champs[kChampPoints].empty())
            champs[kChampPoints] =
                trim(calculPoint(numericValue(champs[kChampEpreuve]), numericValue(champs[kChampTemps])));
        return true;
    } catch (const Error& e) {
        trace.EcrireErreur("Une erreur s'est produite lors de l'extraction des données.", numeroLigne, &e);
        return false;
    }
}

}  // namespace couloir::ombrelay
