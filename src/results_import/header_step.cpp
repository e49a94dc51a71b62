// rcomp.txt: the competition header. Reports every field in the trace,
// updates the competition's Rcomp row with one UPDATE and keeps venue, pool,
// codifications and dates for the later steps.
#include <string>
#include <vector>

#include "shared/text_date.h"
#include "results_import/steps.h"
#include "shared/clock.h"
#include "shared/files.h"
#include "shared/record_layouts.h"

namespace couloir::ombrelay {
namespace {

constexpr std::size_t kRecordLength = 98;

// The UPDATE of the competition's row, one "column = value" at a time.
struct Assignments {
    Statement update = Statement::update("UPDATE", "RComp").sql(" SET ");
    bool first = true;
    // The statement, ready for the column's value.
    Statement& add(std::string_view column) {
        update.sql(first ? "" : ", ").name(column).sql(" = ");
        first = false;
        return update;
    }
};

enum class Kind { Text, Number };

// A field that must not be empty: "label : value." or "label manquant.".
bool addRequired(Trace& trace, Assignments& set, const std::string& value, std::string_view label,
                 std::string_view column, Kind kind) {
    if (value.empty()) {
        trace.error(std::string(label) + " manquant.");
        return false;
    }
    trace.write(std::string(label) + " : " + value + ".");
    if (kind == Kind::Text) set.add(column).text(value);
    else set.add(column).number(value);
    return true;
}

bool addType(Trace& trace, Assignments& set, const std::string& code) {
    const std::string prefix = "Type de compétition : ";
    if (code == "C") trace.write(prefix + "Championnats.");
    else if (code == "I") trace.write(prefix + "Interclubs.");
    else {
        trace.error(prefix + " inconnu : " + code + ".");
        return false;
    }
    set.add("Type").text(code);
    return true;
}

// A ddmmyyyy date, stored as yyyymmdd and kept in `kept`. A plausible text
// that is no calendar date (31/02) is an error for the handler.
bool addDate(Trace& trace, Assignments& set, const std::string& field, std::string_view label,
             std::string_view column, Date& kept) {
    std::string yyyymmdd = strJjmmaaaaVersAaaammjj(field);
    if (yyyymmdd.empty()) {
        trace.error(std::string(label) + " incorrecte.");
        return false;
    }
    kept = parseYyyymmdd(yyyymmdd);
    trace.write(std::string(label) + " compétition : " + strDateLongue(yyyymmdd, "d mmmm yyyy") + ".");
    set.add(column).text(yyyymmdd);
    return true;
}

// A codification letter; an unknown one is reported and leaves the column as it was.
void addCodification(Trace& trace, Assignments& set, const std::string& letter, std::string_view label,
                     std::string_view column) {
    const std::string prefix = "Codification " + std::string(label);
    if (letter == "Q") trace.write(prefix + " : Qualificative.");
    else if (letter == "R") trace.write(prefix + " : Référence.");
    else if (letter == "A") trace.write(prefix + " : Animation.");
    else {
        trace.warning(prefix + " inconnue : " + letter + ".");
        return;
    }
    set.add(column).text(letter);
}

bool importHeader(ImportContext& context) {
    Trace& trace = context.trace();
    LineReader reader(context.files.rcomp, &context.trace());
    std::string line;
    if (!reader.next(line, false)) {
        trace.error("Le fichier rcomp.txt est vide.");
        return false;
    }
    if (!reader.isText()) {
        trace.EcrireLigneErreur(1, reader.refusal(), "Erreur");
        return false;
    }
    if (charCount(line) < kRecordLength) {
        trace.warning("Warning La ligne dans le fichier rcomp.txt n'a pas la longueur requise." + std::string(CRLF) +
                    "Les informations pourront être incomplètes." + std::string(CRLF));
    }
    std::vector<std::string> f = cutFields(line, kRcompWidths);

    Assignments set;
    if (!addRequired(trace, set, f[kRcompNum], "Numéro de la compétition", "Num", Kind::Text)) return false;
    if (!addType(trace, set, f[kRcompType])) return false;
    if (!addRequired(trace, set, f[kRcompNom], "Nom de la compétition", "Nom", Kind::Text)) return false;
    if (!addDate(trace, set, f[kRcompDebut], "Date de début", "Debut", context.startDate)) return false;
    if (!addDate(trace, set, f[kRcompFin], "Date de fin", "Fin", context.endDate)) return false;
    if (!addRequired(trace, set, f[kRcompLieu], "Lieu de la compétition", "Lieu", Kind::Text)) return false;
    context.venue = f[kRcompLieu];
    if (!addRequired(trace, set, f[kRcompLongueur], "Longueur du bassin", "Longueur", Kind::Number)) return false;
    context.poolLength = f[kRcompLongueur];
    if (!addRequired(trace, set, f[kRcompCouloirs], "Nombre de couloirs", "Nb_couloir", Kind::Number)) return false;

    // Kept as read, unknown letters included: the performance fix-ups write them all.
    context.federalCodification = f[kRcompCodifFede];
    context.interRegionalCodification = f[kRcompCodifInter];
    context.regionalCodification = f[kRcompCodifReg];
    context.departmentalCodification = f[kRcompCodifDepar];
    addCodification(trace, set, f[kRcompCodifFede], "fédérale", "Codif_fede");
    addCodification(trace, set, f[kRcompCodifInter], "inter-régionale", "Codif_inter");
    addCodification(trace, set, f[kRcompCodifReg], "régionale", "Codif_reg");
    addCodification(trace, set, f[kRcompCodifDepar], "départementale", "Codif_depar");

    // The competition has started once its first day has come.
    set.add("Deroule").boolean(context.startDate <= now().date);
    context.db().execute(set.update.sql(" WHERE AutoNum = ").number(context.competition));
    return true;
}

}  // namespace

bool importHeaderFile(ImportContext& context) {
    bool imported = false;
    try {
        imported = importHeader(context);
    } catch (...) {
        Error error = caughtError();
        context.trace().EcrireErreur("Une erreur s'est produite lors de la lecture du fichier rcomp.txt", 0, &error);
    }
    context.trace().writeEmpty();
    return imported;
}

}  // namespace couloir::ombrelay
