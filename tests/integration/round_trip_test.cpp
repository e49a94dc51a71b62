// The files written for a competition are read back by this system: the
// header and programme by the skeleton import, the clubs and swimmers by the
// common club and licence imports, into a second database.
#include <gtest/gtest.h>

#include <filesystem>

#include "couloir/couloir.h"
#include "shared/club_import.h"
#include "shared/components.h"
#include "shared/licence_import.h"
#include "shared/licence_record.h"
#include "shared/session.h"
#include "shared/text_date.h"
#include "test_support.h"

namespace couloir::test {
namespace {

class RoundTrip : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        createDatabase(source_, clubDatabaseScript() + "\n" + readBytes(COULOIR_SOURCE_DIR "/samples/club_fixture.sql"));
        target_ = createClubDatabase(target_);
        auto db = openForCheck(target_);
        db->execute(test::sql("INSERT INTO Rcomp (AutoNum) VALUES (7)"));
        db->commit();
    }

    void createFiles(bool selection) {
        auto create = reinterpret_cast<couloir_bCreation_disquette_fn>(
            resolveMethod("Vandrule.clscreate_disk", "bCreation_disquette"));
        ASSERT_TRUE(create(selection ? "2" : "1", selection, "7", source_.c_str(), files_.c_str(),
                           scratch_.file("create.txt").c_str(), nullptr))
            << readText(scratch_.file("create.txt"));
    }

    void importSkeleton() {
        auto skeleton = reinterpret_cast<couloir_bimport_squelette_fn>(
            resolveMethod("Ombrelay.clsRecupSque", "bimport_squelette"));
        std::string temp = scratch_.sub("temp");
        ASSERT_TRUE(skeleton(target_.c_str(), files_.c_str(), temp.c_str(), scratch_.file("skeleton.txt").c_str(),
                             nullptr, "7"))
            << readText(scratch_.file("skeleton.txt"));
    }

    void importClubsAndLicences() {
        Trace trace(scratch_.file("common.txt"));
        Form form(nullptr);
        Connection connection;
        std::string error;
        ASSERT_TRUE(connection.bConnexion(target_, error)) << error;
        Session session{trace, form, connection};
        RunLists lists;
        EXPECT_TRUE(ImporterClubs(session, lists, files_ + "/Club.txt", 1, kClubsForResults));
        EXPECT_TRUE(ImporterLicences(session, lists, files_ + "/Licence.txt", 1, kLicencesForResults,
                                     parseYyyymmdd("20040916")));
        ASSERT_TRUE(connection.bDeconnexion(error)) << error;
    }

    // The rows of a query, one text per row; `surname` names a column stored
    // folded by the licence import, folded here too.
    std::vector<std::string> rows(const std::string& database, const std::string& query, int surname = -1) {
        Columns columns = openForCheck(database)->ChargerColonnes(test::sql(query));
        std::vector<std::string> out(columns.rowCount());
        for (std::size_t row = 0; row < out.size(); ++row)
            for (std::size_t column = 0; column < columns.lists.size(); ++column)
                out[row] +=
                    (int(column) == surname ? foldSurname(columns.at(column, row)) : columns.at(column, row)) + "|";
        return out;
    }

    FixedNow clock_{"2004-09-10T08:30:00"};
    ScratchDir scratch_;
    std::string source_ = scratch_.file("source.db"), target_ = scratch_.file("target.db"),
                files_ = scratch_.sub("files");
};

