#include "perf_export/export_queries.h"

#include "shared/swimmer_record.h"
#include "shared/text_date.h"

namespace couloir::plessaud {
namespace {

const char* const kLicenceColumns = kSwimmerColumns;

const char* const kPerformanceColumns =
    "Liffn.Num_Lic, Liffn.Code_epreuve, Liffn.Type_bassin, Liffn.Date_perf, Liffn.Tps, Liffn.Lieu, "
    "Liffn.Codif_Fede, Liffn.Codif_Inter, Liffn.Codif_Reg, Liffn.Codif_Depart, Liffn.Passage_relais";

const char* const kRelayColumns =
    "Club.Code_federal, Club.Intitule, Liffn_relais.Code_epreuve, Nage.Sexe, Nage.Libelle, Liffn_relais.Num_Lic, "
    "Liffn_relais.Type_bassin, "
    "Liffn_relais.Date_perf, Liffn_relais.Tps, Liffn_relais.Lieu, Liffn_relais.Licence1, Liffn_relais.Licence2, "
    "Liffn_relais.Licence3, "
    "Liffn_relais.Licence4, Liffn_relais.Licence5, Liffn_relais.Licence6, Liffn_relais.Licence7, "
    "Liffn_relais.Licence8, Liffn_relais.Licence9, Liffn_relais.Licence10, "
    "Liffn_relais.Codif_Fede, Liffn_relais.Codif_Inter, Liffn_relais.Codif_Reg, Liffn_relais.Codif_Depart";

// A query's head followed by the swimmers of the scope: their tables and conditions.
Statement swimmersFromWhere(Statement query, const ExportScope& scope) {
    if (scope.bAllClub) return query.sql("FROM Club Club, Licence Licence WHERE Club.Code_federal = Licence.Code_Club");
    if (scope.bSelection)
        return query
            .sql("FROM Club Club, Licence Licence, Selection Selection WHERE Club.Code_federal = Licence.Code_Club"
                 " AND LIcence.Num = Selection.Num_Lic AND Selection.Code_sel = ")
            .text(scope.strCodeClub);
    return query
        .sql("FROM Club Club, Licence Licence WHERE Club.Code_federal = Licence.Code_Club AND Club.Code_federal = ")
        .text(scope.strCodeClub);
}

// A query's head followed by the relay performances of the scope.
Statement relayFromWhere(Statement query, const ExportScope& scope) {
    query.sql("FROM Nage Nage, Club Club, Liffn_relais Liffn_relais "
              "WHERE Nage.Code_Nage = Liffn_relais.Code_epreuve AND Club.Code_federal = Liffn_relais.Code_club");
    if (!scope.bAllClub) query.sql(" AND Club.Code_federal = ").text(scope.strCodeClub);
    return query;
}

}  // namespace

// The orders end with enough columns to leave no two rows tied, so that the
// files come out the same whatever the engine.
Statement swimmersQuery(const ExportScope& scope) {
    return swimmersFromWhere(Statement("SELECT Club.Code_federal, Club.Intitule, ").sql(kLicenceColumns).sql(", Licence.Num "),
                             scope)
        .sql(" ORDER BY Club.Intitule, Licence.Licence, Licence.Num");
}

Statement swimmerNumsQuery(const ExportScope& scope) { return swimmersFromWhere(Statement("SELECT Licence.Num "), scope); }

Statement performancesQuery(const ExportScope& scope) {
    Statement query("SELECT ");
    query.sql(kPerformanceColumns).sql(" FROM Liffn Liffn");
    // Every club: the whole table, read in its order, is cheaper than one
    // index search per performance.
    if (!scope.bAllClub) query.sql(" WHERE Liffn.Num_Lic IN (").append(swimmerNumsQuery(scope)).sql(")");
    return query;
}

Statement relayCountQuery(const ExportScope& scope) { return relayFromWhere(Statement("SELECT Count(*) "), scope); }

Statement relayRowsQuery(const ExportScope& scope) {
    return relayFromWhere(Statement("SELECT ").sql(kRelayColumns).sql(" "), scope)
        .sql(" ORDER BY Club.Intitule, Liffn_relais.Code_epreuve, Club.Code_federal, Liffn_relais.Date_perf, "
             "Liffn_relais.Num_Lic, Liffn_relais.Tps");
}

Statement relayerQuery(const std::string& num) {
    return Statement("SELECT Licence.Code_Club, ")
        .sql(kLicenceColumns)
        .sql(", Club.Intitule FROM Club Club, Licence Licence WHERE Club.Code_federal = Licence.Code_Club AND Licence.Num = ")
        .number(num);
}

}  // namespace couloir::plessaud
