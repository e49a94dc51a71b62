// Each file step's handling of its lines, on a club database kept open: the
// first byte of an input chooses the file, the rest is its content. The steps
// a file needs first (the header before the programme, the swimmers before
// the results) run on the sample meet. Each input's writes are rolled back.
#include <cstdint>
#include <optional>
#include <string>

#include "fuzz_support.h"
#include "perf_import/perf_file.h"
#include "perf_import/sequence.h"
#include "results_import/import_context.h"
#include "results_import/steps.h"
#include "shared/club_import.h"
#include "shared/connection.h"
#include "shared/licence_import.h"
#include "shared/progress.h"
#include "shared/trace.h"

using namespace couloir;

namespace {

constexpr double kIncrement = 1.0;
const std::string kSample = COULOIR_SOURCE_DIR "/samples/competition/";

enum class File { Club, Licence, Rcomp, Pcomp, Categori, Relais, Prres, Engag, Liffn, Count };

Connection& connection() {
    static Connection* opened = [] {
        // The results step computes points with the points component.
        setenv("COULOIR_COMPONENTS", COULOIR_BUILD_DIR "/lib", 0);
        auto* c = new Connection(ConnectionOptions{NullText::Empty});
        std::string error;
        if (!c->bConnexion(fuzz::createScratchDatabase("steps.db"), error)) std::abort();
        c->db().execute(Statement::insert("INSERT INTO", "Rcomp").sql(" (AutoNum, Nom) VALUES (7, 'Fuzz')"));
        return c;
    }();
    return *opened;
}

// The results steps up to (not including) `file`, on the sample meet.
void prepareResults(ombrelay::ImportContext& context, File file) {
    context.files = {kSample + "licence.txt", kSample + "club.txt",   kSample + "origine.txt",
                     kSample + "rcomp.txt",   kSample + "pcomp.txt",  kSample + "categori.txt",
                     kSample + "relais.txt",  kSample + "prres.txt",  kSample + "engag.txt"};
    if (file == File::Rcomp) return;
    ombrelay::importHeaderFile(context);
    if (file == File::Pcomp || file == File::Categori) return;
    ImporterClubs(context.session, context.lists, context.files.club, kIncrement, kClubsForResults);
    ImporterLicences(context.session, context.lists, context.files.licence, kIncrement, kLicencesForResults,
                     context.startDate);
    if (file == File::Relais) return;
    ombrelay::ImporterRelais(context, kIncrement);
    ombrelay::importProgrammeFile(context, kIncrement);
    if (file == File::Prres) return;
    ombrelay::ImporterResultats(context, kIncrement);
}

void runResultsStep(Session& session, File file, const std::string& path) {
    ombrelay::ImportContext context(session);
    context.competition = "7";
    prepareResults(context, file);
    switch (file) {
        case File::Rcomp: context.files.rcomp = path; ombrelay::importHeaderFile(context); break;
        case File::Pcomp: context.files.pcomp = path; ombrelay::importProgrammeFile(context, kIncrement); break;
        case File::Categori: context.files.categori = path; ombrelay::importCategoriesFile(context, kIncrement); break;
        case File::Relais: context.files.relais = path; ombrelay::ImporterRelais(context, kIncrement); break;
        case File::Prres: context.files.prres = path; ombrelay::ImporterResultats(context, kIncrement); break;
        case File::Engag: context.files.engag = path; ombrelay::MajEquipes(context, kIncrement); break;
        default: break;
    }
}


void runStep(Session& session, RunLists& lists, File file, const std::string& path) {
    switch (file) {
        case File::Club: ImporterClubs(session, lists, path, kIncrement, kClubsForLicences); break;
        case File::Licence:
            ImporterLicences(session, lists, path, kIncrement, kLicencesForLicences, std::nullopt);
            break;
        case File::Liffn: {
            tessimor::PerfRun run(session, {kSample + "licence.txt", kSample + "club.txt", "", path});
            tessimor::ChargerNagesValides(run);
            ImporterClubs(session, run.lists, run.files.club, kIncrement, kClubsForPerformances);
            ImporterLicences(session, run.lists, run.files.licence, kIncrement, kLicencesForPerformances,
                             std::nullopt);
            tessimor::bImporterPerfs(run, kIncrement);
            break;
        }
        default: runResultsStep(session, file, path); break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    auto file = static_cast<File>(data[0] % static_cast<int>(File::Count));
    std::string path = fuzz::writeScratchFile("input.txt", fuzz::bytesOf(data + 1, size - 1));

    Connection& c = connection();
    Trace trace(fuzz::scratchFolder() + "/trace.txt");
    Form form(nullptr);
    Session session{trace, form, c};
    RunLists lists;
    // A step may let an error go to the sequence, which cancels the import.
    try {
        runStep(session, lists, file, path);
    } catch (...) {
    }
    c.discardCall();
    return 0;
}
