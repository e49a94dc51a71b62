#include "perf_import/reference_competition.h"

#include <charconv>
#include <limits>

#include "shared/clock.h"
#include "shared/club_import.h"
#include "shared/error.h"
#include "shared/text_date.h"

namespace couloir::tessimor {
namespace {

const std::string kNl(CRLF);
// Reads after an insert before giving up on seeing the new row.
constexpr int kReadAttempts = 5;

std::string firstValueOrEmpty(const Columns& columns) { return columns.hasRows() ? columns.at(0, 0) : std::string(); }

std::string competitionName(std::int16_t rank, const std::string& today) {
    return (rank == 1 ? std::string("1er") : std::to_string(rank) + "ème") + " import perf du " + today;
}

// A competition number read from the database; beyond 32 bits is an overflow.
std::int32_t competitionNumber(const std::string& text) {
    std::int64_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) throw errors::typeMismatch();
    if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max())
        throw errors::overflow();
    return static_cast<std::int32_t>(value);
}

// The reference pool's Num, created when missing; empty when that failed.
std::string referencePool(Database& db, Trace& trace) {
    std::string pool = strPiscineReference(db);
    if (!pool.empty()) return pool;
    trace.write("Impossible de trouver la piscine référence. Création de celle ci.");
    db.execute(Statement::insert("INSERT INTO", "Piscine").sql(" (Nom) VALUES (").text(kPlaceholderLabel).sql(");"));
    for (int i = 0; i < kReadAttempts && pool.empty(); ++i) pool = strPiscineReference(db);
    if (pool.empty()) trace.error("La création de la piscine référence a échoué.");
    else trace.write("Création réussie de la piscine de référence.");
    return pool;
}

}  // namespace

std::string strPiscineReference(Database& db) {
    return firstValueOrEmpty(db.ChargerColonnes(Statement("SELECT Num from Piscine WHERE Nom = ").text(kPlaceholderLabel)));
}

std::string strCompetitionParNom(Database& db, const std::string& name) {
    return firstValueOrEmpty(db.ChargerColonnes(Statement("SELECT AutoNum FROM Rcomp WHERE Nom = ").text(name)));
}

std::optional<std::int32_t> iCreerCompetitionReference(Database& db, Trace& trace) {
    try {
        trace.write("Création de la référence dans la table des compétitions");
        std::string pool = referencePool(db, trace);
        if (pool.empty()) return std::nullopt;

        std::string today = todayYyyymmdd();
        std::int16_t rank = 1;
        std::string name = competitionName(rank, today);
        while (!strCompetitionParNom(db, name).empty()) {
            rank = toInt16(std::int64_t{rank} + 1);
            name = competitionName(rank, today);
        }
        db.execute(Statement::insert("INSERT INTO", "Rcomp")
                       .sql(" (Num, Type, Nom, debut, fin, Deroule, Visible, Num_Piscine) VALUES (")
                       .text(" ")
                       .sql(", ")
                       .text("C")
                       .sql(", ")
                       .text(name)
                       .sql(", ")
                       .text(today)
                       .sql(", ")
                       .text(today)
                       .sql(", ")
                       .boolean(true)
                       .sql(", ")
                       .boolean(false)
                       .sql(", ")
                       .number(pool)
                       .sql(");"));

        std::string number;
        for (int i = 0; i < kReadAttempts && number.empty(); ++i) number = strCompetitionParNom(db, name);
        if (number.empty()) {
            trace.error("La création de la référence dans la table des compétitions a échoué." + kNl);
            return std::nullopt;
        }
        std::int32_t competition = competitionNumber(number);
        trace.write("Création réussie de la référence dans la table des compétitions." + kNl);
        return competition;
    } catch (...) {
        Error e = caughtError();
        trace.error("Une erreur s'est produite lors de la création de la référence de cette import "
                    "dans la table des compétitions." +
                    kNl + strTexteErreur(e));
        return std::nullopt;
    }
}

}  // namespace couloir::tessimor
