#include "records.h"

#include <cstdio>
#include <initializer_list>
#include <string_view>

#include "shared/text_date.h"

namespace couloir::bench {
namespace {

struct Field {
    std::string_view text;
    int width;
    bool right = false;
};

std::string fixed(std::initializer_list<Field> fields) {
    std::string record;
    for (const Field& field : fields)
        record += field.right ? strCadrerDroite(field.text, field.width) : strCadrerGauche(field.text, field.width);
    return record;
}


}  // namespace

std::string msscc(std::int64_t hundredths, int minuteDigits) {
    char text[32];
    std::snprintf(text, sizeof text, "%0*lld.%04lld", minuteDigits, static_cast<long long>(hundredths / 6000),
                  static_cast<long long>(hundredths % 6000));
    return text;
}

std::string format(const CompetitionRecord& r) {
    std::string codif = strCadrerGauche(r.codifications, 4);
    return fixed({{r.number, 3}, {r.type, 1}, {r.name, 40}, {r.start, 8}, {r.end, 8}, {r.venue, 30},
                  {r.poolLength, 2}, {r.lanes, 2, true}, {codif, 4}});
}

std::string format(const ProgrammeRecord& r) {
    std::string finals = r.finals > 0 ? std::to_string(r.finals) : "";
    return fixed({{r.competition, 3}, {twoDigits(r.event), 2}, {r.date, 8}, {r.relay ? "R" : "I", 1},
                  {std::to_string(r.ranking), 1}, {finals, 1}, {r.finalsType, 1}, {std::to_string(r.order), 2, true}});
}

std::string format(const CategoryRecord& r) {
    return fixed({{std::to_string(r.number), 2, true}, {std::to_string(r.firstYear), 4},
                  {std::to_string(r.lastYear), 4}, {r.label, 30}});
}

std::string format(const ClubRecord& r) { return fixed({{r.code, 13}, {r.label, 30}}); }

std::string format(const LicenceRecord& r) {
    std::string flags = strCadrerGauche(r.flags, 6);
    return fixed({{r.club, 13},        {r.licence, 6},     {r.surname, 25},    {r.firstName, 20},
                  {r.sex, 1},          {r.birth, 8},       {r.nationality, 3}, {r.address, 30},
                  {r.addressMore, 30}, {r.postcode, 7},    {r.town, 26},       {r.phone, 14},
                  {flags, 6},          {r.deposit, 8},     {r.validation, 8},  {r.type, 1},
                  {r.nature, 1},       {r.originClub, 13}, {r.originLicence, 6}, {r.uniqueCode, 22}});
}

std::string format(const RelayRecord& r) {
    std::string relayers;
    for (const auto& licence : r.relayers) relayers += strCadrerGauche(licence, 6);
    return fixed({{r.competition, 3}, {twoDigits(r.event), 2}, {r.club, 13}, {r.licence, 6}, {relayers, 60}});
}

std::string format(const ResultRecord& r) {
    std::string record = fixed({{r.competition, 3}, {twoDigits(r.event), 2}, {r.race, 1}, {twoDigits(r.heat), 2},
                                {std::to_string(r.lane % 10), 1}, {std::to_string(r.order % 10), 1}, {r.club, 13},
                                {r.licence, 6}, {r.time, 7}});
    for (const auto& split : r.splits) record += strCadrerGauche(split, 7);
    return record + strCadrerGauche(r.points, 4);
}

std::string format(const EntryRecord& r) {
    return fixed({{r.competition, 3}, {twoDigits(r.event), 2}, {r.club, 13}, {r.licence, 6}, {r.time, 7, true},
                  {r.team, 2}, {r.date, 8}, {r.place, 20}, {r.pool, 2}});
}

std::string format(const PerformanceRecord& r) {
    std::string relayers;
    for (const auto& licence : r.relayers) relayers += strCadrerGauche(licence, 6);
    std::string codif = strCadrerGauche(r.codifications, 4);
    return fixed({{twoDigits(r.event), 2}, {r.club, 13}, {r.licence, 6}, {r.pool, 2}, {r.date, 8}, {r.time, 7},
                  {r.surname, 25}, {r.firstName, 15}, {r.place, 20}, {r.clubName, 30}, {r.licenceDate, 8},
                  {r.licenceType, 1}, {relayers, 60}, {codif, 4}, {r.leg, 1}});
}

std::string twoDigits(int value) {
    char text[8];
    std::snprintf(text, sizeof text, "%02d", value % 100);
    return text;
}

}  // namespace couloir::bench
