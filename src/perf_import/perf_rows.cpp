// The staging rows of liffn.txt lines, in Liffn and Liffn_relais. Values
// are bound, not written into the statement: texts are stored exactly as
// read, and numbers are checked before they are bound as numbers.
#include "perf_import/perf_file.h"
#include "shared/error.h"
#include "shared/text_date.h"
#include "shared/trace.h"

namespace couloir::tessimor {
namespace {

using Values = std::vector<std::pair<std::string, FieldValue>>;

const std::string kNl(CRLF);
const char* const kLicences[kRelayerSlots] = {"Licence1", "Licence2", "Licence3", "Licence4", "Licence5",
                                              "Licence6", "Licence7", "Licence8", "Licence9", "Licence10"};

// The values both tables take from the line, in their statements' order.
void addSwim(Values& row, const PerfFields& c, int code, std::int64_t swimmerNum) {
    row.emplace_back("Code_epreuve", std::int64_t{code});
    row.emplace_back("Code_club", c[kPerfClub]);
    row.emplace_back("Num_Lic", swimmerNum);
    row.emplace_back("Type_bassin", wholeNumber(c[kPerfBassin]));
    row.emplace_back("Date_perf", c[kPerfDate]);
    row.emplace_back("Tps", timeValue(c[kPerfTemps]));
    row.emplace_back("Lieu", c[kPerfLieu]);
}

void addCodifications(Values& row, const PerfFields& c) {
    row.emplace_back("Codif_Fede", c[kPerfCodifFede]);
    row.emplace_back("Codif_Inter", c[kPerfCodifInter]);
    row.emplace_back("Codif_Reg", c[kPerfCodifReg]);
    row.emplace_back("Codif_Depart", c[kPerfCodifDepart]);
}

std::string insertionFailure(const char* what, const Error& e) {
    return std::string("Une erreur s'est produite lors de l'ajout de la performance ") + what + "." + kNl +
           "Importation annulée." + kNl + strTexteErreur(e);
}

}  // namespace

bool PerformanceFile::bInsererPerf(const PerfFields& c, int code, long age, std::string& message) {
    try {
        Values row;
        row.reserve(14);
        addSwim(row, c, code, wholeNumber(swimmer_.num));
        addCodifications(row, c);
        row.emplace_back("Passage_relais", c[kPerfPassageRelais]);
        row.emplace_back("Age", std::int64_t{age});
        row.emplace_back("Num_compet", kStagingCompetition);
        run_.db().appendRow("Liffn", row);
        return true;
    } catch (...) {
        Error e = caughtError();
        message = insertionFailure("individuelle", e);
        return false;
    }
}

bool PerformanceFile::bInsererPerfRelais(const PerfFields& c, int code, std::int64_t team, std::string& message) {
    try {
        Values row;
        row.reserve(22);
        addSwim(row, c, code, team);
        for (int i = 0; i < kRelayerSlots; ++i) row.emplace_back(kLicences[i], wholeNumber(c[kPerfRelayeur1 + i]));
        addCodifications(row, c);
        row.emplace_back("Num_compet", kStagingCompetition);
        run_.db().appendRow("Liffn_relais", row);
        return true;
    } catch (...) {
        Error e = caughtError();
        message = insertionFailure("relais", e);
        return false;
    }
}

}  // namespace couloir::tessimor
