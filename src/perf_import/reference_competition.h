// The reference competition a performance import attaches its rows to: a
// new Rcomp row named after the import's rank and date, in the reference pool.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "shared/database.h"
#include "shared/trace.h"

namespace couloir::tessimor {

// Num of the pool named "Null", or empty.
std::string strPiscineReference(Database& db);
// AutoNum of the competition named `name`, or empty.
std::string strCompetitionParNom(Database& db, const std::string& name);

// Creates "1er import perf du " + today (or the first free "nème ..."),
// creating the reference pool when it is missing; its AutoNum, or nothing
// when it could not be created (the trace says why).
std::optional<std::int32_t> iCreerCompetitionReference(Database& db, Trace& trace);

}  // namespace couloir::tessimor
