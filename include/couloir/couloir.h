/*
 * Couloir public interface: the entry point of each public class method of
 * the component libraries, and the host form they report progress on.
 *
 * A host loads a component library (libOmbrelay.so, Ombrelay.dll on
 * Windows, ...) at run time and
 * looks up the entry point of the method it calls. Entry points never throw
 * and never abort on bad input: every failure is written to the trace file and
 * ends as a false result. Texts are UTF-8; paths are file-system paths.
 */
#ifndef COULOIR_COULOIR_H
#define COULOIR_COULOIR_H

#include <stdbool.h>
#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

#ifdef _WIN32
#define COULOIR_EXPORT __declspec(dllexport)
#else
#define COULOIR_EXPORT __attribute__((visibility("default")))
#endif

/*
 * The host's progress form. Members are named as the host's window names
 * them (Lb_message, ProgressBar1, lb_club, lb_nageur, Refresh, Cls) and the
 * host matches the names without regard to case. Each callback returns 0 on
 * success and non-zero when the form has no such member. `index` is the
 * element of an indexed member (Lb_message 1 to 3), 0 for a plain member.
 * Any callback may be NULL: the form then accepts and ignores that call.
 *
 * `transaction_begun` is the host's own part of a call: once the call has
 * opened the database and begun its one transaction, before any step, the
 * library calls it with `execute`, which runs one SQL statement in that
 * transaction. What the host writes there (the row of a new competition, for
 * example) is kept or undone with the call. A non-zero return fails the call
 * as a connection failure, the host's message (left in `error`) in its trace.
 */
typedef int (*couloir_execute_fn)(void *transaction, const char *sql, char *error, size_t error_size);

/*
 * What a call reports as it goes, besides its trace: the trace's own lines and
 * the facts behind them, for a host that shows or records the call. `kind`
 * names the event; the other members hold what that kind carries (unused
 * texts are NULL, unused numbers 0). Texts are UTF-8 and live for the call
 * of `event` only.
 *   "line"       a line of the trace: text (CR LF inside when it spans several)
 *   "step"       a step begins: name = its title, text = its line in the trace
 *   "file"       the interchange file the current step reads: name
 *   "count"      a number of the step's summary: name (created, known, ...), values[0]
 *   "message"    an error or a warning: name = "error" or "warning", text,
 *                file = the step's file or NULL, line = its line number or 0,
 *                record = that line of the file (decoded) or NULL
 *   "step_end"   the current step ends: name = done, skipped, failed or
 *                cancelled, values[0] = the lines it read
 *   "changes"    rows of a table the call changed: name = the table,
 *                values = inserted, updated, deleted (sent before the call
 *                commits or rolls back; a rolled back part is not counted)
 *   "written"    a file the call wrote: name = its name, values = records, bytes
 */
typedef struct couloir_event {
    const char *kind;
    const char *name;
    const char *text;
    const char *file;
    const char *record;
    long line;
    long long values[3];
} couloir_event;

typedef struct couloir_form {
    void *context;
    int (*set_caption)(void *context, const char *member, int index, const char *text);
    int (*get_caption)(void *context, const char *member, int index, char *buffer, size_t size);
    int (*get_value)(void *context, const char *member, double *value);
    int (*set_value)(void *context, const char *member, double value);
    int (*call_method)(void *context, const char *member);
    int (*transaction_begun)(void *context, couloir_execute_fn execute, void *transaction, char *error,
                             size_t error_size);
    /* Non-zero: a dry run. The call runs whole, trace and counts as in a real
       run, and its transaction is rolled back at the end, the open/closed mark
       included; the trace says so just before its closing line. */
    int dry_run;
    /* Receives the call's events (couloir_event); its result is ignored. */
    int (*event)(void *context, const couloir_event *event);
} couloir_form;

/*
 * The version of Couloir a component library belongs to ("0.9.0"), exported
 * by each of them: a host can check that the libraries it loaded are of the
 * release it expects. The text lives as long as the library stays loaded.
 */
COULOIR_EXPORT const char *couloir_version(void);

/* Ombrelay.clsOmbrelay.bimport_result: import a competition's results. */
typedef bool (*couloir_bimport_result_fn)(const char *strFileBase_P, const char *strRepSource,
                                          const char *strRepTempo, const char *strFileTrace_P,
                                          const couloir_form *objFormCible,
                                          const char *strNumCompet_P, bool bNewCompet);
COULOIR_EXPORT bool Ombrelay_clsOmbrelay_bimport_result(const char *strFileBase_P,
                                                        const char *strRepSource,
                                                        const char *strRepTempo,
                                                        const char *strFileTrace_P,
                                                        const couloir_form *objFormCible,
                                                        const char *strNumCompet_P,
                                                        bool bNewCompet);

