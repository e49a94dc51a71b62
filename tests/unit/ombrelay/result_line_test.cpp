#include "results_import/result_line.h"

#include <string>
#include <vector>

#include "results_fixture.h"

namespace couloir::ombrelay::test {
namespace {

class ResultLine : public ResultsFixture {
protected:
    bool cut(const ResultRecord& record, const PointsCalculator& calculator) {
        return DecouperLigneResultat(trace, record.line(), fields, 12, calculator);
    }
    PointsCalculator points(const std::string& text) {
        return [this, text](double event, double time) {
            pointsCalls.push_back({event, time});
            return text;
        };
    }
    ResultFields fields;
};

TEST_F(ResultLine, TimesBecomeDecimalTextsAndAMissingTimeIs94) {
    ResultRecord record{.licence = "080001", .time = "", .points = ""};
    record.splits[0] = "01.0523";
    record.splits[1] = "0.3000";
    record.splits[13] = "000";
    ASSERT_EQ(charCount(record.line()), 138u);

    EXPECT_TRUE(cut(record, points(" 12 ")));

    EXPECT_EQ(fields[kTimeField], "94");
    EXPECT_EQ(fields[kTimeField + 1], "1.0523");
    EXPECT_EQ(fields[kTimeField + 2], "0.3");
    EXPECT_EQ(fields[kTimeField + 3], "0");
    EXPECT_EQ(fields[kTimeField + 14], "0");
    EXPECT_EQ(fields[kPointsField], "12");
    ASSERT_EQ(pointsCalls.size(), 1u);
    EXPECT_EQ(pointsCalls[0], std::make_pair(3.0, 94.0));
    EXPECT_EQ(fields[kClubField], kClub);
    EXPECT_EQ(fields[kLicenceField], "080001");
    EXPECT_EQ(traceText(), "");
}

TEST_F(ResultLine, ATimeNotWrittenInTheResultsNotationFailsTheLine) {
    const std::vector<std::string> bad = {"1e10", "1,05", "-1", "xx", ".5"};
    for (const std::string& text : bad) EXPECT_FALSE(cut(ResultRecord{.licence = "080001", .time = text}, points("1")));
    ResultRecord split{.licence = "080001"};
    split.splits[2] = "0.3O";
    EXPECT_FALSE(cut(split, points("1")));
    EXPECT_TRUE(pointsCalls.empty());

    std::string text = traceText();
    for (const std::string& time : bad)
        EXPECT_NE(text.find("Erreur Ligne n° : 12.\nUne erreur s'est produite lors de l'extraction des données.\n"
                            "Erreur n° 13: Incompatibilité de type : temps final « " + time + " » illisible\n"),
                  std::string::npos)
            << time;
    EXPECT_NE(text.find("temps intermédiaire n° 3 « 0.3O » illisible"), std::string::npos) << text;
}

TEST_F(ResultLine, PointsGivenByTheFileAreKeptAsTheyStand) {
    EXPECT_TRUE(cut(ResultRecord{.licence = "080001", .points = "0012"}, points("1")));
    EXPECT_EQ(fields[kPointsField], "0012");
    EXPECT_TRUE(pointsCalls.empty());
}

TEST_F(ResultLine, UnknownRaceTypeIsAWarningAndABlankOneStaysOneSpace) {
    EXPECT_TRUE(cut(ResultRecord{.type = "X", .licence = "080001"}, points("1")));
    EXPECT_EQ(fields[kRaceTypeField], "X");
    EXPECT_TRUE(cut(ResultRecord{.type = " ", .licence = "080001"}, points("1")));
    EXPECT_EQ(fields[kRaceTypeField], " ");
    EXPECT_EQ(traceText(),
              "Warning Ligne n° : 12.\nType de course inconnu : X.\n"
              "Warning Ligne n° : 12.\nType de course inconnu :  .\n");
}

TEST_F(ResultLine, AFailingPointsComponentIsReportedAndTheFieldsStay) {
    PointsCalculator failing = [](double, double) -> std::string { throw Error(1, "Temps de base introuvable"); };
    EXPECT_FALSE(cut(ResultRecord{.licence = "080001", .points = ""}, failing));
    EXPECT_EQ(fields[kTimeField], "2.1045");
    EXPECT_EQ(fields[kPointsField], "");
    EXPECT_EQ(traceText(),
              "Erreur Ligne n° : 12.\n"
              "Une erreur s'est produite lors de l'extraction des données.\n"
              "Erreur n° 1: Temps de base introuvable\n");
}

}  // namespace
}  // namespace couloir::ombrelay::test
