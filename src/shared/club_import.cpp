#include "shared/club_import.h"

#include <vector>

#include "shared/error.h"
#include "shared/files.h"
#include "shared/record_layouts.h"
#include "shared/text_date.h"

namespace couloir {

const ClubImportPolicy kClubsForResults{.stopAtFirstError = true,
                                        .shortLineIsError = false,
                                        .otherLabelWithLine = true,
                                        .summaryCountsDuplicates = true};
const ClubImportPolicy kClubsForPerformances{.stopAtFirstError = false,
                                             .shortLineIsError = true,
                                             .otherLabelWithLine = false,
                                             .summaryCountsDuplicates = false};
const ClubImportPolicy kClubsForLicences{.stopAtFirstError = false,
                                         .shortLineIsError = true,
                                         .otherLabelWithLine = true,
                                         .summaryCountsDuplicates = false};

bool bEstSelection(std::string_view code) { return code.size() >= 4 && code.substr(code.size() - 4) == "0000"; }

bool bCodeClubValide(Database& db, const std::string& code) {
    if (charCount(code) != 13) return false;
    std::string country(charSubstr(code, 0, 3)), interRegion(charSubstr(code, 3, 1));
    std::string region(charSubstr(code, 4, 2)), department(charSubstr(code, 6, 3));

    if (db.lValeurScalaire(Statement("select count(*) from Pays where code = ").text(country).readsOnly("Pays")) == 0) return false;
    // The inter-region is compared as a number: anything but a digit is no inter-region.
    if (interRegion.size() != 1 || interRegion[0] < '0' || interRegion[0] > '9') return false;
    if (db.lValeurScalaire(Statement("select count(*) from Inter_Region where code = ").number(interRegion).readsOnly("Inter_Region")) == 0) return false;

    if (country != "FRA") return interRegion == "0";
    if (interRegion == "0") return region == "00" && department == "000";
    if (region == "00") return department == "000";

    if (db.lValeurScalaire(Statement("SELECT count(*) FROM Inter_Region Inter_Region, Region Region "
                                     "WHERE Inter_Region.Code = Region.CodeInter AND Region.Code = ")
                               .text(region)
                               .sql(" AND Inter_Region.Code = ")
                               .number(interRegion)
                               .readsOnly("Inter_Region")
                               .readsOnly("Region")) == 0)
        return false;
    if (department == "000") return true;
    return db.lValeurScalaire(Statement("SELECT count(*) FROM Region Region, Departement Departement "
                                        "WHERE Region.Code = Departement.Region AND Departement.Code = ")
                                  .text(department)
                                  .sql(" AND region.code = ")
                                  .text(region)
                                  .readsOnly("Region")
                                  .readsOnly("Departement")) != 0;
}

bool bInsererClub(Database& db, const std::string& code, const std::string& label) {
    try {
        db.execute(Statement::insert("INSERT INTO", "Club")
                       .sql(" (Code_federal, Intitule, Selection) VALUES (")
                       .text(code)
                       .sql(", ")
                       .text(label)
                       .sql(", ")
                       .boolean(bEstSelection(code))
                       .sql(");")
                       .readsOnly("Club"));
        return true;
    } catch (const Error&) {
        return false;
    }
}

int iSauverClub(Database& db, LookupList& colClubsVus, const std::string& code, const std::string& label,
                std::string& message) {
    message.clear();
    if (colClubsVus.contains(code)) return ClubResult::AlreadySeen;

    Columns club = db.ChargerColonnes(Statement("select Num, Intitule from Club where Code_federal = ").text(code).readsOnly("Club"));
    if (!club.hasRows()) {
        if (!bCodeClubValide(db, code)) {
            message = "Le code club est erronné : " + code;
            return ClubResult::Failed;
        }
        if (!bInsererClub(db, code, label)) {
            message = "Erreur lors de la sauvegarde du club avec le code " + code + ".";
            return ClubResult::Failed;
        }
        return ClubResult::Created;
    }

    const std::string& num = club.at(0, 0);
    const std::string& storedLabel = club.at(1, 0);
    if (storedLabel == kPlaceholderLabel && label != kPlaceholderLabel) {
        db.execute(
            Statement::update("Update", "Club").sql(" set Intitule = ").text(label).sql(" where Num = ").number(num).readsOnly("Club"));
        return ClubResult::Completed;
    }
    if (storedLabel != label) {
        message = "Le code club " + code + " est déjà utilisé pour le club : " + storedLabel;
        return ClubResult::OtherLabel;
    }
    return ClubResult::Known;
}

int saveLineClub(Trace& trace, Database& db, LookupList& colClubsVus, const std::string& code, long lineNumber,
                 long& clubsCreated, std::string& message, CreatedClubWarning warning) {
    const std::string label(kPlaceholderLabel);
    int result = iSauverClub(db, colClubsVus, code, label, message);
    if (result == ClubResult::Created) {
        ++clubsCreated;
        trace.EcrireLigneErreur(lineNumber,
                                "Code club (" + code + ") inconnu de la base. Création avec Le libelle " + label +
                                    (warning == CreatedClubWarning::WithPeriod ? "." : ""),
                                "Warning");
    }
    if (result >= ClubResult::Created && result <= ClubResult::OtherLabel) colClubsVus.add(code, code);
    return result;
}

namespace {

// The shortest line holding a code and one character of label.
constexpr std::size_t kMinimumLineLength = 14;

struct ClubCounts {
    long lines = 0, created = 0, completed = 0, known = 0, otherLabel = 0, errorsOrDuplicates = 0;
};

void writeSummary(Trace& trace, const ClubCounts& n, const ClubImportPolicy& policy) {
    trace.reportCount("lines", n.lines);
    trace.EcrirePluriel(n.created, "created", std::string(CRLF) + "Récupération de " + std::to_string(n.created) +
                                       " club<PLURIEL> sur " + std::to_string(n.lines) + ".");
    trace.EcrirePluriel(n.known, "known", std::to_string(n.known) + " club<PLURIEL> déjà connu<PLURIEL>.");
    trace.EcrirePluriel(n.otherLabel, "known_under_other_label",
                        std::to_string(n.otherLabel) + " club<PLURIEL> déjà connu<PLURIEL> sous un autre libellé.");
    trace.EcrirePluriel(n.completed, "updated", std::to_string(n.completed) + " club<PLURIEL> mis à jour.");
    std::string last = std::to_string(n.errorsOrDuplicates) +
                       (policy.summaryCountsDuplicates ? " club<PLURIEL> en double dans le fichier club.txt."
                                                       : " club<PLURIEL> en erreur.");
    trace.EcrirePluriel(n.errorsOrDuplicates, policy.summaryCountsDuplicates ? "duplicates" : "errors", last);
    trace.writeEmpty();
}

}  // namespace

bool ImporterClubs(Session& session, RunLists& lists, const std::string& path, double increment,
                   const ClubImportPolicy& policy) {
    Trace& trace = session.trace;
    ClubCounts n;
    try {
        Database& db = session.db();
        LineReader reader(path, &trace);
        std::string line, message;
        while (reader.next(line, true)) {
            ++n.lines;
            // A line that cannot hold a club, too short or unreadable, is reported and passed over.
            if (!reader.isText() || charCount(line) < kMinimumLineLength) {
                trace.EcrireLigneErreur(n.lines,
                                        reader.isText() ? "La longueur de la ligne ne permet de contenir le code et le libellé du club"
                                                        : reader.refusal(),
                                        "Erreur");
                if (policy.shortLineIsError) ++n.errorsOrDuplicates;
                AvancerProgression(session.form, increment);
                continue;
            }
            std::vector<std::string> fields = cutFields(line, kClubWidths);
            const std::string& code = fields[0];
            std::string label = fields[1].empty() ? std::string(kPlaceholderLabel) : fields[1];

            int result = iSauverClub(db, lists.colClubsVus, code, label, message);
            switch (result) {
                case ClubResult::Failed:
                    trace.EcrireLigneErreur(n.lines, message, "Erreur");
                    if (policy.stopAtFirstError) {
                        trace.writeEmpty();
                        return false;
                    }
                    ++n.errorsOrDuplicates;
                    break;
                case ClubResult::Created: ++n.created; break;
                case ClubResult::Completed: ++n.completed; break;
                case ClubResult::Known: ++n.known; break;
                case ClubResult::OtherLabel:
                    ++n.otherLabel;
                    if (policy.otherLabelWithLine)
                        trace.warning("Ligne n° : " + std::to_string(n.lines) + " " + message + std::string(CRLF) +
                                          "Nom dans le fichier : " + label,
                                      n.lines);
                    else
                        trace.warning(message, n.lines);
                    break;
                case ClubResult::AlreadySeen:
                    if (policy.summaryCountsDuplicates) ++n.errorsOrDuplicates;
                    break;
            }
            if (result >= ClubResult::Created && result <= ClubResult::OtherLabel) lists.colClubsVus.add(code, code);
            AvancerProgression(session.form, increment);
        }
    } catch (...) {
        Error e = caughtError();
        trace.EcrireLigneErreur(n.lines, "Import des clubs interrompu." + std::string(CRLF) + strTexteErreur(e),
                                "Erreur");
        trace.writeEmpty();
        return false;
    }

    writeSummary(trace, n, policy);
    return true;
}

}  // namespace couloir
