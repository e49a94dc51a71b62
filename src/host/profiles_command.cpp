// couloir profiles DB: the profiles that make entries (the number create-files
// takes with --profile), with their club or selection.
#include <iostream>
#include <memory>

#include "commands.h"
#include "run_support.h"
#include "shared/database.h"
#include "shared/error.h"

namespace couloir::host {

void setupProfiles(CLI::App& app, int& status) {
    auto* command = app.add_subcommand("profiles", "Liste les profils qui engagent (numéro, club, intitulé)");
    auto path = std::make_shared<std::string>();
    command->add_option("DB", *path, "Base de données du club : fichier SQLite ou URI postgresql://")->required();
    command->callback([path, &status] {
        try {
            auto db = openDatabase(*path, DatabaseOptions{.nullText = NullText::Empty});
            db->begin(Database::Lock::Read);
            std::cout << "Profil | Club | Intitulé\n";
            db->forEachRow(Statement("SELECT Profil.Num, Profil.Code_club, Club.Intitule FROM Profil LEFT JOIN Club "
                                     "ON Club.Code_federal = Profil.Code_club ORDER BY Profil.Num"),
                           [](const Row& row) {
                               std::cout << row.text(0) << " | " << row.text(1) << " | " << row.text(2) << "\n";
                               return true;
                           });
            status = kSuccess;
        } catch (const Error& e) {
            std::cerr << "couloir : " << e.description() << "\n";
            status = kFailure;
        }
    });
}

}  // namespace couloir::host
