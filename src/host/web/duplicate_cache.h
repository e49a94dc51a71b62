// The swimmers stored twice, for the Doublons page: the listing takes
// seconds on a national database, so it is kept, and read again only when
// the swimmers or what they hold are counted otherwise (another program's
// import, update or merge) or after an operation of the page.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace couloir::host::web {

class DuplicateCache {
public:
    explicit DuplicateCache(std::string database) : database_(std::move(database)) {}

    // The report's `duplicates` section for the database as it is.
    nlohmann::ordered_json listing();
    // The database was changed by this server: read it again at the next request.
    void forget();
    // Reads the listing now (at the server's start), so that the page's first visit is as quick as the next.
    void prepare();

private:
    struct Kept {
        std::vector<std::int64_t> stamp;
        nlohmann::ordered_json listing;
    };

    const std::string database_;
    std::mutex mutex_;
    std::shared_ptr<const Kept> kept_;
};

}  // namespace couloir::host::web
