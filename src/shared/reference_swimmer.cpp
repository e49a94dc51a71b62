#include "shared/reference_swimmer.h"

#include "shared/club_import.h"
#include "shared/text_date.h"

namespace couloir {

std::string referenceSwimmer(Database& db) {
    Columns reference = db.ChargerColonnes(Statement("select Num from Licence where Nom = ").text(kPlaceholderLabel));
    return reference.hasRows() ? reference.at(0, 0) : std::string();
}

std::string strNageurReference(Database& db) {
    std::string num = referenceSwimmer(db);
    if (!num.empty()) return num;
    Columns club =
        db.ChargerColonnes(Statement("select First(Code_federal) from Club where Nom = ").text(kPlaceholderLabel));
    std::string code = club.hasRows() ? club.at(0, 0) : std::string();
    return std::to_string(db.appendRow("Licence", {{"Code_club", code},
                                                   {"licence", std::string("1")},
                                                   {"Nom", std::string(kPlaceholderLabel)},
                                                   {"Visible", std::int64_t{0}},
                                                   {"Date_suppr", std::string()}}));
}

}  // namespace couloir
