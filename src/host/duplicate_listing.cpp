#include "duplicate_listing.h"

#include <set>
#include <sstream>

#include "shared/database.h"
#include "shared/statement.h"

namespace couloir::host {
namespace {

// The holdings of the swimmers `wanted`, counted in one pass per table column.
std::map<std::int64_t, Holdings> countHoldings(Database& db, const std::set<std::int64_t>& wanted) {
    std::map<std::int64_t, Holdings> holdings;
    auto count = [&](const char* table, const std::string& column, long long Holdings::*field) {
        Statement query("select ");
        query.name(column).sql(", count(*) from ").name(table).sql(" group by ").name(column);
        db.forEachRow(query, [&](const Row& row) {
            if (row.isNull(0)) return true;
            std::int64_t num = std::stoll(row.text(0));
            if (wanted.count(num)) holdings[num].*field += std::stoll(row.text(1));
            return true;
        });
    };
    count("Prres", "Num_Lic", &Holdings::results);
    count("Liffn", "Num_Lic", &Holdings::performances);
    for (const char* table : {"Prres_relais", "Liffn_relais"})
        for (int slot = 1; slot <= 10; ++slot) count(table, "Licence" + std::to_string(slot), &Holdings::relayLegs);
    return holdings;
}

Holdings holdingsOf(const DuplicateListing& listing, std::int64_t num) {
    auto found = listing.holdings.find(num);
    return found == listing.holdings.end() ? Holdings{} : found->second;
}

std::string birthDate(const std::string& yyyymmdd) {
    return yyyymmdd.size() == 8 ? yyyymmdd.substr(6, 2) + "/" + yyyymmdd.substr(4, 2) + "/" + yyyymmdd.substr(0, 4)
                                : yyyymmdd;
}

}  // namespace

DuplicateListing listDuplicates(Database& db) {
    DuplicateListing listing{DuplicateFinder(storedSwimmers(db)), {}, {}};
    listing.groups = listing.finder.groups();
    std::set<std::int64_t> wanted;
    for (const auto& group : listing.groups)
        for (std::size_t member : group.members) wanted.insert(listing.finder.swimmers()[member].num);
    if (!wanted.empty()) listing.holdings = countHoldings(db, wanted);
    return listing;
}

std::string duplicatesText(const DuplicateListing& listing) {
    const auto& swimmers = listing.finder.swimmers();
    std::ostringstream out;
    int number = 0;
    std::map<DuplicateConfidence, int> byConfidence;
    for (const auto& group : listing.groups) {
        ++byConfidence[group.confidence];
        out << "Groupe " << ++number << " : confiance " << confidenceName(group.confidence) << "\n";
        for (const auto& link : group.links)
            out << "  - n° " << swimmers[link.first].num << " et n° " << swimmers[link.second].num << " : "
                << link.evidence << " (" << confidenceName(link.confidence) << ")\n";
        for (std::size_t member : group.members) {
            const StoredSwimmer& s = swimmers[member];
            Holdings h = holdingsOf(listing, s.num);
            out << "    n° " << s.num << "  " << s.club << "  " << s.licence << "  " << s.surname << " " << s.firstName
                << "  " << s.sex << "  " << birthDate(s.birthDate) << (s.uniqueCode.empty() ? "" : "  code " + s.uniqueCode)
                << "  résultats " << h.results << ", performances " << h.performances << ", relais " << h.relayLegs
                << "\n";
        }
    }
    if (listing.groups.empty()) {
        out << "Aucun doublon parmi les " << swimmers.size() << " nageurs de la base.\n";
        return out.str();
    }
    out << listing.groups.size() << (listing.groups.size() > 1 ? " groupes" : " groupe")
        << " de nageurs enregistrés plusieurs fois (confiance certaine : " << byConfidence[DuplicateConfidence::Certain]
        << ", forte : " << byConfidence[DuplicateConfidence::High]
        << ", possible : " << byConfidence[DuplicateConfidence::Possible] << ") parmi " << swimmers.size()
        << " nageurs.\nPour fusionner deux lignes : couloir merge-swimmers BASE GARDÉ FUSIONNÉ (--dry-run pour "
           "vérifier d'abord).\n";
    return out.str();
}

nlohmann::ordered_json duplicatesJson(const DuplicateListing& listing) {
    const auto& swimmers = listing.finder.swimmers();
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (const auto& group : listing.groups) {
        nlohmann::ordered_json links = nlohmann::ordered_json::array(), members = nlohmann::ordered_json::array();
        for (const auto& link : group.links)
            links.push_back({{"swimmers", {swimmers[link.first].num, swimmers[link.second].num}},
                             {"confidence", confidenceKey(link.confidence)},
                             {"evidence", link.evidence}});
        for (std::size_t member : group.members) {
            const StoredSwimmer& s = swimmers[member];
            Holdings h = holdingsOf(listing, s.num);
            members.push_back({{"num", s.num}, {"club", s.club}, {"licence", s.licence}, {"surname", s.surname},
                               {"first_name", s.firstName}, {"sex", s.sex}, {"birth_date", s.birthDate},
                               {"unique_code", s.uniqueCode}, {"results", h.results},
                               {"performances", h.performances}, {"relay_legs", h.relayLegs}});
        }
        list.push_back({{"confidence", confidenceKey(group.confidence)}, {"links", links}, {"swimmers", members}});
    }
    return {{"swimmers", swimmers.size()}, {"groups", list}};
}

}  // namespace couloir::host
