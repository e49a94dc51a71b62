#include "competition_files/creation_state.h"

#include "shared/error.h"
#include "shared/staged_output.h"
#include "shared/text_date.h"

namespace couloir::vandrule {

std::string CreationState::profileKey() const { return sqlNumber(strNumProfil); }
std::string CreationState::competitionKey() const { return sqlNumber(strNumCompet); }

std::string CreationState::outputPath(const char* fileName) const { return session.output->path(fileName); }

}  // namespace couloir::vandrule
