// The writing commands: a competition's entry files, the performance history.
#include <iostream>
#include <memory>

#include "commands.h"
#include "couloir/couloir.h"
#include "run_support.h"

namespace couloir::host {
namespace {

// A trace that clobbers nothing and an owner-only output folder; otherwise
// the status says why the command stops.
bool readyToWrite(const CommonOptions& common, const std::string& database, const std::string& output, int& status) {
    if (!outputsAreAllowed(common, database, {output})) {
        status = kUsage;
        return false;
    }
    if (!prepareOutputFolder(output)) {
        status = kFailure;
        return false;
    }
    return true;
}

}  // namespace

void setupCreateFiles(CLI::App& app, int& status) {
    auto* command = app.add_subcommand("create-files", "Crée les fichiers d'engagement d'une compétition");
    struct Options {
        CommonOptions common;
        std::string database, output, competition, profile;
        bool selection = false;
    };
    auto options = std::make_shared<Options>();
    command->add_option("DB", options->database, "Base de données du club")->required();
    command->add_option("OUT_DIR", options->output, "Dossier qui reçoit les fichiers")->required();
    command->add_option("--competition", options->competition, "Numéro de la compétition dans la base (Rcomp.AutoNum)")
        ->required()
        ->type_name("N");
    command->add_option("--profile", options->profile, "Numéro du profil qui engage : le club ou la sélection dont les engagements sont écrits (liste : couloir profiles DB)")
        ->required()
        ->type_name("N");
    command->add_flag("--selection", options->selection, "Le profil est celui d'une sélection");
    addCommonOptions(*command, options->common);
    command->callback([options, &status] {
        if (!readyToWrite(options->common, options->database, options->output, status)) return;
        status = callComponent<couloir_bCreation_disquette_fn>(
            "Vandrule.clscreate_disk", "bCreation_disquette", options->common, [&](auto entry, const couloir_form* form) {
                return entry(options->profile.c_str(), options->selection, options->competition.c_str(),
                             options->database.c_str(), options->output.c_str(), options->common.trace.c_str(), form);
            });
    });
}

void setupExportPerf(CLI::App& app, int& status) {
    auto* command = app.add_subcommand("export-perf", "Exporte l'historique des performances");
    struct Options {
        CommonOptions common;
        std::string database, output, club;
        bool selection = false, all = false;
    };
    auto options = std::make_shared<Options>();
    command->add_option("DB", options->database, "Base de données du club")->required();
    command->add_option("OUT_DIR", options->output, "Dossier qui reçoit les fichiers")->required();
    auto* club = command->add_option("--club", options->club, "Code fédéral du club ou de la sélection");
    command->add_flag("--selection", options->selection, "Le code est celui d'une sélection")->needs(club);
    auto* all = command->add_flag("--all", options->all, "Exporte tous les clubs");
    club->excludes(all);
    addCommonOptions(*command, options->common);
    command->callback([options, &status] {
        if (options->club.empty() && !options->all) {
            std::cerr << "couloir export-perf : --club CODE ou --all est obligatoire\n";
            status = kUsage;
            return;
        }
        if (!readyToWrite(options->common, options->database, options->output, status)) return;
        status = callComponent<couloir_bPlessaudormance_fn>(
            "Plessaud.clsExportPerf", "bPlessaudormance", options->common, [&](auto entry, const couloir_form* form) {
                return entry(options->database.c_str(), options->club.c_str(), options->selection, options->all,
                             options->output.c_str(), options->common.trace.c_str(), form);
            });
    });
}

}  // namespace couloir::host
