// Every call all or nothing: another program's lock, two calls at once, a
// refused --new, files that are no club database, writers that never leave
// two runs' files side by side.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <future>
#include <map>
#include <set>
#include <thread>

#include "couloir/couloir.h"
#include "meet_fixture.h"
#include "shared/components.h"
#include "shared/error.h"
#include "test_support.h"

namespace couloir {
namespace {

using test::CommandRun;

namespace fs = std::filesystem;

// Another call's connection holding the write lock for a while.
class ForeignLock {
public:
    explicit ForeignLock(const std::string& database) : db_(test::openForCheck(database)) {
        db_->begin(Database::Lock::Write);
    }
    void release() { db_.reset(); }

private:
    std::unique_ptr<Database> db_;
};

class AtomicCalls : public ::testing::Test {
protected:
    void SetUp() override {
        db_ = test::createClubDatabase(db_);
        test::writeMeet(meet_, test::smallMeet());
    }

    std::string importResults(const std::string& competition, const std::string& options = {}) {
        return "import-results " + db_ + " " + meet_ + " --competition " + competition + " " + options +
               " --quiet --trace " + trace_ + " --temp " + dir_.sub("temp");
    }

    test::FixedNow now_{"2026-03-10T18:30:05"};
    test::ScratchDir dir_;
    std::string db_ = dir_.file("club.db"), meet_ = dir_.sub("meet"), trace_ = dir_.file("trace.txt");
};

TEST_F(AtomicCalls, NewOnACompetitionThatHoldsAnImportIsRefused) {
    ASSERT_EQ(test::runCouloir(importResults("4", "--new")).status, 0) << test::readText(trace_);
    auto imported = test::contentOf(db_);
    CommandRun again = test::runCouloir(importResults("4", "--new"));
    EXPECT_EQ(again.status, 1);
    EXPECT_NE(again.output.find("importez-la de nouveau sans --new"), std::string::npos) << again.output;
    EXPECT_EQ(test::contentOf(db_), imported);
    // Without --new it is the re-import, which replaces the earlier one.
    EXPECT_EQ(test::runCouloir(importResults("4")).status, 0);
    EXPECT_EQ(test::contentOf(db_), imported);
}

TEST_F(AtomicCalls, TheHostsCompetitionRowGoesWithACancelledImport) {
    auto before = test::contentOf(db_);
    test::MeetFiles meet = test::smallMeet();
    meet.pcomp.push_back(meet.pcomp[0].replace(3, 2, "50"));  // no event 50: the import is cancelled
    test::writeMeet(meet_, meet);
    EXPECT_EQ(test::runCouloir(importResults("4", "--new")).status, 1);
    EXPECT_NE(test::readText(trace_).find("Importation des résultats annulés."), std::string::npos);
    EXPECT_EQ(test::contentOf(db_), before);
}

TEST_F(AtomicCalls, AWriterHoldingTheDatabaseIsWaitedFor) {
    auto lock = std::make_unique<ForeignLock>(db_);
    auto release = std::async(std::launch::async, [&] {
        std::this_thread::sleep_for(std::chrono::seconds(2));
        lock->release();
    });
    CommandRun run = test::runCouloir(importResults("4", "--new"));
    release.wait();
    EXPECT_EQ(run.status, 0) << test::readText(trace_);
    EXPECT_EQ(test::openForCheck(db_)->lValeurScalaire(test::sql("select count(*) from Prres where Num_compet = 4")), 3);
}

TEST_F(AtomicCalls, AWriterHoldingTheDatabaseTooLongFailsTheCallUnchanged) {
    auto before = test::contentOf(db_);
    {
        ForeignLock lock(db_);
        CommandRun run = test::runCouloir(importResults("4", "--new"), "COULOIR_BUSY_TIMEOUT=1");
        EXPECT_EQ(run.status, 1);
    }
    std::string trace = test::readText(trace_);
    EXPECT_NE(trace.find("Erreur de connexion dans dll d'import des licences.\nImport annulé.\nErreur n° 3045: "
                         "Impossible d'utiliser " + db_ + " : la base est utilisée par un autre programme"),
              std::string::npos)
        << trace;
    EXPECT_EQ(test::contentOf(db_), before);
}

// A form that, halfway through the performances, acts as another call: it
// can neither begin writing nor see the rows the call has written so far.
struct IntruderForm {
    std::string path;
    std::string step;
    double value = 0;
    bool tried = false;
    long writeRefusal = 0;
    int rowsSeen = -1;

