#include <string>

#include "results_fixture.h"

namespace couloir::ombrelay::test {
namespace {

// A relais.txt record: event code, club, relay licence code, then the relayers.
std::string relayRecord(const std::string& event, const std::string& club, const std::string& licence,
                        const std::vector<std::string>& relayers) {
    std::string line = "001" + pad(event, 2) + pad(club, 13) + pad(licence, 6);
    for (std::size_t i = 0; i < 10; ++i) line += pad(i < relayers.size() ? relayers[i] : "", 6);
    return line;
}

class RelaysStep : public ResultsFixture {
protected:
    void import(const std::vector<std::string>& lines) {
        context.files.relais = file("relais.txt", lines);
        ImporterRelais(context, 50.0);
    }
    std::string composition(const std::string& key) {
        std::string text;
        EXPECT_TRUE(bLireCollection(context.colCompositionsRelais, key, text)) << key;
        return text;
    }
    std::string firstAge(const std::string& key) {
        std::string age;
        bLireCollection(context.colAgesPremierRelayeur, key, age);
        return age;
    }
};

TEST_F(RelaysStep, UnknownRelayersAreReportedAndLeftOutTheOthersMovingUp) {
    std::string a = addSwimmer("080001", "F", "18"), b = addSwimmer("080002", "F", "17"),
                d = addSwimmer("080004", "F", "16");
    addSwimmer("080003", "F", "15", "FRA1000000009");  // the same licence number in another club
    ASSERT_EQ(charCount(relayRecord("43", kClub, "R2001F", {})), 84u);

    import({relayRecord("43", kClub, "R2001F", {"080001", "080002", "080003", "080004"}),
            relayRecord("43", kClub, "R2002F", {"999999", "080004", "080001"}),
            relayRecord("93", kClub, "R1001F", {"999998"}), relayRecord("93", kClub, "R1002F", {})});

    std::string key = "43" + kClub + "R2001F";
    EXPECT_EQ(composition(key), a + "~" + b + "~" + d);
    EXPECT_EQ(firstAge(key), "18");
    EXPECT_EQ(composition("43" + kClub + "R2002F"), d + "~" + a);
    EXPECT_EQ(firstAge("43" + kClub + "R2002F"), "16");
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
    addSwimmer("080001");
    std::string line = relayRecord("43", kClub, "R2001F", {"080001"});
    context.files.relais = file("relais.txt", {line, line});
    try {
        ImporterRelais(context, 50.0);
        FAIL() << "duplicate relay key accepted";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), errors::kKeyExists);
    }
}

}  // namespace
}  // namespace couloir::ombrelay::test
