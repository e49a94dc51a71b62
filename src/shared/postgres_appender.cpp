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
    Batch& batch = batchFor(table, fields);
    std::int64_t number = 0;
    if (!batch.numbered.empty()) {
        number = nextCounter(batch.table, batch.numbered);
    } else if (batch.givenCounter) {
        if (const auto* given = std::get_if<std::int64_t>(&fields[*batch.givenCounter].second)) {
            number = *given;
            if (auto next = counters_.find(batch.table); next != counters_.end())
                next->second = std::max(next->second, number + 1);
        } else {
            counters_.erase(batch.table);
        }
    }
    std::string& line = batch.data;
    std::size_t before = line.size();
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i) line += '\t';
        appendCopyField(line, fields[i].second);
    }
    if (!batch.numbered.empty()) {
        if (!fields.empty()) line += '\t';
        line += std::to_string(number);
    }
    line += '\n';
    ++batch.rows;
    heldBytes_ += line.size() - before;
    // Outside a call nothing waits for a commit: the row goes at once.
    if (heldBytes_ >= kAppendBatchBytes || !session_.inTransaction()) flush();
    return number;
}

void PgAppender::flush() {
    for (Batch& batch : batches_) {
        if (batch.rows == 0) continue;
        std::string data = std::move(batch.data);
        batch.data.clear();
        batch.rows = 0;
        session_.copy(batch.copy, data);
    }
    heldBytes_ = 0;
}

bool PgAppender::holdsRowsFor(const Statement& statement) const {
    for (const Batch& batch : batches_)
        if (batch.rows > 0 && statement.mayTouch(batch.table)) return true;
    return false;
}

void PgAppender::reset() {
    batches_.clear();
    last_ = 0;
    heldBytes_ = 0;
    counters_.clear();
}

// Whether a row of these fields goes with the rows of `batch`.
bool PgAppender::appendsTo(const Batch& batch, std::string_view table, const Fields& fields) {
    if (!equalsNoCase(table, batch.table) || fields.size() != batch.columns.size()) return false;
    for (std::size_t i = 0; i < fields.size(); ++i)
        if (fields[i].first != batch.columns[i]) return false;
    return true;
}

// The batch of the table and columns, the last one used first.
PgAppender::Batch& PgAppender::batchFor(std::string_view table, const Fields& fields) {
    if (last_ < batches_.size() && appendsTo(batches_[last_], table, fields)) return batches_[last_];
    for (last_ = 0; last_ < batches_.size(); ++last_)
        if (appendsTo(batches_[last_], table, fields)) return batches_[last_];
    batches_.push_back(startAppends(table, fields));
    return batches_.back();
}

// The COPY of a table and columns: the table's counter numbered here unless the row gives it.
PgAppender::Batch PgAppender::startAppends(std::string_view table, const Fields& fields) {
    checkIdentifier(table);
    for (const auto& field : fields) checkIdentifier(field.first);
    Batch batch;
    batch.table = toLower(table);
    std::string columns;
    for (const auto& field : fields) {
        batch.columns.push_back(field.first);
        columns += (columns.empty() ? "" : ", ") + field.first;
    }
    const auto& counterColumns = this->counterColumns();
    if (auto counter = counterColumns.find(batch.table); counter != counterColumns.end()) {
        for (std::size_t i = 0; i < fields.size(); ++i)
            if (equalsNoCase(fields[i].first, counter->second)) batch.givenCounter = i;
        if (!batch.givenCounter) {
            batch.numbered = counter->second;
            columns += (columns.empty() ? "" : ", ") + counter->second;
        }
    }
    batch.copy = "COPY " + std::string(table) + " (" + columns + ") FROM STDIN";
    return batch;
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
