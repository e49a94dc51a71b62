#include "shared/postgres_appender.h"

#include <algorithm>
#include <cstdlib>

#include "shared/postgres_values.h"
#include "shared/text_date.h"

namespace couloir {
namespace {

constexpr std::size_t kAppendBatchBytes = std::size_t{4} << 20;

}  // namespace

const std::unordered_map<std::string, std::string>& PgAppender::counterColumns() {
    if (counterColumns_) return *counterColumns_;
    PgResult result = session_.run(
        Statement("SELECT c.relname, a.attname FROM pg_index i JOIN pg_class c ON c.oid = i.indrelid "
                  "JOIN pg_attribute a ON a.attrelid = c.oid AND a.attnum = i.indkey[0] "
                  "WHERE i.indisprimary AND i.indnatts = 1 AND a.atttypid IN (20, 21, 23) "
                  "AND c.relnamespace = (SELECT oid FROM pg_namespace WHERE nspname = current_schema())"));
    auto& columns = counterColumns_.emplace();
    for (int r = 0; r < PQntuples(result.get()); ++r) columns.emplace(PQgetvalue(result.get(), r, 0), PQgetvalue(result.get(), r, 1));
    return columns;
}

std::string PgAppender::toLower(std::string_view table) { return toLowerAscii(table); }

std::int64_t PgAppender::append(std::string_view table, const Fields& fields) {
    session_.checkUsable();
    if (!appendsTo(table, fields)) startAppends(table, fields);
    std::int64_t number = 0;
    if (!pending_.numbered.empty()) {
        number = nextCounter(pending_.table, pending_.numbered);
    } else if (pending_.givenCounter) {
        if (const auto* given = std::get_if<std::int64_t>(&fields[*pending_.givenCounter].second)) {
            number = *given;
            if (auto next = counters_.find(pending_.table); next != counters_.end())
                next->second = std::max(next->second, number + 1);
        } else {
            counters_.erase(pending_.table);
        }
    }
    std::string& line = pending_.data;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i) line += '\t';
        appendCopyField(line, fields[i].second);
    }
    if (!pending_.numbered.empty()) {
        if (!fields.empty()) line += '\t';
        line += std::to_string(number);
    }
    line += '\n';
    ++pending_.rows;
    // Outside a call nothing waits for a commit: the row goes at once.
    if (pending_.data.size() >= kAppendBatchBytes || !session_.inTransaction()) flush();
    return number;
}

void PgAppender::flush() {
    if (pending_.rows == 0) return;
    std::string data = std::move(pending_.data);
    pending_.data.clear();
    pending_.rows = 0;
    session_.copy(pending_.copy, data);
}

void PgAppender::reset() {
    pending_.data.clear();
    pending_.rows = 0;
    counters_.clear();
}

// Whether a row of these fields goes with the rows appended before it.
bool PgAppender::appendsTo(std::string_view table, const Fields& fields) const {
    if (!equalsNoCase(table, pending_.table) || fields.size() != pending_.columns.size()) return false;
    for (std::size_t i = 0; i < fields.size(); ++i)
        if (fields[i].first != pending_.columns[i]) return false;
    return true;
}

// Sends the rows of the previous table and columns, and sets up the COPY of
// these: the table's counter numbered here unless the row gives it.
void PgAppender::startAppends(std::string_view table, const Fields& fields) {
    checkIdentifier(table);
    for (const auto& field : fields) checkIdentifier(field.first);
    flush();
    pending_.table = toLower(table);
    pending_.columns.clear();
    pending_.numbered.clear();
    pending_.givenCounter.reset();
    std::string columns;
    for (const auto& field : fields) {
        pending_.columns.push_back(field.first);
        columns += (columns.empty() ? "" : ", ") + field.first;
    }
    const auto& counterColumns = this->counterColumns();
    if (auto counter = counterColumns.find(pending_.table); counter != counterColumns.end()) {
        for (std::size_t i = 0; i < fields.size(); ++i)
            if (equalsNoCase(fields[i].first, counter->second)) pending_.givenCounter = i;
        if (!pending_.givenCounter) {
            pending_.numbered = counter->second;
            columns += (columns.empty() ? "" : ", ") + counter->second;
        }
    }
    pending_.copy = "COPY " + std::string(table) + " (" + columns + ") FROM STDIN";
}

// The next counter of a table: max + 1 at the first row a call appends, then
// one more for each row appended since.
std::int64_t PgAppender::nextCounter(const std::string& table, const std::string& column) {
    auto next = counters_.find(table);
    if (next == counters_.end()) {
        PgResult result =
            session_.run(Statement("SELECT coalesce(max(").name(column).sql("), 0) + 1 FROM ").name(table));
        std::int64_t first = std::strtoll(PQgetvalue(result.get(), 0, 0), nullptr, 10);
        next = counters_.emplace(table, first).first;
    }
    return next->second++;
}

}  // namespace couloir
