#include "club_search.h"

#include <algorithm>
#include <tuple>
#include <vector>

#include "shared/database.h"
#include "shared/duplicate_swimmers.h"
#include "shared/statement.h"
#include "shared/text_date.h"

using json = nlohmann::ordered_json;

namespace couloir::host::web {
namespace {

// A name's words as the search compares them: " LE GALL ELOISE ".
std::string searchWords(std::string_view text) { return " " + plainName(text) + " "; }

// Whether every word of the query starts a word of `words`.
bool wordsMatch(const std::vector<std::string>& query, const std::string& words) {
    for (const std::string& word : query)
        if (words.find(" " + word) == std::string::npos) return false;
    return true;
}

// The counts and highest numbers of swimmers and clubs: another program's
// import or merge changes them.
using Stamp = std::tuple<std::int64_t, std::int64_t, std::int64_t, std::int64_t>;

Stamp stampOf(Database& db) {
    Columns found = db.ChargerColonnes(
        Statement("select (select count(*) from Licence), (select coalesce(max(Num), 0) from Licence), "
                  "(select count(*) from Club), (select coalesce(max(Num), 0) from Club)"));
    auto at = [&](std::size_t column) { return std::stoll(found.at(column, 0)); };
    return {at(0), at(1), at(2), at(3)};
}

}  // namespace

struct ClubSearch::Index {
    // The columns of the query below, in its order, and the names the page reads them by.
    static constexpr const char* kSwimmerFields[] = {"number",    "surname", "first_name", "licence", "unique_code",
                                                     "club_code", "sex",     "birth",      "club"};
    static constexpr const char* kClubFields[] = {"code", "name", "selection"};
    struct Swimmer {
        std::string words, licence, code;  // licence and code in capitals, for prefixes
        std::vector<std::string> shown;    // kSwimmerFields
    };
    struct Club {
        std::string words, code;
        std::vector<std::string> shown;  // kClubFields
    };
    Stamp stamp;
    std::vector<Swimmer> swimmers;  // by surname and first name
    std::vector<Club> clubs;        // by name
};

std::shared_ptr<const ClubSearch::Index> ClubSearch::index() {
    auto db = openDatabase(database_, DatabaseOptions{.nullText = NullText::Empty});
    db->begin(Database::Lock::Read);
    Stamp stamp = stampOf(*db);
    std::lock_guard lock(mutex_);
    if (index_ && index_->stamp == stamp) return index_;
    auto index = std::make_shared<Index>();
    index->stamp = stamp;
    db->forEachRow(Statement("select Licence.Num, Licence.Nom, Licence.Prenom, Licence.Licence, Licence.Code_unique, "
                             "Licence.Code_Club, Licence.Sexe, Licence.Date_Naissance, Club.Intitule from Licence "
                             "left join Club on Club.Code_federal = Licence.Code_Club "
                             "where Licence.Nom <> 'Null' order by Licence.Nom, Licence.Prenom, Licence.Num"),
                   [&](const Row& row) {
                       Index::Swimmer swimmer;
                       for (int i = 0; i < 9; ++i) swimmer.shown.push_back(row.text(i));
                       swimmer.words = searchWords(swimmer.shown[1] + " " + swimmer.shown[2]);
                       swimmer.licence = identityKey(swimmer.shown[3]);
                       swimmer.code = identityKey(swimmer.shown[4]);
                       index->swimmers.push_back(std::move(swimmer));
                       return true;
                   });
    db->forEachRow(Statement("select Code_federal, Intitule, case when Selection then '1' else '' end from Club "
                             "where Intitule <> 'Null' order by Intitule"),
                   [&](const Row& row) {
                       index->clubs.push_back({searchWords(row.text(1)), identityKey(row.text(0)),
                                               {row.text(0), row.text(1), row.text(2)}});
                       return true;
                   });
    index_ = index;
    return index_;
}

namespace {

// A row of the index as the page reads it.
template <std::size_t N>
json shown(const char* const (&names)[N], const std::vector<std::string>& values) {
    json object = json::object();
    for (std::size_t i = 0; i < N; ++i) object[names[i]] = values[i];
    return object;
}

}  // namespace

void ClubSearch::prepare() {
    try {
        index();
    } catch (...) {
        // The first search reads it again and says what is wrong.
    }
}

void ClubSearch::forget() {
    std::lock_guard lock(mutex_);
    index_.reset();
}

std::optional<json> ClubSearch::find(const std::string& query) {
    std::string compact = identityKey(query);
    if (compact.size() < 2) return std::nullopt;
    std::vector<std::string> words = split(plainName(query), ' ');
    std::shared_ptr<const Index> index = this->index();

    json swimmers = json::array(), clubs = json::array();
    bool moreSwimmers = false, moreClubs = false;
    for (const auto& swimmer : index->swimmers) {
        if (!wordsMatch(words, swimmer.words) && !swimmer.licence.starts_with(compact) &&
            !(!swimmer.code.empty() && swimmer.code.starts_with(compact)))
            continue;
        if (swimmers.size() == kMaxSearchAnswers) {
            moreSwimmers = true;
            break;
        }
        swimmers.push_back(shown(Index::kSwimmerFields, swimmer.shown));
    }
    for (const auto& club : index->clubs) {
        if (!wordsMatch(words, club.words) && !club.code.starts_with(compact)) continue;
        if (clubs.size() == kMaxSearchAnswers) {
            moreClubs = true;
            break;
        }
        clubs.push_back(shown(Index::kClubFields, club.shown));
    }
    return json{{"swimmers", swimmers}, {"clubs", clubs}, {"more_swimmers", moreSwimmers}, {"more_clubs", moreClubs}};
}

}  // namespace couloir::host::web