    couloir_form form() {
        couloir_form f{};
        f.context = this;
        f.set_caption = [](void* c, const char*, int index, const char* text) {
            if (index == 2) static_cast<IntruderForm*>(c)->step = text;
            return 0;
        };
        f.get_value = [](void* c, const char*, double* v) {
            *v = static_cast<IntruderForm*>(c)->value;
            return 0;
        };
        f.set_value = [](void* c, const char*, double v) {
            auto* self = static_cast<IntruderForm*>(c);
            self->value = v;
            if (self->step == "Fichier Liffn.txt" && v > 50 && !self->tried) self->intrude();
            return 0;
        };
        return f;
    }

    void intrude() {
        tried = true;
        try {
            auto db = openDatabase(path, DatabaseOptions{.nullText = NullText::Empty, .busyTimeoutSeconds = 0});
            try {
                db->begin(Database::Lock::Write);
            } catch (const Error& e) {
                writeRefusal = e.number();
            }
            db->rollback();
            rowsSeen = db->lValeurScalaire(test::sql("SELECT count(*) FROM Liffn"));
        } catch (const Error& e) {
            ADD_FAILURE() << e.description();
        }
    }
};

TEST_F(AtomicCalls, NoOtherProgramWritesOrSeesHalfACall) {
    IntruderForm intruder;
    intruder.path = db_;
    couloir_form form = intruder.form();
    auto entry = reinterpret_cast<couloir_bimport_perf_fn>(resolveMethod("Tessimor.clsTessimor", "bimport_perf"));
    ASSERT_TRUE(entry(db_.c_str(), COULOIR_SOURCE_DIR "/samples/performances", dir_.sub("temp").c_str(),
                      trace_.c_str(), &form));
    ASSERT_TRUE(intruder.tried);
    EXPECT_EQ(intruder.writeRefusal, errors::kDatabaseInUse);
    EXPECT_EQ(intruder.rowsSeen, 0);
    EXPECT_GT(test::openForCheck(db_)->lValeurScalaire(test::sql("select count(*) from Liffn")), 0);
}

TEST_F(AtomicCalls, TwoPerformanceImportsAtOnceKeepTheirOwnRows) {
    std::string generator = test::builtProgram("bench_generate_performances");
    std::string first = dir_.file("first"), second = dir_.file("second");
    ASSERT_EQ(test::runProgram(generator, first + " --swimmers 500 --performances 6000 --seed 1").status, 0);
    ASSERT_EQ(test::runProgram(generator, second + " --swimmers 400 --performances 4000 --seed 2").status, 0);
    auto run = [&](const std::string& source, const std::string& name) {
        return std::async(std::launch::async, [=, this] {
            return test::runCouloir("import-perf " + db_ + " " + source + " --quiet --trace " + dir_.file(name + ".txt") +
                           " --temp " + dir_.file(name));
        });
    };
    auto a = run(first, "a");
    auto b = run(second, "b");
    EXPECT_EQ(a.get().status, 0);
    EXPECT_EQ(b.get().status, 0);
    auto db = test::openForCheck(db_);
    auto counts = test::queryRows(*db,
        "SELECT (SELECT count(*) FROM Liffn WHERE Num_compet = AutoNum) + "
        "(SELECT count(*) FROM Liffn_relais WHERE Num_compet = AutoNum) FROM Rcomp WHERE Nom LIKE '%import perf du%' "
        "ORDER BY 1");
    EXPECT_EQ(counts, (std::vector<std::string>{"4000", "6000"}));
    EXPECT_EQ(db->lValeurScalaire(test::sql("select count(*) from Liffn where Num_compet = -1")), 0);
}

TEST_F(AtomicCalls, AFileThatIsNoClubDatabaseIsLeftAsItIs) {
    db_ = dir_.file("club.db");
    for (const std::string& bytes : {std::string(), std::string("Nom;Prénom\r\nDUPONT;Léa\r\n")}) {
        test::writeBytes(db_ + ".other", bytes);
        CommandRun run = test::runCouloir("import-perf " + db_ + ".other " + COULOIR_SOURCE_DIR "/samples/performances --trace " +
                                 trace_ + " --quiet --temp " + dir_.sub("temp"));
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(test::readBytes(db_ + ".other"), bytes);
        EXPECT_FALSE(fs::exists(db_ + ".other-wal"));
        EXPECT_NE(test::readText(trace_).find("Erreur n° 3343: Format de base de données non reconnu"),
                  std::string::npos)
            << test::readText(trace_);
    }
}

TEST_F(AtomicCalls, InitDbLeavesNoFileWhenItFails) {
    std::string inMissingFolder = dir_.file("no/such/folder/club.db");
    EXPECT_NE(test::runCouloir("init-db " + inMissingFolder).status, 0);
    EXPECT_FALSE(fs::exists(inMissingFolder));
}

// Every file of a folder with its bytes.
std::map<std::string, std::string> contentsOf(const std::string& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(folder))
        files[entry.path().filename().string()] = entry.is_regular_file() ? test::readBytes(entry.path().string()) : "/";
    return files;
}

TEST(AtomicWriters, AFailedRunLeavesTheFolderAsItWasAndASuccessReplacesTheSet) {
    test::ScratchDir dir;
    std::string db = dir.file("club.db"), out = dir.sub("out"), trace = dir.file("trace.txt");
    db = test::createClubDatabase(db);
    test::runScript(db, test::readBytes(COULOIR_SOURCE_DIR "/samples/club_fixture.sql"));
    auto createFiles = [&](const std::string& profile) {
        return test::runCouloir("create-files " + db + " " + out + " --competition 7 --profile " + profile +
                                " --quiet --trace " + trace).status;
    };
    ASSERT_EQ(createFiles("1"), 0);
    test::writeBytes(out + "/notes.txt", "the user's own\r\n");
    auto before = contentsOf(out);
    auto besideBefore = contentsOf(dir.path().string());
    // A profile that does not exist: the run stops at the club file, after writing three files.
    EXPECT_EQ(createFiles("99"), 1);
    EXPECT_EQ(contentsOf(out), before);
    EXPECT_EQ(contentsOf(dir.path().string()).size(), besideBefore.size()) << "a staging folder was left beside";
    EXPECT_NE(test::readText(trace).find("Opération annulée."), std::string::npos);

    // A file of the set under another case is replaced with the set; the user's own file stays.
    fs::rename(out + "/Engag.txt", out + "/ENGAG.TXT");
    ASSERT_EQ(createFiles("1"), 0);
    auto after = contentsOf(out);
    EXPECT_EQ(after.count("ENGAG.TXT"), 0u);
    EXPECT_EQ(after["Engag.txt"], before["Engag.txt"]);
    EXPECT_EQ(after["notes.txt"], "the user's own\r\n");

    // An export that finds nothing to write leaves an earlier export in place.
    std::string exported = dir.sub("export");
    ASSERT_EQ(test::runCouloir("export-perf " + db + " " + exported + " --all --quiet --trace " + trace).status, 0);
    auto exportedBefore = contentsOf(exported);
    EXPECT_EQ(test::runCouloir("export-perf " + db + " " + exported + " --club FRA0000000000 --quiet --trace " + trace).status, 0);
    EXPECT_EQ(contentsOf(exported), exportedBefore);
    EXPECT_NE(test::readText(trace).find("Fin de l'export : "), std::string::npos);
}

}  // namespace
}  // namespace couloir
