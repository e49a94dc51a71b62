// bench_generate_meet OUT_DIR [--licences N] [--results N] [--seed N]
// Writes a large meet for the results import into OUT_DIR.
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <string>

#include "meet_generator.h"

int main(int argc, char** argv) {
    using namespace couloir::bench;
    MeetSize size;
    std::uint64_t seed = 2026;
    std::string folder;
    try {
        for (int i = 1; i < argc; ++i) {
            std::string arg = argv[i];
            bool hasValue = i + 1 < argc;
            if (arg == "--licences" && hasValue) size.licences = std::stoi(argv[++i]);
            else if (arg == "--results" && hasValue) size.results = std::stoi(argv[++i]);
            else if (arg == "--seed" && hasValue) seed = std::stoull(argv[++i]);
            else if (folder.empty() && arg.rfind("--", 0) != 0) folder = arg;
            else throw std::invalid_argument("unexpected argument " + arg);
        }
        if (folder.empty()) throw std::invalid_argument("no output folder");
        MeetCounts counts = generateMeet(folder, size, seed);
        std::cout << folder << ": " << counts.clubs << " clubs, " << counts.licences << " licences, "
                  << counts.relays << " relays, " << counts.results << " results, " << counts.entries
                  << " entries\n";
        return EXIT_SUCCESS;
    } catch (const std::exception& e) {
        std::cerr << "bench_generate_meet: " << e.what()
                  << "\nusage: bench_generate_meet OUT_DIR [--licences N] [--results N] [--seed N]\n";
        return EXIT_FAILURE;
    }
}
