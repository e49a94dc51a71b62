// The results import as a host meets it: the library loaded by its
// programmatic identifier, fresh databases, fixture folders, whole traces.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "couloir/couloir.h"
#include "meet_fixture.h"
#include "shared/components.h"
#include "test_support.h"

namespace couloir {
namespace {

class ResultsImport : public ::testing::Test {
protected:
    void SetUp() override {
        database_ = dir_.file("club.db");
        database_ = test::createClubDatabase(database_);
        source_ = dir_.sub("source");
        temp_ = dir_.sub("temp");
        trace_ = dir_.file("trace.txt");
        test::writeMeet(source_, meet_);
        addCompetition(1);
    }

    void addCompetition(int number) {
        auto db = test::openForCheck(database_);
        db->execute(test::sql("INSERT INTO Rcomp (AutoNum, Nom) VALUES (" + std::to_string(number) + ", 'Prévue')"));
        db->commit();
    }

    bool importResults(const std::string& competition, bool isNew, const std::string& source = {}) {
        auto entry = reinterpret_cast<couloir_bimport_result_fn>(resolveMethod("Ombrelay.clsOmbrelay", "bimport_result"));
        return entry(database_.c_str(), (source.empty() ? source_ : source).c_str(), temp_.c_str(), trace_.c_str(),
                     nullptr, competition.c_str(), isNew);
    }

    bool importSkeleton(const std::string& competition) {
        auto entry = reinterpret_cast<couloir_bimport_squelette_fn>(
            resolveMethod("Ombrelay.clsRecupSque", "bimport_squelette"));
        return entry(database_.c_str(), source_.c_str(), temp_.c_str(), trace_.c_str(), nullptr, competition.c_str());
    }

    std::int32_t count(const std::string& sql) { return test::openForCheck(database_)->lValeurScalaire(test::sql(sql)); }
    std::string trace() { return test::readText(trace_); }
    bool closedProperly() { return count("select count(*) from Info where LastClose = true") == 1; }

