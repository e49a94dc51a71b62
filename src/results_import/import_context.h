// The state of one results or skeleton import: the paths of the working
// copies, the competition, what the header and programme steps keep for the
// later steps, and the lookup lists.
#pragma once

#include <array>
#include <string>

#include "shared/lookup.h"
#include "shared/run_lists.h"
#include "shared/session.h"
#include "shared/text_date.h"

namespace couloir::ombrelay {

struct FilePaths {
    std::string licence, club, origine, rcomp, pcomp, categori, relais, prres, engag;
};

struct ImportContext : CallState {
    explicit ImportContext(Session& s) : CallState(s) {}

    FilePaths files;
    std::string competition;  // Rcomp.AutoNum, a row number
    bool newCompetition = false;

    // Kept by the header step.
    std::string venue;         // as read
    std::string poolLength;    // as read
    // The codification letters as read, even when unknown.
    std::string federalCodification, interRegionalCodification, regionalCodification, departmentalCodification;
    Date startDate{}, endDate{};

    // Long-form date ("dd mmmm yyyy") of each event of the programme, by event code.
    std::array<std::string, 100> tabDatesNages;

    RunLists lists;
    LookupList colCompositionsRelais;   // relay key -> relayers' Num joined by "~"
    LookupList colAgesPremierRelayeur;  // relay key -> first relayer's age
    std::string strNageurReference;     // Num of the reference swimmer

    void InitCollections() {
        lists.InitCollections();
        colCompositionsRelais.clear();
        colAgesPremierRelayeur.clear();
    }
    void clearEventDates() { tabDatesNages.fill({}); }
};

}  // namespace couloir::ombrelay
