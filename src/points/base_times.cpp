#include "points/base_times.h"

#include <charconv>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "points/swim_points.h"
#include "shared/error.h"
#include "shared/platform.h"
#include "shared/text_date.h"

namespace couloir::points {
namespace {

constexpr std::string_view kBlanks = " \t\r";  // a club may edit the file on Windows

// The next blank-separated word of `rest`, removed from it.
std::string_view nextWord(std::string_view& rest) {
    std::size_t start = rest.find_first_not_of(kBlanks);
    rest = start == std::string_view::npos ? std::string_view{} : rest.substr(start);
    std::size_t end = rest.find_first_of(kBlanks);
    std::string_view word = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end);
    return word;
}

template <typename Number>
bool readWhole(std::string_view word, Number& value) {
    auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    return error == std::errc{} && end == word.data() + word.size();
}

std::runtime_error badLine(const std::string& source, int lineNumber, const std::string& reason) {
    return std::runtime_error("Fichier des temps de base " + source + ", ligne " + std::to_string(lineNumber) +
                              " : " + reason);
}

}  // namespace

BaseTimes BaseTimes::parse(std::string_view text, const std::string& source) {
    BaseTimes table;
    int lineNumber = 0;
    for (const std::string& rawLine : split(text, '\n')) {
        ++lineNumber;
        std::string_view rest = rawLine;
        std::string_view first = nextWord(rest);
        if (first.empty() || first.front() == '#') continue;

        int code = 0;
        double time = 0;
        if (!readWhole(first, code) || code < 1 || code > 99)
            throw badLine(source, lineNumber, "code d'épreuve illisible (1 à 99 attendu).");
        if (!readWhole(nextWord(rest), time) || !(time > 0 && time < 90) || hundredthsFromMsscc(time) <= 0)
            throw badLine(source, lineNumber, "temps de base illisible (m.sscc attendu).");
        if (table.hundredths_[code] != 0)
            throw badLine(source, lineNumber, "l'épreuve " + std::to_string(code) + " a déjà un temps de base.");
        table.hundredths_[code] = hundredthsFromMsscc(time);
    }
    return table;
}

BaseTimes BaseTimes::load(const std::string& path) {
    std::ifstream file(platform::pathOf(path), std::ios::binary);
    if (!file) throw errors::fileNotFound(path);
    std::ostringstream text;
    text << file.rdbuf();
    return parse(text.str(), path);
}

std::optional<std::int64_t> BaseTimes::find(int eventCode) const {
    if (eventCode < 0 || eventCode >= static_cast<int>(hundredths_.size()) || hundredths_[eventCode] == 0)
        return std::nullopt;
    return hundredths_[eventCode];
}

}  // namespace couloir::points
