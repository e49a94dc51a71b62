// What the web page shows of the club database: counts, competitions with
// their programme and results, a swimmer's history. Each answer reads one
// state of the database.
#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <string>

namespace couloir::host::web {

class ClubBrowser {
public:
    explicit ClubBrowser(std::string database) : database_(std::move(database)) {}

    // Clubs, swimmers, competitions and performances (individual and relay).
    nlohmann::ordered_json summary() const;
    // Every competition, newest first, with its numbers of results and entries.
    nlohmann::ordered_json competitions() const;
    // A competition's header, programme and results by event, as JSON text
    // (written as it is read: a national meet has tens of thousands of
    // results); none when it does not exist. `number` must be digits.
    std::optional<std::string> competition(const std::string& number) const;
    // The profiles that make entries, with their club and whether it is a selection.
    nlohmann::ordered_json profiles() const;
    // The clubs and selections, by name.
    nlohmann::ordered_json clubs() const;
    // A club: its swimmers by sex and birth year, the competitions it swam
    // in, and its best time per event, pool and sex with who swam it; none
    // when no club has that code.
    std::optional<nlohmann::ordered_json> club(const std::string& code) const;
    // A swimmer with his best time per event and pool and every performance.
    std::optional<nlohmann::ordered_json> swimmer(const std::string& number) const;

private:
    std::string database_;
};

// A stored time (minutes.secondshundredths, 1.0339) as m:ss.cc ("1:03.39");
// empty for no time.
std::string swimTime(const std::string& stored);
// The same time in seconds (63.39), for charts.
double swimSeconds(const std::string& stored);

}  // namespace couloir::host::web
