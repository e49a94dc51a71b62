// Files as they arrive after a bad copy or a careless editor: a line holding
// bytes no text may hold is refused by its number and the rest of the file
// is read; lines saved in two encodings are each read in their own.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "meet_fixture.h"
#include "shared/cp1252.h"
#include "test_support.h"

namespace couloir::test {
namespace {

namespace fs = std::filesystem;

// The lines of a file written with CR LF, and back.
std::vector<std::string> linesOf(const std::string& bytes) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(bytes.substr(start, end - start));
    return lines;
}
std::string joined(const std::vector<std::string>& lines) {
    std::string bytes;
    for (const std::string& line : lines) bytes += line + "\r\n";
    return bytes;
}

class UnreadableLines : public ::testing::Test {
protected:
    // A copy of the federation's lists, to spoil.
    std::string federationCopy(const std::string& name) {
        std::string folder = dir_.sub(name);
        for (const char* file : {"club.txt", "licence.txt", "origine.txt"})
            fs::copy_file(COULOIR_SOURCE_DIR "/samples/federation/" + std::string(file), folder + "/" + file);
        return folder;
    }
    int importLicences(const std::string& db, const std::string& folder) {
        return runCouloir("import-licences " + db + " " + folder + " --quiet --trace " + trace_).status;
    }
    std::int32_t count(const std::string& db, const std::string& sql) { return openForCheck(db)->lValeurScalaire(test::sql(sql)); }

