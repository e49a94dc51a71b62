#include "club_browser.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <tuple>

#include "shared/database.h"
#include "programme_words.h"
#include "shared/text_date.h"

using json = nlohmann::ordered_json;

namespace couloir::host::web {
namespace {

std::unique_ptr<Database> openForReading(const std::string& path) {
    auto db = openDatabase(path, DatabaseOptions{.nullText = NullText::Empty});
    db->begin(Database::Lock::Read);
    return db;
}

// The rows of a query as objects named by `names`, every value a text.
json rowsOf(Database& db, const Statement& query, const std::vector<const char*>& names) {
    json rows = json::array();
    db.forEachRow(query, [&](const Row& row) {
        json object = json::object();
        for (std::size_t i = 0; i < names.size(); ++i) object[names[i]] = row.text(static_cast<int>(i));
        rows.push_back(std::move(object));
        return true;
    });
    return rows;
}

long count(Database& db, const char* query) { return db.lValeurScalaire(Statement(query)); }

}  // namespace

std::string swimTime(const std::string& stored) {
    double value = numericValue(stored);
    if (!(value > 0) || value >= 91) return {};
    long hundredths = std::lround(value * 10000);  // m.sscc as a whole number mmsscc
    long minutes = hundredths / 10000, seconds = hundredths / 100 % 100, rest = hundredths % 100;
    char text[32];
    std::snprintf(text, sizeof text, "%ld:%02ld.%02ld", minutes, seconds, rest);
    return text;
}

double swimSeconds(const std::string& stored) {
    long hundredths = std::lround(numericValue(stored) * 10000);
    return static_cast<double>(hundredths / 10000 * 6000 + hundredths % 10000) / 100.0;
}

json ClubBrowser::summary() const {
    auto db = openForReading(database_);
    return json{{"clubs", count(*db, "select count(*) from Club where Intitule <> 'Null'")},
                {"swimmers", count(*db, "select count(*) from Licence where Nom <> 'Null'")},
                {"competitions", count(*db, "select count(*) from Rcomp")},
                {"performances", count(*db, "select count(*) from Liffn")},
                {"relay_performances", count(*db, "select count(*) from Liffn_relais")}};
}

json ClubBrowser::competitions() const {
    auto db = openForReading(database_);
    return rowsOf(*db,
                  Statement("select AutoNum, Nom, Debut, Fin, Lieu, Longueur, "
                  "(select count(*) from Prres where Prres.Num_compet = Rcomp.AutoNum) + "
                  "(select count(*) from Prres_relais where Prres_relais.Num_compet = Rcomp.AutoNum), "
                  "(select count(*) from Engag_nageur where Engag_nageur.Num_compet = Rcomp.AutoNum) "
                  "from Rcomp order by Debut desc, AutoNum desc"),
                  {"number", "name", "start", "end", "place", "pool", "results", "entries"});
}

json ClubBrowser::profiles() const {
    auto db = openForReading(database_);
    return rowsOf(*db,
                  Statement("select Profil.Num, Profil.Code_club, Club.Intitule, case when Club.Selection then '1' else '' end "
                            "from Profil left join Club on Club.Code_federal = Profil.Code_club order by Profil.Num"),
                  {"number", "club", "name", "selection"});
}

json ClubBrowser::clubs() const {
    auto db = openForReading(database_);
    return rowsOf(*db,
                  Statement("select Code_federal, Intitule, case when Selection then '1' else '' end from Club "
                            "where Intitule <> 'Null' order by Intitule"),
                  {"code", "name", "selection"});
}

std::optional<json> ClubBrowser::competition(const std::string& number) const {
    if (!isRowNumber(number)) return std::nullopt;
    auto db = openForReading(database_);
    json header = rowsOf(*db, Statement("select AutoNum, Nom, Debut, Fin, Lieu, Longueur from Rcomp where AutoNum = ").number(number),
                         {"number", "name", "start", "end", "place", "pool"});
    if (header.empty()) return std::nullopt;
    json programme = rowsOf(*db,
                            Statement("select Pcomp.Code_epreuve, Nage.Libelle, Nage.Sexe, Pcomp.JourCourse, Pcomp.Type, "
                                      "Pcomp.Nb_finales, Pcomp.Type_finale from Pcomp "
                                      "left join Nage on Nage.Code_Nage = Pcomp.Code_epreuve where Pcomp.Num_compet = ")
                                .number(number)
                                .sql(" order by Pcomp.JourCourse, Pcomp.Num_ordre, Pcomp.Code_epreuve"),
                            {"event", "label", "sex", "day", "type", "finals", "final_type"});
    // The day and the ranking in words, beside their codes.
    for (json& item : programme) {
        item["day_words"] = dayWords(header[0]["start"].get<std::string>(), item["day"].get<std::string>());
        item["ranking"] = rankingWords(item["type"].get<std::string>(), item["finals"].get<std::string>(),
                                       item["final_type"].get<std::string>());
    }
    // The few strokes and clubs are read once rather than joined to every result.
    std::map<std::string, std::pair<std::string, std::string>> strokes;  // code -> label, sex
    db->forEachRow(Statement("select Code_Nage, Libelle, Sexe from Nage"), [&](const Row& row) {
        strokes[row.text(0)] = {row.text(1), row.text(2)};
        return true;
    });
    std::map<std::string, std::string, std::less<>> clubs;
    db->forEachRow(Statement("select Code_federal, Intitule from Club"), [&](const Row& row) {
        clubs.try_emplace(toUpperAscii(row.text(0)), row.text(1));
        return true;
    });
    // Results by event and round, fastest first; a swim without a time has no place.
    std::map<std::pair<std::string, std::string>, json> events;
    std::vector<std::pair<std::string, std::string>> order;
    auto clubName = [&](const std::string& code) {
        auto club = clubs.find(toUpperAscii(code));
        return club == clubs.end() ? std::string() : club->second;
    };
    auto addResult = [&](const std::string& event, const std::string& round, const std::string& stored,
                         const std::string& points, json swimmer, std::string name, std::string club) {
        auto key = std::make_pair(event, round);
        auto [it, added] = events.try_emplace(key);
        if (added) {
            const auto& stroke = strokes[event];
            it->second = json{{"event", event},   {"label", stroke.first}, {"sex", stroke.second},
                              {"round", round},   {"results", json::array()}};
            order.push_back(key);
        }
        json& results = it->second["results"];
        std::string time = swimTime(stored);
        // Equal times share a place; the next time takes its rank.
        json place = nullptr;
        if (!time.empty()) {
            const json* previous = results.empty() ? nullptr : &results.back();
            place = previous && (*previous)["time"] == time ? (*previous)["place"] : json(results.size() + 1);
        }
        results.push_back(json{{"place", place},
                               {"swimmer", std::move(swimmer)},
                               {"name", std::move(name)},
                               {"club", std::move(club)},
                               {"time", time},
                               {"points", points}});
    };
    const char* ordering = " order by Code_epreuve, Type_course, (Tps <= 0 or Tps >= 91), Tps";
    db->forEachRow(
        Statement("select Prres.Code_epreuve, Prres.Type_course, Prres.Tps, Prres.Cotation_Fede, Licence.Num, "
                  "Licence.Nom, Licence.Prenom, Prres.Code_club from Prres "
                  "left join Licence on Licence.Num = Prres.Num_Lic where Prres.Num_compet = ")
            .number(number)
            .sql(ordering),
        [&](const Row& row) {
            addResult(row.text(0), row.text(1), row.text(2), row.text(3), row.text(4),
                      row.text(5) + " " + row.text(6), clubName(row.text(7)));
            return true;
        });
    // A relay is its club's team.
    db->forEachRow(Statement("select Code_epreuve, Type_course, Tps, Cotation_Fede, Code_club, Num_equipe from Prres_relais "
                             "where Num_compet = ")
                       .number(number)
                       .sql(ordering),
                   [&](const Row& row) {
                       std::string club = clubName(row.text(4)), team = row.text(5);
                       std::string name = team.empty() || team == "0" ? club : club + " (équipe " + team + ")";
                       addResult(row.text(0), row.text(1), row.text(2), row.text(3), nullptr, name, club);
                       return true;
                   });
    std::sort(order.begin(), order.end(), [](const auto& a, const auto& b) {
        double left = numericValue(a.first), right = numericValue(b.first);
        return left != right ? left < right : a.second < b.second;
    });
    json byEvent = json::array();
    for (const auto& key : order) byEvent.push_back(std::move(events[key]));
    return json{{"header", header[0]}, {"programme", programme}, {"events", byEvent}};
}

std::optional<json> ClubBrowser::club(const std::string& code) const {
    auto db = openForReading(database_);
    json found = rowsOf(*db,
                        Statement("select Code_federal, Intitule, case when Selection then '1' else '' end from Club "
                                  "where Code_federal = ")
                            .text(code),
                        {"code", "name", "selection"});
    if (found.empty()) return std::nullopt;
    json out = found[0];
    // Its swimmers by sex, then birth year (youngest last), then name.
    json groups = json::array();
    db->forEachRow(Statement("select Num, Nom, Prenom, Sexe, Date_Naissance, Licence, Code_unique from Licence "
                             "where Code_Club = ")
                       .text(code)
                       .sql(" order by Sexe, Date_Naissance, Nom, Prenom"),
                   [&](const Row& row) {
                       std::string sex = row.text(3), year = row.text(4).substr(0, 4);
                       if (groups.empty() || groups.back()["sex"] != sex || groups.back()["year"] != year)
                           groups.push_back(json{{"sex", sex}, {"year", year}, {"swimmers", json::array()}});
                       groups.back()["swimmers"].push_back(json{{"number", row.text(0)},
                                                                {"surname", row.text(1)},
                                                                {"first_name", row.text(2)},
                                                                {"birth", row.text(4)},
                                                                {"licence", row.text(5)},
                                                                {"unique_code", row.text(6)}});
                       return true;
                   });
    out["swimmers"] = groups;
    // The competitions it swam in: each competition's results are looked at
    // through their index, for this club only.
    out["competitions"] = rowsOf(
        *db,
        Statement("select AutoNum, Nom, Debut, Fin, Lieu, Longueur from Rcomp where exists (select 1 from Prres where "
                  "Prres.Num_compet = Rcomp.AutoNum and Prres.Code_club = ")
            .text(code)
            .sql(") or exists (select 1 from Prres_relais where Prres_relais.Num_compet = Rcomp.AutoNum and "
                 "Prres_relais.Code_club = ")
            .text(code)
            .sql(") order by Debut desc, AutoNum desc"),
        {"number", "name", "start", "end", "place", "pool"});
    // The club's best time per event, pool and sex, with who swam it and when.
    std::map<std::tuple<double, std::string, std::string>, json> best;
    db->forEachRow(
        Statement("select Liffn.Code_epreuve, Nage.Libelle, Liffn.Type_bassin, Licence.Sexe, Liffn.Tps, Liffn.Date_perf, "
                  "Liffn.Lieu, Licence.Num, Licence.Nom, Licence.Prenom from Licence "
                  "join Liffn on Liffn.Num_Lic = Licence.Num left join Nage on Nage.Code_Nage = Liffn.Code_epreuve "
                  "where Licence.Code_Club = ")
            .text(code),
        [&](const Row& row) {
            std::string time = swimTime(row.text(4));
            if (time.empty()) return true;
            double seconds = swimSeconds(row.text(4));
            auto key = std::make_tuple(numericValue(row.text(0)), row.text(2), row.text(3));
            auto at = best.find(key);
            if (at != best.end() && at->second["seconds"].get<double>() <= seconds) return true;
            best[key] = json{{"event", row.text(0)}, {"label", row.text(1)}, {"pool", row.text(2)},
                             {"sex", row.text(3)},   {"time", time},          {"seconds", seconds},
                             {"date", row.text(5)},  {"place", row.text(6)},  {"swimmer", row.text(7)},
                             {"name", row.text(8) + " " + row.text(9)}};
            return true;
        });
    json records = json::array();
    for (auto& [key, record] : best) records.push_back(std::move(record));
    out["best"] = records;
    return out;
}

std::optional<json> ClubBrowser::swimmer(const std::string& number) const {
    if (!isRowNumber(number)) return std::nullopt;
    auto db = openForReading(database_);
    json found = rowsOf(*db,
                        Statement("select Licence.Num, Licence.Nom, Licence.Prenom, Licence.Sexe, Licence.Date_Naissance, "
                                  "Licence.Licence, Licence.Code_Club, Club.Intitule from Licence "
                                  "left join Club on Club.Code_federal = Licence.Code_Club where Licence.Num = ")
                            .number(number),
                        {"number", "surname", "first_name", "sex", "birth", "licence", "club_code", "club"});
    if (found.empty()) return std::nullopt;
    json history = json::array();
    std::map<std::pair<std::string, std::string>, std::size_t> best;  // (event, pool) -> index in history
    db->forEachRow(
        Statement("select Liffn.Code_epreuve, Nage.Libelle, Liffn.Type_bassin, Liffn.Date_perf, Liffn.Tps, Liffn.Lieu, Nage.Sexe "
                  "from Liffn left join Nage on Nage.Code_Nage = Liffn.Code_epreuve where Liffn.Num_Lic = ")
            .number(number)
            .sql(" order by Liffn.Date_perf, Liffn.Code_epreuve"),
        [&](const Row& row) {
            std::string time = swimTime(row.text(4));
            if (time.empty()) return true;
            history.push_back(json{{"event", row.text(0)},
                                   {"label", row.text(1)},
                                   {"sex", row.text(6)},
                                   {"pool", row.text(2)},
                                   {"date", row.text(3)},
                                   {"time", time},
                                   {"seconds", swimSeconds(row.text(4))},
                                   {"place", row.text(5)}});
            auto key = std::make_pair(row.text(0), row.text(2));
            auto at = best.find(key);
            if (at == best.end() || history.back()["seconds"] < history[at->second]["seconds"])
                best[key] = history.size() - 1;
            return true;
        });
    json bests = json::array();
    for (const auto& [key, index] : best) bests.push_back(history[index]);
    json out = found[0];
    out["best"] = bests;
    out["history"] = history;
    return out;
}

}  // namespace couloir::host::web
