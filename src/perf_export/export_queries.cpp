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

// The swimmers of the scope: their tables and conditions.
std::string swimmersFromWhere(const ExportScope& scope) {
    std::string from = "FROM Club Club, Licence Licence";
    std::string where = " WHERE Club.Code_federal = Licence.Code_Club";
    if (!scope.bAllClub) {
        if (scope.bSelection) {
            from += ", Selection Selection";
            where += " AND LIcence.Num = Selection.Num_Lic AND Selection.Code_sel = " + sqlQuote(scope.strCodeClub);
        } else {
            where += " AND Club.Code_federal = " + sqlQuote(scope.strCodeClub);
        }
    }
    return from + where;
}

std::string relayFromWhere(const ExportScope& scope) {
    std::string sql = "FROM Nage Nage, Club Club, Liffn_relais Liffn_relais "
                      "WHERE Nage.Code_Nage = Liffn_relais.Code_epreuve AND Club.Code_federal = Liffn_relais.Code_club";
    if (!scope.bAllClub) sql += " AND Club.Code_federal = " + sqlQuote(scope.strCodeClub);
    return sql;
}

}  // namespace

// The orders end with enough columns to leave no two rows tied, so that the
// files come out the same whatever the engine.
std::string swimmersQuery(const ExportScope& scope) {
    return "SELECT Club.Code_federal, Club.Intitule, " + std::string(kLicenceColumns) + ", Licence.Num " +
           swimmersFromWhere(scope) + " ORDER BY Club.Intitule, Licence.Licence, Licence.Num";
}

std::string swimmerNumsQuery(const ExportScope& scope) { return "SELECT Licence.Num " + swimmersFromWhere(scope); }

std::string performancesQuery(const ExportScope& scope) {
    std::string sql = "SELECT " + std::string(kPerformanceColumns) + " FROM Liffn Liffn";
    // Every club: the whole table, read in its order, is cheaper than one
    // index search per performance.
    if (!scope.bAllClub) sql += " WHERE Liffn.Num_Lic IN (" + swimmerNumsQuery(scope) + ")";
    return sql;
}

std::string relayCountQuery(const ExportScope& scope) { return "SELECT Count(*) " + relayFromWhere(scope); }

std::string relayRowsQuery(const ExportScope& scope) {
    return "SELECT " + std::string(kRelayColumns) + " " + relayFromWhere(scope) +
           " ORDER BY Club.Intitule, Liffn_relais.Code_epreuve, Club.Code_federal, Liffn_relais.Date_perf, "
           "Liffn_relais.Num_Lic, Liffn_relais.Tps";
}

std::string relayerQuery(const std::string& num) {
    return "SELECT Licence.Code_Club, " + std::string(kLicenceColumns) + ", Club.Intitule " +
           "FROM Club Club, Licence Licence WHERE Club.Code_federal = Licence.Code_Club AND Licence.Num = " + num;
}


}  // namespace couloir::plessaud