    test::FixedNow now_{"2026-03-10T18:30:05"};
    test::ScratchDir dir_;
    test::MeetFiles meet_ = test::smallMeet();
    std::string database_, source_, temp_, trace_;
};

TEST_F(ResultsImport, CleanImportStoresResultsHistoryAndFixUps) {
    ASSERT_TRUE(importResults("1", true)) << trace();
    EXPECT_TRUE(closedProperly());
    EXPECT_EQ(count("select count(*) from Prres where Num_compet = 1"), 3);
    EXPECT_EQ(count("select count(*) from Prres_relais where Num_compet = 1"), 1);
    EXPECT_EQ(count("select count(*) from Pcomp where Num_compet = 1"), 3);
    EXPECT_EQ(count("select count(*) from Categori where Num_compet = 1"), 2);
    EXPECT_EQ(count("select count(*) from Rcomp where AutoNum = 1 and Lieu = 'Piscine d''Alésia' and Longueur = 25"), 1);
    // The history takes every valid swim with its derived events; the venue
    // and codifications come from the fix-ups, times of 91 or more are gone.
    EXPECT_EQ(count("select count(*) from Liffn where Num_compet = 1 and Lieu = 'Piscine d''Alésia' and Codif_Fede = 'R'"),
              count("select count(*) from Liffn where Num_compet = 1"));
    EXPECT_EQ(count("select count(*) from Liffn where Tps >= 91"), 0);
    EXPECT_EQ(count("select count(*) from Liffn_relais where Num_compet = 1 and Code_epreuve = 43"), 1);
    // Team 52 of a men's event is folded back to 2.
    EXPECT_EQ(count("select Num_equipe from Prres where Code_epreuve = 53"), 2);
    EXPECT_EQ(count("select count(*) from Prres where Code_epreuve = 53 and Num_categorie = 1 and Numero_serie = 1"), 1);
    std::string text = trace();
    EXPECT_EQ(text.rfind("Début de l'import : 10/03/2026 18:30:05\n\n", 0), 0u) << text;
    EXPECT_NE(text.find("Données source générées par l'application : Lorvantide"), std::string::npos);
    EXPECT_NE(text.find("\n\n\nFin importation : 10/03/2026 18:30:05\n"), std::string::npos);
}

TEST_F(ResultsImport, CleanImportTraceReadsAsExpected) {
    ASSERT_TRUE(importResults("1", true)) << trace();
    EXPECT_EQ(trace(), test::readText(COULOIR_SOURCE_DIR "/tests/fixtures/results/small_meet_trace.txt"));
}

TEST_F(ResultsImport, ReimportReplacesTheEarlierImport) {
    ASSERT_TRUE(importResults("1", true)) << trace();
    std::int32_t performances = count("select count(*) from Liffn");
    ASSERT_TRUE(importResults("1", false)) << trace();
    EXPECT_EQ(count("select count(*) from Prres where Num_compet = 1"), 3);
    EXPECT_EQ(count("select count(*) from Liffn"), performances);
    EXPECT_EQ(count("select count(*) from Licence where Nom = 'DUPONT'"), 1);
}

TEST_F(ResultsImport, CancelledNewCompetitionIsDeletedAndReportedAsFailure) {
    meet_.prres.push_back(test::resultLine("02", "S", "02", "FRA5120750001", "000099", "01.1000", {}));
    test::writeMeet(source_, meet_);
    EXPECT_FALSE(importResults("1", true));
    EXPECT_EQ(count("select count(*) from Rcomp where AutoNum = 1"), 0);
    EXPECT_TRUE(closedProperly());
    std::string text = trace();
    EXPECT_NE(text.find("Impossible de retrouver la licence de code FRA5120750001000099"), std::string::npos) << text;
    EXPECT_NE(text.find("Importation des résultats annulés."), std::string::npos);
}

TEST_F(ResultsImport, CancelledReimportGivesTheEarlierImportBack) {
    ASSERT_TRUE(importResults("1", true)) << trace();
    auto earlier = test::contentOf(database_);
    meet_.relais.push_back(meet_.relais[0]);  // the same relay twice cancels
    test::writeMeet(source_, meet_);
    EXPECT_FALSE(importResults("1", false));
    EXPECT_EQ(test::contentOf(database_), earlier);
    EXPECT_TRUE(closedProperly());
    EXPECT_NE(trace().find("Erreur lors de l'importation des résultats. Import annulé.\nErreur n° 457"), std::string::npos)
        << trace();
}

TEST_F(ResultsImport, MissingFileStopsBeforeAnyStep) {
    std::filesystem::remove(source_ + "/engag.txt");
    EXPECT_FALSE(importResults("1", true));
    EXPECT_TRUE(closedProperly());
    EXPECT_EQ(trace(),
              "Début de l'import : 10/03/2026 18:30:05\n\n"
              "Fichier engag.txt non trouvé dans le répertoire : " + source_ + "\n\n\n"
              "Fin importation : 10/03/2026 18:30:05\n");
}

TEST_F(ResultsImport, ReimportFromAWrongFolderChangesNothing) {
    ASSERT_TRUE(importResults("1", true)) << trace();
    auto earlier = test::contentOf(database_);
    EXPECT_FALSE(importResults("1", false, dir_.sub("empty")));
    EXPECT_NE(trace().find("Fichier licence.txt non trouvé"), std::string::npos) << trace();
    EXPECT_EQ(test::contentOf(database_), earlier);
    EXPECT_TRUE(closedProperly());
}

TEST_F(ResultsImport, CancelledNewCompetitionLeavesNothingUnderItsNumber) {
    auto before = test::contentOf(database_);
    meet_.pcomp.push_back(meet_.pcomp[0].replace(3, 2, "50"));  // no event 50
    test::writeMeet(source_, meet_);
    EXPECT_FALSE(importResults("1", true));
    EXPECT_NE(trace().find("Importation des résultats annulés."), std::string::npos) << trace();
    // Only the row the host made for this import has gone with it.
    before.erase(std::remove_if(before.begin(), before.end(),
                                [](const std::string& row) { return row.rfind("rcomp: 1|", 0) == 0; }),
                 before.end());
    EXPECT_EQ(test::contentOf(database_), before);
}

// A file that came through empty (a failed copy) cancels a re-import: the
// earlier import stays whole, and the trace names the file.
TEST_F(ResultsImport, AnEmptyFileCancelsTheImportAndKeepsTheEarlierOne) {
    ASSERT_TRUE(importResults("1", true)) << trace();
    const std::string kept = "select (select count(*) from Prres) || '/' || (select count(*) from Prres_relais) || '/' || "
                             "(select count(*) from Liffn) || '/' || (select count(*) from Pcomp) || '/' || "
                             "(select count(*) from Categori)";
    std::string before = test::queryRows(*test::openForCheck(database_), kept).at(0);
    for (const char* name : {"rcomp.txt", "club.txt", "licence.txt", "relais.txt", "categori.txt", "pcomp.txt",
                             "prres.txt", "engag.txt"}) {
        test::writeMeet(source_, meet_);
        test::writeBytes(source_ + "/" + name, "");
        temp_ = dir_.sub(std::string("temp-") + name);  // the working copies keep the files' names
        EXPECT_FALSE(importResults("1", false)) << name;
        EXPECT_EQ(test::queryRows(*test::openForCheck(database_), kept).at(0), before) << name;
        std::string text = trace();
        EXPECT_TRUE(text.find("Le fichier " + std::string(name) + " est vide") != std::string::npos) << text;
        EXPECT_NE(text.find("Importation des résultats annulés."), std::string::npos) << text;
    }
}

TEST_F(ResultsImport, SourceDriveDatabaseAndArgumentsAreChecked) {
    EXPECT_FALSE(importResults("1", true, dir_.file("absent")));
    EXPECT_EQ(trace(),
              "Début de l'import : 10/03/2026 18:30:05\n\nLe lecteur source n'est pas pret.\nImport annulé.\n\n\n"
              "Fin importation : 10/03/2026 18:30:05\n");

    EXPECT_FALSE(importResults("1 or 1=1", true));
    EXPECT_NE(trace().find("Numéro de compétition incorrect : 1 or 1=1."), std::string::npos);

    database_ = dir_.file("absent.db");
    EXPECT_FALSE(importResults("1", true));
    EXPECT_NE(trace().find("Erreur de connexion dans dll d'import des licences.\nImport annulé.\nErreur n° "),
              std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(database_));
}

TEST_F(ResultsImport, SkeletonLoadsHeaderAndProgrammeOnly) {
    ASSERT_TRUE(importSkeleton("1")) << trace();
    EXPECT_EQ(count("select count(*) from Pcomp where Num_compet = 1"), 3);
    EXPECT_EQ(count("select count(*) from Prres"), 0);
    EXPECT_EQ(count("select count(*) from Club where Code_federal = 'FRA5120750001'"), 0);

    meet_.rcomp = {"001X" + test::pad("Meeting", 94)};
    test::writeMeet(source_, meet_);
    EXPECT_FALSE(importSkeleton("1"));  // a header that cannot be read fails the skeleton
    EXPECT_EQ(count("select count(*) from Pcomp where Num_compet = 1"), 3);
}

TEST_F(ResultsImport, SkeletonWithABadProgrammeFailsAndChangesNothing) {
    ASSERT_TRUE(importSkeleton("1")) << trace();
    auto earlier = test::contentOf(database_);
    meet_.rcomp = {meet_.rcomp[0].replace(4, 7, "Renommé")};
    meet_.pcomp.push_back(meet_.pcomp[0].replace(3, 2, "50"));
    test::writeMeet(source_, meet_);
    EXPECT_FALSE(importSkeleton("1"));
    EXPECT_EQ(test::contentOf(database_), earlier);
    EXPECT_TRUE(closedProperly());
}

}  // namespace
}  // namespace couloir
