// relais.txt: which swimmers swam in each relay team. Keeps, by relay key
// (event code + club code + relay licence code), the relayers' Num in leg
// order and the age of the first one; nothing is written to the database.
// A relay key met twice is an error for the sequence, which cancels the import.
#include "results_import/steps.h"
#include "shared/files.h"
#include "shared/progress.h"
#include "shared/record_layouts.h"
#include "shared/text_date.h"
#include "shared/trace.h"

namespace couloir::ombrelay {
namespace {

// The relay key: event, club and relay licence side by side, as the results
// and entries name the team.
std::string relayKey(std::string_view line) {
    std::string key;
    for (RelaisField field : {kRelEpreuve, kRelClub, kRelLicence}) key += rawField(line, kRelaisWidths, field);
    return std::string(trim(key));
}

void importRelayLine(ImportContext& context, std::string_view line, long lineNumber) {
    const auto fields = cutFields(line, kRelaisWidths);
    const std::string key = relayKey(line);
    const std::string club(charSubstr(key, 2, 13));
    std::string composition;
    bool isFirst = true;
    for (std::size_t i = kRelFirstRelayer; i < fields.size(); ++i) {
        if (fields[i].empty()) continue;
        const std::string licenceKey = club + fields[i];
        std::string num;
        if (!bLireCollection(context.lists.colLicencesNum, licenceKey, num)) {
            // Left out of the composition: the following relayers move up one leg.
            context.trace().EcrireLigneErreur(lineNumber,
                                              "Le relayeur dans le relais de licence " +
                                                  std::string(rawField(line, kRelaisWidths, kRelLicence)) +
                                                  " du club de code " + club + ", épreuve " +
                                                  std::string(rawField(line, kRelaisWidths, kRelEpreuve)) +
                                                  ", n'est pas référencé dans le fichier licence.txt.",
                                              "Erreur");
            continue;
        }
        if (isFirst) {
            std::string age;
            bLireCollection(context.lists.colLicencesAge, licenceKey, age);
            isFirst = false;
            context.colAgesPremierRelayeur.add(key, age);
        }
        composition += '~';
        composition += num;
    }
    context.colCompositionsRelais.add(key, composition.empty() ? composition : composition.substr(1));
}

}  // namespace

void ImporterRelais(ImportContext& context, double increment) {
    LineReader reader(context.files.relais, &context.trace());
    std::string line;
    std::int16_t lineNumber = 0;
    while (reader.next(line, false)) {
        lineNumber = toInt16(std::int64_t{lineNumber} + 1);
        // An unreadable line is left out of the compositions, as a relayer who is not found.
        if (reader.isText()) importRelayLine(context, line, lineNumber);
        else context.trace().EcrireLigneErreur(lineNumber, reader.refusal(), "Erreur");
        AvancerProgression(context.form(), increment);
    }
    context.trace().writeEmpty();
}

}  // namespace couloir::ombrelay
