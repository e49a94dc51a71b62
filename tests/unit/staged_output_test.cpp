// A writing call's files wait beside the output folder until it succeeds.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "shared/error.h"
#include "shared/staged_output.h"
#include "test_support.h"

namespace couloir {
namespace {

namespace fs = std::filesystem;

TEST(StagedOutput, FilesWaitBesideTheFolderHoweverItIsSpelt) {
    test::ScratchDir dir;
    std::string out = dir.sub("out");
    for (const std::string& spelling : {out, out + "/", out + "/.", dir.file("./out")}) {
        StagedOutput output(spelling);
        fs::path waiting = fs::path(output.path("Club.txt")).parent_path();
        EXPECT_EQ(waiting.parent_path(), dir.path()) << spelling;
        EXPECT_TRUE(fs::is_empty(out)) << spelling;
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1) << "staging folders left";
}

// On a file system that ignores case (Windows) the file moved onto CLUB.TXT
// is CLUB.TXT: it must keep its content and take the spelling delivered.
TEST(StagedOutput, DeliveryReplacesTheFileOfTheSameNameInAnyCase) {
    test::ScratchDir dir;
    std::string out = dir.sub("out");
    test::writeBytes(out + "/CLUB.TXT", "earlier\r\n");
    test::writeBytes(out + "/notes.txt", "the user's\r\n");
    {
        StagedOutput output(out);
        test::writeBytes(output.path("Club.txt"), "new\r\n");
        output.deliver();
    }
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(out)) names.insert(entry.path().filename().string());
    // Wine gives no file another case of its own name (Windows does).
    if (!test::runsUnderWine()) {
        EXPECT_EQ(names, (std::set<std::string>{"Club.txt", "notes.txt"}));
    }
    EXPECT_EQ(test::readBytes(out + "/Club.txt"), "new\r\n");
    EXPECT_EQ(test::readBytes(out + "/notes.txt"), "the user's\r\n");
    EXPECT_THROW(StagedOutput(dir.file("absent")), Error);
}

}  // namespace
}  // namespace couloir
