// relais.txt: which swimmers swam in each relay team. Keeps, by relay key
// (event code + club code + relay licence code), the relayers' Num in leg
// order and the age of the first one; nothing is written to the database.
// A relay key met twice is an error for the sequence, which cancels the import.
#include "results_import/steps.h"
#include "shared/files.h"
#include "shared/progress.h"
#include "shared/text_date.h"
#include "shared/trace.h"

namespace couloir::ombrelay {
namespace {

// Not read (3), relay key (21), then relayers 1 to 10.
const std::vector<int> kLargeursRelais = {3, 21, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6};
constexpr std::size_t kChampCle = 1;
constexpr std::size_t kPremierRelayeur = 2;

void importerRelais(ImportContext& context, std::string_view ligne, long numeroLigne) {
    const auto champs = cutFields(ligne, kLargeursRelais);
    const std::string& cle = champs[kChampCle];
    const std::string club(charSubstr(cle, 2, 13));
    std::string composition;
    bool premier = true;
    for (std::size_t i = kPremierRelayeur; i < champs.size(); ++i) {
        if (champs[i].empty()) continue;
        const std::string cleLicence = club + champs[i];
        std::string num;
        if (!bLireCollection(context.lists.colLicencesNum, cleLicence, num)) {
            // Left out of the composition: the following relayers move up one leg.
            context.trace().EcrireLigneErreur(numeroLigne,
                                              "Le relayeur dans le relais de licence " +
                                                  std::string(charSubstr(ligne, 18, 6)) + " du club de code " + club +
                                                  ", épreuve " + std::string(charSubstr(ligne, 3, 2)) +
                                                  ", n'est pas référencé dans le fichier licence.txt.",
                                              "Erreur");
            continue;
        }
        if (premier) {
            std::string age;
            bLireCollection(context.lists.colLicencesAge, cleLicence, age);
            premier = false;
            context.colAgesPremierRelayeur.add(cle, age);
        }
        composition += '~';
        composition += num;
    }
    context.colCompositionsRelais.add(cle, composition.empty() ? composition : composition.substr(1));
}

}  // namespace

void ImporterRelais(ImportContext& context, double increment) {
    LineReader fichier(context.files.relais);
    std::string ligne;
    std::int16_t numeroLigne = 0;
    while (fichier.next(ligne, false)) {
        numeroLigne = toInt16(std::int64_t{numeroLigne} + 1);
        importerRelais(context, ligne, numeroLigne);
        AvancerProgression(context.form(), increment);
    }
    context.trace().writeEmpty();
}

}  // namespace couloir::ombrelay
