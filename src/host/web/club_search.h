// The search box of every page: swimmers by surname, first name, licence
// number or unique code, and clubs by name or code, from a few letters,
// accents and case ignored. The rows are read once into an index kept until
// the database changes (its swimmers and clubs counted and numbered
// otherwise, or an operation of the page ended).
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

namespace couloir::host::web {

inline constexpr std::size_t kMaxSearchAnswers = 50;

class ClubSearch {
public:
    explicit ClubSearch(std::string database) : database_(std::move(database)) {}

    // {"swimmers": [...], "clubs": [...], "more_swimmers", "more_clubs"},
    // at most kMaxSearchAnswers of each; none when the query holds fewer
    // than two letters or digits.
    std::optional<nlohmann::ordered_json> find(const std::string& query);
    // The database was changed by this server: read it again at the next search.
    void forget();
    // Reads the index now (at the server's start), so that the first search is as quick as the next.
    void prepare();

private:
    struct Index;
    std::shared_ptr<const Index> index();

    const std::string database_;
    std::mutex mutex_;
    std::shared_ptr<const Index> index_;
};

}  // namespace couloir::host::web
