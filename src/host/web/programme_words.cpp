#include "programme_words.h"

#include <array>
#include <chrono>

#include "shared/text_date.h"

namespace couloir::host::web {

std::string rankingWords(std::string_view type, std::string_view finals, std::string_view finalType) {
    std::string_view kind = trim(type);
    if (kind.empty() || kind == "1") return "Classement au temps";
    std::string words = "Classement par finales";
    std::string_view count = trim(finals);
    if (count == "1") words += " : finale A";
    else if (count == "2") words += " : finales A et B";
    else if (count == "3") words += " : finales A, B et C";
    std::string_view makeUp = trim(finalType);
    if (makeUp == "T") words += count.empty() ? " toutes catégories" : ", toutes catégories";
    else if (makeUp == "C") words += count.empty() ? " par catégorie" : ", par catégorie";
    return words;
}

std::string roundWords(std::string_view type) {
    std::string_view round = trim(type);
    if (round == "S") return "Séries";
    if (round == "F") return "Finales";
    if (round == "2") return "Demi-finales";
    if (round == "4") return "Quarts de finale";
    if (round == "8") return "Huitièmes de finale";
    if (round == "B") return "Barrages";
    return round.empty() ? "Courses" : "Courses " + std::string(round);
}

std::string dayWords(std::string_view start, std::string_view day) {
    std::string_view number = trim(day);
    if (number.empty() || number.size() > 3 || !isRowNumber(number)) return std::string(day);
    int n = std::stoi(std::string(number));
    std::string words = std::to_string(n) + (n == 1 ? "er jour" : "e jour");
    if (start.size() != 8 || !isRowNumber(start) || n < 1) return words;
    using namespace std::chrono;
    year_month_day first{year(std::stoi(std::string(start.substr(0, 4)))),
                         month(static_cast<unsigned>(std::stoi(std::string(start.substr(4, 2))))),
                         std::chrono::day(static_cast<unsigned>(std::stoi(std::string(start.substr(6, 2)))))};
    if (!first.ok()) return words;
    sys_days date = sys_days(first) + days(n - 1);
    year_month_day ymd(date);
    static constexpr std::array<const char*, 7> kWeekdays = {"dimanche", "lundi", "mardi", "mercredi",
                                                              "jeudi",    "vendredi", "samedi"};
    static constexpr std::array<const char*, 12> kMonths = {"janvier", "février", "mars",      "avril",
                                                             "mai",     "juin",    "juillet",   "août",
                                                             "septembre", "octobre", "novembre", "décembre"};
    unsigned dayOfMonth = static_cast<unsigned>(ymd.day());
    return words + " : " + kWeekdays[weekday(date).c_encoding()] + " " + (dayOfMonth == 1 ? "1er" : std::to_string(dayOfMonth)) +
           " " + kMonths[static_cast<unsigned>(ymd.month()) - 1] + " " + std::to_string(static_cast<int>(ymd.year()));
}

}  // namespace couloir::host::web
