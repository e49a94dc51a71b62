// The couloir command as a user runs it.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "meet_fixture.h"
#include "test_support.h"

namespace couloir {
namespace {

using test::CommandRun;

TEST(Host, InitDbCreatesAPrivateDatabaseOnce) {
    test::ScratchDir dir;
    std::string db = dir.file("club.db");
    EXPECT_EQ(test::runCouloir("init-db " + db).status, 0);
    EXPECT_TRUE(test::isOwnerOnly(db));
    EXPECT_EQ(test::openForCheck(db)->lValeurScalaire(test::sql("select count(*) from Licence where Nom = 'Null'")), 1);
    EXPECT_EQ(test::runCouloir("init-db " + db).status, 1);
}

TEST(Host, ImportResultsPrintsTheTraceAndReturnsTheResult) {
    test::FixedNow now("2026-03-10T18:30:05");
    test::ScratchDir dir;
    std::string db = dir.file("club.db"), source = dir.sub("meet"), trace = dir.file("trace.txt");
    db = test::createClubDatabase(db);
    test::writeMeet(source, test::smallMeet());

    CommandRun missing = test::runCouloir("import-results " + db + " " + source + " --competition 4 --trace " + trace);
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.output.find("n'existe pas"), std::string::npos);

    CommandRun run = test::runCouloir("import-results " + db + " " + source + " --competition 4 --new --trace " + trace);
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("Début de l'import : 10/03/2026 18:30:05"), std::string::npos);  // UTF-8 on stdout
    EXPECT_EQ(test::openForCheck(db)->lValeurScalaire(test::sql("select count(*) from Prres where Num_compet = 4")), 3);

    CommandRun quiet = test::runCouloir("import-skeleton " + db + " " + source + " --competition 4 --quiet --trace " + trace);
    EXPECT_EQ(quiet.status, 0);
    EXPECT_EQ(quiet.output, "");
}

TEST(Host, WritingCommandsCreateTheirOutputFolder) {
    test::ScratchDir dir;
    std::string db = dir.file("club.db");
    createDatabase(db, test::clubDatabaseScript() + "\n" + test::readBytes(COULOIR_SOURCE_DIR "/samples/club_fixture.sql"));
    std::string out = dir.file("new/out");
    CommandRun run = test::runCouloir("create-files " + db + " " + out + " --competition 7 --profile 1 --quiet --trace " +
                             dir.file("trace.txt"));
    EXPECT_EQ(run.status, 0) << test::readText(dir.file("trace.txt"));
    EXPECT_TRUE(std::filesystem::exists(out + "/Origine.txt"));
    run = test::runCouloir("export-perf " + db + " " + dir.file("export") + " --all --quiet --trace " + dir.file("trace.txt"));
    EXPECT_EQ(run.status, 0) << test::readText(dir.file("trace.txt"));
    EXPECT_TRUE(std::filesystem::is_directory(dir.file("export")));
}

TEST(Host, HelpUsageErrorsAndProfilesSpeakFrench) {
    test::CommandRun help = test::runCouloir("create-files --help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.output.find("Utilisation"), std::string::npos) << help.output;
    EXPECT_NE(help.output.find("--profile N"), std::string::npos) << help.output;
    EXPECT_NE(help.output.find("couloir profiles DB"), std::string::npos);
    EXPECT_EQ(help.output.find("Print this help"), std::string::npos);
    test::CommandRun misuse = test::runCouloir("import-results only-one-argument");
    EXPECT_EQ(misuse.output, "couloir : un argument ou une option obligatoire manque. Voir « couloir import-results "
                             "--help ».\n");
    // What was wrong is named.
    for (const auto& [arguments, message] : std::vector<std::pair<std::string, std::string>>{
             {"importer-tout", "couloir : commande inconnue : importer-tout. Voir « couloir --help ».\n"},
             {"--vesrion", "couloir : option inconnue : --vesrion. Voir « couloir --help ».\n"},
             {"import-results a b --competition 1 --bogus",
              "couloir : option inconnue : --bogus. Voir « couloir import-results --help ».\n"},
             {"import-results a b --competition x",
              "couloir : valeur incorrecte, --competition: « x » n'est pas un nombre entier. Voir « couloir "
              "import-results --help ».\n"},
             {"create-files a b --competition 7 --profile 1.5",
              "couloir : valeur incorrecte, --profile: « 1.5 » n'est pas un nombre entier. Voir « couloir "
              "create-files --help ».\n"}}) {
        test::CommandRun run = test::runCouloir(arguments);
        EXPECT_EQ(run.status, 2) << arguments;
        EXPECT_EQ(run.output, message);
    }
    test::CommandRun version = test::runCouloir("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.output, COULOIR_VERSION "\n");

    test::ScratchDir dir;
    std::string db = dir.file("club.db"), trace = dir.file("trace.txt");
    createDatabase(db, test::clubDatabaseScript() + "\n" + test::readBytes(COULOIR_SOURCE_DIR "/samples/club_fixture.sql"));
    test::CommandRun profiles = test::runCouloir("profiles " + db);
    EXPECT_EQ(profiles.status, 0);
    EXPECT_NE(profiles.output.find("\n1 | FRA"), std::string::npos) << profiles.output;
    EXPECT_EQ(test::runCouloir("create-files " + db + " " + dir.file("out") + " --competition 7 --profile 99 --quiet "
                               "--trace " + trace).status,
              1);
    EXPECT_NE(test::readText(trace).find("Le profil n° 99 n'existe pas dans la base"), std::string::npos);
    test::runCouloir("create-files " + db + " " + dir.file("out") + " --competition 70 --profile 1 --quiet --trace " +
                     trace);
    EXPECT_NE(test::readText(trace).find("La compétition n° 70 n'existe pas dans la base"), std::string::npos);
}

TEST(Host, UsageErrorsExitWithTwo) {
    EXPECT_EQ(test::runCouloir("").status, 2);
    EXPECT_EQ(test::runCouloir("import-results only-one-argument").status, 2);
    EXPECT_EQ(test::runCouloir("export-perf db out").status, 2);
}

}  // namespace
}  // namespace couloir
