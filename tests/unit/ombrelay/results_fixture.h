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

// One prres.txt line from its fields; split k goes to splits[k - 1].
struct ResultRecord {
    std::string event = "03";
    std::string type = "S";
    std::string heat = "01";
    std::string lane = "4";
    std::string order = "1";
    std::string club = kClub;
    std::string licence;
    std::string time = "02.1045";
    std::array<std::string, 14> splits{};
    std::string points = "0100";

    std::string line() const {
        std::string text = "001" + pad(event, 2) + pad(type, 1) + pad(heat, 2) + pad(lane, 1) + pad(order, 1) +
                           pad(club, 13) + pad(licence, 6) + strCadrerDroite(time, 7);
        for (const auto& split : splits) text += strCadrerDroite(split, 7);
        return text + pad(points, 4);
    }
};

class ResultsFixture : public StepFixture {
protected:
    ResultsFixture() {
        db().execute(test::sql("INSERT INTO Club (Code_federal, Intitule) VALUES ('" + kClub + "', 'Cercle des nageurs')"));
        context.lists.colClubsVus.add(kClub, kClub);
        context.strNageurReference = rows("SELECT Num FROM Licence WHERE Nom = 'Null'").at(0);
        context.tabDatesNages[3] = "05 mars 2026";
        context.tabDatesNages[43] = "06 mars 2026";
    }

    // Stores a swimmer and remembers him as the licence step does; his Num.
    std::string addSwimmer(const std::string& licence, const std::string& sex = "F", const std::string& age = "15",
                           const std::string& club = kClub, bool remembered = true) {
        db().execute(test::sql("INSERT INTO Licence (Code_Club, Licence, Nom, Sexe) VALUES ('" + club + "', '" + licence +
                     "', 'NAGEUR " + licence + "', '" + sex + "')"));
        std::string num = rows("SELECT max(Num) FROM Licence").at(0);
        if (remembered) {
            context.lists.colLicencesNum.add(club + licence, num);
            context.lists.colLicencesAge.add(club + licence, age);
        }
        return num;
    }

    // Declares a relay team as relais.txt does.
    void addRelay(const std::string& key, const std::string& composition, const std::string& firstAge) {
        context.colCompositionsRelais.add(key, composition);
        if (!firstAge.empty()) context.colAgesPremierRelayeur.add(key, firstAge);
    }

    // Runs the results step on these lines with points computed by a stand-in
    // component that counts its calls.
    bool import(const std::vector<ResultRecord>& records) {
        std::vector<std::string> lines;
        for (const auto& record : records) lines.push_back(record.line());
        context.files.prres = file("prres.txt", lines);
        return ImporterResultats(context, 1.0, [this] {
            return [this](double event, double time) {
                pointsCalls.push_back({event, time});
                return std::string(" 777 ");
            };
        });
    }

    std::vector<std::pair<double, double>> pointsCalls;
};

}  // namespace couloir::ombrelay::test
