// The unique-code files, through the whole public call: a folder holding the
// input as a code file, on a database that knows the sample's swimmers.
#include <cstdint>
#include <filesystem>

#include "couloir/couloir.h"
#include "fuzz_support.h"
#include "shared/connection.h"
#include "shared/licence_import.h"
#include "shared/club_import.h"
#include "shared/progress.h"
#include "shared/trace.h"

using namespace couloir;

extern "C" bool Korvenna_clsMajIUF_bImport_CodeIUF(const char*, const char*, const char*, const couloir_form*, bool,
                                                   const char*);

namespace {

const std::string& database() {
    static const std::string path = [] {
        std::string db = fuzz::createScratchDatabase("codes.db");
        Trace trace(fuzz::scratchFolder() + "/setup.txt");
        Form form(nullptr);
        Connection connection;
        std::string error;
        if (!connection.bConnexion(db, error)) std::abort();
        Session session{trace, form, connection};
        RunLists lists;
        ImporterLicences(session, lists, COULOIR_SOURCE_DIR "/samples/federation/licence.txt", 1, kLicencesForLicences,
                         std::nullopt);
        connection.bDeconnexion(error);
        return db;
    }();
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string folder = fuzz::scratchFolder() + "/codes";
    std::filesystem::create_directories(folder);
    fuzz::writeScratchFile("codes/iuf.txt", fuzz::bytesOf(data, size));
    std::string trace = fuzz::scratchFolder() + "/codes-trace.txt";
    fuzz::require(Korvenna_clsMajIUF_bImport_CodeIUF(folder.c_str(), database().c_str(), trace.c_str(), nullptr,
                                                     size % 2 == 1, "FRA5120750042"),
                  "a code file never fails the call");
    return 0;
}
