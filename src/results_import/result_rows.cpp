#include "results_import/result_rows.h"

#include "shared/text_date.h"
#include "shared/error.h"
#include "shared/text_date.h"
#include "shared/trace.h"

namespace couloir::ombrelay {
namespace {

constexpr std::string_view kRelaySuffix = "_relais";

bool findLicence(ImportContext& context, long lineNumber, ResultFields& fields, ResolvedLine& line) {
    const std::string key = fields[kClubField] + fields[kLicenceField];
    if (!bLireCollection(context.lists.colLicencesNum, key, fields[kLicenceField])) {
        context.trace().EcrireLigneErreur(lineNumber,
                                          "Impossible de retrouver la licence de code " + key +
                                              " (code club + licence)." + std::string(CRLF) +
                                              "Celle ci n'était pas dans le fichier licence.txt",
                                          "Erreur");
        return false;
    }
    bLireCollection(context.lists.colLicencesAge, key, line.age);
    return true;
}

// The relayers' Num in leg order, from a composition "n1~n2~..."; the slots
// beyond it stay empty.
void splitComposition(std::string_view composition, Relayers& relayers) {
    for (auto& relayer : relayers) relayer.clear();
    if (composition.empty()) return;
    std::size_t start = 0;
    for (std::size_t i = 0; i < relayers.size(); ++i) {
        std::size_t end = composition.find('~', start);
        relayers[i].assign(composition.substr(start, end - start));
        if (end == std::string_view::npos) return;
        start = end + 1;
    }
}

// Club and sex of the first relayer from his Licence row; a warning, and no
// first relayer, when the row is missing.
void loadFirstRelayer(ImportContext& context, long lineNumber, ResolvedLine& line) {
    line.firstRelayerClub.clear();
    line.firstRelayerSex.clear();
    if (line.firstRelayer.empty()) return;
    Columns columns =
        context.db().ChargerColonnes(
            Statement("select Code_Club, Sexe from Licence where Num = ").decimal(line.firstRelayer).readsOnly("Licence"));
    if (columns.hasRows()) {
        line.firstRelayerClub = columns.at(0, 0);
        line.firstRelayerSex = columns.at(1, 0);
        return;
    }
    context.trace().EcrireLigneErreur(lineNumber,
                                      "Impossible de retrouver le club du premier relayeur" + std::string(CRLF) +
                                          "Temps intermédiaires non mémorisés.",
                                      "Warning");
    line.firstRelayer.clear();
}

bool findRelay(ImportContext& context, long lineNumber, ResultFields& fields, ResolvedLine& line) {
    line.resultTable += kRelaySuffix;
    line.performanceTable += kRelaySuffix;
    const std::string key = fields[kEventField] + fields[kClubField] + fields[kLicenceField];
    std::string composition;
    if (!bLireCollection(context.colCompositionsRelais, key, composition)) {
        context.trace().EcrireLigneErreur(lineNumber,
                                          "Impossible de retrouver la composition du relais de code " + key +
                                              " (code epreuve + code club + licence)." + std::string(CRLF) +
                                              "Le relais n'est pas déclaré dans le fichier relais.txt",
                                          "Erreur");
        return false;
    }
    splitComposition(composition, line.relayers);
    line.firstRelayer = line.relayers[0];
    bLireCollection(context.colAgesPremierRelayeur, key, line.firstRelayerAge);
    loadFirstRelayer(context, lineNumber, line);
    for (auto& relayer : line.relayers)
        if (relayer.empty()) relayer = context.strNageurReference;
    fields[kLicenceField] = shortestDecimal(numericValue(charSubstr(fields[kLicenceField], 2, 3)));
    return true;
}

}  // namespace

bool bRetrouverNageur(ImportContext& context, long lineNumber, ResultFields& fields, ResolvedLine& line) {
    line.age.clear();
    line.firstRelayer.clear();
    line.firstRelayerAge.clear();
    line.firstRelayerClub.clear();
    line.firstRelayerSex.clear();
    try {
        return line.relay ? findRelay(context, lineNumber, fields, line)
                            : findLicence(context, lineNumber, fields, line);
    } catch (...) {
        Error e = caughtError();
        context.trace().EcrireErreur(
            std::string("Une erreur s'est produite lors de la recherche d'informations ") +
                (line.relay ? "sur la composition du relais et sur le premier relayeur." : "sur la licence."),
            lineNumber, &e);
        return false;
    }
}

void addRelayers(Statement& values, const Relayers& relayers) {
    for (const auto& relayer : relayers) values.decimal(relayer);
}

void addRelayerColumns(std::vector<std::string>& columns) {
    for (int i = 1; i <= kRelayerCount; ++i) columns.push_back("Licence" + std::to_string(i));
}

void appendValues(Database& db, std::string_view table, const std::vector<std::string>& columns, const Statement& values) {
    std::vector<std::pair<std::string, FieldValue>> row;
    row.reserve(columns.size());
    for (std::size_t i = 0; i < columns.size(); ++i) row.emplace_back(columns[i], values.values().at(i));
    db.appendRow(table, row);
}

namespace {

// The columns of a result row, a relay's with its relayers.
const std::vector<std::string>& resultColumns(bool relay) {
    static const std::vector<std::string> individual = [] {
        std::vector<std::string> columns = {"Num_compet",    "Code_epreuve",   "Type_course",          "Numero_serie",
                                            "Num_categorie", "Numero_couloir", "Numero_ordre_couloir", "Code_club",
                                            "Num_Lic",       "Tps"};
        for (int split = 1; split <= kSplitCount; ++split) columns.push_back("Inter" + std::to_string(split));
        columns.push_back("Cotation_Fede");
        return columns;
    }();
    static const std::vector<std::string> relays = [] {
        std::vector<std::string> columns = individual;
        addRelayerColumns(columns);
        return columns;
    }();
    return relay ? relays : individual;
}

}  // namespace

bool bInsererResultat(ImportContext& context, long lineNumber, const ResultFields& fields, const ResolvedLine& line) {
    try {
        const std::string& raceType = fields[kRaceTypeField];
        const std::string& heat = fields[kHeatField];
        // A final carries its category (first character) and final number
        // (last character) in the heat field.
        bool isFinal = raceType == "F";
        std::size_t heatLength = charCount(heat);
        std::string heatNumber(isFinal && heatLength > 0 ? charSubstr(heat, heatLength - 1, 1) : heat);
        std::string category(isFinal ? charSubstr(heat, 0, 1) : "0");

        Statement values;
        values.number(context.competition);
        values.number(fields[kEventField]);
        values.text(raceType);
        values.number(heatNumber);
        values.number(category);
        values.number(fields[kLaneField]);
        values.number(fields[kOrderField]);
        values.text(fields[kClubField]);
        // Num_Lic, the time and the splits: resolved or normalised numbers.
        for (int field = kLicenceField; field <= kTimeField + kSplitCount; ++field) values.decimal(fields[field]);
        values.number(fields[kPointsField]);
        if (line.relay) addRelayers(values, line.relayers);
        appendValues(context.db(), line.resultTable, resultColumns(line.relay), values);
        return true;
    } catch (...) {
        Error e = caughtError();
        context.trace().EcrireErreur("Echec de l'insertion des données dans la table " + line.resultTable,
                                     lineNumber, &e);
        return false;
    }
}

}  // namespace couloir::ombrelay
