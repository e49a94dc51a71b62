#include "reference_data.h"

#include <cstdio>
#include <stdexcept>

namespace couloir::bench {
namespace {

// Inter-region, region and department of some departments of the
// codification (db/reference.sql).
constexpr const char* kDepartments[] = {
    "101059", "101062", "102080", "103076", "204051", "205057", "206067", "307014", "308035", "308029",
    "309044", "410045", "410037", "411087", "512075", "512092", "512093", "512094", "512078", "512091",
    "613021", "614025", "615063", "616069", "616038", "616074", "717086", "718033", "718064", "719031",
    "820034", "820030", "821013", "821006", "821083", "82202A", "923971", "924974",
};
constexpr int kDepartmentCount = sizeof kDepartments / sizeof kDepartments[0];

}  // namespace

int clubCodeCount() { return kDepartmentCount * 9999; }

std::string clubCode(int n) {
    if (n < 0 || n >= clubCodeCount()) throw std::out_of_range("club code number");
    char code[16];
    std::snprintf(code, sizeof code, "FRA%s%04d", kDepartments[n % kDepartmentCount], n / kDepartmentCount + 1);
    return code;
}

const std::vector<Event>& allEvents() {
    static const std::vector<Event> events = [] {
        std::vector<Event> women = {
            {1, 50, 1, 'F'},   {2, 100, 1, 'F'},  {3, 200, 1, 'F'},  {4, 400, 1, 'F'},   {5, 800, 1, 'F'},
            {6, 1500, 1, 'F'}, {7, 1000, 1, 'F'}, {9, 50, 10, 'F'},  {11, 50, 1, 'F'},   {12, 100, 1, 'F'},
            {13, 200, 1, 'F'}, {21, 50, 1, 'F'},  {22, 100, 1, 'F'}, {23, 200, 1, 'F'},  {31, 50, 1, 'F'},
            {32, 100, 1, 'F'}, {33, 200, 1, 'F'}, {40, 100, 1, 'F'}, {41, 200, 1, 'F'},  {42, 400, 1, 'F'},
            {43, 100, 4, 'F'}, {44, 200, 4, 'F'}, {45, 100, 10, 'F'}, {46, 100, 4, 'F'}, {47, 100, 2, 'F'},
            {48, 50, 4, 'F'},  {49, 50, 4, 'F'},
        };
        std::vector<Event> all = women;
        for (Event e : women) all.push_back({e.code + 50, e.distance, e.swimmers, 'M'});
        for (Event e : std::vector<Event>{{34, 200, 4, 'X'}, {35, 50, 4, 'X'}, {36, 100, 4, 'X'}, {37, 50, 4, 'X'},
                                          {84, 50, 10, 'X'}, {85, 100, 10, 'X'}, {87, 100, 2, 'X'}, {88, 100, 4, 'X'}})
            all.push_back(e);
        return all;
    }();
    return events;
}

}  // namespace couloir::bench
