// The records of the interchange files, built from their fields: each field
// is left-justified (or right-justified where the layout says so) and cut to
// its width, widths counting characters. Texts are UTF-8; times are written
// m.sscc (minutes, a point, seconds and hundredths).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace couloir::bench {

// A time in hundredths of a second written m.sscc with at least
// `minuteDigits` minute digits: 6523 -> "01.0523" (2) or "1.0523" (1).
std::string msscc(std::int64_t hundredths, int minuteDigits = 2);

// rcomp.txt, 98 characters. Dates are ddmmyyyy.
struct CompetitionRecord {
    std::string number, type, name, start, end, venue, poolLength, lanes;
    std::string codifications;  // federal, inter-regional, regional, departmental letters
};
std::string format(const CompetitionRecord& r);

// pcomp.txt, 19 characters.
struct ProgrammeRecord {
    std::string competition;
    int event = 0;
    std::string date;
    bool relay = false;
    int ranking = 1, finals = 0;
    std::string finalsType;  // "T", "C" or empty
    int order = 0;
};
std::string format(const ProgrammeRecord& r);

// categori.txt: number, birth years, label (padded to 30).
struct CategoryRecord {
    int number = 0, firstYear = 0, lastYear = 0;
    std::string label;
};
std::string format(const CategoryRecord& r);

// club.txt, 43 characters.
struct ClubRecord {
    std::string code, label;
};
std::string format(const ClubRecord& r);

// licence.txt, 248 characters. Dates are ddmmyyyy; `flags` holds the six
// activity flags (competitive, synchro, water-polo, diving, official, masters).
struct LicenceRecord {
    std::string club, licence, surname, firstName, sex, birth, nationality;
    std::string address, addressMore, postcode, town, phone;
    std::string flags = "ONNNNN", deposit, validation, type, nature;
    std::string originClub, originLicence;  // a selection entry's own club and licence
    std::string uniqueCode;
};
std::string format(const LicenceRecord& r);

// relais.txt, 84 characters: relay key and up to ten relayers' licences.
struct RelayRecord {
    std::string competition;
    int event = 0;
    std::string club, licence;
    std::vector<std::string> relayers;
};
std::string format(const RelayRecord& r);

// prres.txt, 138 characters. Empty texts leave their columns blank.
struct ResultRecord {
    std::string competition;
    int event = 0;
    std::string race = "S";
    int heat = 1, lane = 1, order = 1;
    std::string club, licence, time;
    std::array<std::string, 14> splits;  // split 1 is the last passage before the finish
    std::string points;
};
std::string format(const ResultRecord& r);

// engag.txt, 63 characters. `team` as the file carries it (men's + 50).
struct EntryRecord {
    std::string competition;
    int event = 0;
    std::string club, licence, time, team, date, place, pool;
};
std::string format(const EntryRecord& r);

// liffn.txt, 202 characters: one performance, individual or relay. Dates
// are ddmmyyyy; a relay line names its relayers by licence number (up to
// ten); `codifications` holds the federal, inter-regional, regional and
// departmental letters; `leg` is "R" for an individual time swum as a
// relay's first leg.
struct PerformanceRecord {
    int event = 0;
    std::string club, licence, pool, date, time, surname, firstName, place, clubName, licenceDate, licenceType;
    std::vector<std::string> relayers;
    std::string codifications, leg;
};
std::string format(const PerformanceRecord& r);

// A number from 0 to 99 on two digits: 7 -> "07".
std::string twoDigits(int value);

}  // namespace couloir::bench
