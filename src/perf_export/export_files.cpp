#include "perf_export/export_files.h"

#include "shared/text_date.h"

namespace couloir::plessaud {

std::string fieldText(const Row& row, int column) {
    std::string text = row.text(column);
    std::string_view kept = trim(text);
    if (kept.size() != text.size()) text = std::string(kept);
    return text;
}

Swimmer Swimmer::read(const Row& row, int clubColumn, int licenceColumn) {
    Swimmer swimmer;
    swimmer.values[kClub] = fieldText(row, clubColumn);
    for (int value = kLicence; value < kCount; ++value)
        swimmer.values[value] = fieldText(row, licenceColumn + value - kLicence);
    return swimmer;
}

ExportFiles::ExportFiles(ExportRun& run, InterchangeWriter::Mode mode)
    : run_(run),
      licence_(run.paths.licence, mode, &run.trace()),
      club_(run.paths.club, mode, &run.trace()),
      liffn_(run.paths.liffn, mode, &run.trace()) {}

void ExportFiles::writeClubOnce(const std::string& code, const std::string& name) {
    if (run_.clubsWritten.contains(code)) return;
    clubRecord_.left(kClubCode, code).left(kClubIntitule, name);
    club_.writeLine(clubRecord_.text());
    run_.clubsWritten.add(code, name);
}

bool ExportFiles::writeSwimmerOnce(const std::string& num, const Swimmer& s) {
    if (run_.swimmersWritten.contains(num)) return false;
    // The swimmer's own club and licence, as fields 1 and 2 are written.
    std::string identity = strCadrerGauche(s[Swimmer::kClub], kLicenceWidths[kLicClub]) +
                           strCadrerGauche(s[Swimmer::kLicence], kLicenceWidths[kLicLicence]);
    // A malformed date, or an origin without a club code, starts with
    // blanks: they are dropped.
    setSwimmerFields(licenceRecord_, s, [](std::string_view date) { return std::string(trim(strAaaammjjVersJjmmaaaa(date))); });
    licenceRecord_.left(kLicOrigine, trim(identity));
    licence_.writeLine(licenceRecord_.text());
    run_.swimmersWritten.add(num, identity);
    return true;
}

void ExportFiles::close() {
    licence_.close();
    club_.close();
    liffn_.close();
}

}  // namespace couloir::plessaud
