#include "shared/postgres_walks.h"

#include "shared/postgres_values.h"

namespace couloir {
namespace {

constexpr int kFetchRows = 2000;

}  // namespace

std::string PgRow::text(int index) const {
    if (isNull(index)) return {};
    return valueText(PQftype(result_, index),
                     std::string_view(PQgetvalue(result_, row_, index),
                                      static_cast<std::size_t>(PQgetlength(result_, row_, index))));
}

void PgWalks::forEachRow(const Statement& query, const std::function<bool(const Row&)>& onRow) {
    if (!session_.inTransaction() || walking_ > 0) {
        PgResult result = session_.run(query);
        for (int r = 0; r < PQntuples(result.get()); ++r)
            if (!onRow(PgRow(result.get(), r))) return;
        return;
    }
    std::string cursor = "couloir_walk_" + std::to_string(++walks_);
    std::string fetch = "FETCH " + std::to_string(kFetchRows) + " FROM " + cursor;
    PgResult batch = session_.openCursor(query, cursor, fetch);
    ++walking_;
    struct Close {
        PgWalks& walks;
        std::string cursor;
        ~Close() {
            walks.session_.closeLater(cursor);
            --walks.walking_;
        }
    } close{*this, cursor};
    for (;;) {
        int rows = PQntuples(batch.get());
        for (int r = 0; r < rows; ++r)
            if (!onRow(PgRow(batch.get(), r))) return;
        if (rows < kFetchRows) return;
        batch = session_.runOwn(fetch);
    }
}

}  // namespace couloir
