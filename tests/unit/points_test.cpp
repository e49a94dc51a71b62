// The points component as the results import meets it: the library loaded
// by its class name, its installed base-time table, or a club's own table
// named by COULOIR_BASE_TIMES.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <set>
#include <string>
#include <thread>

#include "couloir/couloir.h"
#include "shared/components.h"
#include "test_support.h"

namespace couloir {
namespace {

couloir_calcul_point_fn pointsFunction() {
    return reinterpret_cast<couloir_calcul_point_fn>(resolveMethod("Calcul_Point.ClsCalcul", "CalculPoint"));
}

// Points as text, or "error: " + the message.
std::string points(double code, double time) {
    char text[16], error[256];
    if (pointsFunction()(code, time, text, sizeof text, error, sizeof error) != 0)
        return std::string("error: ") + error;
    return text;
}

// Names a club's own base-time file for the life of the object.
class ClubBaseTimes {
public:
    explicit ClubBaseTimes(const std::string& content) : path_(dir_.file("base_times.txt")) {
        test::writeBytes(path_, content);
        test::setEnvironment("COULOIR_BASE_TIMES", path_);
    }
    ~ClubBaseTimes() { test::unsetEnvironment("COULOIR_BASE_TIMES"); }
    const std::string& path() const { return path_; }

private:
    test::ScratchDir dir_;
    std::string path_;
};

TEST(Points, InstalledTableGivesEveryEventOfTheDatabaseABaseTime) {
    test::unsetEnvironment("COULOIR_BASE_TIMES");
    test::ScratchDir dir;
    test::createClubDatabase(dir.file("club.db"));
    auto db = test::openForCheck(dir.file("club.db"));
    std::set<int> codes;
    db->forEachRow(test::sql("select Code_Nage from Nage"), [&](const Row& row) {
        codes.insert(std::stoi(row.text(0)));
        return true;
    });
    ASSERT_GT(codes.size(), 60u);
    for (int code : codes) EXPECT_NE(points(code, 0.0100), "0") << "event " << code;
    EXPECT_EQ(points(8, 1.0), "0");  // no such event
    // 50 m freestyle men at its own base time, and a club swimmer.
    EXPECT_EQ(points(51, 0.2091), "1000");
    EXPECT_EQ(points(51, 0.2650), "491");
}

TEST(Points, TimesInMinuteNotationAreExactToTheHundredth) {
    ClubBaseTimes table("# comment\r\n\r\n02  1.0523  100 NL\r\n12\t0.3026 100 Dos\n13 0.3000\n");
    EXPECT_EQ(points(2, 1.0523), "1000");
    EXPECT_EQ(points(12, 1.0052), "125");  // 30.26 s against 60.52 s: exactly an eighth
    EXPECT_EQ(points(13, 1.0000), "125");
    EXPECT_EQ(points(13, 0.3001), "999");  // whole part, never rounded up
    EXPECT_EQ(points(13, 0.1500), "8000");
    EXPECT_EQ(points(12.0, 89.9999), "0");
}

TEST(Points, StatusCodesZeroTimesAndEventsWithoutBaseTimeGiveZero) {
    ClubBaseTimes table("02 1.0523\n");
    for (double time : {0.0, -1.0523, 90.0, 91.0, 94.0, 0.00001})
        EXPECT_EQ(points(2, time), "0") << time;
    for (double code : {0.0, 1.0, 52.0, 99.0, 100.0, 150.0, -2.0})
        EXPECT_EQ(points(code, 1.0523), "0") << code;
}

TEST(Points, ReplacedTableIsReadAgain) {
    ClubBaseTimes table("02 1.0000\n");
    EXPECT_EQ(points(2, 1.0000), "1000");
    test::writeBytes(table.path(), "02 0.3000\n# shorter base time\n");
    std::this_thread::sleep_for(std::chrono::milliseconds(1100));  // the file is looked at once a second
    EXPECT_EQ(points(2, 1.0000), "125");
}

TEST(Points, UnusableTableIsReportedNotGuessed) {
    {
        ClubBaseTimes table("02 1.0523\n02 1.0600\n");
        EXPECT_EQ(points(2, 1.0523), "error: Fichier des temps de base " + table.path() +
                                         ", ligne 2 : l'épreuve 2 a déjà un temps de base.");
    }
    for (const char* line : {"2x 1.0523\n", "100 1.0523\n", "02\n", "02 abc\n", "02 95.0000\n", "02 0\n"}) {
        ClubBaseTimes table(std::string("# ok\n") + line);
        EXPECT_NE(points(2, 1.0523).find("ligne 2 :"), std::string::npos) << line;
    }
    test::setEnvironment("COULOIR_BASE_TIMES", "/nonexistent/base_times.txt");
    EXPECT_EQ(points(2, 1.0523), "error: Fichier introuvable : /nonexistent/base_times.txt");
    test::unsetEnvironment("COULOIR_BASE_TIMES");
}

TEST(Points, SmallBuffersAreNeverOverrun) {
    ClubBaseTimes table("02 1.0523\n");
    char text[4] = "xyz", error[12];
    EXPECT_NE(pointsFunction()(2, 1.0523, text, sizeof text, error, sizeof error), 0);  // "1000" needs 5
    EXPECT_STREQ(text, "");
    EXPECT_EQ(std::string(error), "Zone trop p");
    EXPECT_EQ(pointsFunction()(2, 1.0523, text, sizeof text, nullptr, 0), 1);
    char wide[8];
    EXPECT_EQ(pointsFunction()(2, 1.0600, wide, sizeof wide, nullptr, 0), 0);
    EXPECT_STREQ(wide, "965");
}

}  // namespace
}  // namespace couloir
