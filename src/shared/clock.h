// The current date and time, which the environment variable COULOIR_NOW
// (yyyy-mm-ddThh:mm:ss) replaces for reproducible runs.
#pragma once

#include <string>

#include "shared/text_date.h"

namespace couloir {

struct DateTime {
    Date date;
    int hour = 0, minute = 0, second = 0;
};

DateTime now();
// "dd/mm/yyyy hh:mm:ss", the general form of the trace's first and last lines.
std::string generalForm(const DateTime& moment);
// Today as "yyyymmdd".
std::string todayYyyymmdd();

}  // namespace couloir
