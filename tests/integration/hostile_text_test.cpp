// Texts an attacker or a careless spreadsheet puts in a file are stored as
// they stand, cut to their field, and never run as SQL (the writers' side is
// in the round-trip tests).
#include <gtest/gtest.h>

#include <algorithm>

#include "meet_fixture.h"
#include "test_support.h"

namespace couloir::test {
namespace {

// Each fits the 25 characters of a surname but the last, which is cut.
const std::vector<std::string> kHostile = {
    "O'BRIEN", "';DROP TABLE LICENCE;--", "\"GUILLEMETS\"", "C:\\DOSSIER\\", "100% _NAGE_", "A'' OR ''1''=''1",
    std::string(200, 'W')};

class HostileText : public ::testing::Test {
protected:
    void SetUp() override {
        db_ = createClubDatabase(db_);
        std::vector<std::string> clubs, licences;
        for (std::size_t i = 0; i < kHostile.size(); ++i) {
            std::string code = "FRA51207500" + std::to_string(10 + i);
            clubs.push_back(clubLine(code, kHostile[i]));
            licences.push_back(licenceLine(code, "9500" + std::to_string(10 + i), kHostile[i], kHostile[i], "F",
                                           "15031995"));
        }
        writeInterchangeFile(source_ + "/club.txt", clubs);
        writeInterchangeFile(source_ + "/licence.txt", licences);
        writeInterchangeFile(source_ + "/origine.txt", {"Tests"});
    }

    // What a field of `width` characters keeps of a text.
    static std::string fitted(const std::string& text, std::size_t width) { return text.substr(0, width); }

    std::vector<std::string> column(const std::string& sql) {
        std::vector<std::string> rows = queryRows(*openForCheck(db_), sql);
        std::sort(rows.begin(), rows.end());
        return rows;
    }

    FixedNow now_{"2026-03-10T18:30:05"};
    ScratchDir dir_;
    std::string db_ = dir_.file("club.db"), source_ = dir_.sub("source"), trace_ = dir_.file("trace.txt");
};

TEST_F(HostileText, TheLicenceImportStoresThemAsTheyStand) {
    ASSERT_EQ(runCouloir("import-licences " + db_ + " " + source_ + " --quiet --trace " + trace_).status, 0)
        << readText(trace_);
    std::vector<std::string> surnames, clubs;
    for (const std::string& text : kHostile) {
        surnames.push_back(fitted(text, 25));
        clubs.push_back(fitted(text, 30));
    }
    std::sort(surnames.begin(), surnames.end());
    std::sort(clubs.begin(), clubs.end());
    EXPECT_EQ(column("select Nom from Licence where Nom <> 'Null'"), surnames);
    EXPECT_EQ(column("select Intitule from Club where Intitule <> 'Null'"), clubs);

    ASSERT_EQ(runCouloir("import-results " + db_ + " " + source_ + " --competition 1 --new --quiet --trace " + trace_)
                  .status,
              1);  // no results folder: refused, and the swimmers stay as they are
    EXPECT_EQ(column("select Nom from Licence where Nom <> 'Null'"), surnames);
}

TEST_F(HostileText, TheResultsImportStoresThemAsTheyStand) {
    MeetFiles meet = smallMeet();
    meet.club.push_back(clubLine("FRA5120750099", kHostile[1]));
    meet.licence.push_back(licenceLine("FRA5120750099", "950099", kHostile[5], kHostile[3], "F", "15031995"));
    std::string folder = dir_.sub("meet");
    writeMeet(folder, meet);
    ASSERT_EQ(runCouloir("import-results " + db_ + " " + folder + " --competition 1 --new --quiet --trace " + trace_)
                  .status,
              0)
        << readText(trace_);
    EXPECT_EQ(column("select Nom || '|' || Prenom from Licence where Licence = '950099'"),
              std::vector<std::string>{kHostile[5] + "|" + kHostile[3]});
    EXPECT_EQ(column("select Intitule from Club where Code_federal = 'FRA5120750099'"),
              std::vector<std::string>{kHostile[1]});
    EXPECT_GT(openForCheck(db_)->lValeurScalaire(test::sql("select count(*) from Licence")), 1);
}

}  // namespace
}  // namespace couloir::test
