// The three files both exports write into: licence.txt, club.txt and
// liffn.txt. A club and a swimmer get one line per call, whichever export
// meets them first.
#pragma once

#include <array>
#include <string>

#include "perf_export/export_run.h"
#include "shared/database.h"
#include "shared/fixed_record.h"
#include "shared/interchange_writer.h"
#include "shared/swimmer_record.h"
#include "shared/record_layouts.h"

namespace couloir::plessaud {

// A swimmer's licence row, as licence.txt takes it.
struct Swimmer : SwimmerValues {
    // Reads the club code from `clubColumn` and the other values, in the
    // order of kSwimmerColumns, from `licenceColumn` on.
    static Swimmer read(const Row& row, int clubColumn, int licenceColumn);
};

// A field of a row as the export writes it: Null is the empty text, any
// other value is trimmed.
std::string fieldText(const Row& row, int column);

class ExportFiles {
public:
    // Opens licence.txt, club.txt and liffn.txt, in that order.
    ExportFiles(ExportRun& run, InterchangeWriter::Mode mode);

    // Writes the club's line unless the call wrote it already.
    void writeClubOnce(const std::string& code, const std::string& name);
    // Writes the swimmer's line unless the call wrote it already; true when written now.
    bool writeSwimmerOnce(const std::string& num, const Swimmer& swimmer);
    void writePerformance(FixedRecord& performance) { liffn_.writeLine(performance.text()); }
    void close();

private:
    ExportRun& run_;
    InterchangeWriter licence_, club_, liffn_;
    FixedRecord clubRecord_{kClubWidths}, licenceRecord_{kLicenceWidths};
};

}  // namespace couloir::plessaud
