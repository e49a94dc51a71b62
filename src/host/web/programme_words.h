// A competition's programme in words, as the federation names it: the
// ranking and its finals, the day of the competition with its date.
#pragma once

#include <string>
#include <string_view>

namespace couloir::host::web {

// "Classement au temps" for type 1; for a ranking with finals, the finals
// swum and how they are made up: "Classement par finales : finales A et B,
// toutes catégories".
std::string rankingWords(std::string_view type, std::string_view finals, std::string_view finalType);

// A race type of the results in words: "Séries", "Finales", "Demi-finales",
// "Quarts de finale", "Huitièmes de finale", "Barrages"; another as "Courses X".
std::string roundWords(std::string_view type);

// "1er jour : samedi 14 mars 2026" from the competition's first day
// (yyyymmdd) and the day's number; without the date when either is unreadable.
std::string dayWords(std::string_view start, std::string_view day);

}  // namespace couloir::host::web
