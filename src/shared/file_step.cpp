#include "shared/file_step.h"

#include <cstdint>

#include "shared/files.h"

namespace couloir {

std::optional<double> announceFileStep(Session& session, std::string_view title, std::string_view text,
                                       const std::string& path, int minimumRecordLength) {
    AfficherEtape(session.form, session.trace, title, text);
    std::int32_t count = lVerifierLongueur(session.trace, path, minimumRecordLength);
    if (count < 1) {
        session.trace.setStepOutcome(StepOutcome::Skipped);
        return std::nullopt;
    }
    return 100.0 / count;
}

}  // namespace couloir