/* Ombrelay.clsRecupSque.bimport_squelette: import a competition's header and programme. */
typedef bool (*couloir_bimport_squelette_fn)(const char *strFileBase_P, const char *strRepSource,
                                             const char *strRepTempo, const char *strFileTrace_P,
                                             const couloir_form *objFormCible,
                                             const char *strNumCompet_P);
COULOIR_EXPORT bool Ombrelay_clsRecupSque_bimport_squelette(const char *strFileBase_P,
                                                            const char *strRepSource,
                                                            const char *strRepTempo,
                                                            const char *strFileTrace_P,
                                                            const couloir_form *objFormCible,
                                                            const char *strNumCompet_P);

/* Tessimor.clsTessimor.bimport_perf: import a performance file into the history. */
typedef bool (*couloir_bimport_perf_fn)(const char *strFileBase_P, const char *strRepSource,
                                        const char *strRepTempo, const char *strFileTrace_P,
                                        const couloir_form *objFormCible);
COULOIR_EXPORT bool Tessimor_clsTessimor_bimport_perf(const char *strFileBase_P,
                                                      const char *strRepSource,
                                                      const char *strRepTempo,
                                                      const char *strFileTrace_P,
                                                      const couloir_form *objFormCible);

/* Korvenna.clsRecupLicence.bImport_Licence: import the federation's club and licence lists. */
typedef bool (*couloir_bImport_Licence_fn)(const char *strFileBase_P, const char *strRepSource,
                                           const char *strRepTempo, const char *strFileTrace_P,
                                           const couloir_form *objFormCible);
COULOIR_EXPORT bool Korvenna_clsRecupLicence_bImport_Licence(const char *strFileBase_P,
                                                             const char *strRepSource,
                                                             const char *strRepTempo,
                                                             const char *strFileTrace_P,
                                                             const couloir_form *objFormCible);

/* Korvenna.clsMajIUF.bImport_CodeIUF: write the swimmers' unique federal codes. */
typedef bool (*couloir_bImport_CodeIUF_fn)(const char *strRepSource, const char *strFileBase_P,
                                           const char *strFileTrace_P,
                                           const couloir_form *objFormCible, bool bOnlyMonCLub,
                                           const char *strCodeMonClub);
COULOIR_EXPORT bool Korvenna_clsMajIUF_bImport_CodeIUF(const char *strRepSource,
                                                       const char *strFileBase_P,
                                                       const char *strFileTrace_P,
                                                       const couloir_form *objFormCible,
                                                       bool bOnlyMonCLub,
                                                       const char *strCodeMonClub);

/* Plessaud.clsExportPerf.bPlessaudormance: export the performance history. */
typedef bool (*couloir_bPlessaudormance_fn)(const char *strFileBase_P, const char *strCodeClub,
                                            bool bSelection, bool bAllClub_P,
                                            const char *strRepTravail, const char *strFiletrace_P,
                                            const couloir_form *objFormCible);
COULOIR_EXPORT bool Plessaud_clsExportPerf_bPlessaudormance(const char *strFileBase_P,
                                                            const char *strCodeClub,
                                                            bool bSelection, bool bAllClub_P,
                                                            const char *strRepTravail,
                                                            const char *strFiletrace_P,
                                                            const couloir_form *objFormCible);

/*
 * Vandrule.clscreate_disk.bCreation_disquette: write into strRepTravail the
 * interchange files of a competition (strNumCompet, Rcomp.AutoNum) and of the
 * entries that a club or a selection (strNumProfil, Profil.Num) makes to it.
 */
typedef bool (*couloir_bCreation_disquette_fn)(const char *strNumProfil, bool bIsSelection,
                                               const char *strNumCompet, const char *strBasePath,
                                               const char *strRepTravail, const char *strFiletrace_P,
                                               const couloir_form *objFormCible);
COULOIR_EXPORT bool Vandrule_clscreate_disk_bCreation_disquette(const char *strNumProfil,
                                                                bool bIsSelection,
                                                                const char *strNumCompet,
                                                                const char *strBasePath,
                                                                const char *strRepTravail,
                                                                const char *strFiletrace_P,
                                                                const couloir_form *objFormCible);

/*
 * Calcul_Point.ClsCalcul.CalculPoint: points of a swim, from the event code
 * and the time (m.sscc). Writes the points as text into `points`; returns 0
 * on success, non-zero when it cannot compute (the message goes to `error`).
 */
typedef int (*couloir_calcul_point_fn)(double code_epreuve, double temps, char *points,
                                       size_t points_size, char *error, size_t error_size);
COULOIR_EXPORT int Calcul_Point_ClsCalcul_CalculPoint(double code_epreuve, double temps,
                                                      char *points, size_t points_size,
                                                      char *error, size_t error_size);

#ifdef __cplusplus
}
#endif

#endif /* COULOIR_COULOIR_H */
