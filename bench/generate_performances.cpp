// bench_generate_performances OUT_DIR [--swimmers N] [--performances N] [--relay-percent N] [--seed N]
// Writes a large performance file, with its clubs and licences, into OUT_DIR.
#include <cstdint>
#include <string>

#include "generator_command.h"
#include "performance_generator.h"

int main(int argc, char** argv) {
    using namespace couloir::bench;
    PerformanceSize size;
    GeneratorCommand command{"bench_generate_performances",
                             "OUT_DIR [--swimmers N] [--performances N] [--relay-percent N] [--seed N]",
                             {{"--swimmers", &size.swimmers},
                              {"--performances", &size.performances},
                              {"--relay-percent", &size.relayPercent}}};
    return runGenerator(command, argc, argv, [&](const std::string& folder, std::uint64_t seed) {
        PerformanceCounts counts = generatePerformances(folder, size, seed);
        return std::to_string(counts.clubs) + " clubs, " + std::to_string(counts.swimmers) + " swimmers, " +
               std::to_string(counts.individual) + " individual performances, " + std::to_string(counts.relays) +
               " relays";
    });
}
