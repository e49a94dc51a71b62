// --dry-run: the call runs whole, its trace is the real run's with one more
// line before the closing one, and the database is left exactly as it was,
// its open/closed mark included.
#include <gtest/gtest.h>

#include <filesystem>

#include "meet_fixture.h"
#include "test_support.h"

namespace couloir::test {
namespace {

namespace fs = std::filesystem;

const std::string kSimulation = "Simulation : aucune modification n'a été enregistrée.\n";

struct DryRunCase {
    const char* name;
    // The command, with DB where the database goes and SRC for its source folder.
    std::string command;
    // Prepares the database and the source folder.
    void (*prepare)(const std::string& db, const std::string& source);
};

void freshMeet(const std::string&, const std::string& source) { writeMeet(source, smallMeet()); }
void importedMeet(const std::string& db, const std::string& source) {
    writeMeet(source, smallMeet());
    runCouloir("import-results " + db + " " + source + " --competition 1 --new --quiet --trace /dev/null");
    MeetFiles meet = smallMeet();
    meet.pcomp.push_back(meet.pcomp[0].replace(3, 2, "50"));  // this time the import is cancelled
    writeMeet(source, meet);
}
void federation(const std::string& db, const std::string& source) {
    runScript(db, readBytes(COULOIR_SOURCE_DIR "/samples/federation/previous_season.sql"));
    for (const auto& file : fs::directory_iterator(COULOIR_SOURCE_DIR "/samples/federation"))
        fs::copy_file(file.path(), source + "/" + file.path().filename().string());
}
void codes(const std::string& db, const std::string& source) {
    federation(db, source);
    runCouloir("import-licences " + db + " " + source + " --quiet --trace /dev/null");
}
void performances(const std::string&, const std::string& source) {
    for (const auto& file : fs::directory_iterator(COULOIR_SOURCE_DIR "/samples/performances"))
        fs::copy_file(file.path(), source + "/" + file.path().filename().string());
}

class DryRun : public ::testing::TestWithParam<DryRunCase> {
protected:
    // Runs the case on a fresh copy of the prepared database; its trace as text.
    std::string run(const std::string& db, bool dryRun, int& status) {
        std::string command = GetParam().command;
        for (auto [word, value] : {std::pair<std::string, std::string>{"DB", db}, {"SRC", source_}})
            command.replace(command.find(word), word.size(), value);
        std::string trace = dir_.file(dryRun ? "dry.txt" : "real.txt");
        status = runCouloir(command + (dryRun ? " --dry-run" : "") + " --quiet --trace " + trace).status;
        return readText(trace);
    }

    FixedNow now_{"2026-03-10T18:30:05"};
    ScratchDir dir_;
    std::string source_ = dir_.sub("source");
};

TEST_P(DryRun, TracesAsTheRealRunAndChangesNothing) {
    std::string dry = dir_.file("dry.db"), real = dir_.file("real.db");
    createClubDatabase(dry);
    GetParam().prepare(dry, source_);
    fs::copy_file(dry, real);
    auto before = contentOf(dry);
    auto mark = queryRows(*openForCheck(dry), "select LastClose from Info");

    int dryStatus = 0, realStatus = 0;
    std::string dryTrace = run(dry, true, dryStatus);
    std::string realTrace = run(real, false, realStatus);
    EXPECT_EQ(dryStatus, realStatus);
    EXPECT_EQ(contentOf(dry), before);
    EXPECT_EQ(queryRows(*openForCheck(dry), "select LastClose from Info"), mark);
    if (realStatus == 0) {
        EXPECT_NE(contentOf(real), before);  // the real run does change it
    }

    std::size_t said = dryTrace.find(kSimulation);
    ASSERT_NE(said, std::string::npos) << dryTrace;
    EXPECT_EQ(dryTrace.substr(0, said) + dryTrace.substr(said + kSimulation.size()), realTrace);
    // Just before the closing line.
    std::string after = dryTrace.substr(said + kSimulation.size());
    EXPECT_EQ(after.find('\n'), after.size() - 1) << dryTrace;
}

INSTANTIATE_TEST_SUITE_P(
    Importers, DryRun,
    ::testing::Values(DryRunCase{"NewCompetition", "import-results DB SRC --competition 1 --new", freshMeet},
                      DryRunCase{"CancelledReimport", "import-results DB SRC --competition 1", importedMeet},
                      DryRunCase{"Skeleton", "import-skeleton DB SRC --competition 3", freshMeet},
                      DryRunCase{"Licences", "import-licences DB SRC", federation},
                      DryRunCase{"UniqueCodes", "update-codes DB SRC", codes},
                      DryRunCase{"Performances", "import-perf DB SRC", performances}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace couloir::test
