// How the database's values are written into the performance lines.
#pragma once

#include <string>
#include <string_view>

namespace couloir::plessaud {

// A number on at least `digits` digits ("5" with 2 gives "05"); an empty
// value stays empty.
std::string zeroPadded(std::string_view number, int digits);
// The pool length when it is 25 or 50, else the empty text.
std::string poolLength(std::string_view length);
// The start of the season of a swim dated yyyymmdd, as ddmmyyyy: 16
// September of the swim's year from that day on, of the year before until
// then; empty when the date is not 8 digits.
std::string seasonStart(std::string_view yyyymmdd);

// A relay team as the performance file names it, after its event's sex.
class RelayTeam {
public:
    // "M" men, "F" women, anything else (empty) mixed.
    explicit RelayTeam(std::string_view eventSex);

    // "R1", "R2" or "R3" + the team number on three digits + "F".
    std::string licence(std::string_view teamNumber) const;
    // "RELAIS " + "MESSIEURS", "DAMES" or "MIXTE" + " N° " + the team number.
    std::string name(std::string_view teamNumber) const;

private:
    std::string_view code_, label_;
};

}  // namespace couloir::plessaud
