// Results-import steps on a fresh database: a club, swimmers remembered in
// the lookup lists as the licence step leaves them, relay compositions, and
// prres.txt / relais.txt / engag.txt lines built from their fields.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "results_import/results_step.h"
#include "results_import/steps.h"
#include "step_fixture.h"

namespace couloir::ombrelay::test {

inline const std::string kClub = "FRA1000000001";

// One prres.txt line from its fields; split k goes to inters[k - 1].
struct Resultat {
    std::string epreuve = "03";
    std::string type = "S";
    std::string serie = "01";
    std::string couloir = "4";
    std::string ordre = "1";
    std::string club = kClub;
    std::string licence;
    std::string temps = "02.1045";
    std::array<std::string, 14> inters{};
    std::string points = "0100";

    std::string ligne() const {
        std::string texte = "001" + pad(epreuve, 2) + pad(type, 1) + pad(serie, 2) + pad(couloir, 1) + pad(ordre, 1) +
                            pad(club, 13) + pad(licence, 6) + strCadrerDroite(temps, 7);
        for (const auto& inter : inters) texte += strCadrerDroite(inter, 7);
        return texte + pad(points, 4);
    }
};

class ResultsFixture : public StepFixture {
protected:
    ResultsFixture() {
        db().execute("INSERT INTO Club (Code_federal, Intitule) VALUES ('" + kClub + "', 'Cercle des nageurs')");
        context.lists.colClubsVus.add(kClub, kClub);
        context.strNageurReference = rows("SELECT Num FROM Licence WHERE Nom = 'Null'").at(0);
        context.tabDatesNages[3] = "05 mars 2026";
        context.tabDatesNages[43] = "06 mars 2026";
    }

    // Stores a swimmer and remembers him as the licence step does; his Num.
    std::string nageur(const std::string& licence, const std::string& sexe = "F", const std::string& age = "15",
                       const std::string& club = kClub, bool memorise = true) {
        db().execute("INSERT INTO Licence (Code_Club, Licence, Nom, Sexe) VALUES ('" + club + "', '" + licence +
                     "', 'NAGEUR " + licence + "', '" + sexe + "')");
        std::string num = rows("SELECT max(Num) FROM Licence").at(0);
        if (memorise) {
            context.lists.colLicencesNum.add(club + licence, num);
            context.lists.colLicencesAge.add(club + licence, age);
        }
        return num;
    }

    // Declares a relay team as relais.txt does.
    void relais(const std::string& cle, const std::string& composition, const std::string& agePremier) {
        context.colCompositionsRelais.add(cle, composition);
        if (!agePremier.empty()) context.colAgesPremierRelayeur.add(cle, agePremier);
    }

    // Runs the results step on these lines with points computed by a stand-in
    // component that counts its calls.
    bool importer(const std::vector<Resultat>& resultats) {
        std::vector<std::string> lignes;
        for (const auto& resultat : resultats) lignes.push_back(resultat.ligne());
        context.files.prres = file("prres.txt", lignes);
        return ImporterResultats(context, 1.0, [this] {
            return [this](double epreuve, double temps) {
                appelsPoints.push_back({epreuve, temps});
                return std::string(" 777 ");
            };
        });
    }

    std::vector<std::pair<double, double>> appelsPoints;
};

}  // namespace couloir::ombrelay::test
