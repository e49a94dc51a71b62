// SQLite and PostgreSQL side by side (in the server run only): the same
// commands on the sample data leave the same traces, files and rows, and a
// club database copied to the server and back is the one it was.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "test_support.h"

namespace couloir {
namespace {

namespace fs = std::filesystem;
using test::CommandRun;

// Every file of a folder, by name.
std::map<std::string, std::string> filesIn(const std::string& folder) {
    std::map<std::string, std::string> files;
    if (!fs::is_directory(folder)) return files;
    for (const auto& entry : fs::directory_iterator(folder))
        files[entry.path().filename().string()] = test::readBytes(entry.path().string());
    return files;
}

// One engine's database and the folders its commands write.
struct Side {
    std::string name, database, folder;
};

class EngineParity : public ::testing::Test {
protected:
    void SetUp() override {
        if (!test::testServer()) GTEST_SKIP() << "runs on the test server (tests/postgres/cluster.sh)";
        sqlite_ = {"sqlite", dir_.file("club.db"), dir_.sub("sqlite")};
        test::createClubDatabaseFile(sqlite_.database);
        server_ = {"postgresql", test::createClubDatabase(dir_.file("server.db")), dir_.sub("postgresql")};
    }

    // Runs the command (DB and OUT stand for each side's database and a
    // fresh output folder) on both engines; their exit statuses, traces,
    // files and rows must match.
    void same(const std::string& step, const std::string& arguments) {
        SCOPED_TRACE(step);
        std::map<std::string, std::string> traces, rows;
        std::vector<std::map<std::string, std::string>> files;
        std::vector<int> statuses;
        for (const Side* side : {&sqlite_, &server_}) {
            std::string out = side->folder + "/" + step, trace = side->folder + "/" + step + ".txt";
            std::string command = arguments;
            for (auto [mark, value] : {std::pair<std::string, std::string>{"DB", side->database}, {"OUT", out}})
                for (std::size_t at = command.find(mark); at != std::string::npos; at = command.find(mark, at + value.size()))
                    command.replace(at, mark.size(), value);
            CommandRun run = test::runCouloir(command + " --quiet --trace " + trace);
            statuses.push_back(run.status);
            traces[side->name] = test::readBytes(trace);
            files.push_back(filesIn(out));
            std::string content;
            for (const std::string& row : test::contentOf(side->database)) content += row + "\n";
            rows[side->name] = content;
        }
        EXPECT_EQ(statuses[0], statuses[1]);
        EXPECT_EQ(traces["sqlite"], traces["postgresql"]);
        EXPECT_EQ(files[0], files[1]);
        EXPECT_EQ(rows["sqlite"], rows["postgresql"]);
    }

    test::FixedNow now_{"2026-11-21T09:15:00"};
    test::ScratchDir dir_;
    Side sqlite_, server_;
};

TEST_F(EngineParity, EveryCommandOnTheSamplesLeavesTheSameTracesFilesAndRows) {
    const std::string samples = COULOIR_SOURCE_DIR "/samples/";
    for (const Side* side : {&sqlite_, &server_})
        test::runScript(side->database, test::readBytes(samples + "federation/previous_season.sql"));
    same("licences", "import-licences DB " + samples + "federation --temp " + dir_.file("temp"));
    same("codes", "update-codes DB " + samples + "codes");
    same("results-dry", "import-results DB " + samples + "competition --competition 1 --new --dry-run --temp " +
                            dir_.file("temp"));
    same("results", "import-results DB " + samples + "competition --competition 1 --new --temp " + dir_.file("temp"));
    same("results-again", "import-results DB " + samples + "competition --competition 1 --temp " + dir_.file("temp"));
    same("performances", "import-perf DB " + samples + "performances --temp " + dir_.file("temp"));
    same("export-all", "export-perf DB OUT --all");
    same("export-club", "export-perf DB OUT --club FRA5120750001");
    same("refused", "import-results DB " + samples + "competition --competition 1 --new --temp " + dir_.file("temp"));
}

TEST_F(EngineParity, EntriesOfTheClubFixtureAreWrittenAlike) {
    for (const Side* side : {&sqlite_, &server_})
        test::runScript(side->database, test::readBytes(COULOIR_SOURCE_DIR "/samples/club_fixture.sql"));
    same("club-entries", "create-files DB OUT --competition 7 --profile 1");
    same("selection-entries", "create-files DB OUT --competition 7 --profile 2 --selection");
    same("selection-export", "export-perf DB OUT --club FRA5120000000 --selection");
}

TEST_F(EngineParity, ACopyToTheServerAndBackIsTheDatabaseItWas) {
    const std::string samples = COULOIR_SOURCE_DIR "/samples/";
    ASSERT_EQ(test::runCouloir("import-results " + sqlite_.database + " " + samples +
                               "competition --competition 1 --new --quiet --trace " + dir_.file("t.txt"))
                  .status,
              0);
    ASSERT_EQ(test::runCouloir("import-perf " + sqlite_.database + " " + samples + "performances --quiet --trace " +
                               dir_.file("t.txt"))
                  .status,
              0);
    CommandRun there = test::runCouloir("copy-db " + sqlite_.database + " " + server_.database);
    ASSERT_EQ(there.status, 0) << there.output;
    std::string back = dir_.file("back.db");
    ASSERT_EQ(test::runCouloir("init-db " + back).status, 0);
    CommandRun again = test::runCouloir("copy-db " + server_.database + " " + back);
    ASSERT_EQ(again.status, 0) << again.output;
    EXPECT_EQ(test::contentOf(server_.database), test::contentOf(sqlite_.database));
    EXPECT_EQ(test::contentOf(back), test::contentOf(sqlite_.database));
    // The counters go on from the copied rows on both engines.
    for (const std::string& db : {server_.database, back})
        EXPECT_EQ(test::openForCheck(db)->lValeurScalaire(test::sql("select max(Num) from Licence")),
                  test::openForCheck(sqlite_.database)->lValeurScalaire(test::sql("select max(Num) from Licence")));
    same("after-copy", "import-perf DB " + samples + "performances --temp " + dir_.file("temp"));

    // A database that holds data is never replaced; the one that would receive it stays as it was.
    auto before = test::contentOf(server_.database);
    CommandRun refused = test::runCouloir("copy-db " + back + " " + server_.database);
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.output.find("contient déjà des données"), std::string::npos) << refused.output;
    EXPECT_EQ(test::contentOf(server_.database), before);
}

TEST_F(EngineParity, InitDbOnTheServerRefusesAClubDatabaseAndHidesThePassword) {
    CommandRun run = test::runCouloir("init-db " + server_.database);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.output.find("contient déjà une base de club"), std::string::npos) << run.output;
    std::string withPassword = server_.database;
    withPassword.insert(withPassword.find('@'), ":motdepasse");
    run = test::runCouloir("import-perf " + withPassword + " " COULOIR_SOURCE_DIR "/samples/performances --trace " +
                           dir_.file("t.txt"));
    EXPECT_EQ(run.output.find("motdepasse"), std::string::npos) << run.output;
    CommandRun missing = test::runCouloir("import-perf " + server_.database + "_absente " COULOIR_SOURCE_DIR
                                          "/samples/performances --quiet --trace " + dir_.file("t.txt"));
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(test::readText(dir_.file("t.txt")).find("Erreur n° 3151: Échec de la connexion à "), std::string::npos)
        << test::readText(dir_.file("t.txt"));
}

}  // namespace
}  // namespace couloir
