// Engag.txt: the individual entries of the profile's swimmers.
#include "competition_files/engag_record.h"
#include "competition_files/selection_numbers.h"
#include "competition_files/step_support.h"
#include "competition_files/steps.h"
#include "shared/interchange_file_names.h"
#include "shared/interchange_writer.h"
#include "shared/text_date.h"

namespace couloir::vandrule {
namespace {

// The federation numbers men's teams from 51; other teams keep their
// number, on two characters.
std::string entryTeam(std::string_view teamNumber, std::string_view sex) {
    auto team = checkedWhole(numericValue(teamNumber));
    if (team <= 0) return {};
    if (sex == "M") return std::to_string(team + 50);
    return (team < 10 ? " " : "") + std::to_string(team);
}

}  // namespace

bool bCreerEngag(CreationState& state) {
    Trace& trace = state.trace();
    try {
        trace.write("Création du fichier Engag.txt");
        InterchangeWriter file(state.outputPath(file_names::kEntryEngag), InterchangeWriter::Mode::Replace, &state.trace());
        trace.write("Récupération des engagements individuels.");
        Columns rows = state.db().ChargerColonnes(
            Statement("SELECT Engag.Code_epreuve, Licence.Licence, Engag.Tps_engagement, Engag.Num_equipe, Engag.Date_perf, "
                      "Engag.Lieu_perf, Engag.Bassin, Licence.Sexe, Licence.Code_Club "
                      "FROM Licence Licence, Engag Engag "
                      "WHERE Licence.Num = Engag.Num_Lic "
                      "AND Engag.Num_compet = ")
                .number(state.strNumCompet)
                .sql(" AND Engag.Num_profil = ")
                .number(state.strNumProfil)
                .sql(" ORDER BY Licence.Nom, Licence.Prenom"));
        for (std::size_t row = 0; row < rows.rowCount(); ++row) {
            auto column = [&](int index) -> const std::string& { return rows.at(index, row); };
            FixedRecord record = engagRecord(state, column(0), column(1), column(2));
            record.left(kEngEquipe, entryTeam(column(3), column(7)))
                .left(kEngDatePerf, strAaaammjjVersJjmmaaaa(column(4)))
                .left(kEngLieuPerf, column(5))
                .left(kEngBassin, column(6));
            if (state.bIsSelection) record.left(kEngLicence, selectionLicence(state, column(8), column(1)));
            file.writeLine(record.text());
        }
        file.close();
        trace.write("Création des engagements individuels réussie.");
        return true;
    } catch (...) {
        Error error = caughtError();
        trace.error("Echec lors du traitement des engagements individuels." + std::string(CRLF) +
                    strTexteErreur(error));
        return false;
    }
}

}  // namespace couloir::vandrule
