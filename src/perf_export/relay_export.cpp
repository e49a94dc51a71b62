// The relay performances: one liffn.txt line each, naming the team and its
// relayers; a relayer or club met for the first time also gets its
// licence.txt or club.txt line.
#include <unordered_set>

#include "perf_export/export_files.h"
#include "perf_export/export_queries.h"
#include "perf_export/field_formats.h"
#include "perf_export/steps.h"
#include "shared/reference_swimmer.h"
#include "shared/text_date.h"

namespace couloir::plessaud {
namespace {

struct Counts {
    std::int32_t performances = 0, clubs = 0;
};

// The licence numbers written in the relayer slots. A swimmer already
// written is known from the run's list; any other is read from the database
// once, and written with his club on the way.
class Relayers {
public:
    Relayers(ExportRun& run, ExportFiles& files, std::string referenceNum)
        : run_(run), files_(files), referenceNum_(std::move(referenceNum)) {}

    // The licence number written in relayer slot `slot` (0 to 9) of the
    // row. A lookup that fails is reported and leaves the slot blank.
    std::string licenceInSlot(const Row& row, int slot, const std::string& relayName) {
        try {
            return licenceOf(fieldText(row, kRelRelayeur1 + slot));
        } catch (...) {
            Error e = caughtError();
            run_.complete = false;
            run_.trace().error("Une erreur s'est produite lors de la recherche de la licence du relayeur n° " +
                               std::to_string(slot + 1) + std::string(CRLF) + "dans le relais : " + relayName +
                               std::string(CRLF) + "épreuve : " + run_.form().caption("lb_nageur", 0) +
                               std::string(CRLF) + std::to_string(e.number()) + " " + e.description());
            return {};
        }
    }

private:
    // The licence number of the swimmer whose Licence.Num the slot holds;
    // blank for an empty slot, the reference swimmer or an unknown swimmer.
    std::string licenceOf(const std::string& num) {
        if (num.empty() || num == referenceNum_ || unknown_.count(num)) return {};
        std::string identity;
        if (bLireCollection(run_.swimmersWritten, num, identity))
            return std::string(charSubstr(identity, kLicenceWidths[kLicClub], kLicenceWidths[kLicLicence]));
        if (isRowNumber(num)) {
            bool found = false;
            std::string licence;
            run_.db().forEachRow(relayerQuery(num), [&](const Row& row) {
                Swimmer swimmer = Swimmer::read(row, kRlyClub, kRlyLicence);
                files_.writeSwimmerOnce(num, swimmer);
                files_.writeClubOnce(swimmer[Swimmer::kClub], fieldText(row, kRlyIntitule));
                licence = swimmer[Swimmer::kLicence];
                found = true;
                return false;
            });
            if (found) return licence;
        }
        unknown_.insert(num);
        return {};
    }

    ExportRun& run_;
    ExportFiles& files_;
    std::string referenceNum_;
    std::unordered_set<std::string> unknown_;  // slots that name no swimmer, not looked up twice
};

// The fields of a relay line read from its row; the relayers come apart.
void setRelayPerformance(FixedRecord& line, const Row& row, const RelayTeam& team, const std::string& event) {
    std::string teamNumber = fieldText(row, kRelEquipe);
    std::string date = fieldText(row, kRelDatePerf);
    line.left(kPerfEpreuve, event)
        .left(kPerfClub, fieldText(row, kRelClub))
        .left(kPerfLicence, team.licence(teamNumber))
        .left(kPerfBassin, poolLength(fieldText(row, kRelBassin)))
        .left(kPerfDate, trim(strAaaammjjVersJjmmaaaa(date)))
        .left(kPerfTemps, fourDecimalTime(fieldText(row, kRelTemps)))
        .left(kPerfNom, team.name(teamNumber))
        .left(kPerfLieu, fieldText(row, kRelLieu))
        .left(kPerfNomClub, fieldText(row, kRelIntitule))
        .left(kPerfDateLicence, seasonStartOfSwim(date))
        .left(kPerfTypeLicence, "R")
        .left(kPerfCodifFede, fieldText(row, kRelCodifFede))
        .left(kPerfCodifInter, fieldText(row, kRelCodifInter))
        .left(kPerfCodifReg, fieldText(row, kRelCodifReg))
        .left(kPerfCodifDepart, fieldText(row, kRelCodifDepart));
}

void writeCounts(Trace& trace, const Counts& n) {
    trace.EcrirePluriel(n.performances, "performances", " performance<PLURIEL> par relais exportée<PLURIEL>.", Trace::Count::InFront);
    trace.EcrirePluriel(n.clubs, "clubs", " club<PLURIEL> traité<PLURIEL>.", Trace::Count::InFront);
}

}  // namespace

void exportRelayPerformances(ExportRun& run, std::int32_t relayCount) {
    Counts n;
    try {
        run.form().setCaption("Lb_message", 3, "Epreuve :");
        run.form().setCaption("Lb_message", 1, "Export des perfs relais");
        std::string reference = referenceSwimmer(run.db());
        if (reference.empty()) {
            run.trace().error("Impossible de trouver le nageur référence dans la base." + std::string(CRLF) +
                              "Export des performances en relais annulé." + std::string(CRLF));
            if (relayCount > 0) run.complete = false;
            return;
        }
        ExportFiles files(run, InterchangeWriter::Mode::Append);
        Relayers relayers(run, files, reference);
        FixedRecord line(kLiffnWidths);
        RelayTeam team("");
        std::string previousClub, previousEvent;
        run.db().forEachRow(relayRowsQuery(run.scope), [&](const Row& row) {
            ++n.performances;
            std::string club = fieldText(row, kRelClub);
            std::string clubName = fieldText(row, kRelIntitule);
            if (club != previousClub) {
                files.writeClubOnce(club, clubName);
                run.form().setCaption("lb_club", 0, clubName);
                ++n.clubs;
                previousClub = club;
            }
            std::string event = zeroPadded(fieldText(row, kRelEpreuve), 2);
            if (event != previousEvent) {
                team = RelayTeam(fieldText(row, kRelSexe));
                run.form().setCaption("lb_nageur", 0, fieldText(row, kRelLibelle));
                run.form().call("Refresh");
                previousEvent = event;
            }
            setRelayPerformance(line, row, team, event);
            std::string relayName = team.name(fieldText(row, kRelEquipe));
            for (int slot = 0; slot < kRelayerSlots; ++slot)
                line.left(kPerfRelayeur1 + slot, relayers.licenceInSlot(row, slot, relayName));
            files.writePerformance(line);
            AvancerProgression(run.form(), run.increment);
            return true;
        });
        files.close();
        writeCounts(run.trace(), n);
    } catch (...) {
        Error e = caughtError();
        run.complete = false;
        run.trace().error("Une erreur s'est produite lors de l'export des performances des relais." +
                          std::string(CRLF) + std::to_string(e.number()) + " " + e.description() + std::string(CRLF));
        writeCounts(run.trace(), n);
    }
}

}  // namespace couloir::plessaud
