// bench_generate_performances OUT_DIR [--swimmers N] [--performances N] [--relay-percent N] [--seed N]
// Writes a large performance file, with its clubs and licences, into OUT_DIR.
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <string>

#include "performance_generator.h"

int main(int argc, char** argv) {
    using namespace couloir::bench;
    PerformanceSize size;
    std::uint64_t seed = 2026;
    std::string folder;
    try {
        for (int i = 1; i < argc; ++i) {
            std::string arg = argv[i];
            bool hasValue = i + 1 < argc;
            if (arg == "--swimmers" && hasValue) size.swimmers = std::stoi(argv[++i]);
            else if (arg == "--performances" && hasValue) size.performances = std::stoi(argv[++i]);
            else if (arg == "--relay-percent" && hasValue) size.relayPercent = std::stoi(argv[++i]);
            else if (arg == "--seed" && hasValue) seed = std::stoull(argv[++i]);
            else if (folder.empty() && arg.rfind("--", 0) != 0) folder = arg;
            else throw std::invalid_argument("unexpected argument " + arg);
        }
        if (folder.empty()) throw std::invalid_argument("no output folder");
        PerformanceCounts counts = generatePerformances(folder, size, seed);
        std::cout << folder << ": " << counts.clubs << " clubs, " << counts.swimmers << " swimmers, "
                  << counts.individual << " individual performances, " << counts.relays << " relays\n";
        return EXIT_SUCCESS;
    } catch (const std::exception& e) {
        std::cerr << "bench_generate_performances: " << e.what()
                  << "\nusage: bench_generate_performances OUT_DIR [--swimmers N] [--performances N] "
                     "[--relay-percent N] [--seed N]\n";
        return EXIT_FAILURE;
    }
}
