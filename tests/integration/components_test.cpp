// Classes created by programmatic identifier, as a host creates them.
#include <gtest/gtest.h>

#include <cstdlib>

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
    std::string saved = std::getenv("COULOIR_COMPONENTS") ? std::getenv("COULOIR_COMPONENTS") : "";
    test::setEnvironment("COULOIR_COMPONENTS", std::string("/nonexistent") + platform::kPathListSeparator + "/also/absent");
    EXPECT_EQ(componentFolders(), (std::vector<std::string>{"/nonexistent", "/also/absent"}));
    test::setEnvironment("COULOIR_COMPONENTS", saved);
}

}  // namespace
}  // namespace couloir
