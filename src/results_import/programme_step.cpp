// pcomp.txt: the competition's programme. Replaces the competition's rows of
// Pcomp, fills tabDatesNages with the date of each event and compares the
// programme's first and last days with the competition's dates.
#include <array>
#include <cctype>
#include <cstdio>
#include <string>
#include <vector>

#include "results_import/steps.h"
#include "shared/files.h"
#include "shared/record_layouts.h"

namespace couloir::ombrelay {
namespace {

constexpr int kEventCodes = 100;
constexpr std::size_t kFinalsTypeColumn = 16;  // 0-based; read as it stands, blanks included

// What one line says of its event; a later line with the same code replaces it.
struct Event {
    long line = 0;
    std::int16_t day = 1;
    std::int16_t ranking = 0;
    std::int16_t finals = 0;
    std::string finalsType;
    std::int16_t order = 0;
};

struct Programme {
    std::array<Event, kEventCodes> events;
    std::vector<int> codes;             // each line's code, in file order
    std::vector<std::string> yyyymmdd;  // each line's date, empty when invalid
    Date first{}, last{};
};

std::int16_t smallNumber(std::string_view field) { return toInt16(roundHalfEven(numericValue(field))); }

int eventCode(std::string_view field) {
    std::int64_t code = roundHalfEven(numericValue(field));
    if (code < 0 || code >= kEventCodes) throw errors::subscriptOutOfRange();
    return static_cast<int>(code);
}

// Reads the file, dates the programme from its earliest and latest event,
// numbers the days and fills tabDatesNages. An event without a valid date
// leaves an empty earliest date, and a plausible text that is no calendar date
// (31/02) cannot be dated: both fail the read.
Programme readProgramme(ImportContext& context, double increment) {
    Programme programme;
    std::string earliest = "99999999", latest = "00000000";
    LineReader reader(context.files.pcomp, &context.trace());
    std::string line;
    std::int16_t lineNumber = 0;
    while (reader.next(line, false)) {
        lineNumber = toInt16(lineNumber + 1);
        reader.requireText();
        std::vector<std::string> f = cutFields(line, kPcompWidths);
        int code = eventCode(f[kPcompEpreuve]);
        programme.events[code] = Event{lineNumber,
                                       1,
                                       smallNumber(f[kPcompType]),
                                       smallNumber(f[kPcompFinales]),
                                       std::string(charSubstr(line, kFinalsTypeColumn, 1)),
                                       smallNumber(f[kPcompOrdre])};
        std::string date = strJjmmaaaaVersAaaammjj(f[kPcompDate]);
        if (date < earliest) earliest = date;
        if (date > latest) latest = date;
        programme.codes.push_back(code);
        programme.yyyymmdd.push_back(date);
        AvancerProgression(context.form(), increment);
    }
    programme.first = parseYyyymmdd(earliest);
    programme.last = parseYyyymmdd(latest);

    for (std::size_t i = 0; i < programme.codes.size(); ++i) {
        const std::string& date = programme.yyyymmdd[i];
        Event& event = programme.events[programme.codes[i]];
        event.day = date.empty() ? 1 : toInt16(iEcartJours(programme.first, parseYyyymmdd(date)) + 1);
        context.tabDatesNages[programme.codes[i]] = strDateLongue(date);
    }
    return programme;
}

// False, with the list of the codes, when an event of the programme is not in Nage.
bool strokesKnown(ImportContext& context) {
    std::string unknown;
    for (int code = 0; code < kEventCodes; ++code) {
        if (context.tabDatesNages[code].empty()) continue;
        if (context.db().lValeurScalaire(Statement("select count(*) from Nage where Code_Nage = ").number(code)) == 0)
            unknown += std::string(CRLF) + std::to_string(code);
    }
    if (unknown.empty()) return true;
    context.trace().EcrireErreur("Des codes nages dans le fichier pcomp.txt sont incorrectes : " + unknown, 0);
    return false;
}

bool isRankingType(int type) { return type == 1 || type == 2 || type == 3 || type == 4 || type == 8; }
bool isFinalsType(const std::string& type) { return type == "T" || type == "C"; }

// Replaces out-of-range values by their defaults, warning on the event's line, and inserts the event.
void storeEvent(ImportContext& context, int code, const Event& event) {
    auto warn = [&](const std::string& message) { context.trace().EcrireLigneErreur(event.line, message, "Warning"); };
    const std::string codeText = std::to_string(code);
    const std::string ofEvent = " pour épreuve (code " + codeText + ")";
    const std::string noFinalsWhenTimed =
        "Il ne peut y avoir des finales pour une épreuve (code " + codeText + ") dont le classement est au temps.";

    int ranking = event.ranking;
    if (!isRankingType(ranking)) {
        warn("Type de classement" + ofEvent + " inconnu : " + std::to_string(ranking) +
             ". Classement au temps par défaut.");
        ranking = 1;
    }
    std::string finals, finalsType;
    if (ranking >= 2) {
        int number = event.finals;
        if (number < 1 || number > 3) {
            warn("Nombre de finales" + ofEvent + " inconnu : " + std::to_string(number) + ". Finale A par défaut.");
            number = 1;
        }
        finals = std::to_string(number);
        finalsType = event.finalsType;
        if (!isFinalsType(finalsType)) {
            warn("Type de finales" + ofEvent + " inconnu : " + finalsType + ". Finales toutes catégories par défaut.");
            finalsType = "T";
        }
    } else {
        // Ranking by time admits no finals: whatever the line says is dropped.
        if (event.finals >= 1) warn(noFinalsWhenTimed);
        if (isFinalsType(event.finalsType)) warn(noFinalsWhenTimed);
    }
    if (event.order == 0) warn("Numéro d'ordre" + ofEvent + " non défini.");

    context.db().execute(
        Statement::insert("INSERT INTO", "Pcomp")
            .sql(" (Num_compet, Code_epreuve, JourCourse, Type, nb_finales, Type_finale, num_ordre) VALUES (")
            .number(context.competition)
            .sql(", ")
            .number(code)
            .sql(", ")
            .number(event.day)
            .sql(", ")
            .text(std::to_string(ranking))
            .sql(", ")
            .text(finals)
            .sql(", ")
            .text(finalsType)
            .sql(", ")
            .number(event.order)
            .sql(");"));
}

// Events go in by code, not in file order; the bar moves one step per code.
void storeProgramme(ImportContext& context, const Programme& programme) {
    context.form().setValue("ProgressBar1", 0);
    context.db().execute(Statement::remove("DELETE FROM", "Pcomp").sql(" WHERE Num_compet = ").number(context.competition));
    for (int code = 0; code < kEventCodes; ++code) {
        if (!context.tabDatesNages[code].empty()) storeEvent(context, code, programme.events[code]);
        AvancerProgression(context.form(), 1);
    }
}


// A warning block when the competition and its programme do not begin (or end) on the same day.
void compareDates(Trace& trace, const std::string& article, const std::string& which, Date competition,
                  Date events) {
    if (competition == events) return;
    std::string lowerArticle = article;
    lowerArticle[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(lowerArticle[0])));
    const std::string nl(CRLF);
    trace.warning("Erreur dans les dates." + nl + article + which + " de la compétition ne correspond pas avec " +
                  lowerArticle + which + " des épreuves." + nl + "Date " + which +
                  " compétition : " + shortDate(competition) + nl + "Date " + which +
                  " épreuves : " + shortDate(events));
}

bool importProgramme(ImportContext& context, double increment) {
    Programme programme;
    try {
        programme = readProgramme(context, increment);
        if (!strokesKnown(context)) return false;
    } catch (...) {
        Error error = caughtError();
        context.trace().EcrireErreur(
            "Une erreur s'est produite lors de la récupération du programme de la compétition.", 0, &error);
        return false;
    }
    try {
        storeProgramme(context, programme);
    } catch (...) {
        Error error = caughtError();
        context.trace().EcrireErreur("Une erreur s'est produite lors de l'enregistrement du programme dans la base.",
                                     0, &error);
        return false;
    }
    compareDates(context.trace(), "Le ", "début", context.startDate, programme.first);
    compareDates(context.trace(), "La ", "fin", context.endDate, programme.last);
    return true;
}

}  // namespace

bool importProgrammeFile(ImportContext& context, double increment) {
    // Only the events of this file: a slot left from an earlier call would join the programme.
    context.clearEventDates();
    bool stored = importProgramme(context, increment);
    if (!stored) context.trace().error("Le programme n'a pas été enregistré.");
    context.trace().writeEmpty();
    return stored;
}

}  // namespace couloir::ombrelay
