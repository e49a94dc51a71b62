#include "operation_table.h"

#include "shared/interchange_file_names.h"

namespace couloir::host {
namespace {

using Type = OperationField::Type;
using Folder = OperationInfo::Folder;

template <std::size_t N>
std::vector<std::string> names(const std::array<const char*, N>& files) {
    return {files.begin(), files.end()};
}

// A value given as text (a number, a code), and one given as a flag.
OperationField text(Type type, const char* name, const char* option, const char* help, const char* label,
                    std::string OperationArguments::*member, bool required = false) {
    return {type, name, option, help, label, required, member, nullptr};
}
OperationField flag(Type type, const char* name, const char* option, const char* help, const char* label,
                    bool OperationArguments::*member) {
    return {type, name, option, help, label, false, nullptr, member};
}

OperationField competition() {
    return text(Type::Competition, "competition", "--competition", "Numéro de la compétition dans la base (Rcomp.AutoNum)",
                "Compétition", &OperationArguments::competition, true);
}

std::vector<OperationInfo> table() {
    using namespace file_names;
    return {
        {OperationKind::ImportResults, "import-results", "Importe les résultats d'une compétition",
         "Importer les résultats d'une compétition", "Résultats", Folder::Reads, names(kResultFiles),
         {competition(),
          flag(Type::NewCompetition, "new", "--new", "Compétition nouvelle, sans import (sa ligne est créée au besoin)",
               "Nouvelle compétition", &OperationArguments::newCompetition)},
         true, true, "Ombrelay.clsOmbrelay", "bimport_result"},
        {OperationKind::ImportSkeleton, "import-skeleton", "Importe l'en-tête et le programme d'une compétition",
         "Importer l'en-tête et le programme d'une compétition", "Programme", Folder::Reads, names(kSkeletonFiles),
         {competition()}, true, true, "Ombrelay.clsRecupSque", "bimport_squelette"},
        {OperationKind::ImportLicences, "import-licences", "Importe les listes de clubs et de licences de la fédération",
         "Importer les licences et les clubs de la fédération", "Licences", Folder::Reads, names(kLicenceFiles), {},
         true, true, "Korvenna.clsRecupLicence", "bImport_Licence"},
        {OperationKind::UpdateCodes, "update-codes", "Met à jour les codes uniques des nageurs",
         "Mettre à jour les codes uniques des nageurs", "Codes uniques", Folder::Reads, {},
         {text(Type::OwnClub, "own_club", "--own-club", "Ne met à jour que les nageurs de ce club (code fédéral)",
               "Seulement les nageurs de ce club (code fédéral, facultatif)", &OperationArguments::ownClub)},
         true, false, "Korvenna.clsMajIUF", "bImport_CodeIUF"},
        {OperationKind::ImportPerf, "import-perf", "Importe un fichier de performances",
         "Importer un fichier de performances", "Performances", Folder::Reads, names(kPerformanceFiles), {}, true,
         true, "Tessimor.clsTessimor", "bimport_perf"},
        {OperationKind::CreateFiles, "create-files", "Crée les fichiers d'engagement d'une compétition",
         "Créer les fichiers d'engagement d'une compétition", "Fichiers d'engagement", Folder::Writes,
         names(kEntryFiles),
         {competition(),
          text(Type::Profile, "profile", "--profile",
               "Numéro du profil qui engage : le club ou la sélection dont les engagements sont écrits (liste : "
               "couloir profiles DB)",
               "Profil qui engage (club ou sélection)", &OperationArguments::profile, true),
          flag(Type::Selection, "selection", "--selection", "Le profil est celui d'une sélection", "Sélection",
               &OperationArguments::selection)},
         false, false, "Vandrule.clscreate_disk", "bCreation_disquette"},
        {OperationKind::ExportPerf, "export-perf", "Exporte l'historique des performances",
         "Exporter l'historique des performances", "Export des performances", Folder::Writes,
         names(kPerformanceFiles),
         {text(Type::Club, "club", "--club", "Code fédéral du club ou de la sélection", "Club ou sélection",
               &OperationArguments::club),
          flag(Type::Selection, "selection", "--selection", "Le code est celui d'une sélection", "Sélection",
               &OperationArguments::selection),
          flag(Type::AllClubs, "all", "--all", "Exporte tous les clubs", "Tous les clubs", &OperationArguments::all)},
         false, false, "Plessaud.clsExportPerf", "bPlessaudormance"},
        {OperationKind::MergeSwimmers, "merge-swimmers",
         "Fusionne deux lignes d'un même nageur : tout ce qui nomme le second passe au premier",
         "Fusionner deux lignes d'un même nageur", nullptr, Folder::None, {},
         {text(Type::Swimmer, "keep", "KEEP", "Numéro du nageur gardé (Licence.Num, tel que duplicates l'affiche)",
               "Nageur gardé (n°)", &OperationArguments::keep, true),
          text(Type::Swimmer, "merged", "MERGED", "Numéro du nageur fusionné puis supprimé (Licence.Num)",
               "Nageur fusionné puis supprimé (n°)", &OperationArguments::merged, true)},
         true, false, nullptr, nullptr},
    };
}

}  // namespace

bool OperationField::isNumber() const {
    return type == Type::Competition || type == Type::Profile || type == Type::Swimmer;
}

const std::vector<OperationInfo>& operationTable() {
    static const std::vector<OperationInfo> operations = table();
    return operations;
}

const OperationInfo& operationInfo(OperationKind kind) {
    for (const OperationInfo& operation : operationTable())
        if (operation.kind == kind) return operation;
    throw std::logic_error("operation missing from the table");
}

const OperationInfo* findOperation(std::string_view name) {
    for (const OperationInfo& operation : operationTable())
        if (name == operation.name) return &operation;
    return nullptr;
}

std::string argumentsProblem(const OperationInfo& operation, const OperationArguments& a) {
    if (operation.kind == OperationKind::ExportPerf) {
        if (a.club.empty() && !a.all) return "un club ou tous les clubs doit être choisi (--club CODE ou --all)";
        if (!a.club.empty() && a.all) return "un club ou tous les clubs, pas les deux (--club ou --all)";
        if (a.club.empty() && a.selection) return "--selection dit que le code de --club est celui d'une sélection";
    }
    if (operation.kind == OperationKind::MergeSwimmers && !a.keep.empty() && !a.merged.empty() &&
        std::stoll(a.keep) == std::stoll(a.merged))
        return "le nageur gardé et le nageur fusionné sont le même (n° " + a.keep + ")";
    return {};
}

}  // namespace couloir::host
