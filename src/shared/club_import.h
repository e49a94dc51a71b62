// Clubs: the check of a federal club code against the codification tables,
// finding or creating one club, and the import of club.txt that brings the
// Club table in line with the federation's list.
#pragma once

#include <string>
#include <string_view>

#include "shared/database.h"
#include "shared/lookup.h"
#include "shared/run_lists.h"
#include "shared/session.h"

namespace couloir {

// The label of a club whose real name is not known yet (never a database null).
inline constexpr std::string_view kPlaceholderLabel = "Null";

// A code whose club number is "0000" names a selection, not a club.
bool bEstSelection(std::string_view code);

// Checks the country, inter-region, region and department of a 13-character
// code against Pays, Inter_Region, Region and Departement. Writes nothing.
bool bCodeClubValide(Database& db, const std::string& code);

// Inserts a club (Selection set from its code); false when the database refuses it.
bool bInsererClub(Database& db, const std::string& code, const std::string& label);

// What iSauverClub did with a club.
struct ClubResult {
    enum : int {
        Failed = 0,       // not created: `message` says why
        Created = 1,      // created
        Completed = 2,    // known under the placeholder label, now under the given one
        Known = 3,        // known under the same label
        OtherLabel = 4,   // known under another label: `message` names it
        AlreadySeen = 5,  // already handled in this call (in colClubsVus)
    };
};

// Finds or creates one club; returns a ClubResult. Does not add the code to
// colClubsVus: its callers do.
int iSauverClub(Database& db, LookupList& colClubsVus, const std::string& code, const std::string& label,
                std::string& message);

// How the warning about a club created under the placeholder label ends.
enum class CreatedClubWarning { WithPeriod, WithoutPeriod };

// iSauverClub under the placeholder label, for the club that line
// `lineNumber` of a data file names. A created club is added to
// `clubsCreated` and reported by a "Warning" line entry "Code club (code)
// inconnu de la base. Création avec Le libelle Null", then the period unless
// WithoutPeriod. Every club found or created is added to colClubsVus, so that
// the next lines of the same club need no query. Returns iSauverClub's result.
int saveLineClub(Trace& trace, Database& db, LookupList& colClubsVus, const std::string& code, long lineNumber,
                 long& clubsCreated, std::string& message, CreatedClubWarning warning = CreatedClubWarning::WithPeriod);

// Where the three importing libraries differ in reading club.txt.
struct ClubImportPolicy {
    // The first line whose club cannot be saved ends the file (and the import).
    bool stopAtFirstError;
    // A line too short to hold a code and a label counts as an error.
    bool shortLineIsError;
    // A club known under another label is reported with its line number and
    // the file's label; otherwise with the message alone.
    bool otherLabelWithLine;
    // The last summary line counts duplicated codes rather than errors.
    bool summaryCountsDuplicates;
};

extern const ClubImportPolicy kClubsForResults;       // results import
extern const ClubImportPolicy kClubsForPerformances;  // performance import
extern const ClubImportPolicy kClubsForLicences;      // licence import

// Reads club.txt at `path` (DOS accents converted), saving each club and
// advancing the progress bar by `increment` per line, then writes the
// summary. Returns false when the file was abandoned: at its first failed
// line under a stopping policy, or on an unexpected error.
bool ImporterClubs(Session& session, RunLists& lists, const std::string& path, double increment,
                   const ClubImportPolicy& policy);

}  // namespace couloir
