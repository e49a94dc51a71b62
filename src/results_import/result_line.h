// One line of prres.txt: its 24 fixed-width fields, cut and normalised.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "results_import/points_client.h"

namespace couloir {
class Trace;
}

namespace couloir::ombrelay {

// Field numbers of a results line, 1-based as the layout numbers them.
enum ChampResultat : int {
    kChampEpreuve = 2,     // event code
    kChampTypeCourse = 3,  // race type, kept untrimmed
    kChampSerie = 4,       // heat, or category + final for a final "F"
    kChampCouloir = 5,
    kChampOrdre = 6,  // order in the lane
    kChampClub = 7,
    kChampLicence = 8,  // licence number, or relay licence code "R..."
    kChampTemps = 9,    // final time; split k is field 9 + k
    kChampPoints = 24,
};
inline constexpr int kNombreInters = 14;
inline constexpr int kNombreChamps = 24;

// The fields of one line, reused from line to line.
class ChampsResultat {
public:
    std::string& operator[](int champ) { return champs_[static_cast<std::size_t>(champ - 1)]; }
    const std::string& operator[](int champ) const { return champs_[static_cast<std::size_t>(champ - 1)]; }

private:
    std::array<std::string, kNombreChamps> champs_;
};

// Cuts the line into its fields, warns about an unknown race type, writes
// the times as decimal texts (a missing final time becoming 94) and asks the
// points component for the points the line does not give. An error is
// reported with the line number and the line keeps its fields as they stand;
// false then.
bool DecouperLigneResultat(Trace& trace, std::string_view ligne, ChampsResultat& champs, long numeroLigne,
                           const CalculPoint& calculPoint);

}  // namespace couloir::ombrelay
