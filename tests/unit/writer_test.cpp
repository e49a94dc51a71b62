#include <gtest/gtest.h>

#include "shared/cp1252.h"
#include "shared/error.h"
#include "shared/fixed_record.h"
#include "shared/interchange_writer.h"
#include "shared/record_layouts.h"
#include "shared/text_date.h"
#include "test_support.h"

namespace couloir {
namespace {

// Every shared layout: a record written from its table is read back field
// for field by the cut its readers use, at the file's record length.
TEST(RecordLayouts, WhatTheWriterPutsTheReaderFinds) {
    const std::vector<std::pair<const Widths*, int>> layouts = {
        {&kClubWidths, 43},  {&kLicenceWidths, 248}, {&kLiffnWidths, 202}, {&kRcompWidths, 98},
        {&kPcompWidths, 19}, {&kEngagWidths, 63},    {&kRelaisWidths, 84}};
    for (const auto& [widths, length] : layouts) {
        FixedRecord record(*widths);
        std::vector<std::string> values;
        for (std::size_t field = 0; field < widths->size(); ++field) {
            // A value as wide as its field, accented, distinct from its neighbours.
            std::string value = "é" + std::string(static_cast<std::size_t>((*widths)[field] - 1), 'a' + field % 26);
            values.push_back(value);
            record.left(static_cast<int>(field), value);
        }
        EXPECT_EQ(charCount(record.text()), static_cast<std::size_t>(length));
        EXPECT_EQ(cutFields(record.text(), *widths), values);
        for (std::size_t field = 0; field < widths->size(); ++field)
            EXPECT_EQ(rawField(record.text(), *widths, field), values[field]);
    }
}

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
