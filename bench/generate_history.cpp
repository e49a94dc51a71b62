// bench_generate_history DB [--swimmers N] [--performances N] [--relay-percent N] [--seed N]
// Fills DB, a new club database (couloir init-db), with a large performance history.
#include <cstdint>
#include <string>

#include "generator_command.h"
#include "history_generator.h"

int main(int argc, char** argv) {
    using namespace couloir::bench;
    HistorySize size;
    GeneratorCommand command{"bench_generate_history", "DB [--swimmers N] [--performances N] [--relay-percent N] [--seed N]",
                             {{"--swimmers", &size.swimmers},
                              {"--performances", &size.performances},
                              {"--relay-percent", &size.relayPercent}}};
    return runGenerator(command, argc, argv, [&](const std::string& database, std::uint64_t seed) {
        HistoryCounts counts = generateHistory(database, size, seed);
        return std::to_string(counts.clubs) + " clubs, " + std::to_string(counts.swimmers) + " swimmers, " +
               std::to_string(counts.individual) + " individual and " + std::to_string(counts.relays) +
               " relay performances";
    });
}
