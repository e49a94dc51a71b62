#include "request_limits.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "shared/error.h"
#include "shared/platform.h"
#include "shared/text_date.h"

namespace couloir::host::web {
namespace {

// "12", "0.5", "2.25": whole seconds and up to three decimals, in milliseconds; -1 otherwise.
long long parseMilliseconds(std::string_view text) {
    std::size_t point = text.find('.');
    std::string_view whole = text.substr(0, point);
    std::string_view fraction = point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
    if (whole.empty() || whole.size() > 4 || !allDigits(whole)) return -1;
    if (point != std::string_view::npos && (fraction.empty() || fraction.size() > 3 || !allDigits(fraction)))
        return -1;
    std::string thousandths(fraction);
    thousandths.resize(3, '0');
    return std::stoll(std::string(whole)) * 1000 + std::stoll(thousandths);
}

}  // namespace

RequestLimits requestLimitsFromEnvironment() {
    RequestLimits limits;
    std::string text = platform::environmentVariable("COULOIR_WEB_READ_DEADLINE");
    if (text.empty()) return limits;
    long long milliseconds = parseMilliseconds(text);
    if (milliseconds < 100 || milliseconds > 3600 * 1000)
        throw Error(errors::kInvalidCall, "COULOIR_WEB_READ_DEADLINE incorrect : « " + text +
                                              " » (un nombre de secondes de 0.1 à 3600 est attendu)");
    limits.readDeadline = std::chrono::milliseconds(milliseconds);
    return limits;
}

std::size_t connectionsWithin(std::size_t wanted, std::size_t openFiles, std::size_t workers) {
    if (openFiles == 0) return wanted;
    // A request being answered may hold the database's three files and an
    // upload or a trace; the rest is the process's own (standard streams,
    // the listening socket, the reception's descriptors).
    std::size_t reserve = std::min(openFiles / 4, 4 * workers + 64);
    std::size_t room = openFiles > reserve ? openFiles - reserve : 0;
    return std::clamp<std::size_t>(room, 1, wanted);
}

}  // namespace couloir::host::web
