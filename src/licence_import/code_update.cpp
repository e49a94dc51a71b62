#include "licence_import/code_update.h"

#include <algorithm>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <vector>

#include "shared/clock.h"
#include "shared/files.h"
#include "shared/platform.h"
#include "shared/text_date.h"

namespace couloir::korvenna {
namespace {

namespace fs = std::filesystem;

// A code file's record: region, department and club number (9 characters),
// licence number (6) and unique code (30), with its CR LF.
constexpr int kCodesRecordLength = 47;
constexpr std::size_t kClubWidth = 9, kLicenceWidth = 6, kCodeWidth = 30;

struct CodeUpdate {
    bool ownClubOnly;
    std::string ownClub;
};

// The inter-region of a region, as Region gives it; empty for an unknown region.
std::string strInterRegion(Database& db, const std::string& region) {
    Columns found = db.ChargerColonnes(Statement("SELECT CodeInter FROM Region WHERE Region.Code = ").text(region).sql(" "));
    return found.hasRows() ? found.at(0, 0) : std::string();
}

// One code file: the code of every stored swimmer it names (of the own club
// only, when asked) is replaced; unknown swimmers are counted. The updates
// are deferred: a server gets them in batches rather than one round trip
// per line, and what it answers is counted in the lines' order.
void MajCodesIUF(Session& session, const std::string& path, double increment, const CodeUpdate& update) {
    Trace& trace = session.trace;
    long lines = 0, updated = 0, unknown = 0;
    std::deque<long> unanswered;  // the lines whose update has not been answered yet
    Database& db = session.db();
    try {
        LineReader reader(path, &trace);
        std::string line, previousRegion, interRegion;
        while (reader.next(line, false)) {
            ++lines;
            if (!reader.isText()) {
                // The updates of the lines before go first: one of them may end the file.
                db.flushDeferred();
                trace.EcrireLigneErreur(lines, reader.refusal(), "Erreur");
                AvancerProgression(session.form, increment);
                continue;
            }
            std::string_view clubField = charSubstr(line, 0, kClubWidth);
            std::string_view licence = trim(charSubstr(line, kClubWidth, kLicenceWidth));
            std::string_view code = trim(charSubstr(line, kClubWidth + kLicenceWidth, kCodeWidth));

            // The files are sorted by club: the region changes seldom.
            std::string region(charSubstr(clubField, 0, 2));
            if (lines == 1 || region != previousRegion) {
                previousRegion = region;
                interRegion = strInterRegion(db, region);
            }
            std::string clubCode = "FRA" + interRegion + std::string(clubField);

            if (!update.ownClubOnly || clubCode == update.ownClub) {
                // Without an inter-region the code names no club: the swimmer is
                // unknown. A swimmer the update finds is known: one statement
                // answers what a count followed by the update would.
                if (interRegion.empty()) {
                    ++unknown;
                } else {
                    unanswered.push_back(lines);
                    db.executeDeferred(Statement::update("UPDATE", "Licence")
                                           .sql(" Set Code_unique = ")
                                           .text(code)
                                           .sql(" WHERE Code_Club = ")
                                           .text(clubCode)
                                           .sql(" and Licence = ")
                                           .text(licence),
                                       [&](std::int64_t changed) {
                                           unanswered.pop_front();
                                           ++(changed > 0 ? updated : unknown);
                                       });
                }
            }
            AvancerProgression(session.form, increment);
        }
        db.flushDeferred();
        EcrireEncodage(trace, path, reader.encodings());
    } catch (...) {
        Error e = caughtError();
        long at = lines;
        // The failure is an update's, at its line, or came after updates not
        // run yet: those ran before it, and one of them may fail first.
        if (!unanswered.empty()) {
            try {
                db.flushDeferred();
            } catch (...) {
                e = caughtError();
            }
            if (!unanswered.empty()) at = unanswered.front();
        }
        trace.setStepOutcome(StepOutcome::Failed);
        trace.EcrireErreur("Mise à jour des codes IUF interrompu.", at, &e);
        trace.writeEmpty();
        return;
    }
    trace.reportCount("lines", lines);
    trace.EcrirePluriel(updated, "updated", std::string(CRLF) + "Mise à jour de " + std::to_string(updated) +
                                     " licence<PLURIEL> sur " + std::to_string(lines) + ".");
    trace.EcrirePluriel(unknown, "unknown", std::to_string(unknown) + " licence<PLURIEL> inconnue<PLURIEL>.");
    trace.writeEmpty();
}

// The files of a folder, by name: the order in which a user sees them listed.
std::vector<std::string> filesOf(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(platform::pathOf(folder), ec), end; !ec && it != end; it.increment(ec))
        if (it->is_regular_file(ec)) names.push_back(platform::utf8Of(it->path().filename()));
    std::sort(names.begin(), names.end());
    return names;
}

// Record length of a file's first line; 0 when it cannot be read or is too
// long to be measured, which no code file is.
int recordLength(const std::string& path) {
    try {
        return iLongueurLigne(path);
    } catch (const Error&) {
        return 0;
    }
}

bool bEnchainerMajIUF(Session& session, const std::string& folder, const CodeUpdate& update) {
    Trace& trace = session.trace;
    // The bar of each file is measured against the lines of every code file met so far.
    std::int64_t cumulativeLines = 0;
    for (const std::string& name : filesOf(folder)) {
        std::string path = strCheminFichier(folder, name);
        int length = recordLength(path);
        session.form.setCaption("Lb_message", 2, "Fichier " + name);
        session.form.call("Refresh");
        trace.beginStep("Fichier " + name);
        trace.stepReads(path);
        if (length != kCodesRecordLength) {
            trace.setStepOutcome(StepOutcome::Skipped);
            trace.error("Longueur des lignes dans le fichier " + path + " insuffisante." + std::string(CRLF) +
                        "Traitement annulé pour ce fichier");
            continue;
        }
        cumulativeLines += lVerifierLongueur(trace, path, kCodesRecordLength);
        if (cumulativeLines == 0) {
            trace.setStepOutcome(StepOutcome::Skipped);
            trace.write("Aucune licence mise à jour.");
            continue;
        }
        session.form.setValue("ProgressBar1", 0);
        MajCodesIUF(session, path, 100.0 / static_cast<double>(cumulativeLines), update);
    }
    trace.writeClosingLine("Fin mise à jour : " + generalForm(now()));
    return true;
}

}  // namespace

bool bImport_CodeIUF(const CallFrame& call, bool ownClubOnly, const std::string& ownClub) {
    return runCall(call, [&](Session& session) {
        return bEnchainerMajIUF(session, call.sourceDir, CodeUpdate{ownClubOnly, ownClub});
    });
}

}  // namespace couloir::korvenna