    FixedNow now_{"2026-03-10T18:30:05"};
    ScratchDir dir_;
    std::string trace_ = dir_.file("trace.txt");
};

TEST_F(UnreadableLines, ALicenceListWithControlBytesLosesOnlyThoseLines) {
    std::string clean = createClubDatabase(dir_.file("clean.db"));
    ASSERT_EQ(importLicences(clean, federationCopy("clean")), 0);

    std::string folder = federationCopy("spoilt");
    std::vector<std::string> licences = linesOf(readBytes(folder + "/licence.txt"));
    licences[2][4] = '\0';     // in the club code of line 3
    licences[6][30] = '\x01';  // in the surname of line 7
    writeBytes(folder + "/licence.txt", joined(licences));
    std::vector<std::string> clubs = linesOf(readBytes(folder + "/club.txt"));
    clubs[1][20] = '\0';
    writeBytes(folder + "/club.txt", joined(clubs));

    std::string db = createClubDatabase(dir_.file("club.db"));
    ASSERT_EQ(importLicences(db, folder), 0) << readText(trace_);
    std::string text = readText(trace_);
    EXPECT_NE(text.find("Erreur Ligne n° : 3.\nLigne illisible : caractère de contrôle (code 0) en position 5.\n"),
              std::string::npos) << text;
    EXPECT_NE(text.find("Erreur Ligne n° : 7.\nLigne illisible : caractère de contrôle (code 1) en position 31.\n"),
              std::string::npos);
    EXPECT_NE(text.find("Erreur Ligne n° : 2.\nLigne illisible : caractère de contrôle (code 0) en position 21.\n"),
              std::string::npos);
    EXPECT_EQ(text.find("interrompu"), std::string::npos);
    const std::string swimmers = "select count(*) from Licence where Nom <> 'Null'";
    EXPECT_EQ(count(db, swimmers), count(clean, swimmers) - 2);
}

TEST_F(UnreadableLines, RandomBytesAreReportedLineByLineWithoutACrash) {
    std::string folder = federationCopy("junk");
    std::mt19937 random(21);
    std::string junk(1 << 18, '\0');
    for (char& byte : junk) byte = static_cast<char>(random());
    writeBytes(folder + "/licence.txt", junk);
    std::string db = createClubDatabase(dir_.file("club.db"));
    EXPECT_EQ(importLicences(db, folder), 0);
    std::string text = readText(trace_);
    EXPECT_EQ(text.find("interrompu"), std::string::npos) << text.substr(0, 2000);
    EXPECT_NE(text.find("Ligne illisible"), std::string::npos);
    EXPECT_NE(text.find("Fin importation : "), std::string::npos);
}

// Lines pasted from a file saved as UTF-8 into one of the federation's: each
// line reads in its own encoding, and the swimmers are stored as written.
TEST_F(UnreadableLines, MixedEncodingsReadEachLineInItsOwn) {
    std::string original = createClubDatabase(dir_.file("original.db"));
    ASSERT_EQ(importLicences(original, federationCopy("original")), 0);

    std::string folder = federationCopy("mixed");
    std::vector<std::string> licences = linesOf(readBytes(folder + "/licence.txt"));
    for (std::size_t i = 0; i < licences.size(); i += 2) licences[i] = decodeCp1252(strConvertirAccents(licences[i]));
    writeBytes(folder + "/licence.txt", joined(licences));
    std::string mixed = createClubDatabase(dir_.file("mixed.db"));
    ASSERT_EQ(importLicences(mixed, folder), 0);
    std::string text = readText(trace_);
    EXPECT_NE(text.find("Warning. Le fichier licence.txt mélange deux encodages : la ligne "), std::string::npos) << text;
    const std::string swimmers = "select Code_Club || Licence || Nom || '|' || Prenom || Sexe || Date_Naissance || "
                                 "Sportive || Maitre from Licence order by Code_Club, Licence";
    EXPECT_EQ(queryRows(*openForCheck(mixed), swimmers), queryRows(*openForCheck(original), swimmers));
}

TEST_F(UnreadableLines, EachReaderTakesItsOwnPathForABadLine) {
    MeetFiles meet = smallMeet();
    std::string db = createClubDatabase(dir_.file("club.db"));
    auto importMeet = [&](const std::string& file, std::size_t line, std::size_t column) {
        std::string folder = dir_.sub("meet-" + file);
        writeMeet(folder, meet);
        std::vector<std::string> lines = linesOf(readBytes(folder + "/" + file));
        lines.at(line)[column] = '\0';
        writeBytes(folder + "/" + file, joined(lines));
        return runCouloir("import-results " + db + " " + folder + " --competition 1 --new --quiet --trace " + trace_)
            .status;
    };
    // A result that cannot be read cancels the import, as any result in error does.
    EXPECT_EQ(importMeet("prres.txt", 0, 20), 1);
    EXPECT_NE(readText(trace_).find("Erreur n° 321: Ligne 1 du fichier prres.txt illisible : caractère de contrôle "
                                    "(code 0)"),
              std::string::npos) << readText(trace_);
    EXPECT_EQ(count(db, "select count(*) from Rcomp where AutoNum = 1"), 0);
    // An entry that cannot be read is warned about and the import goes on.
    EXPECT_EQ(importMeet("engag.txt", 0, 20), 0) << readText(trace_);
    EXPECT_NE(readText(trace_).find("Warning Ligne n° : 1.\nLigne illisible"), std::string::npos);
    EXPECT_GT(count(db, "select count(*) from Prres where Num_compet = 1"), 0);
}

TEST_F(UnreadableLines, APerformanceFileWithABadLineIsDiscardedWhole) {
    std::string folder = dir_.sub("perf");
    for (const auto& entry : fs::directory_iterator(COULOIR_SOURCE_DIR "/samples/performances"))
        fs::copy_file(entry.path(), folder + "/" + entry.path().filename().string());
    std::vector<std::string> lines = linesOf(readBytes(folder + "/liffn.txt"));
    lines.at(3)[40] = '\x1B';
    writeBytes(folder + "/liffn.txt", joined(lines));
    std::string db = createClubDatabase(dir_.file("club.db"));
    EXPECT_EQ(runCouloir("import-perf " + db + " " + folder + " --quiet --trace " + trace_).status, 1);
    EXPECT_NE(readText(trace_).find("Erreur Ligne n° : 4.\nLigne illisible : caractère de contrôle (code 27)"),
              std::string::npos) << readText(trace_);
    EXPECT_EQ(count(db, "select count(*) from Liffn"), 0);
}

}  // namespace
}  // namespace couloir::test
