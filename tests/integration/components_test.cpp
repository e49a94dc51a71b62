// Classes created by programmatic identifier, as a host creates them.
#include <gtest/gtest.h>

#include <filesystem>

#include "shared/components.h"
#include "shared/error.h"
#include "shared/platform.h"
#include "test_support.h"

namespace couloir {
namespace {

TEST(Components, ResolvedByProgrammaticIdentifier) {
    EXPECT_NE(resolveMethod("Ombrelay.clsOmbrelay", "bimport_result"), nullptr);
    EXPECT_NE(resolveMethod("Calcul_Point.ClsCalcul", "CalculPoint"), nullptr);
    for (auto [progId, method] : {std::pair{"Ombrelay.clsAbsente", "bimport_result"},
                                  std::pair{"Inconnu.clsOmbrelay", "bimport_result"}, std::pair{"SansPoint", "x"},
                                  std::pair{"Ombrelay.clsOmbrelay", "bAbsente"}}) {
        try {
            resolveMethod(progId, method);
            ADD_FAILURE() << progId << "." << method;
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), errors::kCannotCreateObject);
        }
    }
}

TEST(Components, EveryLibraryIsOfThisVersion) {
    for (const char* library : {"Ombrelay", "Tessimor", "Korvenna", "Vandrule", "Plessaud", "Calcul_Point"})
        EXPECT_EQ(componentVersion(library), COULOIR_VERSION) << library;
    EXPECT_THROW(componentVersion("Inconnu"), Error);
}

TEST(Components, SearchedInTheFoldersNamed) {
    std::string saved = platform::environmentVariable("COULOIR_COMPONENTS");
    test::setEnvironment("COULOIR_COMPONENTS", std::string("/nonexistent") + platform::kPathListSeparator + "/absent/été");
    EXPECT_EQ(componentFolders(), (std::vector<std::string>{"/nonexistent", "/absent/été"}));
    test::setEnvironment("COULOIR_COMPONENTS", saved);
}

// A user's folders are often named with accents.
TEST(Components, FoundInAFolderNamedWithAccents) {
    test::ScratchDir dir;
    std::string folder = dir.sub("Composants-é");
    std::string library = platform::libraryFileName("Korvenna");
    for (const std::string& built : componentFolders()) {
        if (std::filesystem::exists(platform::pathOf(built) / library)) {
            std::filesystem::copy_file(platform::pathOf(built) / library, platform::pathOf(folder) / library);
            break;
        }
    }
    std::string db = dir.file("club.db");
    test::createClubDatabaseFile(db);
    test::CommandRun run = test::runCouloir("import-licences " + db + " " COULOIR_SOURCE_DIR "/samples/federation --quiet "
                                            "--trace " + dir.file("trace.txt"), "COULOIR_COMPONENTS=" + folder);
    EXPECT_EQ(run.status, 0) << run.output;
}

}  // namespace
}  // namespace couloir
