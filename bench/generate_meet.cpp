// bench_generate_meet OUT_DIR [--licences N] [--results N] [--seed N]
// Writes a large meet for the results import into OUT_DIR.
#include <cstdint>
#include <string>

#include "generator_command.h"
#include "meet_generator.h"

int main(int argc, char** argv) {
    using namespace couloir::bench;
    MeetSize size;
    GeneratorCommand command{"bench_generate_meet", "OUT_DIR [--licences N] [--results N] [--seed N]",
                             {{"--licences", &size.licences}, {"--results", &size.results}}};
    return runGenerator(command, argc, argv, [&](const std::string& folder, std::uint64_t seed) {
        MeetCounts counts = generateMeet(folder, size, seed);
        return std::to_string(counts.clubs) + " clubs, " + std::to_string(counts.licences) + " licences, " +
               std::to_string(counts.relays) + " relays, " + std::to_string(counts.results) + " results, " +
               std::to_string(counts.entries) + " entries";
    });
}
