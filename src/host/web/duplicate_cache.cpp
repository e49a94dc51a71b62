#include "duplicate_cache.h"

#include "duplicate_listing.h"
#include "shared/database.h"
#include "shared/statement.h"

namespace couloir::host::web {
namespace {

// What the listing depends on, counted: the swimmers (their number, highest
// row, the length of their unique codes) and the rows that name them.
std::vector<std::int64_t> stampOf(Database& db) {
    Columns found = db.ChargerColonnes(
        Statement("select (select count(*) from Licence), (select coalesce(max(Num), 0) from Licence), "
                  "(select coalesce(sum(length(Code_unique)), 0) from Licence), (select count(*) from Prres), "
                  "(select count(*) from Liffn), (select count(*) from Prres_relais), "
                  "(select count(*) from Liffn_relais)"));
    std::vector<std::int64_t> stamp;
    for (std::size_t column = 0; column < 7; ++column) stamp.push_back(std::stoll(found.at(column, 0)));
    return stamp;
}

}  // namespace

nlohmann::ordered_json DuplicateCache::listing() {
    auto db = openDatabase(database_, DatabaseOptions{.nullText = NullText::Empty});
    db->begin(Database::Lock::Read);
    std::vector<std::int64_t> stamp = stampOf(*db);
    // One listing at a time: a second request waits for the first's rather than reading it again.
    std::lock_guard lock(mutex_);
    if (!kept_ || kept_->stamp != stamp) kept_ = std::make_shared<Kept>(Kept{stamp, duplicatesJson(listDuplicates(*db))});
    return kept_->listing;
}

void DuplicateCache::forget() {
    std::lock_guard lock(mutex_);
    kept_.reset();
}

void DuplicateCache::prepare() {
    try {
        listing();
    } catch (...) {
        // The page's first visit reads it again and says what is wrong.
    }
}

}  // namespace couloir::host::web
