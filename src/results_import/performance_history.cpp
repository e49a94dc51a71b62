#include "results_import/performance_history.h"

#include <cmath>
#include <initializer_list>

#include "shared/error.h"
#include "shared/text_date.h"
#include "shared/trace.h"

namespace couloir::ombrelay {
namespace {

struct ListeSousEpreuves {
    int epreuve;
    std::initializer_list<SousEpreuve> sousEpreuves;
};

// Women's events and mixed events 1 to 49; the men's events 51 to 99 repeat
// them 50 higher.
const ListeSousEpreuves kParSexe[] = {
    {2, {{1, 1}}},
    {3, {{2, 2}, {1, 3}}},
    {4, {{3, 4}, {2, 6}, {1, 7}}},
    {5, {{4, 4}, {3, 6}, {2, 7}}},
    {6, {{7, 5}, {5, 7}, {4, 11}, {3, 13}, {2, 14}}},
    {7, {{5, 2}, {4, 6}, {3, 8}, {2, 9}}},
    {9, {{1, 10}}},
    {12, {{11, 1}}},
    {13, {{12, 2}, {11, 3}}},
    {22, {{21, 1}}},
    {23, {{22, 2}, {21, 3}}},
    {32, {{31, 1}}},
    {33, {{32, 2}, {31, 3}}},
    {41, {{31, 3}}},
    {42, {{32, 6}, {31, 7}}},
    {43, {{2, 6}, {1, 7}}},
    {44, {{3, 6}, {2, 7}}},
    {45, {{2, 9}}},
    {46, {{12, 6}, {11, 7}}},
    {47, {{2, 2}}},
    {48, {{11, 3}}},
    {49, {{1, 5}}},
};

// Mixed relays: the first leg's event depends on the first swimmer's sex.
const ListeSousEpreuves kRelaisMixtes[] = {
    {34, {{103, 6}, {102, 7}}}, {35, {{101, 5}}}, {36, {{112, 6}, {111, 7}}}, {37, {{111, 3}}},
    {84, {{101, 10}}},          {85, {{102, 9}}}, {87, {{102, 2}}},           {88, {{102, 6}, {101, 7}}},
};

constexpr int kEcartHommes = 50;
constexpr int kPremiereEpreuveSelonSexe = 100;

// The index of an event code; "subscript out of range" outside 0 to 99.
int indexEpreuve(std::string_view code) {
    double valeur = numericValue(code);
    if (!(valeur > -0.5 && valeur < kNombreEpreuves - 0.5)) throw errors::subscriptOutOfRange();
    return static_cast<int>(roundHalfEven(valeur));
}

bool tempsValide(std::string_view temps) {
    double valeur = numericValue(temps);
    return valeur > 0 && valeur < 90;
}

// The event of a sex-dependent code for the first swimmer's sex; 0 when his
// sex is neither "M" nor "F".
int epreuveSelonSexe(int code, const std::string& sexe) {
    if (sexe == "M") return code - kEcartHommes;
    if (sexe == "F") return code - 2 * kEcartHommes;
    return 0;
}

// One performance row for the swimmer or relay the line stands for now.
struct Performance {
    std::string_view table;
    std::string_view epreuve;
    std::string_view temps;
    char passageRelais;  // 'R' for a relay's first leg, else a space
    bool tempsInter;     // taken from a split time
};

void insererPerformance(ImportContext& context, const ChampsResultat& champs, const LigneResolue& ligne,
                        const std::string& jour, const Performance& performance) {
    std::string sql;
    sql.reserve(320);
    sql += "INSERT INTO ";
    sql += performance.table;
    sql += " (Code_epreuve, Code_club, Date_perf, Num_Lic, Tps";
    sql += ligne.relais ? ", Licence1, Licence2, Licence3, Licence4, Licence5, Licence6, Licence7, Licence8, "
                          "Licence9, Licence10"
                        : ", Age, Passage_relais, Tps_inter";
    sql += ", Num_compet) VALUES (";
    sql += performance.epreuve;
    sql += ", ";
    sql += sqlQuote(champs[kChampClub]);
    sql += ", ";
    sql += sqlQuote(jour);
    sql += ", ";
    sql += champs[kChampLicence];
    sql += ", ";
    sql += performance.temps;
    if (ligne.relais) {
        sql += strListeRelayeurs(ligne.relayeurs);
    } else {
        sql += ", ";
        sql += ligne.age;
        sql += ", ";
        sql += sqlQuote(std::string_view(&performance.passageRelais, 1));
        sql += ", ";
        sql += strVraiFaux(performance.tempsInter);
    }
    sql += ", ";
    sql += context.competition;
    sql += ");";
    context.db().execute(sql);
}

// From here on the line stands for the relay's first swimmer.
void passerAuPremierRelayeur(ChampsResultat& champs, LigneResolue& ligne) {
    ligne.relais = false;
    champs[kChampClub] = ligne.clubPremierRelayeur;
    champs[kChampLicence] = ligne.premierRelayeur;
    ligne.age = ligne.agePremierRelayeur;
    ligne.tablePerformance = "Liffn";
}

}  // namespace

TableSousEpreuves ChargerSousEpreuves() {
    TableSousEpreuves table;
    for (const auto& liste : kParSexe) {
        table[static_cast<std::size_t>(liste.epreuve)] = liste.sousEpreuves;
        auto& hommes = table[static_cast<std::size_t>(liste.epreuve + kEcartHommes)];
        for (SousEpreuve sousEpreuve : liste.sousEpreuves)
            hommes.push_back({sousEpreuve.epreuve + kEcartHommes, sousEpreuve.inter});
    }
    for (const auto& liste : kRelaisMixtes) table[static_cast<std::size_t>(liste.epreuve)] = liste.sousEpreuves;
    return table;
}

const std::string& JoursProgramme::jour(int epreuve) {
    auto i = static_cast<std::size_t>(epreuve);
    if (!convertis_[i]) {
        const std::string& date = datesLongues_[i];
        jours_[i] = date.empty() ? std::string() : formatAaaammjj(parseLongDate(date));
        convertis_[i] = true;
    }
    return jours_[i];
}

bool bInsererPerformances(ImportContext& context, long numeroLigne, ChampsResultat& champs, LigneResolue& ligne,
                          const TableSousEpreuves& sousEpreuves, JoursProgramme& jours) {
    if (champs[kChampEpreuve].empty()) return true;
    try {
        int epreuveLigne = indexEpreuve(champs[kChampEpreuve]);
        const std::string& jour = jours.jour(epreuveLigne);
        const auto& derivees = sousEpreuves[static_cast<std::size_t>(epreuveLigne)];
        std::string epreuve = champs[kChampEpreuve];
        std::string_view temps = champs[kChampTemps];
        char passageRelais = ' ';
        bool tempsInter = false;
        // The line's own time first, then the derived events in table order.
        for (std::size_t k = 0;; ++k) {
            if (tempsValide(temps))
                insererPerformance(context, champs, ligne, jour,
                                   {ligne.tablePerformance, epreuve, temps, passageRelais, tempsInter});
            if (ligne.relais) {
                // After the relay's own performance, or in its place when the
                // relay has no valid time: the first leg is its first swimmer's.
                if (ligne.premierRelayeur.empty() || ligne.sexePremierRelayeur.empty()) return true;
                passerAuPremierRelayeur(champs, ligne);
                passageRelais = 'R';
            } else {
                // Past the swimmer's own finish (the line's time, or the
                // relay's first leg), valid or not, every row is a split.
                tempsInter = true;
            }
            if (k >= derivees.size()) return true;
            int code = derivees[k].epreuve;
            if (code >= kPremiereEpreuveSelonSexe) {
                code = epreuveSelonSexe(code, ligne.sexePremierRelayeur);
                if (code == 0) return true;
            }
            epreuve = std::to_string(code);
            temps = champs[kChampTemps + derivees[k].inter];
        }
    } catch (const Error& e) {
        context.trace().EcrireErreur("Une erreur s'est produite lors de l'ajout dans la table des performances.",
                                     numeroLigne, &e);
        return false;
    }
}

}  // namespace couloir::ombrelay
