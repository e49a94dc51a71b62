#include "competition_row.h"

#include "shared/database.h"
#include "shared/error.h"

namespace couloir::host {

CompetitionRow prepareCompetitionRow(const std::string& database, const std::string& number, bool create) {
    if (number.empty() || number.size() > 10 || number.find_first_not_of("0123456789") != std::string::npos)
        return CompetitionRow::Unchecked;  // the library rejects it with its own message
    try {
        auto db = openDatabase(database, DatabaseOptions{NullText::Empty});
        if (db->lValeurScalaire("select count(*) from Rcomp where AutoNum = " + number) > 0)
            return CompetitionRow::Present;
        if (!create) return CompetitionRow::Missing;
        db->execute("INSERT INTO Rcomp (AutoNum) VALUES (" + number + ")");
        db->commit();
        return CompetitionRow::Created;
    } catch (const Error&) {
        return CompetitionRow::Unchecked;
    }
}

}  // namespace couloir::host
