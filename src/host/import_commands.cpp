// The importing commands: results, skeleton, licences, unique codes, performances.
#include <iostream>
#include <memory>
#include <vector>

#include "commands.h"
#include "competition_row.h"
#include "couloir/couloir.h"
#include "run_support.h"

namespace couloir::host {
namespace {

// What every importing command takes: the database, the source folder and where the copies go.
struct ImportOptions {
    CommonOptions common;
    std::string database, source, temp;
    bool dryRun = false;

    // A call without host statements of its own.
    CallSettings settings() const { return {{}, dryRun}; }
};

std::shared_ptr<ImportOptions> addImportOptions(CLI::App& command, bool withTemporaryFolder) {
    auto options = std::make_shared<ImportOptions>();
    command.add_option("DB", options->database, "Base de données du club")->required();
    command.add_option("SOURCE_DIR", options->source, "Dossier qui contient les fichiers d'échange")->required();
    if (withTemporaryFolder) addTemporaryOption(command, options->temp);
    command.add_flag("--dry-run", options->dryRun,
                     "Simulation : tout est vérifié et compté comme pour de vrai, rien n'est enregistré");
    addCommonOptions(command, options->common);
    return options;
}

// The trace may not clobber the database nor land among the files the
// command reads; a usage error otherwise.
bool traceAllowed(const ImportOptions& options, int& status) {
    if (outputsAreAllowed(options.common, options.database, {options.source, options.temp})) return true;
    status = kUsage;
    return false;
}

}  // namespace

void setupImportResults(CLI::App& app, int& status) {
    auto* command = app.add_subcommand("import-results", "Importe les résultats d'une compétition");
    auto options = addImportOptions(*command, true);
    auto competition = std::make_shared<std::string>();
    auto isNew = std::make_shared<bool>(false);
    command->add_option("--competition", *competition, "Numéro de la compétition dans la base (Rcomp.AutoNum)")
        ->required()
        ->type_name("N");
    command->add_flag("--new", *isNew, "Compétition nouvelle, sans import (sa ligne est créée au besoin)");
    command->callback([=, &status] {
        if (!traceAllowed(*options, status)) return;
        CompetitionState state = competitionState(options->database, *competition);
        if (state == CompetitionState::Missing && !*isNew) {
            std::cerr << "couloir : la compétition " << *competition
                      << " n'existe pas dans la base (--new pour une nouvelle compétition)\n";
            status = kFailure;
            return;
        }
        if (state == CompetitionState::Imported && *isNew) {
            std::cerr << "couloir : la compétition " << *competition
                      << " contient déjà un import ; importez-la de nouveau sans --new pour le remplacer\n";
            status = kFailure;
            return;
        }
        CallSettings settings = options->settings();
        if (state == CompetitionState::Missing) settings.hostStatements.push_back(competitionRowStatement(*competition));
        status = callComponent<couloir_bimport_result_fn>(
            "Ombrelay.clsOmbrelay", "bimport_result", options->common,
            [&](auto entry, const couloir_form* form) {
                WorkingFolder temp(options->temp);
                return entry(options->database.c_str(), options->source.c_str(), temp.path().c_str(),
                             options->common.trace.c_str(), form, competition->c_str(), *isNew);
            },
            settings);
    });
}

void setupImportSkeleton(CLI::App& app, int& status) {
    auto* command = app.add_subcommand("import-skeleton", "Importe l'en-tête et le programme d'une compétition");
    auto options = addImportOptions(*command, true);
    auto competition = std::make_shared<std::string>();
    command->add_option("--competition", *competition, "Numéro de la compétition dans la base (Rcomp.AutoNum)")
        ->required()
        ->type_name("N");
    command->callback([=, &status] {
        if (!traceAllowed(*options, status)) return;
        // A skeleton may start a competition: its row is created with it.
        CallSettings settings = options->settings();
        if (competitionState(options->database, *competition) == CompetitionState::Missing)
            settings.hostStatements.push_back(competitionRowStatement(*competition));
        status = callComponent<couloir_bimport_squelette_fn>(
            "Ombrelay.clsRecupSque", "bimport_squelette", options->common,
            [&](auto entry, const couloir_form* form) {
                WorkingFolder temp(options->temp);
                return entry(options->database.c_str(), options->source.c_str(), temp.path().c_str(),
                             options->common.trace.c_str(), form, competition->c_str());
            },
            settings);
    });
}

void setupImportLicences(CLI::App& app, int& status) {
    auto* command = app.add_subcommand("import-licences", "Importe les listes de clubs et de licences de la fédération");
    auto options = addImportOptions(*command, true);
    command->callback([=, &status] {
        if (!traceAllowed(*options, status)) return;
        status = callComponent<couloir_bImport_Licence_fn>(
            "Korvenna.clsRecupLicence", "bImport_Licence", options->common, [&](auto entry, const couloir_form* form) {
                WorkingFolder temp(options->temp);
                return entry(options->database.c_str(), options->source.c_str(), temp.path().c_str(),
                             options->common.trace.c_str(), form);
            },
            options->settings());
    });
}

void setupUpdateCodes(CLI::App& app, int& status) {
    auto* command = app.add_subcommand("update-codes", "Met à jour les codes uniques des nageurs");
    auto options = addImportOptions(*command, false);
    auto ownClub = std::make_shared<std::string>();
    command->add_option("--own-club", *ownClub, "Ne met à jour que les nageurs de ce club (code fédéral)");
    command->callback([=, &status] {
        if (!traceAllowed(*options, status)) return;
        status = callComponent<couloir_bImport_CodeIUF_fn>(
            "Korvenna.clsMajIUF", "bImport_CodeIUF", options->common, [&](auto entry, const couloir_form* form) {
                return entry(options->source.c_str(), options->database.c_str(), options->common.trace.c_str(), form,
                             !ownClub->empty(), ownClub->c_str());
            },
            options->settings());
    });
}

void setupImportPerf(CLI::App& app, int& status) {
    auto* command = app.add_subcommand("import-perf", "Importe un fichier de performances");
    auto options = addImportOptions(*command, true);
    command->callback([=, &status] {
        if (!traceAllowed(*options, status)) return;
        status = callComponent<couloir_bimport_perf_fn>(
            "Tessimor.clsTessimor", "bimport_perf", options->common, [&](auto entry, const couloir_form* form) {
                WorkingFolder temp(options->temp);
                return entry(options->database.c_str(), options->source.c_str(), temp.path().c_str(),
                             options->common.trace.c_str(), form);
            },
            options->settings());
    });
}

}  // namespace couloir::host
