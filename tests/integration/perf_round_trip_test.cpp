// A performance history exported and imported again arrives unchanged: the
// sample performance files imported into a first database, its history
// exported (one club, then every club), imported into fresh databases and
// exported again.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "couloir/couloir.h"
#include "shared/components.h"
#include "shared/text_date.h"
#include "test_support.h"

namespace couloir::test {
namespace {

namespace fs = std::filesystem;

const char* const kFiles[] = {"liffn.txt", "licence.txt", "club.txt", "origine.txt"};

// Every performance by what identifies it outside a database: event, swimmer
// (club code + licence), pool, date, time, place, relay leg; relays with
// their relayers' identities.
const char* const kIndividual =
    "select p.Code_epreuve, l.Code_Club, l.Licence, p.Type_bassin, p.Date_perf, p.Tps, p.Lieu, p.Passage_relais "
    "from Liffn p, Licence l where p.Num_Lic = l.Num order by 1, 2, 3, 4, 5, 6, 7, 8";
const char* const kRelay =
    "select p.Code_epreuve, p.Code_club, p.Num_Lic, p.Type_bassin, p.Date_perf, p.Tps, p.Lieu, "
    "(select Code_Club || Licence from Licence where Num = p.Licence1), "
    "(select Code_Club || Licence from Licence where Num = p.Licence2), "
    "(select Code_Club || Licence from Licence where Num = p.Licence3), "
    "(select Code_Club || Licence from Licence where Num = p.Licence4) "
    "from Liffn_relais p order by 1, 2, 3, 4, 5, 6";

class PerformanceRoundTrip : public ::testing::Test {
protected:
    std::string newDatabase(const std::string& name) {
        std::string path = scratch_.file(name);
        path = createClubDatabase(path);
        return path;
    }

    void importPerf(const std::string& database, const std::string& folder) {
        auto method = reinterpret_cast<couloir_bimport_perf_fn>(resolveMethod("Tessimor.clsTessimor", "bimport_perf"));
        std::string temp = scratch_.sub("temp");
        ASSERT_TRUE(method(database.c_str(), folder.c_str(), temp.c_str(), trace_.c_str(), nullptr)) << readText(trace_);
    }

    std::string exportPerf(const std::string& database, const std::string& club, const std::string& folder) {
        auto method = reinterpret_cast<couloir_bPlessaudormance_fn>(
            resolveMethod("Plessaud.clsExportPerf", "bPlessaudormance"));
        std::string out = scratch_.sub(folder);
        EXPECT_TRUE(method(database.c_str(), club.c_str(), false, club.empty(), out.c_str(), trace_.c_str(), nullptr))
            << readText(trace_);
        return out;
    }

    std::vector<std::string> rows(const std::string& database, const std::string& query) {
        Columns columns = openForCheck(database)->ChargerColonnes(test::sql(query));
        std::vector<std::string> out(columns.rowCount());
        for (std::size_t row = 0; row < out.size(); ++row)
            for (const auto& column : columns.lists) out[row] += column[row] + "|";
        return out;
    }

