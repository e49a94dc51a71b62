/*
 * A small host of the Couloir components: imports a competition's results
 * folder into a club database, with a progress line on the terminal.
 *
 *   import_results DB SOURCE_DIR COMPETITION [TRACE]
 *
 * It loads the results library (libOmbrelay.so) from the components' folder
 * that pkg-config or find_package(Couloir) gave at build time (the
 * environment's COULOIR_COMPONENTS, a folder, comes first), fills in the
 * progress form, creates the competition's row inside the call's
 * transaction, and calls Ombrelay.clsOmbrelay.bimport_result.
 */
#define _XOPEN_SOURCE 700
#include <couloir/couloir.h>

#include <dlfcn.h>
#include <ftw.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <strings.h>
#include <unistd.h>

#ifndef COULOIR_COMPONENTS_DIR
#error "COULOIR_COMPONENTS_DIR must name the components' folder (pkg-config --variable=componentsdir couloir)"
#endif

/* What the form shows: the step under way and how far the call has gone. */
struct progress {
    char step[256];
    double percent;
    long competition;
    int terminal;       /* the progress line is drawn on a terminal only */
    char drawn[300];    /* the line as last drawn */
};

static void draw(struct progress *progress) {
    char line[300];
    snprintf(line, sizeof line, "%.60s %3d %%", progress->step, (int)progress->percent);
    if (!progress->terminal || strcmp(line, progress->drawn) == 0) return;
    fprintf(stderr, "\r\033[K%s", line);
    fflush(stderr);
    strcpy(progress->drawn, line);
}

/* Lb_message 1 to 3 carry the step's titles, ProgressBar1 its percentage. */
static int set_caption(void *context, const char *member, int index, const char *text) {
    struct progress *progress = context;
    if (strcasecmp(member, "Lb_message") == 0 && index >= 1 && index <= 3) {
        if (index <= 2 && text[0] != '\0') snprintf(progress->step, sizeof progress->step, "%s", text);
        draw(progress);
        return 0;
    }
    return strcasecmp(member, "lb_club") == 0 || strcasecmp(member, "lb_nageur") == 0 ? 0 : 1;
}

static int set_value(void *context, const char *member, double value) {
    struct progress *progress = context;
    if (strcasecmp(member, "ProgressBar1") != 0) return 1;
    progress->percent = value;
    draw(progress);
    return 0;
}

static int get_value(void *context, const char *member, double *value) {
    struct progress *progress = context;
    if (strcasecmp(member, "ProgressBar1") != 0) return 1;
    *value = progress->percent;
    return 0;
}

/* The host's own part of the call: the competition's row, kept or undone with it. */
static int transaction_begun(void *context, couloir_execute_fn execute, void *transaction, char *error,
                             size_t error_size) {
    struct progress *progress = context;
    char sql[160];
    snprintf(sql, sizeof sql,
             "INSERT INTO Rcomp (AutoNum) SELECT %ld WHERE NOT EXISTS (SELECT 1 FROM Rcomp WHERE AutoNum = %ld)",
             progress->competition, progress->competition);
    return execute(transaction, sql, error, error_size);
}

static int remove_entry(const char *path, const struct stat *status, int kind, struct FTW *walk) {
    (void)status, (void)kind, (void)walk;
    return remove(path);
}

static void *load_component(const char *library) {
    const char *folder = getenv("COULOIR_COMPONENTS");
    if (folder == NULL || folder[0] == '\0') folder = COULOIR_COMPONENTS_DIR;
    char path[4096];
    snprintf(path, sizeof path, "%s/lib%s.so", folder, library);
    void *handle = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    if (handle == NULL) fprintf(stderr, "import_results : %s\n", dlerror());
    return handle;
}

int main(int argc, char **argv) {
    if (argc < 4 || argc > 5) {
        fprintf(stderr, "Utilisation : import_results BASE DOSSIER_SOURCE COMPETITION [TRACE]\n");
        return 2;
    }
    char *end = NULL;
    long competition = strtol(argv[3], &end, 10);
    if (*argv[3] == '\0' || *end != '\0' || competition <= 0) {
        fprintf(stderr, "import_results : numéro de compétition incorrect : %s\n", argv[3]);
        return 2;
    }

    void *ombrelay = load_component("Ombrelay");
    if (ombrelay == NULL) return 1;
    const char *(*version)(void) = (const char *(*)(void))dlsym(ombrelay, "couloir_version");
    couloir_bimport_result_fn import_results =
        (couloir_bimport_result_fn)dlsym(ombrelay, "Ombrelay_clsOmbrelay_bimport_result");
    if (version == NULL || import_results == NULL) {
        fprintf(stderr, "import_results : libOmbrelay.so n'est pas un composant Couloir\n");
        return 1;
    }
    printf("Couloir %s : import de %s dans %s\n", version(), argv[2], argv[1]);

    struct progress progress = {.step = "Démarrage", .competition = competition, .terminal = isatty(STDERR_FILENO)};
    couloir_form form = {
        .context = &progress,
        .set_caption = set_caption,
        .get_value = get_value,
        .set_value = set_value,
        .transaction_begun = transaction_begun,
    };
    /* The working copies go to a fresh folder under the system's temporary folder. */
    char temp[] = "/tmp/import_results-XXXXXX";
    if (mkdtemp(temp) == NULL) {
        perror("import_results : dossier temporaire");
        return 1;
    }
    const char *trace = argc == 5 ? argv[4] : "trace.txt";
    bool done = import_results(argv[1], argv[2], temp, trace, &form, argv[3], true);
    if (progress.drawn[0] != '\0') fputs("\r\033[K", stderr);

    if (nftw(temp, remove_entry, 16, FTW_DEPTH | FTW_PHYS) != 0)
        fprintf(stderr, "import_results : %s n'a pas pu être supprimé\n", temp);
    printf("%s ; la trace est dans %s\n", done ? "Import réussi" : "Import en échec", trace);
    return done ? 0 : 1;
}
