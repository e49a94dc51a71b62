// The opening of a step that reads one interchange file line by line.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "shared/session.h"

namespace couloir {

// Shows the step (AfficherEtape) and estimates the file's lines
// (lVerifierLongueur): the progress increment per line, 100 / count, or
// nothing when the file is missing or holds no whole line.
std::optional<double> announceFileStep(Session& session, std::string_view title, std::string_view text,
                                       const std::string& path, int minimumRecordLength);

}  // namespace couloir
