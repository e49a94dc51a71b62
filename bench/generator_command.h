// The command line every generator takes: one target (a folder or a
// database) and named whole numbers ("--licences 8000"), --seed included.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>

namespace couloir::bench {

struct GeneratorCommand {
    const char* name;                  // the program's name, for messages
    const char* usage;                 // what follows the name in the usage line
    std::map<std::string, int*> sizes;  // option name -> the number it sets
};

// Reads the arguments, then runs `generate` (target, seed), which returns
// the line to print; returns the exit status, with the usage on a mistake.
int runGenerator(const GeneratorCommand& command, int argc, char** argv,
                 const std::function<std::string(const std::string& target, std::uint64_t seed)>& generate);

}  // namespace couloir::bench
