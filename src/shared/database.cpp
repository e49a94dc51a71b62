#include "shared/database.h"

#include <limits>

#include "shared/database_engines.h"
#include "shared/error.h"
#include "shared/platform.h"
#include "shared/postgres_values.h"
#include "shared/text_date.h"

namespace couloir {

int busyTimeoutSeconds() {
    constexpr int kDefaultSeconds = 30, kLongestSeconds = 86400;
    std::string value = platform::environmentVariable("COULOIR_BUSY_TIMEOUT");
    if (value.empty()) return kDefaultSeconds;
    if (value.size() <= 5 && allDigits(value)) {
        int seconds = std::stoi(value);
        if (seconds <= kLongestSeconds) return seconds;
    }
    throw Error(errors::kInvalidCall, "COULOIR_BUSY_TIMEOUT incorrect : « " + value +
                                          " » (un nombre entier de secondes de 0 à 86400 est attendu)");
}

bool isServerDatabase(std::string_view name) { return isPostgresUri(name); }

std::string displayName(std::string_view name) { return isServerDatabase(name) ? uriForDisplay(name) : std::string(name); }

std::unique_ptr<Database> openDatabase(const std::string& path, const DatabaseOptions& options) {
    return isServerDatabase(path) ? openPostgresDatabase(path, options) : openSqliteDatabase(path, options);
}

void createDatabase(const std::string& path, std::string_view script) {
    if (isServerDatabase(path)) createPostgresDatabase(path, script);
    else createSqliteDatabase(path, script);
}

std::int32_t scalarValue(std::string_view text, bool numeric) {
    if (!numeric && (trim(text).empty() || text.find_first_not_of(" +-.0123456789") != std::string_view::npos))
        throw errors::typeMismatch();
    std::int64_t value = roundHalfEven(numericValue(text));
    if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max())
        throw errors::overflow();
    return static_cast<std::int32_t>(value);
}

}  // namespace couloir
