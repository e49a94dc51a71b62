// What one performance import works with: the working copies of its four
// files, the lookup lists its club, licence and performance files share, and
// the stroke codes the database knows.
#pragma once

#include <array>
#include <string>

#include "shared/run_lists.h"
#include "shared/session.h"

namespace couloir::tessimor {

struct FilePaths {
    std::string licence, club, origine, liffn;
};

// The number of stroke-and-distance codes a two-character field can carry.
inline constexpr int kStrokeCodeCount = 100;

struct PerfRun : CallState {
    PerfRun(Session& s, FilePaths paths) : CallState(s), files(std::move(paths)) {}

    FilePaths files;
    RunLists lists;
    // True for the codes listed in Nage, indexed by code.
    std::array<bool, kStrokeCodeCount> tabNagesValides{};
};

}  // namespace couloir::tessimor
