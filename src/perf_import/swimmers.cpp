// The swimmers of liffn.txt lines: found in the call's lookup lists or the
// database, or created from the line; relayers found or replaced by the
// reference swimmer.
#include "perf_import/perf_file.h"
#include "shared/club_import.h"
#include "shared/error.h"
#include "shared/licence_import.h"
#include "shared/licence_record.h"

namespace couloir::tessimor {
namespace {

const std::string kNl(CRLF);

// The first value of the first row; no row is the "no current record" error.
const std::string& firstValue(const Columns& columns) {
    if (!columns.hasRows()) throw errors::noCurrentRecord();
    return columns.at(0, 0);
}

Statement selectLicence(std::string_view columns, const std::string& club, const std::string& licence) {
    return Statement("select ")
        .sql(columns)
        .sql(" from Licence where Code_Club = ")
        .text(club)
        .sql(" and Licence = ")
        .text(licence)
        .readsOnly("Licence");
}

}  // namespace

bool PerformanceFile::findSwimmer(const PerfFields& fields, int code, std::string& message) {
    const std::string& club = fields[kPerfClub];
    const std::string& licence = fields[kPerfLicence];
    std::string key = club + licence;
    key_.clear();  // no swimmer to use again until this one is found
    LookupList& nums = run_.lists.colLicencesNum;
    LookupList& births = run_.lists.colLicencesNaissance;
    if (bLireCollection(nums, key, swimmer_.num)) {
        bLireCollection(births, key, swimmer_.birthDate);
        swimmer_.birthYear = yearOf(swimmer_.birthDate);
        key_ = key;
        return true;
    }

    // Outside licence.txt the only birth date known is the year the licence number carries.
    swimmer_.birthDate = birthDateFromLicence(licence, {});
    swimmer_.birthYear = yearOf(swimmer_.birthDate);

    Columns stored = run_.db().ChargerColonnes(selectLicence("Num", club, licence));
    if (stored.hasRows()) {
        swimmer_.num = stored.at(0, 0);
    } else {
        run_.trace().error("Ligne n° : " + std::to_string(line_) + ". Nageur inconnu dans la base.", line_);
        swimmer_.num = strCreerNageurPerf(fields, code, swimmer_.birthDate, message);
        if (swimmer_.num.empty()) return false;
    }
    nums.add(key, swimmer_.num);
    births.add(key, swimmer_.birthDate);
    key_ = key;
    return true;
}

std::string PerformanceFile::strCreerNageurPerf(const PerfFields& fields, int code, const std::string& birthDate,
                                                std::string& message) {
    Database& db = run_.db();
    Trace& trace = run_.trace();
    const std::string& club = fields[kPerfClub];
    const std::string& licence = fields[kPerfLicence];
    const std::string& surname = fields[kPerfNom];
    const std::string& firstName = fields[kPerfPrenom];
    const std::string& dateLicence = fields[kPerfDateLicence];
    try {
        // The event decides the swimmer's sex.
        std::string sex =
            firstValue(db.ChargerColonnes(Statement("select Sexe from Nage where Code_Nage = ").number(code).readsOnly("Nage")));
        std::string num = std::to_string(db.appendRow("Licence", {{"Code_club", club},
                                                                  {"licence", licence},
                                                                  {"Nom", surname},
                                                                  {"Prenom", firstName},
                                                                  {"sexe", sex},
                                                                  {"Date_Naissance", birthDate},
                                                                  {"Nationalite", std::string("FRA")},
                                                                  {"Sportive", std::string("O")},
                                                                  {"Date_obliteration", dateLicence},
                                                                  {"Date_Depot", dateLicence},
                                                                  {"Type_licence", fields[kPerfTypeLicence]},
                                                                  {"Nature", std::string("N")}}));
        trace.write("Ajout du nageur avec les données suivantes :" + kNl + "Nom : " + surname +
                    ", Prénom : " + firstName + kNl + "Licence : " + licence + ", Date naissance : " + birthDate +
                    kNl + "Nationalité : FRA");

        if (bEstSelection(club) && db.lValeurScalaire(Statement("select count(*) from Selection where Code_Sel = ")
                                                          .text(club)
                                                          .sql(" and Num_Lic = ")
                                                          .number(num)
                                                          .readsOnly("Selection")) == 0) {
            std::string selectionMessage;
            if (!bInsererSelection(db, club, num, selectionMessage)) {
                message = "Erreur lors de l'ajout de la licence dans la sélection de code : " + club + "." + kNl +
                          selectionMessage;
                return {};
            }
            trace.write("Ajout du nageur dans la sélection de code : " + club);
        }
        return num;
    } catch (...) {
        Error e = caughtError();
        message = "Une erreur s'est produite lors de l'ajout de la licence." + kNl + strTexteErreur(e);
        return {};
    }
}

void PerformanceFile::ResoudreRelayeurs(PerfFields& fields) {
    const std::string& club = fields[kPerfClub];
    for (int i = 0; i < kRelayerSlots; ++i) {
        std::string& slot = fields[kPerfRelayeur1 + i];
        if (slot.empty()) {
            slot = reference_;
            continue;
        }
        std::string key = club + slot, num;
        if (!bLireCollection(run_.lists.colLicencesNum, key, num)) {
            Columns stored = run_.db().ChargerColonnes(selectLicence("Num, Date_Naissance", club, slot));
            if (stored.hasRows()) {
                num = stored.at(0, 0);
                run_.lists.colLicencesNum.add(key, num);
                run_.lists.colLicencesNaissance.add(key, stored.at(1, 0));
            } else {
                run_.trace().EcrireLigneErreur(line_,
                                               "Le relayeur de licence " + slot +
                                                   " est introuvable dans le club de code " + club + ".",
                                               "Warning");
                num = reference_;
            }
        }
        slot = num;
    }
}

}  // namespace couloir::tessimor