    FixedNow clock_{"2026-06-01T10:00:00"};
    ScratchDir scratch_;
    std::string trace_ = scratch_.file("trace.txt");
};

TEST_F(PerformanceRoundTrip, EveryClubsHistoryArrivesUnchangedAndExportsAlike) {
    std::string first = newDatabase("first.db");
    importPerf(first, COULOIR_SOURCE_DIR "/samples/performances");
    std::string exported = exportPerf(first, "", "all");

    std::string second = newDatabase("second.db");
    importPerf(second, exported);
    EXPECT_EQ(rows(second, kIndividual), rows(first, kIndividual));
    EXPECT_EQ(rows(second, kRelay), rows(first, kRelay));
    ASSERT_FALSE(rows(first, kRelay).empty());

    std::string again = exportPerf(second, "", "again");
    for (const char* file : kFiles)
        EXPECT_EQ(readText(again + "/" + file), readText(exported + "/" + file)) << file;
}

// Names a club secretary meets: the typography a word processor puts in,
// letters from outside Western Europe, and texts an attacker would try.
const std::vector<std::string> kHardNames = {
    "CŒUR",     "DUPONT–MARTIN", "“LE GRAND”", "Łukasz…", "Şahin", "Doğan",  "O'Brien",
    "';DROP TABLE Licence;--", "C:\\dossier\\", "100% _nage_", std::string(200, 'W')};

TEST_F(PerformanceRoundTrip, HardNamesComeBackTheSameFromTheSecondExport) {
    std::string first = newDatabase("first.db");
    importPerf(first, COULOIR_SOURCE_DIR "/samples/performances");
    {
        auto db = openForCheck(first);
        std::vector<std::string> nums = rows(first, "select Num from Licence where Nom <> 'Null' order by Num");
        ASSERT_GE(nums.size(), kHardNames.size());
        for (std::size_t i = 0; i < kHardNames.size(); ++i) {
            nums[i].pop_back();
            db->execute(test::sql("UPDATE Licence SET Nom = " + test::literal(kHardNames[i]) + ", Prenom = " +
                        test::literal(kHardNames[kHardNames.size() - 1 - i]) + " WHERE Num = " + nums[i]));
        }
        db->execute(test::sql("UPDATE Club SET Intitule = " + test::literal("Cercle “Œuvre” – Ł") + " WHERE Intitule <> 'Null'"));
    }
    std::string exported = exportPerf(first, "", "all");
    // Nothing the readers would take for a DOS accent.
    for (const char* file : kFiles)
        for (char c : readBytes(exported + "/" + file))
            EXPECT_FALSE(static_cast<unsigned char>(c) >= 129 && static_cast<unsigned char>(c) <= 151) << file;

    // The import writes surnames in capitals; from then on every trip is the same.
    std::string second = newDatabase("second.db");
    importPerf(second, exported);
    std::vector<std::string> names = rows(second, "select Nom from Licence order by Nom");
    for (const char* expected : {"COEUR|", "DUPONT-MARTIN|", "\"LE GRAND\"|", "LUKASZ...|", "SAHIN|", "DOGAN|",
                                 "O'BRIEN|", "';DROP TABLE LICENCE;--|", "C:\\DOSSIER\\|", "100% _NAGE_|"})
        EXPECT_NE(std::find(names.begin(), names.end(), expected), names.end()) << expected;
    EXPECT_EQ(openForCheck(second)->lValeurScalaire(test::sql("select count(*) from Club where Intitule = 'Cercle \"OEuvre\" - L'")),
              static_cast<std::int32_t>(rows(first, "select Num from Club where Intitule <> 'Null'").size()));
    std::string secondExport = exportPerf(second, "", "second");

    std::string third = newDatabase("third.db");
    importPerf(third, secondExport);
    EXPECT_EQ(rows(third, kIndividual), rows(second, kIndividual));
    std::string thirdExport = exportPerf(third, "", "third");
    for (const char* file : kFiles)
        EXPECT_EQ(readBytes(thirdExport + "/" + file), readBytes(secondExport + "/" + file)) << file;
}

TEST_F(PerformanceRoundTrip, OneClubsHistoryArrivesUnchanged) {
    std::string first = newDatabase("first.db");
    importPerf(first, COULOIR_SOURCE_DIR "/samples/performances");
    std::string club = rows(first, "select l.Code_Club from Licence l, Liffn p where p.Num_Lic = l.Num "
                                   "group by l.Code_Club order by count(*) desc limit 1")[0];
    club.pop_back();  // the separator
    std::string exported = exportPerf(first, club, "club");

    std::string second = newDatabase("second.db");
    importPerf(second, exported);
    std::string clubIndividual = std::string(kIndividual);
    clubIndividual.insert(clubIndividual.find(" order by"), " and l.Code_Club = '" + club + "'");
    EXPECT_EQ(rows(second, kIndividual), rows(first, clubIndividual));
    EXPECT_FALSE(rows(second, kIndividual).empty());
}

}  // namespace
}  // namespace couloir::test
