#include "swimmer_merge.h"

#include <array>
#include <optional>
#include <stdexcept>
#include <vector>

#include "shared/call_frame.h"
#include "shared/duplicate_swimmers.h"
#include "shared/statement.h"
#include "shared/text_date.h"
#include "shared/trace.h"

namespace couloir::host {
namespace {

// The tables whose relayer slots Licence1 to Licence10 name swimmers, and
// the report's name for the slots moved in each.
struct RelayTable {
    const char* table;
    const char* count;
};
constexpr std::array<RelayTable, 3> kRelayTables = {{{"Prres_relais", "relay_result_legs_moved"},
                                                      {"Liffn_relais", "relay_performance_legs_moved"},
                                                      {"Relais", "relay_entry_legs_moved"}}};

// The columns of Licence a merge reads and may fill, as the schema spells
// them (the engines differ in how they spell a "select *"). Not the removal
// date: a removed second row does not make the kept swimmer removed.
constexpr std::array<const char*, 23> kSwimmerColumns = {
    "Code_Club", "Licence", "Nom", "Prenom", "Sexe", "Date_Naissance", "Nationalite", "Adresse",
    "Suite_adresse", "Code_Postal", "Localite", "Telephone", "Sportive", "Synchro", "Water_Polo", "Plongeon",
    "Dirigeant", "Maitre", "Date_Depot", "Date_obliteration", "Type_licence", "Nature", "Code_unique",
};

// A row of Licence: its values in the order of kSwimmerColumns.
struct SwimmerRow {
    std::vector<std::string> values;

    const std::string& operator[](std::string_view column) const {
        for (std::size_t i = 0; i < kSwimmerColumns.size(); ++i)
            if (column == kSwimmerColumns[i]) return values[i];
        throw std::logic_error("colonne inconnue : " + std::string(column));
    }
    std::string described(const std::string& num) const {
        return "n° " + num + ", " + (*this)["Nom"] + " " + (*this)["Prenom"] + ", club " + (*this)["Code_Club"] +
               ", licence " + (*this)["Licence"];
    }
};

std::optional<SwimmerRow> swimmerRow(Database& db, const std::string& num) {
    Statement query("select ");
    for (const char* column : kSwimmerColumns) query.sql(column == kSwimmerColumns[0] ? "" : ", ").name(column);
    query.sql(" from Licence where Num = ").number(num);
    std::optional<SwimmerRow> found;
    db.forEachRow(query, [&](const Row& row) {
        found.emplace();
        for (int i = 0; i < row.fieldCount(); ++i) found->values.push_back(row.isNull(i) ? std::string() : row.text(i));
        return false;
    });
    return found;
}

// "? in (Licence1, ..., Licence10)": the swimmer holds one of the relay's slots.
Statement& inRelay(Statement& statement, const std::string& num) {
    statement.number(num).sql(" in (");
    for (int slot = 1; slot <= 10; ++slot) statement.sql(slot > 1 ? ", " : "").sql("Licence" + std::to_string(slot));
    return statement.sql(")");
}

// Why the two rows may not be merged, or nothing.
std::string refusal(Database& db, const std::string& keep, const std::string& merged, const SwimmerRow& kept,
                    const SwimmerRow& gone) {
    std::string a = identityKey(kept["Sexe"]), b = identityKey(gone["Sexe"]);
    if (!a.empty() && !b.empty() && a != b)
        return "les deux nageurs ne sont pas du même sexe (" + kept["Sexe"] + " et " + gone["Sexe"] + ")";
    Statement sameRace(
        "select count(*) from Prres a join Prres b on a.Num_compet = b.Num_compet and a.Code_epreuve = b.Code_epreuve"
        " and a.Type_course = b.Type_course where a.Num_Lic = ");
    sameRace.number(keep).sql(" and b.Num_Lic = ").number(merged);
    if (db.lValeurScalaire(sameRace) > 0)
        return "les deux nageurs ont chacun un résultat dans la même course : le nageur y serait deux fois";
    for (const auto& [table, count] : kRelayTables) {
        Statement both("select count(*) from ");
        both.name(table).sql(" where ");
        inRelay(both, keep).sql(" and ");
        inRelay(both, merged);
        if (db.lValeurScalaire(both) > 0)
            return "les deux nageurs nagent dans un même relais (" + std::string(table) + ") : le nageur y serait deux fois";
    }
    return {};
}

class Merge {
public:
    Merge(Session& session, std::string keep, std::string merged)
        : trace_(session.trace), db_(session.db()), keep_(std::move(keep)), merged_(std::move(merged)) {}

    // The rows of `table` that name the merged swimmer in `column` go to the kept one.
    long long move(const char* table, const std::string& column) {
        Statement statement = Statement::update("update", table);
        statement.sql(" set ").name(column).sql(" = ").number(keep_).sql(" where ").name(column).sql(" = ").number(merged_);
        return db_.execute(statement);
    }

    // Rows of the merged swimmer that the kept one has already (the same
    // `columns`) are removed, the others move.
    std::pair<long long, long long> moveKeepingOnce(const char* table, std::initializer_list<const char*> columns) {
        Statement twins = Statement::remove("delete from", table);
        twins.sql(" where Num_Lic = ").number(merged_).sql(" and exists (select 1 from ").name(table);
        twins.sql(" k where k.Num_Lic = ").number(keep_);
        for (const char* column : columns) twins.sql(" and k.").name(column).sql(" = ").name(table).sql(".").name(column);
        twins.sql(")");
        long long removed = db_.execute(twins);
        return {move(table, "Num_Lic"), removed};
    }

