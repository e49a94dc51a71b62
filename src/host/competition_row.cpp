#include "competition_row.h"

#include "shared/database.h"
#include "shared/error.h"
#include "shared/text_date.h"

namespace couloir::host {
CompetitionState competitionState(const std::string& database, const std::string& number) {
    if (!isRowNumber(number)) return CompetitionState::Unreadable;  // the library refuses it with its own message
    try {
        auto db = openDatabase(database, DatabaseOptions{.nullText = NullText::Empty});
        db->begin(Database::Lock::Read);
        if (db->lValeurScalaire(Statement("select count(*) from Rcomp where AutoNum = ").number(number)) == 0)
            return CompetitionState::Missing;
        for (const char* table : {"Prres", "Prres_relais", "Liffn", "Liffn_relais", "Pcomp", "Categori"}) {
            Statement query("select count(*) from (select 1 from ");
            query.name(table).sql(" where Num_compet = ").number(number).sql(" limit 1) found");
            if (db->lValeurScalaire(query) > 0) return CompetitionState::Imported;
        }
        return CompetitionState::Empty;
    } catch (...) {
        return CompetitionState::Unreadable;
    }
}

std::string competitionRowStatement(const std::string& number) {
    // The host's statements go to the library as text: only a row number may be written into one.
    if (!isRowNumber(number)) throw Error(errors::kTypeMismatch, "Numéro de compétition incorrect : " + number);
    return "INSERT INTO Rcomp (AutoNum) SELECT " + number + " WHERE NOT EXISTS (SELECT 1 FROM Rcomp WHERE AutoNum = " +
           number + ")";
}

}  // namespace couloir::host
