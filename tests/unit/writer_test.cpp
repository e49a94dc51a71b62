#include <gtest/gtest.h>

#include "shared/cp1252.h"
#include "shared/error.h"
#include "shared/fixed_record.h"
#include "shared/interchange_writer.h"
#include "test_support.h"

namespace couloir {
namespace {

TEST(FixedRecord, FieldsAreCutOrPaddedByCharacters) {
    const Widths widths = {3, 5, 4};
    FixedRecord record(widths);
    EXPECT_EQ(record.text(), std::string(12, ' '));
    record.left(0, "Éloïse").right(1, "12").left(2, "ab");
    EXPECT_EQ(record.text(), "Élo   12ab  ");
    record.right(1, "123456");  // too long: the beginning is kept
    EXPECT_EQ(record.text(), "Élo12345ab  ");
}

TEST(InterchangeWriter, WritesWindows1252LinesAndAppends) {
    test::ScratchDir dir;
    std::string path = dir.file("Engag.txt");
    {
        InterchangeWriter writer(path, InterchangeWriter::Mode::Replace);
        writer.writeLine("Hélène");
        writer.close();
    }
    {
        InterchangeWriter writer(path, InterchangeWriter::Mode::Append);
        writer.writeLine("RELAIS N° 5");
    }  // the destructor keeps what was written
    EXPECT_EQ(test::readBytes(path), "H\xE9l\xE8ne\r\nRELAIS N\xB0 5\r\n");
    EXPECT_THROW(InterchangeWriter(dir.file("no/such/folder/x.txt"), InterchangeWriter::Mode::Replace), Error);
}

TEST(Encoding, BrokenUtf8LosesOnlyTheBrokenCharacter) {
    EXPECT_EQ(encodeCp1252("Ren\xE9" "e"), "Ren?e");
    EXPECT_EQ(encodeCp1252("plain ascii"), "plain ascii");
}

}  // namespace
}  // namespace couloir
