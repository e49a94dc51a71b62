// couloir init-db DB: a new club database, readable by its owner only.
#include <iostream>
#include <memory>

#include "club_database_script.h"
#include "commands.h"
#include "run_support.h"
#include "shared/database.h"
#include "shared/error.h"

namespace couloir::host {

void setupInitDb(CLI::App& app, int& status) {
    auto* command = app.add_subcommand("init-db", "Crée une base de club vide");
    auto path = std::make_shared<std::string>();
    command->add_option("DB", *path, "Base à créer : fichier SQLite neuf, ou URI postgresql:// d'une base PostgreSQL vide")->required();
    command->callback([path, &status] {
        try {
            createDatabase(*path, clubDatabaseScript());
            std::cout << "Base créée : " << displayName(*path) << "\n";
            status = kSuccess;
        } catch (const Error& e) {
            std::cerr << "couloir : " << e.description() << "\n";
            status = kFailure;
        }
    });
}

}  // namespace couloir::host
