// couloir copy-db FROM TO: a club database copied to the other engine (or
// the same), into a new database made by init-db.
#include <iostream>
#include <memory>

#include "club_database_script.h"
#include "commands.h"
#include "database_copy.h"
#include "run_support.h"
#include "shared/database.h"
#include "shared/error.h"

namespace couloir::host {

void setupCopyDb(CLI::App& app, int& status) {
    auto* command = app.add_subcommand("copy-db", "Copie une base de club entière dans une autre (SQLite ou PostgreSQL)");
    auto from = std::make_shared<std::string>();
    auto to = std::make_shared<std::string>();
    command->add_option("FROM", *from, "Base copiée (fichier SQLite ou URI postgresql://)")->required();
    command->add_option("TO", *to, "Base neuve qui reçoit la copie (créée par init-db)")->required();
    command->callback([from, to, &status] {
        if (*from == *to) {
            std::cerr << "couloir : la base copiée et la base qui reçoit la copie sont la même\n";
            status = kUsage;
            return;
        }
        auto lines = [](std::size_t rows) { return std::to_string(rows) + (rows > 1 ? " lignes" : " ligne"); };
        try {
            CopySummary summary = copyDatabase(*from, *to, clubDatabaseScript(), [&](const std::string& table, std::size_t rows) {
                std::cout << table << " : " << lines(rows) << "\n";
            });
            std::cout << "Copie terminée : " << lines(summary.rows) << " dans " << summary.tables << " tables.\n";
            status = kSuccess;
        } catch (...) {
            Error e = caughtError();
            std::cerr << "couloir : copie impossible, " << displayName(*to) << " est restée comme avant : " << e.description() << "\n";
            status = kFailure;
        }
    });
}

}  // namespace couloir::host
