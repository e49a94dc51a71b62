// The one table of the operations a host offers: for each, its name, its
// French titles, the files it reads or writes, the values it takes with their
// French labels and checks, whether it can be checked first, and the
// component's entry point. The command line builds its subcommands from it,
// the web server its checks and GET /api/kinds, and the page its menus and
// forms from that answer.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "operations.h"

namespace couloir::host {

// A value an operation takes, named the same way by every host.
struct OperationField {
    enum class Type {
        Competition,     // a competition's number (Rcomp.AutoNum)
        NewCompetition,  // flag: the competition is new, its row made by the host
        Profile,         // an entering profile's number (Profil.Num)
        Selection,       // flag: the profile or club is a selection
        Club,            // a club's or selection's federal code
        AllClubs,        // flag: every club
        OwnClub,         // a club's federal code, to limit an update to its swimmers
        Swimmer          // a swimmer's number (Licence.Num)
    };
    Type type;
    const char* name;      // in the web form and the API: "competition"
    const char* option;    // on the command line: "--competition", or "KEEP" for a positional
    const char* help;      // French: the command line's help
    const char* label;     // French: the page's label
    bool required = false;

    // Where the value goes: a text or, for a flag, a yes or no.
    std::string OperationArguments::*text = nullptr;
    bool OperationArguments::*flag = nullptr;

    bool isFlag() const { return flag != nullptr; }
    bool isNumber() const;
    bool positional() const { return option[0] != '-'; }
};

struct OperationInfo {
    enum class Folder { None, Reads, Writes };

    OperationKind kind;
    const char* name;     // "import-results"
    const char* summary;  // the command's line in the help: "Importe les résultats d'une compétition"
    const char* title;    // the page's title: "Importer les résultats d'une compétition"
    const char* menu;     // the page's menu entry; none for an operation started from another page
    Folder folder;
    // The interchange files read or written; none for the unique codes,
    // whose files keep their own names.
    std::vector<std::string> files;
    std::vector<OperationField> fields;
    bool dryRun;        // can be checked first (--dry-run, "Vérifier")
    bool workingCopies; // takes --temp, the folder of the copies it works on
    const char* progId; // the component's entry point; none for the host's own call
    const char* method;
};

// Every operation, in the menu's order.
const std::vector<OperationInfo>& operationTable();
const OperationInfo& operationInfo(OperationKind kind);
const OperationInfo* findOperation(std::string_view name);

// What is wrong with the values given beyond each one's own check (a club or
// all of them, two different swimmers), in French; empty when nothing is.
std::string argumentsProblem(const OperationInfo& operation, const OperationArguments& arguments);

}  // namespace couloir::host
