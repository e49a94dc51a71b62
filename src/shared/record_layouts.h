// The record layouts of the files one library writes and another reads, each
// field by name in file order with its width in characters: one table serves
// the reader's cut and the writer's record.
#pragma once

#include "shared/fixed_record.h"

namespace couloir {

// club.txt, 43 characters.
enum ClubField { kClubCode, kClubIntitule };
inline const Widths kClubWidths = {13, 30};

// licence.txt, 248 characters; the address fields stay blank and the origin
// field, where written, holds the swimmer's own club code and licence number.
enum LicenceField { kLicClub, kLicLicence, kLicNom, kLicPrenom, kLicSexe, kLicNaissance, kLicNationalite,
                    kLicAdresse, kLicSuiteAdresse, kLicCodePostal, kLicLocalite, kLicTelephone, kLicSportive,
                    kLicSynchro, kLicWaterPolo, kLicPlongeon, kLicDirigeant, kLicMaitre, kLicDepot,
                    kLicObliteration, kLicTypeLicence, kLicNature, kLicOrigine, kLicCodeUnique };
inline const Widths kLicenceWidths = {13, 6, 25, 20, 1, 8, 3, 30, 30, 7, 26, 14,
                                      1,  1, 1,  1,  1, 1, 8, 8,  1,  1, 19, 22};

// liffn.txt, 202 characters: one performance, individual or relay; a relay
// line's licence field holds its relay code (R?nnn?) and its relayer fields
// name up to ten relayers by licence number.
inline constexpr int kRelayerSlots = 10;
enum LiffnField {
    kPerfEpreuve,       // stroke-and-distance code
    kPerfClub,          // club federal code
    kPerfLicence,       // licence number, or relay code
    kPerfBassin,        // pool length
    kPerfDate,          // date of the swim
    kPerfTemps,         // time m.sscc
    kPerfNom,
    kPerfPrenom,
    kPerfLieu,          // place of the swim
    kPerfNomClub,
    kPerfDateLicence,
    kPerfTypeLicence,
    kPerfRelayeur1,     // the first of the relayer slots
    kPerfCodifFede = kPerfRelayeur1 + kRelayerSlots,
    kPerfCodifInter,
    kPerfCodifReg,
    kPerfCodifDepart,
    kPerfPassageRelais,
};
inline const Widths kLiffnWidths = {2, 13, 6, 2, 8, 7, 25, 15, 20, 30, 8, 1, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6,
                                    1, 1,  1, 1, 1};

// rcomp.txt, 98 characters.
enum RcompField { kRcompNum, kRcompType, kRcompNom, kRcompDebut, kRcompFin, kRcompLieu, kRcompLongueur,
                  kRcompCouloirs, kRcompCodifFede, kRcompCodifInter, kRcompCodifReg, kRcompCodifDepar };
inline const Widths kRcompWidths = {3, 1, 40, 8, 8, 30, 2, 2, 1, 1, 1, 1};

// pcomp.txt, 19 characters.
enum PcompField { kPcompNum, kPcompEpreuve, kPcompDate, kPcompGenre, kPcompType, kPcompFinales, kPcompTypeFinale,
                  kPcompOrdre };
inline const Widths kPcompWidths = {3, 2, 8, 1, 1, 1, 1, 2};

// engag.txt, 63 characters: individual entries, then relay teams.
enum EngagField { kEngNum, kEngEpreuve, kEngClub, kEngLicence, kEngTemps, kEngEquipe, kEngDatePerf, kEngLieuPerf,
                  kEngBassin };
inline const Widths kEngagWidths = {3, 2, 13, 6, 7, 2, 8, 20, 2};

// relais.txt, 84 characters: the team, then up to ten relayers' licence
// numbers in leg order.
enum RelaisField { kRelNum, kRelEpreuve, kRelClub, kRelLicence, kRelFirstRelayer };
inline const Widths kRelaisWidths = {3, 2, 13, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6};

}  // namespace couloir
