// The files that describe the competition itself: Origine.txt, Rcomp.txt,
// Pcomp.txt and Nage.txt.
#include <algorithm>
#include <chrono>

#include "competition_files/field_formats.h"
#include "competition_files/layouts.h"
#include "competition_files/step_support.h"
#include "competition_files/steps.h"
#include "shared/interchange_file_names.h"
#include "shared/interchange_writer.h"
#include "shared/text_date.h"

namespace couloir::vandrule {
namespace {


// The date of the event on day `raceDay` of a competition starting on `start`.
std::string eventDate(Date start, std::string_view raceDay) {
    auto day = std::chrono::sys_days{start} +
               std::chrono::days{std::clamp<std::int64_t>(checkedWhole(numericValue(raceDay)), -100000, 100000) - 1};
    return strAaaammjjVersJjmmaaaa(formatYyyymmdd(Date{day}));
}

// One pass of Nage.txt: the individual strokes, then the relay strokes.
struct NagePass {
    const char* swimmers;      // condition on Nage.Nb_nageurs
    const char* entriesFrom;   // the entries table, as the FROM clause names it
    const char* entriesTable;
    const char* entriesOrder;
};

const NagePass kNagePasses[] = {
    {"= 1", "Engag", "Engag", "ORDER BY Nage.Nb_nageurs, Nage.Code_Nage"},
    {"> 1", "Relais Relais", "Relais", "ORDER BY Nage.Nb_nageurs DESC, Nage.Code_Nage"},
};

constexpr const char* kNageColumns = "SELECT Nage.Code_Nage, Nage.Libelle, Nage.Distance, Nage.Nb_nageurs, Nage.Mixte ";

Statement programmeQuery(const NagePass& pass, const std::string& competition) {
    return Statement(kNageColumns)
        .sql("FROM Nage Nage, Pcomp Pcomp WHERE Nage.Code_Nage = Pcomp.Code_epreuve AND Pcomp.Num_compet = ")
        .number(competition)
        .sql(" AND Nage.Nb_nageurs ")
        .sql(pass.swimmers)
        .sql(" ORDER BY Nage.Nb_nageurs, Nage.Code_Nage");
}

Statement entriesQuery(const NagePass& pass, const std::string& competition) {
    return Statement(kNageColumns)
        .sql("FROM Nage Nage, ")
        .sql(pass.entriesFrom)
        .sql(" WHERE Nage.Code_Nage = ")
        .name(pass.entriesTable)
        .sql(".Code_epreuve AND ")
        .name(pass.entriesTable)
        .sql(".Num_compet = ")
        .number(competition)
        .sql(" AND Nage.Nb_nageurs ")
        .sql(pass.swimmers)
        .sql(" GROUP BY Nage.Code_Nage, Nage.Libelle, Nage.Distance, Nage.Nb_nageurs, Nage.Mixte ")
        .sql(pass.entriesOrder);
}

// The strokes of one pass: those of the programme, or else those entered.
Columns strokesOfPass(CreationState& state, const NagePass& pass) {
    Trace& trace = state.trace();
    Columns rows = state.db().ChargerColonnes(programmeQuery(pass, state.strNumCompet));
    if (rows.hasRows()) {
        trace.write("Récupération des épreuves trouvées à partir du programme.");
        return rows;
    }
    trace.write("Aucune épreuve trouvée dans le programme, contrôle au niveau des engagements.");
    rows = state.db().ChargerColonnes(entriesQuery(pass, state.strNumCompet));
    if (rows.hasRows()) {
        trace.write("Récupération des épreuves trouvées à partir des engagements.");
    } else {
        trace.write("Aucune épreuve trouvée à partir des engagements.");
        trace.writeEmpty();
    }
    return rows;
}

}  // namespace

bool bCreerOrigine(CreationState& state) {
    try {
        InterchangeWriter file(state.outputPath(file_names::kEntryOrigine), InterchangeWriter::Mode::Replace, &state.trace());
        file.writeLine(kProducingApplication);
        file.close();
        EcrireFichierCree(state.trace(), "Origine");
        return true;
    } catch (...) {
        reportFileFailure(state.trace(), "Origine", caughtError());
        return false;
    }
}

bool bCreerRcomp(CreationState& state) {
    try {
        Columns rows = state.db().ChargerColonnes(
            Statement("select Num, Type, Nom, Debut, Fin, Lieu, Longueur, Nb_couloir, Codif_fede, Codif_inter, Codif_reg, "
                      "Codif_depar FROM Rcomp WHERE AutoNum = ")
                .number(state.strNumCompet));
        InterchangeWriter file(state.outputPath(file_names::kEntryRcomp), InterchangeWriter::Mode::Replace, &state.trace());
        if (!rows.hasRows())
            throw Error(errors::kNoCurrentRecord, "La compétition n° " + state.strNumCompet + " n'existe pas dans la base");
        // The columns come in the order of the record's fields.
        auto column = [&](int field) -> const std::string& { return rows.at(field, 0); };
        state.strNumRcomp = column(kRcompNum);
        state.strDateDebutCompet = strDateLongue(column(kRcompDebut), "dd mmmm yyyy");
        FixedRecord record(kRcompWidths);
        for (int field : {kRcompNum, kRcompType, kRcompNom, kRcompLieu, kRcompLongueur, kRcompCodifFede,
                          kRcompCodifInter, kRcompCodifReg, kRcompCodifDepar})
            record.left(field, column(field));
        record.left(kRcompDebut, strAaaammjjVersJjmmaaaa(column(kRcompDebut)))
            .left(kRcompFin, strAaaammjjVersJjmmaaaa(column(kRcompFin)))
            .right(kRcompCouloirs, column(kRcompCouloirs));
        file.writeLine(record.text());
        file.close();
        EcrireFichierCree(state.trace(), "Rcomp");
        return true;
    } catch (...) {
        reportFileFailure(state.trace(), "Rcomp", caughtError());
        return false;
    }
}

bool bCreerPcomp(CreationState& state) {
    Trace& trace = state.trace();
    try {
        Columns rows = state.db().ChargerColonnes(
            Statement("SELECT Rcomp.Num, Pcomp.Code_epreuve, Pcomp.JourCourse, Nage.Nb_nageurs, Pcomp.Type, Pcomp.Nb_finales, "
            "Pcomp.Type_finale, Pcomp.Num_ordre "
            "FROM Nage Nage, Rcomp Rcomp, Pcomp Pcomp "
            "WHERE Nage.Code_Nage = Pcomp.Code_epreuve AND Rcomp.AutoNum = Pcomp.Num_compet AND "
            "Pcomp.Num_compet = ")
                .number(state.strNumCompet)
                .sql(" ORDER BY Nage.Code_Nage"));
        InterchangeWriter file(state.outputPath(file_names::kEntryPcomp), InterchangeWriter::Mode::Replace, &state.trace());
        if (!rows.hasRows()) {
            trace.warning("Programme de la compétition non défini.");
        } else {
            bool dated = !state.strDateDebutCompet.empty();
            if (!dated) {
                trace.warning("Date de début de la compétition non trouvé." + std::string(CRLF) +
                              "Date des épreuves dans fichier Pcomp ne seront pas écrites.");
            }
            Date start = dated ? parseLongDate(state.strDateDebutCompet) : Date{};
            for (std::size_t row = 0; row < rows.rowCount(); ++row) {
                auto column = [&](int index) -> const std::string& { return rows.at(index, row); };
                const std::string& finalsType = column(6);
                FixedRecord record(kPcompWidths);
                record.left(kPcompNum, column(0))
                    .left(kPcompEpreuve, twoDigitEventCode(column(1)))
                    .left(kPcompDate, dated ? eventDate(start, column(2)) : std::string())
                    .left(kPcompGenre, numericValue(column(3)) <= 1 ? "I" : "R")
                    .left(kPcompType, column(4))
                    .left(kPcompFinales, column(5))
                    .left(kPcompTypeFinale, finalsType == "C" || finalsType == "T" ? finalsType : std::string())
                    .right(kPcompOrdre, column(7));
                file.writeLine(record.text());
            }
        }
        file.close();
        EcrireFichierCree(trace, "Pcomp");
        return true;
    } catch (...) {
        reportFileFailure(trace, "Pcomp", caughtError());
        return false;
    }
}

bool bCreerNage(CreationState& state) {
    Trace& trace = state.trace();
    try {
        InterchangeWriter file(state.outputPath(file_names::kEntryNage), InterchangeWriter::Mode::Replace, &state.trace());
        for (const NagePass& pass : kNagePasses) {
            if (&pass != &kNagePasses[0]) trace.write("Traitement des relais.");
            Columns rows = strokesOfPass(state, pass);
            for (std::size_t row = 0; row < rows.rowCount(); ++row) {
                FixedRecord record(kNageWidths);
                record.left(kNageCode, twoDigitEventCode(rows.at(0, row)))
                    .left(kNageLibelle, trim(charSubstr(rows.at(1, row), 0, 20)))
                    .right(kNageDistance, rows.at(2, row))
                    .right(kNageNageurs, rows.at(3, row))
                    .left(kNageMixte, isTrue(rows.at(4, row)) ? "O" : "");
                file.writeLine(record.text());
            }
        }
        file.close();
        EcrireFichierCree(trace, "Nage");
        return true;
    } catch (...) {
        reportFileFailure(trace, "Nage", caughtError());
        return false;
    }
}

}  // namespace couloir::vandrule
