#include "competition_files/selection_numbers.h"

#include <cstdio>
#include <map>

#include "shared/error.h"
#include "shared/text_date.h"

namespace couloir::vandrule {

void numberSelection(CreationState& state) {
    // Swimmers born on the same day are taken in licence order, so that the
    // numbering does not depend on the engine.
    Columns rows = state.db().ChargerColonnes(Statement("SELECT Licence.Code_Club, Licence.Licence "
                                                        "FROM Licence Licence, Engag_nageur Engag_nageur "
                                                        "WHERE Licence.Num = Engag_nageur.Num_Lic "
                                                        "AND Licence.Visible = True "
                                                        "AND Engag_nageur.Num_profil = ")
                                                  .number(state.strNumProfil)
                                                  .sql(" AND Engag_nageur.Num_compet = ")
                                                  .number(state.strNumCompet)
                                                  .sql(" ORDER BY Licence.Date_Naissance, Licence.Code_Club, Licence.Licence"));
    // One count per birth year: a licence whose year disagrees with its date
    // of birth cannot make a year start again and give a number twice.
    std::map<double, int> lastRank;
    for (std::size_t row = 0; row < rows.rowCount(); ++row) {
        const std::string& clubCode = rows.at(0, row);
        const std::string& licence = rows.at(1, row);
        std::string birthYear(charSubstr(licence, 0, 2));
        int counter = ++lastRank[numericValue(birthYear)];
        if (counter > 999) throw errors::overflow();
        std::size_t length = charCount(licence);
        std::string lastCharacter(length ? charSubstr(licence, length - 1, 1) : std::string_view{});
        char rank[16];
        std::snprintf(rank, sizeof rank, "%03d", counter);
        state.colLicencesSelection.add(clubCode + licence, state.strCodeClubProfil + birthYear + rank + lastCharacter);
    }
}

std::string selectionLicence(CreationState& state, std::string_view clubCode, std::string_view licence) {
    std::string value;
    if (bLireCollection(state.colLicencesSelection, std::string(clubCode) + std::string(licence), value)) {
        std::size_t length = charCount(value);
        return std::string(charSubstr(value, length > 6 ? length - 6 : 0, 6));
    }
    state.trace().warning("Warning Licence (" + std::string(clubCode) + " + " + std::string(licence) +
                        ") absente des nageurs engagés par la sélection : numéro de licence laissé en blanc.");
    return {};
}

}  // namespace couloir::vandrule
