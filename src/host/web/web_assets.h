// The page, its script and its styles, built into the program from
// src/host/web/assets (no framework, no font, nothing fetched at run time).
#pragma once

#include <string_view>

namespace couloir::host::web {

struct Asset {
    std::string_view name;  // "index.html", "app.js", "style.css"
    std::string_view content;
};

// The asset of that name, or null.
const Asset* findAsset(std::string_view name);

}  // namespace couloir::host::web