TEST_P(RoundTrip, CompetitionProgrammeClubsAndSwimmersArriveUnchanged) {
    bool selection = GetParam();
    createFiles(selection);
    importSkeleton();
    importClubsAndLicences();

    const std::string competition =
        "select Num, Type, Nom, Debut, Fin, Lieu, Longueur, Nb_couloir, Codif_fede, Codif_inter, Codif_reg, "
        "Codif_depar from Rcomp where AutoNum = 7";
    EXPECT_EQ(rows(target_, competition), rows(source_, competition));

    // Ranking by time admits no finals: the import stores them empty.
    const std::string programme =
        "select Code_epreuve, JourCourse, Type, case when Type = '1' then '' else Nb_finales end, "
        "case when Type = '1' then '' else Type_finale end, Num_ordre from Pcomp where Num_compet = 7 "
        "order by Code_epreuve";
    EXPECT_EQ(rows(target_, programme), rows(source_, programme));

    // Every club and swimmer entered by the profile, under his own club and licence.
    const std::string profileClub = selection ? "FRA5120000000" : "FRA5120750001";
    const std::string entered =
        "select distinct l.Code_Club, l.Licence, l.Nom, l.Prenom, l.Sexe, l.Date_Naissance from Licence l, "
        "Engag_nageur e where e.Num_Lic = l.Num and e.Num_compet = 7 and e.Num_profil = " +
        std::string(selection ? "2" : "1") + " order by 1, 2";
    auto swimmers = rows(source_, entered, 2);
    ASSERT_FALSE(swimmers.empty());
    const std::string stored =
        "select Code_Club, Licence, Nom, Prenom, Sexe, Date_Naissance from Licence where Nom <> 'Null' "
        "order by 1, 2";
    EXPECT_EQ(rows(target_, stored), swimmers);

    const std::string clubs = "select Code_federal, Intitule from Club where Intitule <> 'Null' and Code_federal in "
                              "(select Code_Club from Licence) order by 1";
    for (const auto& club : rows(target_, clubs)) {
        auto known = rows(source_, "select Code_federal, Intitule from Club where Code_federal = '" +
                                       club.substr(0, 13) + "'");
        ASSERT_EQ(known.size(), 1u) << club;
        EXPECT_EQ(club, known[0]);
    }
    EXPECT_EQ(openForCheck(target_)->lValeurScalaire(test::sql("select count(*) from Club where Code_federal = '" + profileClub +
                                                     "'")),
              1);
}

// Letters of Windows-1252 travel as they are; its typography in the codes the
// readers take for DOS accents, and letters it lacks, as plain letters.
TEST_P(RoundTrip, TypographyAndForeignLettersArriveAsPlainLetters) {
    {
        auto db = openForCheck(source_);
        db->execute(test::sql("UPDATE Rcomp SET Nom = " + test::literal("Meeting “Cœur” – 2004…") + ", Lieu = " +
                    test::literal("Łódź") + " WHERE AutoNum = 7"));
        db->execute(test::sql("UPDATE Club SET Intitule = " + test::literal("Nageurs d'Œudeghem") + " WHERE Code_federal = 'FRA5120750001'"));
        db->execute(test::sql("UPDATE Licence SET Prenom = " + test::literal("Şule–Ağça") + " WHERE Code_Club = 'FRA5120750001'"));
    }
    createFiles(GetParam());
    for (const auto& file : std::filesystem::directory_iterator(files_))
        for (char c : readBytes(file.path().string()))
            EXPECT_FALSE(static_cast<unsigned char>(c) >= 129 && static_cast<unsigned char>(c) <= 151) << file.path();
    importSkeleton();
    importClubsAndLicences();
    EXPECT_EQ(rows(target_, "select Nom, Lieu from Rcomp where AutoNum = 7"),
              std::vector<std::string>{"Meeting \"Cœur\" - 2004...|Lódz|"});
    EXPECT_EQ(rows(target_, "select Intitule from Club where Code_federal = 'FRA5120750001'"),
              std::vector<std::string>{"Nageurs d'OEudeghem|"});
    for (const auto& name : rows(target_, "select distinct Prenom from Licence where Code_Club = 'FRA5120750001'"))
        EXPECT_EQ(name, "Sule-Agça|");
}

INSTANTIATE_TEST_SUITE_P(ClubAndSelection, RoundTrip, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Selection" : "Club"; });

}  // namespace
}  // namespace couloir::test
