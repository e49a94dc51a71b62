// The result row of one prres.txt line: the swimmer or relay team it names,
// resolved through the run's lookup lists, and its row in Prres or
// Prres_relais.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "results_import/import_context.h"
#include "results_import/result_line.h"

namespace couloir::ombrelay {

inline constexpr int kRelayerCount = 10;
using Relayers = std::array<std::string, kRelayerCount>;

// What a line resolves to; the performance history writes the same values.
struct ResolvedLine {
    bool relay = false;            // the licence column begins with "R"
    std::string resultTable;       // "Prres", or "Prres_relais"
    std::string performanceTable;  // "Liffn", or "Liffn_relais"
    std::string age;               // the swimmer's age (individual line)
    Relayers relayers;             // relayers' Num, the reference swimmer in empty slots
    std::string firstRelayer;      // Num of the first relayer, empty when unknown
    std::string firstRelayerAge;
    std::string firstRelayerClub;
    std::string firstRelayerSex;
};

// Resolves the line's swimmer (field 8 becomes his Num, `age` his age) or,
// for a relay, its relayers and first relayer (field 8 becomes the team
// number). False, reported with the line number, when the swimmer or relay
// is unknown.
bool bRetrouverNageur(ImportContext& context, long lineNumber, ResultFields& fields, ResolvedLine& line);

// Writes the line's result row; false, reported, when the insertion fails.
bool bInsererResultat(ImportContext& context, long lineNumber, const ResultFields& fields, const ResolvedLine& line);

// Appends relayer 1, relayer 2 ... up to relayer 10, each a value.
void addRelayers(Statement& values, const Relayers& relayers);
// The columns of relayers 1 to 10.
void addRelayerColumns(std::vector<std::string>& columns);

// Appends a row to `table`: `values` as a statement binds them (so checked
// and typed alike), one per column of `columns`. A server gets the rows of a
// file in batches rather than one round trip each.
void appendValues(Database& db, std::string_view table, const std::vector<std::string>& columns, const Statement& values);

}  // namespace couloir::ombrelay
