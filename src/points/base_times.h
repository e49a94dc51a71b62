// The base times of the points table, one per event code, as read from the
// data file installed with the component (or the file a club put in its place).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace couloir::points {

class BaseTimes {
public:
    // Reads the lines of a base-time file: "code time [comment]", the time in
    // m.sscc; blank lines and lines beginning with # are skipped. A malformed
    // line, a code outside 1 to 99, a time outside ]0, 90[ or a code given
    // twice is an error naming `source` and the line.
    static BaseTimes parse(std::string_view text, const std::string& source);
    // Reads a file; a file that cannot be read is a "file not found" error.
    static BaseTimes load(const std::string& path);

    // The base time of an event in hundredths of a second, if it has one.
    std::optional<std::int64_t> find(int eventCode) const;

private:
    std::array<std::int64_t, 100> hundredths_{};  // 0: no base time
};

}  // namespace couloir::points
