// bench_generate_history DB [--swimmers N] [--performances N] [--relay-percent N] [--seed N]
// Fills DB, a new club database (couloir init-db), with a large performance history.
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <string>

#include "history_generator.h"

int main(int argc, char** argv) {
    using namespace couloir::bench;
    HistorySize size;
    std::uint64_t seed = 2026;
    std::string database;
    try {
        for (int i = 1; i < argc; ++i) {
            std::string arg = argv[i];
            bool hasValue = i + 1 < argc;
            if (arg == "--swimmers" && hasValue) size.swimmers = std::stoi(argv[++i]);
            else if (arg == "--performances" && hasValue) size.performances = std::stoi(argv[++i]);
            else if (arg == "--relay-percent" && hasValue) size.relayPercent = std::stoi(argv[++i]);
            else if (arg == "--seed" && hasValue) seed = std::stoull(argv[++i]);
            else if (database.empty() && arg.rfind("--", 0) != 0) database = arg;
            else throw std::invalid_argument("unexpected argument " + arg);
        }
        if (database.empty()) throw std::invalid_argument("no database");
        HistoryCounts counts = generateHistory(database, size, seed);
        std::cout << database << ": " << counts.clubs << " clubs, " << counts.swimmers << " swimmers, "
                  << counts.individual << " individual and " << counts.relays << " relay performances\n";
        return EXIT_SUCCESS;
    } catch (const std::exception& e) {
        std::cerr << "bench_generate_history: " << e.what()
                  << "\nusage: bench_generate_history DB [--swimmers N] [--performances N] [--relay-percent N] "
                     "[--seed N]\n";
        return EXIT_FAILURE;
    }
}
