// One line of liffn.txt: its 27 fixed-width fields (the shared layout) and
// their conversions.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "shared/record_layouts.h"

namespace couloir::tessimor {

// The record length (line and CR LF) below which liffn.txt is reported as
// too short to hold every field.
inline constexpr int kMinimumRecordLength = 202;

using PerfFields = std::vector<std::string>;

// The stroke code written in a line's first two characters, when they hold
// a number from 0 to 99.
std::optional<int> strokeCode(std::string_view twoCharacters);

// The calendar year of a yyyymmdd date; a date that is empty or no calendar
// date is a type-mismatch error.
int yearOf(const std::string& yyyymmdd);

// A relay line's licence field starts with a capital R.
bool isRelayLine(const std::string& licence);

// Cuts the 27 fields, each trimmed, and converts them: dates made yyyymmdd,
// the surname folded unless already in capitals, the licence type made R, T
// or N, the relay-leg mark kept only when it is R. False, with `message`
// set, when the pool length is neither 25 nor 50.
bool bDecouperPerf(std::string_view line, PerfFields& fields, std::string& message);

// The team number of a relay code ("R2007F" -> 7): its characters 3 to 5
// read as a number. Anything but digits there is a type-mismatch error.
std::int64_t teamNumber(std::string_view relayCode);

// A whole number written in a field or read from the database (as
// sqlNumber accepts it); anything else is a type-mismatch error.
std::int64_t wholeNumber(std::string_view text);

// A time m.sscc: digits with an optional decimal part. Anything else, the
// empty text included, is a type-mismatch error.
double timeValue(std::string_view field);

}  // namespace couloir::tessimor
