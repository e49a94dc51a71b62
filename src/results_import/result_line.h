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
enum ResultField : int {
    kEventField = 2,     // event code
    kRaceTypeField = 3,  // race type, kept untrimmed
    kHeatField = 4,      // heat, or category + final for a final "F"
    kLaneField = 5,
    kOrderField = 6,  // order in the lane
    kClubField = 7,
    kLicenceField = 8,  // licence number, or relay licence code "R..."
    kTimeField = 9,     // final time; split k is field 9 + k
    kPointsField = 24,
};
inline constexpr int kSplitCount = 14;
inline constexpr int kFieldCount = 24;

// The fields of one line, reused from line to line.
class ResultFields {
public:
    std::string& operator[](int field) { return fields_[static_cast<std::size_t>(field - 1)]; }
    const std::string& operator[](int field) const { return fields_[static_cast<std::size_t>(field - 1)]; }

private:
    std::array<std::string, kFieldCount> fields_;
};

// Cuts the line into its fields, warns about an unknown race type, writes
// the times as decimal texts (a missing final time becoming 94) and asks the
// points component for the points the line does not give. An error is
// reported with the line number and the line keeps its fields as they stand;
// false then.
bool DecouperLigneResultat(Trace& trace, std::string_view line, ResultFields& fields, long lineNumber,
                           const PointsCalculator& objCalculPoint);

}  // namespace couloir::ombrelay
