// A folder of interchange files saved again as UTF-8 by a modern editor, with
// or without a byte-order mark, imports exactly as the federation's own
// single-byte files do, and the trace says which files were read as UTF-8.
#include <gtest/gtest.h>

#include <filesystem>

#include "couloir/couloir.h"
#include "meet_fixture.h"
#include "shared/components.h"
#include "shared/utf8_detection.h"
#include "test_support.h"

namespace couloir::test {
namespace {

namespace fs = std::filesystem;

class Encodings : public ::testing::TestWithParam<bool> {
protected:
    // A copy of `source` saved as UTF-8.
    std::string utf8Copy(const std::string& source, const std::string& name) {
        std::string copy = scratch_.sub(name);
        for (const auto& file : fs::directory_iterator(source)) fs::copy_file(file.path(), copy / file.path().filename());
        resaveAsUtf8(copy, GetParam());
        return copy;
    }
    std::string newDatabase(const std::string& name) {
        std::string path = scratch_.file(name);
        path = createClubDatabase(path);
        return path;
    }
    bool run(const std::string& arguments, const std::string& trace) {
        return runCouloir(arguments + " --quiet --trace " + trace + " --temp " + scratch_.sub("temp")).status == 0;
    }

    FixedNow clock_{"2026-03-10T18:30:05"};
    ScratchDir scratch_;
};

TEST_P(Encodings, AResultsFolderSavedAsUtf8ImportsAsTheOriginal) {
    std::string original = scratch_.sub("meet");
    writeMeet(original, smallMeet());
    std::string utf8 = utf8Copy(original, "meet-utf8");
    std::string a = newDatabase("a.db"), b = newDatabase("b.db");
    ASSERT_TRUE(run("import-results " + a + " " + original + " --competition 1 --new", scratch_.file("a.txt")));
    ASSERT_TRUE(run("import-results " + b + " " + utf8 + " --competition 1 --new", scratch_.file("b.txt")));
    EXPECT_EQ(contentOf(b), contentOf(a));
    std::string trace = readText(scratch_.file("b.txt"));
    EXPECT_NE(trace.find("Warning. Le fichier licence.txt est enregistré en UTF-8 : il est lu comme tel."),
              std::string::npos)
        << trace;
    EXPECT_EQ(readText(scratch_.file("a.txt")).find("UTF-8"), std::string::npos);
}

TEST_P(Encodings, FederationListsAndPerformanceFilesSavedAsUtf8ImportAsTheOriginals) {
    std::string lists = utf8Copy(COULOIR_SOURCE_DIR "/samples/federation", "lists");
    std::string a = newDatabase("a.db"), b = newDatabase("b.db");
    ASSERT_TRUE(run("import-licences " + a + " " + COULOIR_SOURCE_DIR "/samples/federation", scratch_.file("a.txt")));
    ASSERT_TRUE(run("import-licences " + b + " " + lists, scratch_.file("b.txt")));
    EXPECT_EQ(contentOf(b), contentOf(a));

    std::string performances = utf8Copy(COULOIR_SOURCE_DIR "/samples/performances", "perf");
    std::string c = newDatabase("c.db"), d = newDatabase("d.db");
    ASSERT_TRUE(run("import-perf " + c + " " + COULOIR_SOURCE_DIR "/samples/performances", scratch_.file("c.txt")));
    ASSERT_TRUE(run("import-perf " + d + " " + performances, scratch_.file("d.txt")));
    EXPECT_EQ(contentOf(d), contentOf(c));
    EXPECT_NE(readText(scratch_.file("d.txt")).find("Le fichier liffn.txt est enregistré en UTF-8"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(ByteOrderMark, Encodings, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "WithMark" : "WithoutMark"; });

TEST(LineEncodings, OnlyValidUtf8WithAMultiByteSequenceIsUtf8) {
    EXPECT_EQ(lineEncoding("Oc\xC3\xA9" "ane"), LineEncoding::Utf8);
    EXPECT_EQ(lineEncoding("\xEF\xBB\xBF" "ASCII after a mark"), LineEncoding::Utf8);
    EXPECT_EQ(lineEncoding("plain ASCII"), LineEncoding::Ascii);
    EXPECT_EQ(lineEncoding("Oc\xE9" "ane"), LineEncoding::SingleByte);  // Windows-1252
    EXPECT_EQ(lineEncoding("H\x82l\x8Ane"), LineEncoding::SingleByte);  // DOS accents
    EXPECT_EQ(lineEncoding("\xC0\xAF"), LineEncoding::SingleByte);      // overlong
    EXPECT_EQ(lineEncoding("\xED\xA0\x80"), LineEncoding::SingleByte);  // surrogate
    EXPECT_EQ(lineEncoding("fin coup\xC3"), LineEncoding::SingleByte);   // cut short
}

// The census of a copy sees each line as the reader will, whatever the chunks it is fed.
TEST(LineEncodings, CensusFindsTheFirstLineOfEachKind) {
    const std::string file = "ASCII\r\nH\x82l\x8Ane\r\nOc\xC3\xA9" "ane\r\nOc\xE9" "ane\r\nfin coup\xC3";
    for (std::size_t chunk : {std::size_t{1}, std::size_t{3}, file.size()}) {
        EncodingCensus census;
        for (std::size_t i = 0; i < file.size(); i += chunk) census.feed(std::string_view(file).substr(i, chunk));
        FileEncodings found = census.finish();
        EXPECT_EQ(found.firstSingleByte, 2) << chunk;
        EXPECT_EQ(found.firstUtf8, 3) << chunk;
        EXPECT_TRUE(found.mixed());
    }
    EncodingCensus utf8;
    utf8.feed("ASCII\nOc\xC3\xA9" "ane\n");
    EXPECT_TRUE(utf8.finish().savedAsUtf8());
}

}  // namespace
}  // namespace couloir::test
