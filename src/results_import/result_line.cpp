#include "results_import/result_line.h"

#include "shared/error.h"
#include "shared/text_date.h"
#include "shared/trace.h"

namespace couloir::ombrelay {
namespace {

// Not read, event, race type, heat, lane, order, club, licence; the final
// time and the 14 splits; the points.
const std::vector<int> colLargeursResultats = {3, 2, 1, 2, 1, 1, 13, 6, 7, 7, 7, 7,
                                               7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 4};

// The shared cut; the race type keeps its blanks.
void cutLine(std::string_view line, ResultFields& fields) {
    std::vector<std::string> cut = cutFields(line, colLargeursResultats);
    for (int field = 1; field <= kFieldCount; ++field) fields[field] = std::move(cut[field - 1]);
    fields[kRaceTypeField].assign(rawField(line, colLargeursResultats, kRaceTypeField - 1));
}

bool isKnownRaceType(std::string_view type) {
    return type.size() == 1 && std::string_view("SF248BJ").find(type[0]) != std::string_view::npos;
}

// A time or split is blank or written in the results' notation: reading
// "1e10", "1,05" or "-1" as the number they begin with would store a time
// nobody swam.
void checkTimes(const ResultFields& fields) {
    for (int split = 0; split <= kSplitCount; ++split) {
        const std::string& text = fields[kTimeField + split];
        if (text.empty() || isResultsNotation(text)) continue;
        std::string field = split == 0 ? "temps final" : "temps intermédiaire n° " + std::to_string(split);
        throw Error(errors::kTypeMismatch, "Incompatibilité de type : " + field + " « " + text + " » illisible");
    }
}

}  // namespace

bool DecouperLigneResultat(Trace& trace, std::string_view line, ResultFields& fields, long lineNumber,
                           const PointsCalculator& objCalculPoint) {
    try {
        cutLine(line, fields);
        if (!isKnownRaceType(fields[kRaceTypeField]))
            trace.EcrireLigneErreur(lineNumber, "Type de course inconnu : " + fields[kRaceTypeField] + ".",
                                    "Warning");
        checkTimes(fields);
        if (numericValue(fields[kTimeField]) == 0) fields[kTimeField] = "94.0000";
        for (int field = kTimeField; field <= kTimeField + kSplitCount; ++field)
            fields[field] = shortestDecimal(numericValue(fields[field]));
        if (fields[kPointsField].empty())
            fields[kPointsField] =
                trim(objCalculPoint(numericValue(fields[kEventField]), numericValue(fields[kTimeField])));
        return true;
    } catch (...) {
        Error e = caughtError();
        trace.EcrireErreur("Une erreur s'est produite lors de l'extraction des données.", lineNumber, &e);
        return false;
    }
}

}  // namespace couloir::ombrelay
