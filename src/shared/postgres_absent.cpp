// The PostgreSQL engine where no PostgreSQL client is built in (Windows):
// a server URI is refused with a message the user can act on.
#include "shared/database_engines.h"
#include "shared/error.h"

namespace couloir {
namespace {

Error noServerEngine() {
    return {errors::kCannotConnect,
            "Cette version de Couloir ne se connecte pas à PostgreSQL : la base de données doit être un fichier "
            "SQLite (.db)."};
}

}  // namespace

std::unique_ptr<Database> openPostgresDatabase(const std::string&, const DatabaseOptions&) { throw noServerEngine(); }

void createPostgresDatabase(const std::string&, std::string_view) { throw noServerEngine(); }

}  // namespace couloir
