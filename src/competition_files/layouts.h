// The record layouts of the files this library writes: for each file, the
// names of its fields in order and their widths in characters. Club.txt and
// Licence.txt have the shared layouts of club.txt and licence.txt.
#pragma once

#include "shared/record_layouts.h"

namespace couloir::vandrule {

// Rcomp.txt, 98 characters.
enum RcompField { kRcompNum, kRcompType, kRcompNom, kRcompDebut, kRcompFin, kRcompLieu, kRcompLongueur,
                  kRcompCouloirs, kRcompCodifFede, kRcompCodifInter, kRcompCodifReg, kRcompCodifDepar };
inline const Widths kRcompWidths = {3, 1, 40, 8, 8, 30, 2, 2, 1, 1, 1, 1};

// Pcomp.txt, 19 characters.
enum PcompField { kPcompNum, kPcompEpreuve, kPcompDate, kPcompGenre, kPcompType, kPcompFinales, kPcompTypeFinale,
                  kPcompOrdre };
inline const Widths kPcompWidths = {3, 2, 8, 1, 1, 1, 1, 2};

// Nage.txt, 29 characters.
enum NageField { kNageCode, kNageLibelle, kNageDistance, kNageNageurs, kNageMixte };
inline const Widths kNageWidths = {2, 20, 4, 2, 1};

// Engag.txt, 63 characters: individual entries, then relay teams.
enum EngagField { kEngNum, kEngEpreuve, kEngClub, kEngLicence, kEngTemps, kEngEquipe, kEngDatePerf, kEngLieuPerf,
                  kEngBassin };
inline const Widths kEngagWidths = {3, 2, 13, 6, 7, 2, 8, 20, 2};

// Relais.txt, 84 characters: the team, then up to ten relayers' licence
// numbers in leg order.
enum RelaisField { kRelNum, kRelEpreuve, kRelClub, kRelLicence, kRelFirstRelayer };
inline constexpr int kRelayerSlots = 10;
inline const Widths kRelaisWidths = {3, 2, 13, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6};

}  // namespace couloir::vandrule
