// The import of licence.txt: every swimmer it names is found or created in
// Licence (with his club, and his selection membership), and remembered in
// the call's lookup lists for the later steps of the same call.
#pragma once

#include <optional>
#include <string>

#include "shared/database.h"
#include "shared/run_lists.h"
#include "shared/session.h"
#include "shared/text_date.h"

namespace couloir {

// What the lookup lists keep of each swimmer handled.
enum class SwimmerMemory {
    AgeAtCompetition,  // Num in colLicencesNum, sporting age in colLicencesAge
    BirthDate,         // Num in colLicencesNum, date of birth in colLicencesNaissance
    KeyOnly,           // the key alone, in colLicencesVues
};

// How a stored swimmer whose name differs from the file's is reported.
enum class ReuseReport {
    NumberedLine,  // "Ligne n° N, licence (...) déjà utilisée." as a plain trace line
    WarningEntry,  // a "Warning" line entry "Licence (...) déjà utilisée."
};

// Where the three importing libraries differ in reading licence.txt.
struct LicenceImportPolicy {
    // The first line in error ends the file (and the import).
    bool stopAtFirstError;
    SwimmerMemory memory;
    ReuseReport reuseReport;

    // The stored date of birth is read only when something is derived from it.
    bool readsBirthDate() const { return memory != SwimmerMemory::KeyOnly; }
};

extern const LicenceImportPolicy kLicencesForResults;       // results import
extern const LicenceImportPolicy kLicencesForPerformances;  // performance import
extern const LicenceImportPolicy kLicencesForLicences;      // licence import

// Reads licence.txt at `path` (DOS accents converted), advancing the progress
// bar by `increment` per line, then writes the summary. `competitionStart`
// is the competition's start date, from which ages are computed; it is
// needed by the policies that keep ages and ignored by the others. Returns
// false when the file was abandoned: at its first line in error under a
// stopping policy, or on an unexpected error.
bool ImporterLicences(Session& session, RunLists& lists, const std::string& path, double increment,
                      const LicenceImportPolicy& policy, std::optional<Date> competitionStart);

// Adds swimmer `num` to the selection `code`; on a database error, false
// with `message` set to the error's text.
bool bInsererSelection(Database& db, const std::string& code, const std::string& num, std::string& message);

}  // namespace couloir
