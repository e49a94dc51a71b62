// --dry-run: the call runs whole, its trace is the real run's with one more
// line before the closing one, and the database is left exactly as it was,
// its open/closed mark included.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <set>

#include "meet_fixture.h"
#include "report_support.h"
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
void sampleMeet(const std::string&, const std::string& source) {
    for (const auto& file : fs::directory_iterator(COULOIR_SOURCE_DIR "/samples/competition"))
        fs::copy_file(file.path(), source + "/" + file.path().filename().string());
}
void importedMeet(const std::string& db, const std::string& source) {
    writeMeet(source, smallMeet());
    runCouloir("import-results " + db + " " + source + " --competition 1 --new --quiet --trace " + kNullDevice);
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
    runScript(db, readBytes(COULOIR_SOURCE_DIR "/samples/federation/previous_season.sql"));
    runCouloir("import-licences " + db + " " + COULOIR_SOURCE_DIR "/samples/federation --quiet --trace " + kNullDevice);
    for (const auto& file : fs::directory_iterator(COULOIR_SOURCE_DIR "/samples/codes"))
        fs::copy_file(file.path(), source + "/" + file.path().filename().string());
}
void federationWithBadLines(const std::string& db, const std::string& source) {
    federation(db, source);
    std::string licences = readBytes(source + "/licence.txt");
    writeBytes(source + "/licence.txt", licences + "FRA99999999 ligne trop courte\r\n\x01\x02\xff\r\n");
}
void performances(const std::string&, const std::string& source) {
    for (const auto& file : fs::directory_iterator(COULOIR_SOURCE_DIR "/samples/performances"))
        fs::copy_file(file.path(), source + "/" + file.path().filename().string());
}
// A line in error cancels the performance file.
void performancesWithARefusedLine(const std::string& db, const std::string& source) {
    performances(db, source);
    writeBytes(source + "/liffn.txt", readBytes(source + "/liffn.txt") + "99 ligne illisible\r\n");
}
void codesWithRefusedLines(const std::string& db, const std::string& source) {
    codes(db, source);
    std::string file = source + "/iuf_region_08.txt";
    writeBytes(file, readBytes(file) + std::string(readBytes(file).find('\n'), 'x') + "\r\n");
}

class DryRun : public ::testing::TestWithParam<DryRunCase> {
protected:
    // Runs the case on a fresh copy of the prepared database; its trace as text.
    std::string run(const std::string& db, bool dryRun, int& status) {
        std::string command = GetParam().command;
        for (auto [word, value] : {std::pair<std::string, std::string>{"DB", db}, {"SRC", source_}})
            command.replace(command.find(word), word.size(), value);
        std::string trace = dir_.file(dryRun ? "dry.txt" : "real.txt");
        std::string report = dir_.file(dryRun ? "dry.json" : "real.json");
        status = runCouloir(command + (dryRun ? " --dry-run" : "") + " --quiet --trace " + trace + " --report " +
                            report)
                     .status;
        return readText(trace);
    }
    // Runs the case dry, then for real, on two copies of the prepared database.
    void runBoth(int& dryStatus, int& realStatus) {
        std::string dry = dir_.file("dry.db"), real = dir_.file("real.db");
        dry = createClubDatabase(dry);
        GetParam().prepare(dry, source_);
        real = copyClubDatabase(dry, real);
        run(dry, true, dryStatus);
        run(real, false, realStatus);
    }

    FixedNow now_{"2026-03-10T18:30:05"};
    ScratchDir dir_;
    std::string source_ = dir_.sub("source");
};

TEST_P(DryRun, TracesAsTheRealRunAndChangesNothing) {
    std::string dry = dir_.file("dry.db"), real = dir_.file("real.db");
    dry = createClubDatabase(dry);
    GetParam().prepare(dry, source_);
    real = copyClubDatabase(dry, real);
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
                      DryRunCase{"SampleMeet", "import-results DB SRC --competition 1 --new", sampleMeet},
                      DryRunCase{"CancelledReimport", "import-results DB SRC --competition 1", importedMeet},
                      DryRunCase{"Skeleton", "import-skeleton DB SRC --competition 3", freshMeet},
                      DryRunCase{"Licences", "import-licences DB SRC", federation},
                      DryRunCase{"LicencesWithRefusedLines", "import-licences DB SRC", federationWithBadLines},
                      DryRunCase{"UniqueCodes", "update-codes DB SRC", codes},
                      DryRunCase{"UniqueCodesWithRefusedLines", "update-codes DB SRC", codesWithRefusedLines},
                      DryRunCase{"Performances", "import-perf DB SRC", performances},
                      DryRunCase{"PerformancesWithARefusedLine", "import-perf DB SRC", performancesWithARefusedLine}),
    [](const auto& info) { return std::string(info.param.name); });

