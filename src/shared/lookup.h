// Keyed lookup lists kept for one public call (swimmers by club code and
// licence, relay compositions, ...).
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>

#include "shared/error.h"

namespace couloir {

class LookupList {
public:
    // Adds an item; a key already present is an error, as in a keyed collection.
    void add(std::string key, std::string item) {
        if (!items_.try_emplace(std::move(key), std::move(item)).second) throw errors::keyExists();
    }
    bool contains(const std::string& key) const { return items_.count(key) != 0; }
    void clear() { items_.clear(); }
    std::size_t size() const { return items_.size(); }

    // The item stored under `key` and true; the empty text and false when absent.
    friend bool bLireCollection(const LookupList& list, const std::string& key, std::string& item) {
        auto found = list.items_.find(key);
        if (found == list.items_.end()) {
            item.clear();
            return false;
        }
        item = found->second;
        return true;
    }

private:
    std::unordered_map<std::string, std::string> items_;
};

}  // namespace couloir
