// The record layouts of the files the export writes: for each file, its
// fields in order and their widths in characters. club.txt and licence.txt
// have the shared layouts; the origin field of licence.txt repeats the
// swimmer's own club code and licence number.
#pragma once

#include "shared/record_layouts.h"

namespace couloir::plessaud {

// liffn.txt, 202 characters: one performance, individual or relay; a relay
// line names up to ten relayers by licence number.
inline constexpr int kRelayerSlots = 10;
enum LiffnField { kPerfEpreuve, kPerfClub, kPerfLicence, kPerfBassin, kPerfDate, kPerfTemps, kPerfNom,
                  kPerfPrenom, kPerfLieu, kPerfNomClub, kPerfDateLicence, kPerfTypeLicence, kPerfRelayeur1,
                  kPerfCodifFede = kPerfRelayeur1 + kRelayerSlots, kPerfCodifInter, kPerfCodifReg, kPerfCodifDepart,
                  kPerfPassageRelais };
inline const Widths kLiffnWidths = {2, 13, 6, 2, 8, 7, 25, 15, 20, 30, 8, 1, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6,
                                    1, 1,  1, 1, 1};

}  // namespace couloir::plessaud