// The lines of a text.
std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

TEST_P(DryRun, ReportsWhatTheRealRunWillDo) {
    int dryStatus = 0, realStatus = 0;
    runBoth(dryStatus, realStatus);
    ASSERT_TRUE(matchesSchema(dir_.file("dry.json")));
    ASSERT_TRUE(matchesSchema(dir_.file("real.json")));
    nlohmann::json dry = readReport(dir_.file("dry.json")), real = readReport(dir_.file("real.json"));

    EXPECT_TRUE(dry["dry_run"].get<bool>());
    EXPECT_FALSE(real["dry_run"].get<bool>());
    EXPECT_EQ(dry["exit_status"], dryStatus);
    EXPECT_EQ(real["result"].get<bool>(), realStatus == 0);
    // Same steps, counts, messages and changes: the dry run foretells the real one.
    EXPECT_EQ(comparablePart(dry).dump(1), comparablePart(real).dump(1));
    EXPECT_EQ(linesOf(real["trace"]), readLines(dir_.file("real.txt")));
    EXPECT_FALSE(real["steps"].empty());

    // Every number of a summary is written in its step's trace.
    for (const auto& step : real["steps"]) {
        std::string text = step["trace"];
        for (const auto& [name, value] : step["counts"].items()) {
            std::regex number("(^|[^0-9])" + std::to_string(value.get<long>()) + "([^0-9]|$)");
            EXPECT_TRUE(std::regex_search(text, number)) << name << " = " << value << " in\n" << text;
        }
    }

    // Every line error or warning of the trace is a message with its line number.
    std::set<std::pair<std::string, long>> reported;
    for (const auto& message : real["messages"])
        if (!message["line"].is_null()) reported.insert({message["kind"], message["line"].get<long>()});
    std::regex lineMessage("^(Erreur|Warning) Ligne n° : ([0-9]+)\\.$");
    for (const std::string& line : linesOf(readText(dir_.file("real.txt")))) {
        std::smatch m;
        if (!std::regex_match(line, m, lineMessage)) continue;
        std::string kind = m[1] == "Erreur" ? "error" : "warning";
        EXPECT_TRUE(reported.contains({kind, std::stol(m[2])})) << line;
    }
}

// The licence list with lines the import refuses: each refused line is a
// message naming the file, the line and the record as read.
TEST(Report, NamesRefusedLinesWithTheirRecords) {
    ScratchDir dir;
    std::string db = dir.file("club.db"), source = dir.sub("source");
    db = createClubDatabase(db);
    federationWithBadLines(db, source);
    runCouloir("import-licences " + db + " " + source + " --quiet --trace " + dir.file("t.txt") + " --report " +
               dir.file("r.json"));
    ASSERT_TRUE(matchesSchema(dir.file("r.json")));
    nlohmann::json report = readReport(dir.file("r.json"));
    std::vector<std::string> licences = readLines(source + "/licence.txt");
    int refused = 0;
    for (const auto& message : report["messages"]) {
        if (message["kind"] != "error" || message["line"].is_null()) continue;
        ++refused;
        EXPECT_EQ(message["file"], "licence.txt");
        long line = message["line"];
        ASSERT_LE(line, static_cast<long>(licences.size()));
        EXPECT_EQ(message["record"], licences[line - 1]) << message.dump();
    }
    const nlohmann::json& licenceStep = report["steps"].back();
    EXPECT_EQ(licenceStep["title"], "Fichier licence.txt");
    EXPECT_EQ(licenceStep["lines_read"], licences.size());
    EXPECT_EQ(licenceStep["counts"]["errors"], refused);
    EXPECT_EQ(licenceStep["counts"]["lines"], licences.size());
    EXPECT_EQ(report["changes"]["Licence"]["inserted"], licenceStep["counts"]["created"]);
}

}  // namespace
}  // namespace couloir::test
