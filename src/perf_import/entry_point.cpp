// The public method of the performance library: clsTessimor.bimport_perf.
// It opens the trace, checks the source, opens the database, copies the
// interchange files and runs the performance-import sequence.
#include "couloir/couloir.h"
#include "perf_import/sequence.h"
#include "shared/c_arguments.h"
#include "shared/files.h"
#include "shared/interchange_file_names.h"
#include "shared/call_frame.h"

namespace couloir::tessimor {
namespace {

FilePaths sourcePaths(const std::string& dir) {
    using namespace file_names;
    return {strCheminFichier(dir, kLicence), strCheminFichier(dir, kClub), strCheminFichier(dir, kOrigine),
            strCheminFichier(dir, kLiffn)};
}

// Checks the files and runs the sequence; false when liffn.txt is missing
// or the performances were discarded. The other files are optional: a
// missing one only skips its step.
bool importFiles(PerfRun& run, const std::string& temporaryDir) {
    Trace& trace = run.trace();
    if (!bFichierPresent(trace, run.files.liffn, temporaryDir)) return false;
    for (std::string* path : {&run.files.licence, &run.files.club, &run.files.origine})
        bFichierPresent(trace, *path, temporaryDir);
    return bEnchainerImportPerfs(run);
}

bool importPerformances(const CallFrame& call, const std::string& temporaryDir) {
    return runCall(call, [&](Session& session) {
        PerfRun run{session, sourcePaths(call.sourceDir)};
        ChargerNagesValides(run);
        return importFiles(run, temporaryDir);
    });
}

}  // namespace
}  // namespace couloir::tessimor

// Nothing may cross the C boundary: anything unforeseen is a false result.
extern "C" bool Tessimor_clsTessimor_bimport_perf(const char* strFileBase_P, const char* strRepSource,
                                                  const char* strRepTempo, const char* strFileTrace_P,
                                                  const couloir_form* objFormCible) {
    using couloir::text;
    try {
        couloir::CallFrame call{.tracePath = text(strFileTrace_P),
                                .database = text(strFileBase_P),
                                .form = objFormCible,
                                .sourceDir = text(strRepSource),
                                .connectionFailure = couloir::kLicenceConnectionFailure,
                                .closing = couloir::ClosingLine{"Fin importation : ", 2}};
        return couloir::tessimor::importPerformances(call, text(strRepTempo));
    } catch (...) {
        return false;
    }
}
