// Relais.txt and the relay lines of Engag.txt: each relay team the profile
// enters, under its pseudo-licence, with its relayers in leg order.
#include <algorithm>
#include <optional>

#include "competition_files/engag_record.h"
#include "competition_files/field_formats.h"
#include "competition_files/layouts.h"
#include "competition_files/relay_teams.h"
#include "competition_files/selection_numbers.h"
#include "competition_files/step_support.h"
#include "competition_files/steps.h"
#include "shared/interchange_file_names.h"
#include "shared/interchange_writer.h"
#include "shared/reference_swimmer.h"
#include "shared/text_date.h"

namespace couloir::vandrule {
namespace {

// The team query's columns: the event, the ten relayer slots, then these.
enum TeamColumn { cEpreuve = 0, cFirstRelayer = 1, cTps = 11, cEquipe, cSexe, cNageurs, cLibelle, cNumLic };

struct Relayer {
    std::string clubCode;  // known in a selection only
    std::string licence;
};

// The relayer whose Licence.Num is `key`: a visible swimmer, or in a
// selection one of its visible members; none when there is no such swimmer.
std::optional<Relayer> strLicenceRelayeur(CreationState& state, std::string_view key) {
    Columns rows = state.bIsSelection
                       ? state.db().ChargerColonnes(Statement("SELECT Licence.Licence, Licence.Code_Club "
                                                              "FROM Licence Licence, Selection Selection "
                                                              "WHERE Licence.Num = Selection.Num_Lic "
                                                              "AND Selection.Visible = true "
                                                              "AND Selection.Num_Lic = ")
                                                        .number(key))
                       : state.db().ChargerColonnes(
                             Statement("SELECT Licence FROM Licence WHERE Num = ").number(key).sql(" AND Visible = true"));
    if (!rows.hasRows()) return std::nullopt;
    Relayer relayer{state.bIsSelection ? rows.at(1, 0) : std::string(), rows.at(0, 0)};
    if (relayer.clubCode.empty() && relayer.licence.empty()) return std::nullopt;
    return relayer;
}

void EcrireRelaisIncomplet(Trace& trace, int found, int required, std::string_view label, std::string_view licenceNum,
                           std::string_view teamNumber) {
    if (found >= required) return;
    std::string line = "Seulement " + std::to_string(found) + " nageur" + (found > 1 ? "s" : "") + " dans le relais " +
                       std::string(label) + " équipe " + std::string(licenceNum);
    if (numericValue(teamNumber) > 0) line += " dans l'équipe n° " + std::string(teamNumber);
    trace.write(line);
}

// The team number of Engag.txt, men's teams from 51; a team without a
// number (0) stays blank whatever its sex.
std::string relayTeam(std::string_view teamNumber, const RelaySex& sex) {
    auto team = checkedWhole(numericValue(teamNumber));
    return team <= 0 ? std::string() : std::to_string(team + sex.teamOffset);
}

void writeTeam(CreationState& state, const Columns& rows, std::size_t row, const std::string& placeholder,
               InterchangeWriter& relais, InterchangeWriter& engag) {
    auto column = [&](int index) -> const std::string& { return rows.at(index, row); };
    const RelaySex& sex = relaySex(column(cSexe));
    int required = static_cast<int>(std::clamp<std::int64_t>(checkedWhole(numericValue(column(cNageurs))), -1, 99));
    std::string licence = relayLicence(sex, relayTeamNumber(column(cNumLic)));

    FixedRecord entry = engagRecord(state, column(cEpreuve), licence, column(cTps));
    entry.left(kEngEquipe, relayTeam(column(cEquipe), sex));
    engag.writeLine(entry.text());

    FixedRecord team(kRelaisWidths);
    team.left(kRelNum, state.strNumRcomp)
        .left(kRelEpreuve, twoDigitEventCode(column(cEpreuve)))
        .left(kRelClub, state.strCodeClubProfil)
        .left(kRelLicence, licence);
    int found = 0;
    for (int slot = 0; slot < kRelayerSlots; ++slot) {
        const std::string& key = column(cFirstRelayer + slot);
        if (key != placeholder) {
            if (auto relayer = strLicenceRelayeur(state, key)) {
                std::string number = state.bIsSelection
                                         ? selectionLicence(state, relayer->clubCode, relayer->licence)
                                         : relayer->licence;
                team.left(kRelFirstRelayer + found, number);
                ++found;
            }
        }
        if (found >= required) break;
    }
    relais.writeLine(team.text());
    EcrireRelaisIncomplet(state.trace(), found, required, column(cLibelle), column(cNumLic), column(cEquipe));
}

}  // namespace

bool bCreerRelais(CreationState& state) {
    Trace& trace = state.trace();
    try {
        trace.write("Traitement des engagements des relais.");
        trace.write("Création du fichier Relais.txt");
        std::string placeholder = referenceSwimmer(state.db());
        if (placeholder.empty()) {
            trace.error("Licence du nageur Null non trouvée" + std::string(CRLF) +
                        "Erreur dans la base, impossible de créer le fichier relais.txt");
            return false;
        }
        InterchangeWriter relais(state.outputPath(file_names::kEntryRelais), InterchangeWriter::Mode::Replace, &state.trace());
        InterchangeWriter engag(state.outputPath(file_names::kEntryEngag), InterchangeWriter::Mode::Append, &state.trace());
        trace.write("Récupération des engagements des relais");
        Columns teams = state.db().ChargerColonnes(
            Statement("SELECT Relais.Code_epreuve, Relais.Licence1, Relais.Licence2, Relais.Licence3, Relais.Licence4, "
            "Relais.Licence5, Relais.Licence6, Relais.Licence7, Relais.Licence8, Relais.Licence9, Relais.Licence10, "
            "Relais.Tps, Relais.Num_equipe, Nage.Sexe, Nage.Nb_nageurs, Nage.Libelle, Relais.Num_Lic "
            "FROM Nage Nage, Relais Relais "
            "WHERE Nage.Code_Nage = Relais.Code_epreuve "
            "AND Relais.Num_profil = ")
                .number(state.strNumProfil)
                .sql(" AND Relais.Num_compet = ")
                .number(state.strNumCompet)
                .sql(" ORDER BY Relais.Code_epreuve, Relais.Num_equipe, Relais.Num_Lic"));
        for (std::size_t row = 0; row < teams.rowCount(); ++row)
            writeTeam(state, teams, row, placeholder, relais, engag);
        relais.close();
        engag.close();
        EcrireFichierCree(trace, "Relais");
        EcrireFichierCree(trace, "Engag");
        return true;
    } catch (...) {
        Error error = caughtError();
        trace.error("Erreur lors de la création des engagements des relais." + std::string(CRLF) +
                    strTexteErreur(error));
        return false;
    }
}

}  // namespace couloir::vandrule
