// What couloir writes stays the owner's, never lands where a link points,
// and never overwrites the database or the files it reads.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>

#include "meet_fixture.h"
#include "shared/platform.h"
#include "test_support.h"

namespace couloir {
namespace {

namespace fs = std::filesystem;

class HostSafety : public ::testing::Test {
protected:
    void SetUp() override {
#ifndef _WIN32
        previousMask_ = ::umask(022);
#endif
        db_ = test::createClubDatabase(db_);
        test::runScript(db_, test::readBytes(COULOIR_SOURCE_DIR "/samples/club_fixture.sql"));
        test::writeMeet(meet_, test::smallMeet());
    }
#ifndef _WIN32
    void TearDown() override { ::umask(previousMask_); }

    mode_t previousMask_ = 0;
#endif
    test::ScratchDir dir_;
    std::string db_ = dir_.file("club.db"), meet_ = dir_.sub("meet"), trace_ = dir_.file("trace.txt");
};

TEST_F(HostSafety, EverythingWrittenIsOwnerOnly) {
    std::string temp = dir_.file("copies");
    ASSERT_EQ(test::runCouloir("import-results " + db_ + " " + meet_ + " --competition 4 --new --quiet --trace " +
                               trace_ + " --temp " + temp).status,
              0);
    // The command makes the trace before writing it, and under Wine replacing
    // an existing file's access list widens its Unix mode instead.
    if (!test::runsUnderWine()) {
        EXPECT_TRUE(test::isOwnerOnly(trace_));
    }
    EXPECT_TRUE(test::isOwnerOnly(temp));
    for (const auto& copy : fs::directory_iterator(temp)) EXPECT_TRUE(test::isOwnerOnly(platform::utf8Of(copy.path())));

    std::string out = dir_.file("out/disk");
    ASSERT_EQ(test::runCouloir("create-files " + db_ + " " + out + " --competition 7 --profile 1 --quiet --trace " +
                               trace_).status,
              0);
    std::string exported = dir_.file("export");
    ASSERT_EQ(test::runCouloir("export-perf " + db_ + " " + exported + " --all --quiet --trace " + trace_).status, 0);
    for (const std::string& folder : {out, exported}) {
        EXPECT_TRUE(test::isOwnerOnly(folder)) << folder;
        for (const auto& file : fs::directory_iterator(folder))
            EXPECT_TRUE(test::isOwnerOnly(platform::utf8Of(file.path()))) << file.path();
    }
}

TEST_F(HostSafety, TheDefaultWorkingFolderGoesWithTheCall) {
    std::string tmp = dir_.sub("tmp");
    ASSERT_EQ(test::runCouloir("import-results " + db_ + " " + meet_ + " --competition 4 --new --quiet --trace " + trace_,
                               std::string(test::kTempFolderVariable) + "=" + tmp)
                  .status,
              0);
    EXPECT_TRUE(fs::is_empty(tmp));
}

TEST_F(HostSafety, TheTraceNeverOverwritesTheDatabaseOrTheSource) {
    db_ = dir_.file("file.db");  // a trace that would replace the database file or its journal
    test::createClubDatabaseFile(db_);
    auto before = test::contentOf(db_);
    std::string sourceFile = meet_ + "/prres.txt";
    std::string sourceBytes = test::readBytes(sourceFile);
    for (const std::string& trace : {db_, db_ + "-wal", sourceFile, meet_ + "/nouvelle-trace.txt"}) {
        test::CommandRun run = test::runCouloir("import-results " + db_ + " " + meet_ +
                                                " --competition 4 --new --quiet --trace " + trace);
        EXPECT_EQ(run.status, 2) << trace;
        EXPECT_NE(run.output.find("choisissez un autre fichier avec --trace"), std::string::npos) << run.output;
    }
    EXPECT_EQ(test::contentOf(db_), before);
    EXPECT_EQ(test::readBytes(sourceFile), sourceBytes);
    EXPECT_FALSE(fs::exists(meet_ + "/nouvelle-trace.txt"));
}

// A hard link is the database under another name: refused for every file the host writes.
TEST_F(HostSafety, HardLinksToTheDatabaseAreRefused) {
    db_ = dir_.file("file.db");
    test::createClubDatabaseFile(db_);
    auto before = test::contentOf(db_);
    std::string linked = dir_.file("autre-nom.txt");
    fs::create_hard_link(db_, linked);
    const std::string import = "import-results " + db_ + " " + meet_ + " --competition 4 --new --quiet ";
    for (const std::string& options : {"--trace " + linked, "--trace " + trace_ + " --report " + linked,
                                       "--trace " + trace_ + " --report " + linked + " --dry-run"}) {
        test::CommandRun run = test::runCouloir(import + options);
        EXPECT_EQ(run.status, 2) << options;
        EXPECT_NE(run.output.find("écraserait la base de données"), std::string::npos) << run.output;
    }
    // Working copies and written files that would take the database's place.
    std::string temp = dir_.sub("copies");
    fs::create_hard_link(db_, temp + "/club.txt");
    EXPECT_EQ(test::runCouloir(import + "--trace " + trace_ + " --temp " + temp).status, 2);
    std::string out = dir_.sub("out");
    fs::create_hard_link(db_, out + "/CLUB.TXT");
    test::CommandRun write = test::runCouloir("create-files " + db_ + " " + out + " --competition 7 --profile 1 --quiet "
                                              "--trace " + trace_);
    EXPECT_EQ(write.status, 2) << write.output;
    EXPECT_EQ(test::contentOf(db_), before);
}

TEST_F(HostSafety, TheWorkingFolderIsNeverTheSourceNorALinkNorADeepPath) {
    const std::string import = "import-results " + db_ + " " + meet_ + " --competition 4 --new --quiet --trace " + trace_;
    std::vector<std::string> refused = {meet_, meet_ + "/copies", dir_.file("absent/copies")};
    std::string real = dir_.sub("real");
#ifndef _WIN32  // symbolic links need a privilege on Windows, and Wine makes none
    std::string linkedTemp = dir_.file("lien");
    fs::create_directory_symlink(real, linkedTemp);
    refused.push_back(linkedTemp);
#endif
    for (const std::string& temp : refused) {
        test::CommandRun run = test::runCouloir(import + " --temp " + temp);
        EXPECT_EQ(run.status, 2) << temp << run.output;
        EXPECT_NE(run.output.find("--temp"), std::string::npos) << run.output;
    }
    EXPECT_FALSE(fs::exists(meet_ + "/copies"));
    EXPECT_FALSE(fs::exists(dir_.file("absent")));
    EXPECT_TRUE(fs::is_empty(real));
}

// A command killed with its working copies leaves them behind; the next command, whatever it is, clears them.
TEST_F(HostSafety, WorkingFoldersOfKilledCommandsAreRemoved) {
    std::string tmp = dir_.sub("tmp");
    std::string abandoned = tmp + "/couloir-ABCDEF", server = tmp + "/couloir-web-ABCDEF", running = tmp + "/couloir-GHIJKL", other = tmp + "/autre-XYZ",
                users = tmp + "/couloir-sortie",  // a folder of the user's, with no mark
        unmarkedOld = tmp + "/couloir-MNOPQR",  // its process killed before it marked it
        unmarkedNew = tmp + "/couloir-STUVWX";  // its process about to mark it
    for (const std::string& folder : {abandoned, server, running, other, users, unmarkedOld, unmarkedNew})
        fs::create_directory(folder);
    test::makeOlder(unmarkedOld, std::chrono::hours(1));
    test::writeBytes(server + "/couloir-processus", "2147483646 1\n");
    test::writeBytes(users + "/résultats.txt", "à garder\r\n");
    test::makeOlder(users, std::chrono::hours(48));
    test::writeBytes(abandoned + "/couloir-processus", "2147483646 1\n");  // no such process
    test::writeBytes(abandoned + "/licence.txt", "données personnelles\r\n");
    test::writeBytes(running + "/couloir-processus", std::to_string(platform::currentProcessId()) + "\n");
    EXPECT_EQ(test::runCouloir("--version", std::string(test::kTempFolderVariable) + "=" + tmp).status, 0);
    EXPECT_FALSE(fs::exists(abandoned));
    EXPECT_FALSE(fs::exists(server));
    EXPECT_TRUE(fs::exists(running));
    EXPECT_TRUE(fs::exists(other));
    EXPECT_TRUE(fs::exists(users));
    EXPECT_FALSE(fs::exists(unmarkedOld));
    EXPECT_TRUE(fs::exists(unmarkedNew));
}

TEST_F(HostSafety, AWrongBusyTimeoutIsAUsageErrorNamingIt) {
    for (const char* value : {"abc", "-1", "1e3", "86401"}) {
        test::CommandRun run = test::runCouloir("profiles " + db_, std::string("COULOIR_BUSY_TIMEOUT=") + value);
        EXPECT_EQ(run.status, 2) << value;
        EXPECT_NE(run.output.find("COULOIR_BUSY_TIMEOUT incorrect"), std::string::npos) << run.output;
    }
    EXPECT_EQ(test::runCouloir("profiles " + db_, "COULOIR_BUSY_TIMEOUT=0").status, 0);
}

TEST_F(HostSafety, AWorkingCopyIsNeverWrittenThroughALink) {
#ifdef _WIN32
    GTEST_SKIP() << "symbolic links need a privilege on Windows, and Wine makes none";
#endif
    std::string temp = dir_.sub("temp");
    std::string target = dir_.file("elsewhere.txt");
    fs::create_symlink(target, temp + "/club.txt");
    test::CommandRun run = test::runCouloir("import-results " + db_ + " " + meet_ +
                                            " --competition 4 --new --quiet --trace " + trace_ + " --temp " + temp);
    EXPECT_EQ(run.status, 1);
    EXPECT_FALSE(fs::exists(target));
    EXPECT_NE(test::readText(trace_).find("Lien symbolique refusé : " + temp + "/club.txt"), std::string::npos)
        << test::readText(trace_);
    EXPECT_EQ(test::openForCheck(db_)->lValeurScalaire(test::sql("select count(*) from Rcomp where AutoNum = 4")), 0);
}

TEST_F(HostSafety, ATraceThatCannotBeWrittenIsSaidEvenQuietly) {
    test::CommandRun run = test::runCouloir("import-results " + db_ + " " + meet_ +
                                            " --competition 4 --new --quiet --trace " + dir_.file("no/folder/t.txt"));
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.output.find("la trace " + dir_.file("no/folder/t.txt") + " ne peut pas être écrite"),
              std::string::npos)
        << run.output;
    EXPECT_EQ(test::openForCheck(db_)->lValeurScalaire(test::sql("select count(*) from Rcomp where AutoNum = 4")), 0);
}

}  // namespace
}  // namespace couloir
