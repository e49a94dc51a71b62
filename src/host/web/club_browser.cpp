#include "club_browser.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <tuple>

#include "shared/database.h"
#include "browser_queries.h"
#include "shared/text_date.h"

using json = nlohmann::ordered_json;

namespace couloir::host::web {
std::unique_ptr<Database> openForReading(const std::string& path) {
    auto db = openDatabase(path, DatabaseOptions{.nullText = NullText::Empty});
    db->begin(Database::Lock::Read);
    return db;
}

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

namespace {

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
