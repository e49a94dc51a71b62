#include "results_import/sequence.h"

#include <vector>

#include "results_import/steps.h"
#include "shared/club_import.h"
#include "shared/file_step.h"
#include "shared/files.h"
#include "shared/licence_import.h"
#include "shared/reference_swimmer.h"

namespace couloir::ombrelay {
namespace {

// A step of the sequence whose file carries one record per line.
struct FileStep {
    const char* title;
    const char* text;
    std::string FilePaths::*path;
    int minimumRecordLength;
    bool (*run)(ImportContext&, double increment);
    bool cancelsOnFailure;
};

bool importClubs(ImportContext& c, double increment) {
    return ImporterClubs(c.session, c.lists, c.files.club, increment, kClubsForResults);
}
bool importLicences(ImportContext& c, double increment) {
    return ImporterLicences(c.session, c.lists, c.files.licence, increment, kLicencesForResults, c.startDate);
}
bool importRelays(ImportContext& c, double increment) {
    ImporterRelais(c, increment);
    return true;
}

const std::vector<FileStep> kResultsFileSteps = {
    {"Fichier club.txt", "Traitement des clubs depuis fichier Club.txt", &FilePaths::club, 43, importClubs, true},
    {"Fichier licence.txt", "Traitement des licences depuis fichier Licence.txt", &FilePaths::licence, 248,
     importLicences, true},
    {"Fichier relais.txt", "Traitement de la composition des relais depuis fichier relais.txt", &FilePaths::relais, 84,
     importRelays, false},
    {"Fichier categori.txt", "Importation des catégories depuis categori.txt", &FilePaths::categori, 30,
     importCategoriesFile, true},
    {"Fichier pcomp.txt", "Importation du programme depuis pcomp.txt", &FilePaths::pcomp, 19, importProgrammeFile,
     true},
    {"Fichier prres.txt", "Importation des résultats depuis prres.txt", &FilePaths::prres, 138, ImporterResultats,
     true},
    {"Fichier engag.txt", "Mise à jour des équipes depuis engag.txt", &FilePaths::engag, 63, MajEquipes, false},
};

const FileStep& programmeStep() { return kResultsFileSteps[4]; }

// A categori.txt of 29-character lines has the older layout.
constexpr int kOlderCategoriesRecordLength = 31;

// Shows the step, estimates its lines and runs its import when there are
// any; false when the import ran and failed.
bool runFileStep(ImportContext& context, const FileStep& step) {
    const std::string& path = context.files.*step.path;
    auto increment = announceFileStep(context.session, step.title, step.text, path, step.minimumRecordLength);
    // The older layout passes the length check, which then writes nothing
    // before this warning.
    if (step.path == &FilePaths::categori && iLongueurLigne(path) == kOlderCategoriesRecordLength) {
        context.trace().EcrireErreur("Warning. Format du fichier categori.txt non conforme à PCE 3." + std::string(CRLF) +
                                         "Les informations seront automatiquement mises à jour.",
                                     0);
    }
    if (!increment) return true;
    if (step.run(context, *increment)) return true;
    context.trace().setStepOutcome(StepOutcome::Failed);
    return false;
}

bool runHeaderStep(ImportContext& context) {
    AfficherEtape(context.form(), context.trace(), "Fichier rcomp.txt",
                  "Mise à jour des données de la compétition depuis rcomp.txt");
    if (importHeaderFile(context)) return true;
    context.trace().setStepOutcome(StepOutcome::Failed);
    return false;
}

void executeFixUps(ImportContext& context) {
    Database& db = context.db();
    for (const char* table : {"Liffn", "Liffn_relais"})
        db.execute(Statement::update("UPDATE", table)
                       .sql(" SET Lieu = ")
                       .text(context.venue)
                       .sql(", Type_bassin = ")
                       .number(context.poolLength)
                       .sql(", Codif_Fede = ")
                       .text(context.federalCodification)
                       .sql(", Codif_Inter = ")
                       .text(context.interRegionalCodification)
                       .sql(", Codif_Reg = ")
                       .text(context.regionalCodification)
                       .sql(", Codif_Depart = ")
                       .text(context.departmentalCodification)
                       .sql(" WHERE Num_compet = ")
                       .number(context.competition));
    for (const char* table : {"Prres", "Prres_relais"}) {
        db.execute(Statement::update("UPDATE", table).sql(" Set Num_equipe = Num_equipe - 50 where Num_equipe > 50"));
        db.execute(Statement::update("UPDATE", table).sql(" Set Eq_mixte = true where Num_equipe = 0"));
    }
    for (const char* table : {"Liffn", "Liffn_relais"}) db.execute(Statement::remove("DELETE FROM", table).sql(" where Tps >= 91"));
}

// Undoes the whole call: a re-imported competition gets its earlier import
// back; a new one loses its row, as the host declared it for this import only.
void AnnulerImport(ImportContext& context) {
    context.trace().setStepOutcome(StepOutcome::Cancelled);
    context.trace().error("Importation des résultats annulés.");
    context.session.connection.discardCall();
    if (context.newCompetition) SupprimerAnciennesDonnees(context);
}

}  // namespace

bool bEnchainerImportResultats(ImportContext& context) {
    bool completed = false;
    try {
        LireOrigine(context.trace(), context.files.origine);
        context.strNageurReference = strNageurReference(context.db());
        bool ok = runHeaderStep(context);
        for (std::size_t i = 0; ok && i < kResultsFileSteps.size(); ++i) {
            const FileStep& step = kResultsFileSteps[i];
            ok = runFileStep(context, step) || !step.cancelsOnFailure;
        }
        if (ok) {
            executeFixUps(context);
            completed = true;
        } else {
            AnnulerImport(context);
        }
    } catch (...) {
        Error e = caughtError();
        context.trace().EcrireErreur("Erreur lors de l'importation des résultats. Import annulé.", 0, &e);
        try {
            AnnulerImport(context);
        } catch (...) {
            // The purge reports its own failures; the close below still runs.
        }
    }
    // A cancelled import is a failure for the caller, even when the database closes.
    return completed;
}

bool bEnchainerImportSquelette(ImportContext& context) {
    bool completed = false;
    try {
        LireOrigine(context.trace(), context.files.origine);
        completed = runHeaderStep(context) && runFileStep(context, programmeStep());
    } catch (...) {
        Error e = caughtError();
        context.trace().EcrireErreur("Erreur lors de l'importation du squelette. Import annulé.", 0, &e);
    }
    // A header or a programme that could not be read fails the skeleton
    // import, which then leaves the competition as it was.
    try {
        if (!completed) {
            context.trace().setStepOutcome(StepOutcome::Cancelled);
            context.session.connection.discardCall();
        }
    } catch (...) {
        context.trace().error(strTexteErreur(caughtError()));
    }
    return completed;
}

bool SupprimerAnciennesDonnees(ImportContext& context) {
    struct Purge {
        const char* table;
        const char* column;
        const char* description;
    };
    std::vector<Purge> purges;
    if (context.newCompetition) {
        purges = {{"Rcomp", "AutoNum", "Suppression de la compétition."}};
    } else {
        purges = {
            {"Prres", "Num_compet", "Suppression des anciens résultats individuels."},
            {"Prres_relais", "Num_compet", "Suppression des anciens résultats des relais."},
            {"Liffn", "Num_compet", "Suppression des performances individuelles pour cette compétition dans le suivi."},
            {"Liffn_relais", "Num_compet", "Suppression des performances des relais pour cette compétition dans le suivi."},
            {"Pcomp", "Num_compet", "Suppression de l'ancien programme."},
            // Without it every re-import would add the categories once more.
            {"Categori", "Num_compet", "Suppression des anciennes catégories."},
        };
    }
    for (const auto& purge : purges) {
        try {
            context.db().execute(Statement::remove("delete from", purge.table)
                                     .sql(" where ")
                                     .name(purge.column)
                                     .sql(" = ")
                                     .number(context.competition));
        } catch (...) {
            context.trace().error(std::string("Une erreur s'est produite lors de : ") + purge.description +
                                  std::string(CRLF) + strTexteErreur(caughtError()));
            return false;
        }
    }
    return true;
}

}  // namespace couloir::ombrelay
