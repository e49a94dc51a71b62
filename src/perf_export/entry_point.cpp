// The public method of the export library: clsExportPerf.bPlessaudormance.
// It opens the trace and the database and runs the export sequence.
#include "couloir/couloir.h"
#include "perf_export/steps.h"
#include "shared/c_arguments.h"
#include "shared/call_frame.h"
#include "shared/text_date.h"

namespace couloir::plessaud {
namespace {

struct Arguments {
    std::string database;
    ExportScope scope;
    std::string workingDir, tracePath;
    const couloir_form* form;
};

bool exportPerformances(const Arguments& args) {
    CallFrame call{.tracePath = args.tracePath,
                   .database = args.database,
                   .form = args.form,
                   .openingLine = "Début de l'export : ",
                   // The export only reads: it leaves the open/closed mark alone and reads
                   // one state of the database throughout.
                   .connection = ConnectionOptions{.nullText = NullText::Empty,
                                                   .writesLastClose = false,
                                                   .lock = Database::Lock::Read},
                   .outputFolder = outputFolderOf(args.workingDir),
                   .connectionFailure = "Erreur de connexion dans dll d'export." + std::string(CRLF) +
                                        "Fichier licence.txt non créé.",
                   .connectionFailureNamesError = false,
                   // Written in every outcome, once the files are delivered or not.
                   .closing = ClosingLine{.text = "Fin de l'export : ", .emptyLinesBefore = 1}};
    return runCall(call, [&](Session& session) {
        ExportRun run{session, args.scope, outputPaths(*session.output)};
        return runExportSequence(run);
    });
}

}  // namespace
}  // namespace couloir::plessaud

// Nothing may cross the C boundary: anything unforeseen is a false result.
extern "C" bool Plessaud_clsExportPerf_bPlessaudormance(const char* strFileBase_P, const char* strCodeClub,
                                                        bool bSelection, bool bAllClub_P, const char* strRepTravail,
                                                        const char* strFiletrace_P, const couloir_form* objFormCible) {
    using namespace couloir::plessaud;
    using couloir::text;
    try {
        return exportPerformances(Arguments{text(strFileBase_P),
                                            ExportScope{text(strCodeClub), bSelection, bAllClub_P},
                                            text(strRepTravail), text(strFiletrace_P), objFormCible});
    } catch (...) {
        return false;
    }
}
