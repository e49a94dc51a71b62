#include "generator_command.h"

#include <cstdlib>
#include <exception>
#include <iostream>
#include <stdexcept>

namespace couloir::bench {

int runGenerator(const GeneratorCommand& command, int argc, char** argv,
                 const std::function<std::string(const std::string& target, std::uint64_t seed)>& generate) {
    std::uint64_t seed = 2026;
    std::string target;
    try {
        for (int i = 1; i < argc; ++i) {
            std::string arg = argv[i];
            bool hasValue = i + 1 < argc;
            auto size = command.sizes.find(arg);
            if (size != command.sizes.end() && hasValue) *size->second = std::stoi(argv[++i]);
            else if (arg == "--seed" && hasValue) seed = std::stoull(argv[++i]);
            else if (target.empty() && arg.rfind("--", 0) != 0) target = arg;
            else throw std::invalid_argument("unexpected argument " + arg);
        }
        if (target.empty()) throw std::invalid_argument("nothing to write to");
        std::cout << target << ": " << generate(target, seed) << "\n";
        return EXIT_SUCCESS;
    } catch (const std::exception& e) {
        std::cerr << command.name << ": " << e.what() << "\nusage: " << command.name << " " << command.usage << "\n";
        return EXIT_FAILURE;
    }
}

}  // namespace couloir::bench
