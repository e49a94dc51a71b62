// The individual performances: one liffn.txt line each, and the first time a
// swimmer or a club appears, its licence.txt or club.txt line.
#include "perf_export/export_files.h"
#include "perf_export/export_queries.h"
#include "perf_export/steps.h"
#include "shared/text_date.h"

namespace couloir::plessaud {
namespace {

struct Counts {
    std::int32_t performances = 0, swimmers = 0, clubs = 0;
};

// The fields of a performance line that come from its swimmer and club.
void setSwimmer(FixedRecord& line, const Swimmer& swimmer, const std::string& clubName) {
    line.left(kPerfClub, swimmer[Swimmer::kClub])
        .left(kPerfLicence, swimmer[Swimmer::kLicence])
        .left(kPerfNom, swimmer[Swimmer::kNom])
        .left(kPerfPrenom, swimmer[Swimmer::kPrenom])
        .left(kPerfNomClub, clubName)
        .left(kPerfDateLicence, trim(strAaaammjjVersJjmmaaaa(swimmer[Swimmer::kObliteration])))
        .left(kPerfTypeLicence, swimmer[Swimmer::kTypeLicence]);
}

// The fields of a performance line that come from the performance itself.
void setPerformance(FixedRecord& line, const IndividualPerformances::Values& values) {
    using P = IndividualPerformances;
    line.left(kPerfEpreuve, values[P::kEpreuve])
        .left(kPerfBassin, values[P::kBassin])
        .left(kPerfDate, values[P::kDate])
        .left(kPerfTemps, values[P::kTemps])
        .left(kPerfLieu, values[P::kLieu])
        .left(kPerfCodifFede, values[P::kCodifFede])
        .left(kPerfCodifInter, values[P::kCodifInter])
        .left(kPerfCodifReg, values[P::kCodifReg])
        .left(kPerfCodifDepart, values[P::kCodifDepart])
        .left(kPerfPassageRelais, values[P::kPassageRelais]);
}

void writeCounts(Trace& trace, const Counts& n) {
    trace.EcrirePluriel(n.performances, "performances", " performance<PLURIEL> individuelle<PLURIEL> exportée<PLURIEL>.",
                        Trace::Count::InFront);
    trace.EcrirePluriel(n.swimmers, "swimmers", " nageur<PLURIEL> traité<PLURIEL>.", Trace::Count::InFront);
    trace.EcrirePluriel(n.clubs, "clubs", " club<PLURIEL> traité<PLURIEL>.", Trace::Count::InFront);
}

}  // namespace

void exportIndividualPerformances(ExportRun& run, const IndividualPerformances& performances) {
    Counts n;
    try {
        run.form().setCaption("Lb_message", 1, "Export des perfs individuelles");
        ExportFiles files(run, InterchangeWriter::Mode::Replace);
        FixedRecord line(kLiffnWidths);
        // The club code and licence number of the last swimmer written: his
        // performances follow one another.
        std::string previousClub, previousLicence;
        run.db().forEachRow(swimmersQuery(run.scope), [&](const Row& row) {
            std::int64_t num = 0;
            if (!readNum(row.text(kSwmNum), num) || !performances.has(num)) return true;
            Swimmer swimmer = Swimmer::read(row, kSwmClub, kSwmLicence);
            const std::string& club = swimmer[Swimmer::kClub];
            const std::string& licence = swimmer[Swimmer::kLicence];
            std::string clubName = fieldText(row, kSwmIntitule);
            if (club != previousClub || licence != previousLicence) {
                if (club != previousClub) {
                    files.writeClubOnce(club, clubName);
                    run.form().setCaption("lb_club", 0, clubName);
                    ++n.clubs;
                }
                if (files.writeSwimmerOnce(std::to_string(num), swimmer)) {
                    run.form().setCaption("lb_nageur", 0, swimmer[Swimmer::kNom] + " " + swimmer[Swimmer::kPrenom]);
                    run.form().call("Refresh");
                    ++n.swimmers;
                }
                previousClub = club;
                previousLicence = licence;
            }
            setSwimmer(line, swimmer, clubName);
            performances.forEachOf(num, [&](const IndividualPerformances::Values& values) {
                ++n.performances;
                setPerformance(line, values);
                files.writePerformance(line);
                AvancerProgression(run.form(), run.increment);
            });
            return true;
        });
        files.close();
        writeCounts(run.trace(), n);
    } catch (...) {
        Error e = caughtError();
        run.complete = false;
        run.trace().EcrireErreur(
            "Une erreur s'est produite lors de l'export des performances individuelles." + std::string(CRLF), 0, &e);
        writeCounts(run.trace(), n);
    }
}

}  // namespace couloir::plessaud
