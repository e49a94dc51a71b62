// couloir duplicates DB: the swimmers stored under two rows (or more) that are
// likely one person, each group with its evidence, how sure it is, and what
// each row holds, on the terminal in French and in the JSON report.
#include <iostream>
#include <memory>

#include "call_report.h"
#include "commands.h"
#include "duplicate_listing.h"
#include "run_support.h"
#include "shared/database.h"
#include "shared/error.h"

namespace couloir::host {

void setupDuplicates(CLI::App& app, int& status) {
    auto* command = app.add_subcommand("duplicates", "Cherche les nageurs enregistrés sous plusieurs lignes de Licence");
    struct Options {
        std::string database, report;
        bool quiet = false;
    };
    auto options = std::make_shared<Options>();
    command->add_option("DB", options->database, "Base de données du club : fichier SQLite ou URI postgresql://")->required();
    command->add_option("--report", options->report,
                        "Rapport JSON dans ce fichier (- : sur la sortie standard, rien d'autre n'y est alors écrit)")
        ->type_name("FICHIER");
    command->add_flag("--quiet", options->quiet, "N'affiche pas les groupes trouvés");
    command->callback([options, &status, name = command->get_name()] {
        CommonOptions common{.command = name, .report = options->report, .quiet = options->quiet};
        if (!outputsAreAllowed(common, options->database, {})) {
            status = kUsage;
            return;
        }
        CallReport report(name, rememberedArguments(), false);
        try {
            auto db = openDatabase(options->database, DatabaseOptions{.nullText = NullText::Empty});
            db->begin(Database::Lock::Read);
            DuplicateListing listing = listDuplicates(*db);
            db->rollback();
            if (!common.silent()) std::cout << duplicatesText(listing);
            status = kSuccess;
            if (!options->report.empty()) {
                auto document = report.finish(true, kSuccess);
                document["duplicates"] = duplicatesJson(listing);
                if (!writeReport(document, options->report)) status = kFailure;
            }
        } catch (...) {
            Error e = caughtError();
            std::cerr << "couloir : recherche des doublons impossible : " << e.description() << "\n";
            status = kFailure;
            if (!options->report.empty()) writeReport(report.finish(false, kFailure), options->report);
        }
    });
}

}  // namespace couloir::host
