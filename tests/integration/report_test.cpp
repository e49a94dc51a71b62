// --report: the JSON account of a call, for the writing commands and as the
// host's options combine.
#include <gtest/gtest.h>

#include <filesystem>

#include "meet_fixture.h"
#include "report_support.h"
#include "test_support.h"

namespace couloir::test {
namespace {

namespace fs = std::filesystem;

// A club database holding the sample club's competition, entries and history.
std::string fixtureDatabase(const ScratchDir& dir) {
    std::string db = dir.file("club.db");
    createDatabase(db, clubDatabaseScript() + "\n" + readBytes(COULOIR_SOURCE_DIR "/samples/club_fixture.sql"));
    return db;
}

// Each file on disk is listed once, with its lines and bytes, and nothing else is.
void expectFilesListed(const nlohmann::json& report, const std::string& folder) {
    std::size_t onDisk = 0;
    for (const auto& entry : fs::directory_iterator(folder)) {
        ++onDisk;
        std::string name = entry.path().filename().string();
        std::string bytes = readBytes(entry.path().string());
        std::size_t lines = 0;
        for (std::size_t at = 0; (at = bytes.find("\r\n", at)) != std::string::npos; at += 2) ++lines;
        auto listed = std::find_if(report["files"].begin(), report["files"].end(),
                                   [&](const auto& file) { return file["name"] == name; });
        ASSERT_NE(listed, report["files"].end()) << name;
        EXPECT_EQ((*listed)["size"], bytes.size()) << name;
        EXPECT_EQ((*listed)["records"], lines) << name;
    }
    EXPECT_EQ(report["files"].size(), onDisk);
}

TEST(Report, ListsTheFilesTheWritersWrite) {
    ScratchDir dir;
    std::string db = fixtureDatabase(dir), out = dir.file("out"), exported = dir.file("export");
    ASSERT_EQ(runCouloir("create-files " + db + " " + out + " --competition 7 --profile 1 --quiet --trace " +
                         dir.file("t.txt") + " --report " + dir.file("create.json"))
                  .status,
              0);
    ASSERT_EQ(runCouloir("import-perf " + db + " " COULOIR_SOURCE_DIR "/samples/performances --quiet --trace " +
                         dir.file("t.txt"))
                  .status,
              0);
    ASSERT_EQ(runCouloir("export-perf " + db + " " + exported + " --all --quiet --trace " + dir.file("t.txt") +
                         " --report " + dir.file("export.json"))
                  .status,
              0);
    for (const char* name : {"create.json", "export.json"}) ASSERT_TRUE(matchesSchema(dir.file(name))) << name;

    nlohmann::json created = readReport(dir.file("create.json")), exportedReport = readReport(dir.file("export.json"));
    expectFilesListed(created, out);
    expectFilesListed(exportedReport, exported);
    EXPECT_EQ(created["command"], "create-files");
    EXPECT_EQ(created["steps"].size(), 8u);
    EXPECT_EQ(created["steps"][1]["file"], "Rcomp.txt");  // the file a writing step wrote
    EXPECT_TRUE(created["changes"].empty()) << created["changes"];  // a writer changes no row
    // The export's counts are its summary: the individual performances it wrote.
    long individual = 0;
    for (const auto& step : exportedReport["steps"])
        if (step["title"] == "Performances individuelles") individual = step["counts"]["performances"];
    const auto& liffn = *std::find_if(exportedReport["files"].begin(), exportedReport["files"].end(),
                                      [](const auto& file) { return file["name"] == "liffn.txt"; });
    EXPECT_GT(individual, 0);
    EXPECT_LE(individual, liffn["records"].get<long>());
}

TEST(Report, OnStandardOutputItIsTheWholeOutput) {
    FixedNow now("2026-03-10T18:30:05");
    ScratchDir dir;
    std::string db = dir.file("club.db"), source = dir.sub("meet");
    db = createClubDatabase(db);
    writeMeet(source, smallMeet());
    CommandRun run = runCouloir("import-results " + db + " " + source + " --competition 4 --new --trace " +
                                dir.file("t.txt") + " --report -");
    EXPECT_EQ(run.status, 0);
    nlohmann::json report = nlohmann::json::parse(run.output);  // the trace is not printed
    writeBytes(dir.file("stdout.json"), run.output);
    EXPECT_TRUE(matchesSchema(dir.file("stdout.json")));
    EXPECT_TRUE(report["result"].get<bool>());
    EXPECT_EQ(report["version"], COULOIR_VERSION);
    EXPECT_EQ(report["changes"]["Prres"]["inserted"], 3);
    EXPECT_EQ(report["arguments"].front(), db);
}

TEST(Report, IsPrivateAndNeverReplacesTheDatabase) {
    ScratchDir dir;
    std::string db = dir.file("club.db"), source = dir.sub("meet");
    createClubDatabaseFile(db);  // a report that would replace the database file
    writeMeet(source, smallMeet());
    auto before = contentOf(db);
    std::string command = "import-results " + db + " " + source + " --competition 4 --new --quiet --trace " +
                          dir.file("t.txt") + " --report ";
    EXPECT_EQ(runCouloir(command + db).status, 2);
    EXPECT_EQ(runCouloir(command + source + "/rapport.json").status, 2);
    EXPECT_EQ(runCouloir(command + dir.file("t.txt")).status, 2);
    EXPECT_EQ(contentOf(db), before);

    ASSERT_EQ(runCouloir(command + dir.file("r.json")).status, 0);
    EXPECT_TRUE(matchesSchema(dir.file("r.json")));
    EXPECT_TRUE(isOwnerOnly(dir.file("r.json")));
}

// A call that fails before any step still has its report, saying so.
TEST(Report, SaysWhenTheCallFailed) {
    ScratchDir dir;
    std::string source = dir.sub("meet");
    writeMeet(source, smallMeet());
    writeBytes(dir.file("not-a-db"), "du texte");
    CommandRun run = runCouloir("import-licences " + dir.file("not-a-db") + " " + source + " --quiet --trace " +
                                dir.file("t.txt") + " --report " + dir.file("r.json"));
    EXPECT_EQ(run.status, 1);
    ASSERT_TRUE(matchesSchema(dir.file("r.json")));
    nlohmann::json report = readReport(dir.file("r.json"));
    EXPECT_FALSE(report["result"].get<bool>());
    EXPECT_EQ(report["exit_status"], 1);
    EXPECT_TRUE(report["steps"].empty());
    ASSERT_FALSE(report["messages"].empty());
    EXPECT_EQ(report["messages"].back()["kind"], "error");
    EXPECT_NE(report["messages"].back()["text"].get<std::string>().find("Erreur n° 3343"), std::string::npos);
}

}  // namespace
}  // namespace couloir::test
