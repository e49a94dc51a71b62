#include "results_import/result_rows.h"

#include "shared/text_date.h"
#include "shared/error.h"
#include "shared/text_date.h"
#include "shared/trace.h"

namespace couloir::ombrelay {
namespace {

constexpr std::string_view kSuffixeRelais = "_relais";

bool retrouverLicence(ImportContext& context, long numeroLigne, ChampsResultat& champs, LigneResolue& ligne) {
    const std::string cle = champs[kChampClub] + champs[kChampLicence];
    if (!bLireCollection(context.lists.colLicencesNum, cle, champs[kChampLicence])) {
        context.trace().EcrireLigneErreur(numeroLigne,
                                          "Impossible de retrouver la licence de code " + cle +
                                              " (code club + licence)." + std::string(CRLF) +
                                              "Celle ci n'était pas dans le fichier licence.txt",
                                          "Erreur");
        return false;
    }
    bLireCollection(context.lists.colLicencesAge, cle, ligne.age);
    return true;
}

// The relayers' Num in leg order, from a composition "n1~n2~..."; the slots
// beyond it stay empty.
void repartirComposition(std::string_view composition, Relayeurs& relayeurs) {
    for (auto& relayeur : relayeurs) relayeur.clear();
    if (composition.empty()) return;
    std::size_t debut = 0;
    for (std::size_t i = 0; i < relayeurs.size(); ++i) {
        std::size_t fin = composition.find('~', debut);
        relayeurs[i].assign(composition.substr(debut, fin - debut));
        if (fin == std::string_view::npos) return;
        debut = fin + 1;
    }
}

// Club and sex of the first relayer from his Licence row; a warning, and no
// first relayer, when the row is missing.
void chargerPremierRelayeur(ImportContext& context, long numeroLigne, LigneResolue& ligne) {
    ligne.clubPremierRelayeur.clear();
    ligne.sexePremierRelayeur.clear();
    if (ligne.premierRelayeur.empty()) return;
    Columns colonnes =
        context.db().ChargerColonnes("select Code_Club, Sexe from Licence where Num = " + ligne.premierRelayeur);
    if (colonnes.hasRows()) {
        ligne.clubPremierRelayeur = colonnes.at(0, 0);
        ligne.sexePremierRelayeur = colonnes.at(1, 0);
        return;
    }
    context.trace().EcrireLigneErreur(numeroLigne,
                                      "Impossible de retrouver le club du premier relayeur" + std::string(CRLF) +
                                          "Temps intermédiaires non mémorisés.",
                                      "Warning");
    ligne.premierRelayeur.clear();
}

bool retrouverRelais(ImportContext& context, long numeroLigne, ChampsResultat& champs, LigneResolue& ligne) {
    ligne.tableResultat += kSuffixeRelais;
    ligne.tablePerformance += kSuffixeRelais;
    const std::string cle = champs[kChampEpreuve] + champs[kChampClub] + champs[kChampLicence];
    std::string composition;
    if (!bLireCollection(context.colCompositionsRelais, cle, composition)) {
        context.trace().EcrireLigneErreur(numeroLigne,
                                          "Impossible de retrouver la composition du relais de code " + cle +
                                              " (code epreuve + code club + licence)." + std::string(CRLF) +
                                              "Le relais n'est pas déclaré dans le fichier relais.txt",
                                          "Erreur");
        return false;
    }
    repartirComposition(composition, ligne.relayeurs);
    ligne.premierRelayeur = ligne.relayeurs[0];
    bLireCollection(context.colAgesPremierRelayeur, cle, ligne.agePremierRelayeur);
    chargerPremierRelayeur(context, numeroLigne, ligne);
    for (auto& relayeur : ligne.relayeurs)
        if (relayeur.empty()) relayeur = context.strNageurReference;
    champs[kChampLicence] = shortestDecimal(numericValue(charSubstr(champs[kChampLicence], 2, 3)));
    return true;
}

}  // namespace

bool bRetrouverNageur(ImportContext& context, long numeroLigne, ChampsResultat& champs, LigneResolue& ligne) {
    ligne.age.clear();
    ligne.premierRelayeur.clear();
    ligne.agePremierRelayeur.clear();
    ligne.clubPremierRelayeur.clear();
    ligne.sexePremierRelayeur.clear();
    try {
        return ligne.relais ? retrouverRelais(context, numeroLigne, champs, ligne)
                            : retrouverLicence(context, numeroLigne, champs, ligne);
    } catch (const Error& e) {
        context.trace().EcrireErreur(
            std::string("Une erreur s'est produite lors de la recherche d'informations ") +
                (ligne.relais ? "sur la composition du relais et sur le premier relayeur." : "sur la licence."),
            numeroLigne, &e);
        return false;
    }
}

std::string strListeRelayeurs(const Relayeurs& relayeurs) {
    std::string liste;
    for (const auto& relayeur : relayeurs) {
        liste += ", ";
        liste += relayeur;
    }
    return liste;
}

bool bInsererResultat(ImportContext& context, long numeroLigne, const ChampsResultat& champs,
                      const LigneResolue& ligne) {
    try {
        const std::string& typeCourse = champs[kChampTypeCourse];
        const std::string& serie = champs[kChampSerie];
        // A final carries its category (first character) and final number
        // (last character) in the heat field.
        bool finale = typeCourse == "F";
        std::size_t longueurSerie = charCount(serie);
        std::string numeroSerie(finale && longueurSerie > 0 ? charSubstr(serie, longueurSerie - 1, 1) : serie);
        std::string categorie(finale ? charSubstr(serie, 0, 1) : "0");

        std::string sql;
        sql.reserve(640);
        auto valeur = [&sql](std::string_view texte) {
            sql += ", ";
            sql += texte;
        };
        sql += "INSERT INTO ";
        sql += ligne.tableResultat;
        sql +=
            " (Num_compet, Code_epreuve, Type_course, Numero_serie, Num_categorie, "
            "Numero_couloir, Numero_ordre_couloir, Code_club, Num_Lic"
            ", Tps, Inter1, Inter2, Inter3, Inter4, Inter5, Inter6, Inter7, Inter8, Inter9, Inter10, Inter11, "
            "Inter12, Inter13, Inter14"
            ", Cotation_Fede";
        if (ligne.relais)
            sql +=
                ", Licence1, Licence2, Licence3, Licence4, Licence5, Licence6, Licence7, Licence8, Licence9, "
                "Licence10";
        sql += ") VALUES (";
        sql += context.competition;
        valeur(sqlNumber(champs[kChampEpreuve]));
        valeur(sqlQuote(typeCourse));
        valeur(sqlNumber(numeroSerie));
        valeur(sqlNumber(categorie));
        valeur(sqlNumber(champs[kChampCouloir]));
        valeur(sqlNumber(champs[kChampOrdre]));
        valeur(sqlQuote(champs[kChampClub]));
        // Num_Lic, the time and the splits: resolved or normalised numbers.
        for (int champ = kChampLicence; champ <= kChampTemps + kNombreInters; ++champ) valeur(champs[champ]);
        valeur(sqlNumber(champs[kChampPoints]));
        if (ligne.relais) sql += strListeRelayeurs(ligne.relayeurs);
        sql += ");";
        context.db().execute(sql);
        return true;
    } catch (const Error& e) {
        context.trace().EcrireErreur("Echec de l'insertion des données dans la table " + ligne.tableResultat,
                                     numeroLigne, &e);
        return false;
    }
}

}  // namespace couloir::ombrelay
