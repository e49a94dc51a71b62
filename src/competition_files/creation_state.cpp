#include "competition_files/creation_state.h"

#include "shared/staged_output.h"

namespace couloir::vandrule {

std::string CreationState::outputPath(const char* fileName) const { return session.output->path(fileName); }

}  // namespace couloir::vandrule
