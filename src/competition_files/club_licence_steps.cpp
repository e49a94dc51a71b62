// The files that present the profile's swimmers: Club.txt and Licence.txt,
// the latter with one pseudo-swimmer per relay team.
#include <algorithm>
#include <array>

#include "competition_files/field_formats.h"
#include "competition_files/layouts.h"
#include "competition_files/relay_teams.h"
#include "competition_files/selection_numbers.h"
#include "competition_files/step_support.h"
#include "competition_files/steps.h"
#include "shared/interchange_file_names.h"
#include "shared/error.h"
#include "shared/interchange_writer.h"
#include "shared/swimmer_record.h"
#include "shared/text_date.h"

namespace couloir::vandrule {
namespace {

void writeClubs(InterchangeWriter& file, const Columns& rows, std::size_t count) {
    for (std::size_t row = 0; row < count; ++row) {
        FixedRecord record(kClubWidths);
        record.left(kClubCode, rows.at(0, row)).left(kClubIntitule, rows.at(1, row));
        file.writeLine(record.text());
    }
}

// Per relay sex (in the order of kRelaySexes), the largest team number the
// profile enters: its pseudo-licences run from 1 to that number.
std::array<int, 3> relayTeamCounts(CreationState& state) {
    Columns rows = state.db().ChargerColonnes(Statement("SELECT Max(Relais.Num_Lic) AS MaxDeNum_Lic, Nage.Sexe "
                                                        "FROM Nage Nage, Relais Relais "
                                                        "WHERE Nage.Code_Nage = Relais.Code_epreuve "
                                                        "AND Relais.Num_compet = ")
                                                  .number(state.strNumCompet)
                                                  .sql(" AND Relais.Num_profil = ")
                                                  .number(state.strNumProfil)
                                                  .sql(" GROUP BY Nage.Sexe"));
    std::array<int, 3> counts{};
    for (std::size_t row = 0; row < rows.rowCount(); ++row) {
        const std::string& largest = rows.at(0, row);
        if (numericValue(largest) < 1) continue;
        int& count = counts[&relaySex(rows.at(1, row)) - kRelaySexes.data()];
        count = std::max(count, relayTeamNumber(largest));
    }
    return counts;
}

void writeRelayPseudoLicences(CreationState& state, InterchangeWriter& file, const std::array<int, 3>& counts,
                              const std::string& season) {
    for (std::size_t sex = 0; sex < kRelaySexes.size(); ++sex) {
        for (int team = 1; team <= counts[sex]; ++team) {
            FixedRecord record(kLicenceWidths);
            record.left(kLicClub, state.strCodeClubProfil)
                .left(kLicLicence, relayLicence(kRelaySexes[sex], team))
                .left(kLicNom, "RELAIS")
                .left(kLicPrenom, kRelaySexes[sex].kind.label)
                .left(kLicSexe, kRelaySexes[sex].swimmerSex)
                .left(kLicSportive, "O")
                .left(kLicDepot, season)
                .left(kLicObliteration, season)
                .left(kLicTypeLicence, "R")
                .left(kLicNature, "N");
            file.writeLine(record.text());
        }
    }
}

std::string swimmerRecord(CreationState& state, const Columns& rows, std::size_t row) {
    SwimmerValues swimmer;
    for (std::size_t value = 0; value < swimmer.values.size(); ++value) swimmer.values[value] = rows.at(value, row);
    const std::string club = swimmer[SwimmerValues::kClub];
    // Entered by the profile: presented under its club.
    swimmer.values[SwimmerValues::kClub] = state.strCodeClubProfil;
    FixedRecord record(kLicenceWidths);
    setSwimmerFields(record, swimmer, strAaaammjjVersJjmmaaaa);
    if (state.bIsSelection) {
        // Presented under the selection's number; his own club and licence follow.
        const std::string& licence = swimmer[SwimmerValues::kLicence];
        record.left(kLicLicence, selectionLicence(state, club, licence))
            .left(kLicOrigine, strCadrerGauche(club, kLicenceWidths[kLicClub]) + licence);
    }
    return record.text();
}

}  // namespace

bool bCreerClub(CreationState& state) {
    try {
        InterchangeWriter file(state.outputPath(file_names::kEntryClub), InterchangeWriter::Mode::Replace, &state.trace());
        Columns profile = state.db().ChargerColonnes(Statement("SELECT Club.Code_federal, Club.Intitule "
                                                               "FROM Club Club, Profil Profil "
                                                               "WHERE Club.Code_federal = Profil.Code_club "
                                                               "AND Profil.Num = ")
                                                         .number(state.strNumProfil));
        if (!profile.hasRows())
            throw Error(errors::kNoCurrentRecord, "Le profil n° " + state.strNumProfil +
                                                      " n'existe pas dans la base ou son club est inconnu");
        state.strCodeClubProfil = profile.at(0, 0);
        writeClubs(file, profile, 1);
        if (state.bIsSelection) {
            Columns clubs = state.db().ChargerColonnes(
                Statement("SELECT Club.Code_federal, Club.Intitule "
                          "FROM Club CLub, Licence Licence, Engag_nageur Engag_nageur "
                          "WHERE Club.Code_federal = Licence.Code_Club AND Licence.Num = Engag_nageur.Num_Lic "
                          "GROUP BY Club.Code_federal, Club.Intitule, Engag_nageur.Num_compet, Engag_nageur.Num_profil "
                          "HAVING Engag_nageur.Num_compet = ")
                    .number(state.strNumCompet)
                    .sql(" AND Engag_nageur.Num_profil = ")
                    .number(state.strNumProfil)
                    .sql(" AND Club.Code_federal <> ")
                    .text(state.strCodeClubProfil)
                    .sql(" ORDER BY Club.Intitule "));
            writeClubs(file, clubs, clubs.rowCount());
        }
        file.close();
        EcrireFichierCree(state.trace(), "Club");
        return true;
    } catch (...) {
        reportFileFailure(state.trace(), "Club", caughtError());
        return false;
    }
}

bool bCreerLicence(CreationState& state) {
    std::string statement;  // the swimmer query, named in the failure report
    try {
        std::string season = strDebutSaison(state.strDateDebutCompet);
        std::array<int, 3> teams = relayTeamCounts(state);
        if (state.bIsSelection) numberSelection(state);
        InterchangeWriter file(state.outputPath(file_names::kEntryLicence), InterchangeWriter::Mode::Replace, &state.trace());
        Statement swimmers = Statement("SELECT Licence.Code_Club, ")
                                 .sql(kSwimmerColumns)
                                 .sql(" FROM Licence Licence, Engag_nageur Engag_nageur "
                                      "WHERE Licence.Num = Engag_nageur.Num_Lic "
                                      "AND Engag_nageur.Num_compet = ")
                                 .number(state.strNumCompet)
                                 .sql(" AND Engag_nageur.Num_profil = ")
                                 .number(state.strNumProfil)
                                 .sql(" AND Licence.Visible = true "
                                      "ORDER BY Licence.Nom, Licence.Prenom");
        statement = swimmers.shown();
        Columns rows = state.db().ChargerColonnes(swimmers);
        // The relay teams take their alphabetical place, under the name "RELAIS".
        bool relaysWritten = false;
        for (std::size_t row = 0; row < rows.rowCount(); ++row) {
            if (!relaysWritten && rows.at(SwimmerValues::kNom, row) >= "RELAIS") {
                writeRelayPseudoLicences(state, file, teams, season);
                relaysWritten = true;
            }
            file.writeLine(swimmerRecord(state, rows, row));
        }
        if (!relaysWritten) writeRelayPseudoLicences(state, file, teams, season);
        file.close();
        EcrireFichierCree(state.trace(), "Licence");
        return true;
    } catch (...) {
        reportFileFailure(state.trace(), "Licence", caughtError(), statement);
        return false;
    }
}

}  // namespace couloir::vandrule