    long long moveRelayLegs(const char* table) {
        long long legs = 0;
        for (int slot = 1; slot <= 10; ++slot) legs += move(table, "Licence" + std::to_string(slot));
        return legs;
    }

    // The kept row's empty fields take the merged row's values; the names of those filled.
    std::vector<std::string> fillEmptyFields(const SwimmerRow& kept, const SwimmerRow& gone) {
        Statement fill = Statement::update("update", "Licence");
        std::vector<std::string> filled;
        for (std::size_t i = 0; i < kSwimmerColumns.size(); ++i) {
            if (!trim(kept.values[i]).empty() || trim(gone.values[i]).empty()) continue;
            fill.sql(filled.empty() ? " set " : ", ").name(kSwimmerColumns[i]).sql(" = ").text(gone.values[i]);
            filled.push_back(kSwimmerColumns[i]);
        }
        if (!filled.empty()) db_.execute(fill.sql(" where Num = ").number(keep_));
        return filled;
    }

    void removeMerged() {
        db_.execute(Statement::remove("delete from", "Licence").sql(" where Num = ").number(merged_));
    }

    void say(const char* count, long long value, const std::string& text) {
        trace_.reportCount(count, value);
        trace_.write(text);
    }

private:
    Trace& trace_;
    Database& db_;
    std::string keep_, merged_;
};

std::string rows(long long count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count > 1 ? many : one);
}

bool mergeSequence(Session& session, const std::string& keep, const std::string& merged) {
    Trace& trace = session.trace;
    trace.beginStep("Fusion de deux nageurs");
    Database& db = session.db();
    auto kept = swimmerRow(db, keep), gone = swimmerRow(db, merged);
    for (const auto& [row, num] : {std::pair{&kept, keep}, std::pair{&gone, merged}})
        if (!*row) {
            trace.error("Fusion refusée : le nageur n° " + num + " n'est pas dans la base. Rien n'a été changé.");
            trace.setStepOutcome(StepOutcome::Failed);
            return false;
        }
    trace.write("Nageur gardé : " + kept->described(keep) + ".");
    trace.write("Nageur fusionné : " + gone->described(merged) + ".");
    if (std::string why = refusal(db, keep, merged, *kept, *gone); !why.empty()) {
        trace.error("Fusion refusée : " + why + ". Rien n'a été changé.");
        trace.setStepOutcome(StepOutcome::Failed);
        return false;
    }
    Merge merge(session, keep, merged);
    long long results = merge.move("Prres", "Num_Lic");
    merge.say("results_moved", results,
              "Prres : " + rows(results, "résultat individuel déplacé", "résultats individuels déplacés") + ".");
    for (const auto& [table, count] : kRelayTables) {
        long long legs = merge.moveRelayLegs(table);
        merge.say(count, legs,
                  std::string(table) + " : " + rows(legs, "place de relayeur reprise", "places de relayeur reprises") + ".");
    }
    auto [performances, samePerformances] = merge.moveKeepingOnce("Liffn", {"Code_epreuve", "Date_perf", "Tps"});
    merge.say("performances_moved", performances,
              "Liffn : " + rows(performances, "performance déplacée", "performances déplacées") + ", " +
                  rows(samePerformances, "déjà enregistrée pour le nageur gardé, supprimée",
                       "déjà enregistrées pour le nageur gardé, supprimées") + ".");
    trace.reportCount("performances_merged", samePerformances);
    auto [entries, sameEntries] = merge.moveKeepingOnce("Engag", {"Num_compet", "Num_profil", "Code_epreuve"});
    merge.say("entries_moved", entries,
              "Engag : " + rows(entries, "engagement déplacé", "engagements déplacés") + ", " +
                  rows(sameEntries, "en double supprimé", "en double supprimés") + ".");
    auto [entered, sameEntered] = merge.moveKeepingOnce("Engag_nageur", {"Num_compet", "Num_profil"});
    merge.say("entered_moved", entered,
              "Engag_nageur : " + rows(entered, "nageur engagé déplacé", "nageurs engagés déplacés") + ", " +
                  rows(sameEntered, "en double supprimé", "en double supprimés") + ".");
    auto [selections, sameSelections] = merge.moveKeepingOnce("Selection", {"Code_Sel"});
    merge.say("selections_moved", selections,
              "Selection : " + rows(selections, "sélection reprise", "sélections reprises") + ", " +
                  rows(sameSelections, "en double supprimée", "en double supprimées") + ".");
    std::vector<std::string> filled = merge.fillEmptyFields(*kept, *gone);
    std::string names;
    for (const auto& column : filled) names += (names.empty() ? "" : ", ") + column;
    merge.say("fields_filled", static_cast<long long>(filled.size()),
              filled.empty() ? "Licence : aucun champ vide du nageur gardé à compléter."
                             : "Licence : champs complétés depuis le nageur fusionné : " + names + ".");
    merge.removeMerged();
    trace.write("Licence : nageur n° " + merged + " supprimé ; son historique est celui du nageur n° " + keep + ".");
    return true;
}

}  // namespace

bool mergeSwimmers(const std::string& database, const std::string& keep, const std::string& merged,
                   const std::string& tracePath, const couloir_form* form) {
    CallFrame call{.tracePath = tracePath,
                   .database = database,
                   .form = form,
                   .openingLine = "Début de la fusion de deux nageurs : ",
                   .connection = ConnectionOptions{.nullText = NullText::Empty},
                   .closing = ClosingLine{"Fin de la fusion : ", 1}};
    return runCall(call, [&](Session& session) { return mergeSequence(session, keep, merged); });
}

}  // namespace couloir::host
