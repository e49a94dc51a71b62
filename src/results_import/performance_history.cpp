#include "results_import/performance_history.h"

#include <cmath>
#include <initializer_list>

#include "shared/error.h"
#include "shared/text_date.h"
#include "shared/trace.h"

namespace couloir::ombrelay {
namespace {

struct DerivedEventList {
    int event;
    std::initializer_list<DerivedEvent> derivedEvents;
};

// Women's events and mixed events 1 to 49; the men's events 51 to 99 repeat
// them 50 higher.
const DerivedEventList kBySex[] = {
    {2, {{1, 1}}},
    {3, {{2, 2}, {1, 3}}},
    {4, {{3, 4}, {2, 6}, {1, 7}}},
    {5, {{4, 4}, {3, 6}, {2, 7}}},
    {6, {{7, 5}, {5, 7}, {4, 11}, {3, 13}, {2, 14}}},
    {7, {{5, 2}, {4, 6}, {3, 8}, {2, 9}}},
    {9, {{1, 10}}},
    {12, {{11, 1}}},
    {13, {{12, 2}, {11, 3}}},
    {22, {{21, 1}}},
    {23, {{22, 2}, {21, 3}}},
    {32, {{31, 1}}},
    {33, {{32, 2}, {31, 3}}},
    {41, {{31, 3}}},
    {42, {{32, 6}, {31, 7}}},
    {43, {{2, 6}, {1, 7}}},
    {44, {{3, 6}, {2, 7}}},
    {45, {{2, 9}}},
    {46, {{12, 6}, {11, 7}}},
    {47, {{2, 2}}},
    {48, {{11, 3}}},
    {49, {{1, 5}}},
};

// Mixed relays: the first leg's event depends on the first swimmer's sex.
const DerivedEventList kMixedRelays[] = {
    {34, {{103, 6}, {102, 7}}}, {35, {{101, 5}}}, {36, {{112, 6}, {111, 7}}}, {37, {{111, 3}}},
    {84, {{101, 10}}},          {85, {{102, 9}}}, {87, {{102, 2}}},           {88, {{102, 6}, {101, 7}}},
};

constexpr int kMenOffset = 50;
constexpr int kFirstSexDependentCode = 100;

// The index of an event code; "subscript out of range" outside 0 to 99.
int eventIndex(std::string_view code) {
    double value = numericValue(code);
    if (!(value > -0.5 && value < kEventCount - 0.5)) throw errors::subscriptOutOfRange();
    return static_cast<int>(roundHalfEven(value));
}

bool isValidTime(std::string_view time) {
    double value = numericValue(time);
    return value > 0 && value < 90;
}

// The event of a sex-dependent code for the first swimmer's sex; 0 when his
// sex is neither "M" nor "F".
int eventForSex(int code, const std::string& sex) {
    if (sex == "M") return code - kMenOffset;
    if (sex == "F") return code - 2 * kMenOffset;
    return 0;
}

// One performance row for the swimmer or relay the line stands for now.
struct Performance {
    std::string_view table;
    std::string_view event;
    std::string_view time;
    char relayLeg;  // 'R' for a relay's first leg, else a space
    bool isSplit;   // taken from a split time
};

// The columns of a performance row, an individual's or a relay's.
const std::vector<std::string>& performanceColumns(bool relay) {
    static const std::vector<std::string> individual = {"Code_epreuve", "Code_club", "Date_perf",     "Num_Lic",
                                                        "Tps",          "Age",       "Passage_relais", "Tps_inter",
                                                        "Num_compet"};
    static const std::vector<std::string> relays = [] {
        std::vector<std::string> columns = {"Code_epreuve", "Code_club", "Date_perf", "Num_Lic", "Tps"};
        addRelayerColumns(columns);
        columns.push_back("Num_compet");
        return columns;
    }();
    return relay ? relays : individual;
}

void insertPerformance(ImportContext& context, const ResultFields& fields, const ResolvedLine& line,
                       const std::string& day, const Performance& performance) {
    Statement values;
    values.decimal(performance.event);
    values.text(fields[kClubField]);
    values.text(day);
    values.decimal(fields[kLicenceField]);
    values.decimal(performance.time);
    if (line.relay) {
        addRelayers(values, line.relayers);
    } else {
        values.decimal(line.age);
        values.text(std::string_view(&performance.relayLeg, 1));
        values.boolean(performance.isSplit);
    }
    values.number(context.competition);
    appendValues(context.db(), performance.table, performanceColumns(line.relay), values);
}

// From here on the line stands for the relay's first swimmer.
void switchToFirstRelayer(ResultFields& fields, ResolvedLine& line) {
    line.relay = false;
    fields[kClubField] = line.firstRelayerClub;
    fields[kLicenceField] = line.firstRelayer;
    line.age = line.firstRelayerAge;
    line.performanceTable = "Liffn";
}

}  // namespace

DerivedEventTable ChargerSousEpreuves() {
    DerivedEventTable table;
    for (const auto& list : kBySex) {
        table[static_cast<std::size_t>(list.event)] = list.derivedEvents;
        auto& men = table[static_cast<std::size_t>(list.event + kMenOffset)];
        for (DerivedEvent derived : list.derivedEvents)
            men.push_back({derived.event + kMenOffset, derived.split});
    }
    for (const auto& list : kMixedRelays) table[static_cast<std::size_t>(list.event)] = list.derivedEvents;
    return table;
}

const std::string& ProgrammeDays::day(int event) {
    auto i = static_cast<std::size_t>(event);
    if (!converted_[i]) {
        const std::string& date = longDates_[i];
        days_[i] = date.empty() ? std::string() : formatYyyymmdd(parseLongDate(date));
        converted_[i] = true;
    }
    return days_[i];
}

bool bInsererPerformances(ImportContext& context, long lineNumber, ResultFields& fields, ResolvedLine& line,
                          const DerivedEventTable& tabSousEpreuves, ProgrammeDays& days) {
    if (fields[kEventField].empty()) return true;
    try {
        int lineEvent = eventIndex(fields[kEventField]);
        const std::string& day = days.day(lineEvent);
        const auto& derivedEvents = tabSousEpreuves[static_cast<std::size_t>(lineEvent)];
        std::string event = fields[kEventField];
        std::string_view time = fields[kTimeField];
        char relayLeg = ' ';
        bool isSplit = false;
        // The line's own time first, then the derived events in table order.
        for (std::size_t k = 0;; ++k) {
            if (isValidTime(time))
                insertPerformance(context, fields, line, day,
                                  {line.performanceTable, event, time, relayLeg, isSplit});
            if (line.relay) {
                // After the relay's own performance, or in its place when the
                // relay has no valid time: the first leg is its first swimmer's.
                if (line.firstRelayer.empty() || line.firstRelayerSex.empty()) return true;
                switchToFirstRelayer(fields, line);
                relayLeg = 'R';
            } else {
                // Past the swimmer's own finish (the line's time, or the
                // relay's first leg), valid or not, every row is a split.
                isSplit = true;
            }
            if (k >= derivedEvents.size()) return true;
            int code = derivedEvents[k].event;
            if (code >= kFirstSexDependentCode) {
                code = eventForSex(code, line.firstRelayerSex);
                if (code == 0) return true;
            }
            event = std::to_string(code);
            time = fields[kTimeField + derivedEvents[k].split];
        }
    } catch (...) {
        Error e = caughtError();
        context.trace().EcrireErreur("Une erreur s'est produite lors de l'ajout dans la table des performances.",
                                     lineNumber, &e);
        return false;
    }
}

}  // namespace couloir::ombrelay
