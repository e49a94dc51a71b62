#include "shared/clock.h"

#include <cstdio>
#include <ctime>

#include "shared/platform.h"

namespace couloir {
namespace {

bool parseFixedNow(const std::string& text, DateTime& moment) {
    int y, mo, d, h, mi, s;
    if (std::sscanf(text.c_str(), "%4d-%2d-%2dT%2d:%2d:%2d", &y, &mo, &d, &h, &mi, &s) != 6) return false;
    moment.date = Date{std::chrono::year{y}, std::chrono::month{unsigned(mo)}, std::chrono::day{unsigned(d)}};
    moment.hour = h;
    moment.minute = mi;
    moment.second = s;
    return moment.date.ok() && h >= 0 && h < 24 && mi >= 0 && mi < 60 && s >= 0 && s < 60;
}

}  // namespace

DateTime now() {
    DateTime moment;
    if (parseFixedNow(platform::environmentVariable("COULOIR_NOW"), moment)) return moment;
    std::tm local = platform::localTime(std::time(nullptr));
    moment.date = Date{std::chrono::year{local.tm_year + 1900}, std::chrono::month{unsigned(local.tm_mon + 1)},
                       std::chrono::day{unsigned(local.tm_mday)}};
    moment.hour = local.tm_hour;
    moment.minute = local.tm_min;
    moment.second = local.tm_sec;
    return moment;
}

std::string generalForm(const DateTime& m) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%02u/%02u/%04d %02d:%02d:%02d", unsigned(m.date.day()),
                  unsigned(m.date.month()), int(m.date.year()), m.hour, m.minute, m.second);
    return buffer;
}

std::string todayYyyymmdd() { return formatYyyymmdd(now().date); }

}  // namespace couloir
