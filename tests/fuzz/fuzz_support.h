// What the fuzz targets share: a scratch folder for the files they feed the
// readers, and a club database made once per process.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace couloir::fuzz {

// A folder of this process, removed at exit.
const std::string& scratchFolder();
// Writes bytes to a file of the scratch folder and returns its path.
std::string writeScratchFile(const std::string& name, std::string_view bytes);
// A new club database in the scratch folder (schema and reference rows).
std::string createScratchDatabase(const std::string& name);

// The bytes libFuzzer hands over, as text.
inline std::string_view bytesOf(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// A property of the code that an input broke: abort, so libFuzzer keeps it.
void require(bool holds, const char* what);

}  // namespace couloir::fuzz
