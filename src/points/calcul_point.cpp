// Entry point of the points component (Calcul_Point.ClsCalcul.CalculPoint).
// The base times come from base_times.txt beside the component's library (a
// build tree) or in Couloir's installed data folder, or from the file named by
// COULOIR_BASE_TIMES; the table is read again when that file changes, so that
// a club can replace it while a host runs (the file is looked at no more than
// once a second: a results file asks for thousands of points).

#include <chrono>
#include <cstring>
#include <stdexcept>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "couloir/couloir.h"
#include "points/base_times.h"
#include "points/swim_points.h"
#include "shared/components.h"
#include "shared/error.h"
#include "shared/platform.h"

namespace fs = std::filesystem;

namespace couloir::points {
namespace {

std::string baseTimesPath() {
    if (std::string path = platform::environmentVariable("COULOIR_BASE_TIMES"); !path.empty()) return path;
    return componentsDataFile("base_times.txt");
}

std::shared_ptr<const BaseTimes> currentBaseTimes() {
    static std::mutex mutex;
    static std::string cachedPath;
    static fs::file_time_type cachedStamp;
    static std::uintmax_t cachedSize = 0;
    static std::shared_ptr<const BaseTimes> cached;
    static std::chrono::steady_clock::time_point lastLook;

    std::string path = baseTimesPath();
    auto now = std::chrono::steady_clock::now();
    {
        std::lock_guard lock(mutex);
        if (cached && path == cachedPath && now - lastLook < std::chrono::seconds(1)) return cached;
    }
    std::error_code ec;
    fs::file_time_type stamp = fs::last_write_time(platform::pathOf(path), ec);
    std::uintmax_t size = ec ? 0 : fs::file_size(platform::pathOf(path), ec);
    if (ec) throw errors::fileNotFound(path);

    std::lock_guard lock(mutex);
    if (!cached || path != cachedPath || stamp != cachedStamp || size != cachedSize) {
        cached = std::make_shared<const BaseTimes>(BaseTimes::load(path));
        cachedPath = path;
        cachedStamp = stamp;
        cachedSize = size;
    }
    lastLook = now;
    return cached;
}

// Copies `text` into a caller's buffer of `size` bytes, cut on a character
// boundary when it does not fit; false when it was cut.
bool copyOut(std::string_view text, char* buffer, std::size_t size) {
    if (!buffer || size == 0) return text.empty();
    std::size_t length = text.size();
    if (length >= size) {
        length = size - 1;
        while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) --length;
    }
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
    return length == text.size();
}

}  // namespace
}  // namespace couloir::points

extern "C" COULOIR_EXPORT int Calcul_Point_ClsCalcul_CalculPoint(double code_epreuve, double temps, char* points,
                                                                 size_t points_size, char* error,
                                                                 size_t error_size) {
    using namespace couloir::points;
    copyOut("", points, points_size);
    try {
        std::string text = std::to_string(pointsOfSwim(*currentBaseTimes(), code_epreuve, temps));
        if (!copyOut(text, points, points_size)) {
            copyOut("", points, points_size);
            throw std::length_error("Zone trop petite pour les points : " + text + ".");
        }
        copyOut("", error, error_size);
        return 0;
    } catch (const std::exception& e) {
        copyOut(e.what(), error, error_size);
    } catch (...) {
        copyOut("Erreur inattendue lors du calcul des points.", error, error_size);
    }
    return 1;
}
