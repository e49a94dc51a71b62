// A competition's page: its header, its programme in words and its results
// by event and round, fastest first.
#include <algorithm>
#include <map>

#include "browser_queries.h"
#include "club_browser.h"
#include "programme_words.h"
#include "shared/text_date.h"

using json = nlohmann::ordered_json;

namespace couloir::host::web {
namespace {

struct Result {
    std::string time, points, swimmer, name, club;  // swimmer: his number, empty for a relay team
    bool relay = false;
};

struct Event {
    std::string event, round;
    std::vector<Result> results;
};

// A text as a JSON string; bytes that are not UTF-8 become U+FFFD.
void appendString(std::string& out, const std::string& text) {
    out += json(text).dump(-1, ' ', false, json::error_handler_t::replace);
}

// The events as the "events" array, written directly: a tree of JSON values
// for every result costs more than reading them.
std::string eventsText(const std::vector<Event>& events,
                       const std::map<std::string, std::pair<std::string, std::string>>& strokes) {
    std::string out = "[";
    for (const Event& event : events) {
        if (out.size() > 1) out += ',';
        auto stroke = strokes.find(event.event);
        out += "{\"event\":";
        appendString(out, event.event);
        out += ",\"label\":";
        appendString(out, stroke == strokes.end() ? std::string() : stroke->second.first);
        out += ",\"sex\":";
        appendString(out, stroke == strokes.end() ? std::string() : stroke->second.second);
        out += ",\"round\":";
        appendString(out, event.round);
        out += ",\"round_words\":";
        appendString(out, roundWords(event.round));
        out += ",\"results\":[";
        // Equal times share a place; the next time takes its rank. A swim without a time has none.
        std::size_t place = 0;
        for (std::size_t i = 0; i < event.results.size(); ++i) {
            const Result& result = event.results[i];
            if (!result.time.empty() && (i == 0 || result.time != event.results[i - 1].time)) place = i + 1;
            out += i ? ",{\"place\":" : "{\"place\":";
            out += result.time.empty() ? "null" : std::to_string(place);
            out += ",\"swimmer\":";
            if (result.relay) out += "null";
            else appendString(out, result.swimmer);
            out += ",\"name\":";
            appendString(out, result.name);
            out += ",\"club\":";
            appendString(out, result.club);
            out += ",\"time\":";
            appendString(out, result.time);
            out += ",\"points\":";
            appendString(out, result.points);
            out += '}';
        }
        out += "]}";
    }
    return out + "]";
}

}  // namespace

std::optional<std::string> ClubBrowser::competition(const std::string& number) const {
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
    auto clubName = [&](const std::string& code) {
        auto club = clubs.find(toUpperAscii(code));
        return club == clubs.end() ? std::string() : club->second;
    };
    std::map<std::pair<std::string, std::string>, Event> events;  // by event and round
    auto add = [&](std::string event, std::string round, Result result) {
        auto [it, added] = events.try_emplace({event, round});
        if (added) it->second = Event{std::move(event), std::move(round), {}};
        it->second.results.push_back(std::move(result));
    };
    const char* ordering = " order by Code_epreuve, Type_course, (Tps <= 0 or Tps >= 91), Tps";
    db->forEachRow(
        Statement("select Prres.Code_epreuve, Prres.Type_course, Prres.Tps, Prres.Cotation_Fede, Licence.Num, "
                  "Licence.Nom, Licence.Prenom, Prres.Code_club from Prres "
                  "left join Licence on Licence.Num = Prres.Num_Lic where Prres.Num_compet = ")
            .number(number)
            .sql(ordering),
        [&](const Row& row) {
            add(row.text(0), row.text(1),
                Result{swimTime(row.text(2)), row.text(3), row.text(4), row.text(5) + " " + row.text(6),
                       clubName(row.text(7))});
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
                       add(row.text(0), row.text(1), Result{swimTime(row.text(2)), row.text(3), {}, name, club, true});
                       return true;
                   });
    std::vector<Event> ordered;
    for (auto& [key, event] : events) ordered.push_back(std::move(event));
    std::stable_sort(ordered.begin(), ordered.end(), [](const Event& a, const Event& b) {
        double left = numericValue(a.event), right = numericValue(b.event);
        return left != right ? left < right : a.round < b.round;
    });
    return "{\"header\":" + header[0].dump(-1, ' ', false, json::error_handler_t::replace) +
           ",\"programme\":" + programme.dump(-1, ' ', false, json::error_handler_t::replace) +
           ",\"events\":" + eventsText(ordered, strokes) + "}";
}

}  // namespace couloir::host::web
