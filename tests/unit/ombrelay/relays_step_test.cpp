#include <string>

#include "results_fixture.h"

namespace couloir::ombrelay::test {
namespace {

// A relais.txt record: event code, club, relay licence code, then the relayers.
std::string relaisLigne(const std::string& epreuve, const std::string& club, const std::string& licence,
                        const std::vector<std::string>& relayeurs) {
    std::string ligne = "001" + pad(epreuve, 2) + pad(club, 13) + pad(licence, 6);
    for (std::size_t i = 0; i < 10; ++i) ligne += pad(i < relayeurs.size() ? relayeurs[i] : "", 6);
    return ligne;
}

class RelaysStep : public ResultsFixture {
protected:
    void importer(const std::vector<std::string>& lignes) {
        context.files.relais = file("relais.txt", lignes);
        ImporterRelais(context, 50.0);
    }
    std::string composition(const std::string& cle) {
        std::string texte;
        EXPECT_TRUE(bLireCollection(context.colCompositionsRelais, cle, texte)) << cle;
        return texte;
    }
    std::string agePremier(const std::string& cle) {
        std::string age;
        bLireCollection(context.colAgesPremierRelayeur, cle, age);
        return age;
    }
};

TEST_F(RelaysStep, UnknownRelayersAreReportedAndLeftOutTheOthersMovingUp) {
    std::string a = nageur("080001", "F", "18"), b = nageur("080002", "F", "17"), d = nageur("080004", "F", "16");
    nageur("080003", "F", "15", "FRA1000000009");  // the same licence number in another club
    ASSERT_EQ(charCount(relaisLigne("43", kClub, "R2001F", {})), 84u);

    importer({relaisLigne("43", kClub, "R2001F", {"080001", "080002", "080003", "080004"}),
              relaisLigne("43", kClub, "R2002F", {"999999", "080004", "080001"}),
              relaisLigne("93", kClub, "R1001F", {"999998"}), relaisLigne("93", kClub, "R1002F", {})});

    std::string cle = "43" + kClub + "R2001F";
    EXPECT_EQ(composition(cle), a + "~" + b + "~" + d);
    EXPECT_EQ(agePremier(cle), "18");
    EXPECT_EQ(composition("43" + kClub + "R2002F"), d + "~" + a);
    EXPECT_EQ(agePremier("43" + kClub + "R2002F"), "16");
    EXPECT_EQ(composition("93" + kClub + "R1001F"), "");
    EXPECT_EQ(composition("93" + kClub + "R1002F"), "");
    EXPECT_FALSE(context.colAgesPremierRelayeur.contains("93" + kClub + "R1001F"));
    EXPECT_EQ(traceText(),
              "Erreur Ligne n° : 1.\n"
              "Le relayeur dans le relais de licence R2001F du club de code FRA1000000001, épreuve 43, "
              "n'est pas référencé dans le fichier licence.txt.\n"
              "Erreur Ligne n° : 2.\n"
              "Le relayeur dans le relais de licence R2002F du club de code FRA1000000001, épreuve 43, "
              "n'est pas référencé dans le fichier licence.txt.\n"
              "Erreur Ligne n° : 3.\n"
              "Le relayeur dans le relais de licence R1001F du club de code FRA1000000001, épreuve 93, "
              "n'est pas référencé dans le fichier licence.txt.\n"
              "\n");
}

TEST_F(RelaysStep, TheSameRelayTwiceIsAnErrorForTheSequence) {
    nageur("080001");
    std::string ligne = relaisLigne("43", kClub, "R2001F", {"080001"});
    context.files.relais = file("relais.txt", {ligne, ligne});
    try {
        ImporterRelais(context, 50.0);
        FAIL() << "duplicate relay key accepted";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), errors::kKeyExists);
    }
}

}  // namespace
}  // namespace couloir::ombrelay::test
