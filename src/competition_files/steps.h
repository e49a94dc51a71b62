// The eight file steps, in the order the sequence runs them. Each returns
// true when its file was written completely; each reports its own failure in
// the trace.
#pragma once

#include "competition_files/creation_state.h"

namespace couloir::vandrule {

// Origine.txt: the producer's name.
bool bCreerOrigine(CreationState& state);
// Rcomp.txt: the competition header; keeps strNumRcomp and strDateDebutCompet.
bool bCreerRcomp(CreationState& state);
// Pcomp.txt: the programme, each event dated from the start date.
bool bCreerPcomp(CreationState& state);
// Nage.txt: the strokes of the programme, or else of the entries.
bool bCreerNage(CreationState& state);
// Club.txt: the profile's club (kept as strCodeClubProfil), then in a
// selection the clubs of its swimmers.
bool bCreerClub(CreationState& state);
// Licence.txt: the entered swimmers and the relay pseudo-licences.
bool bCreerLicence(CreationState& state);
// Engag.txt: the individual entries.
bool bCreerEngag(CreationState& state);
// Relais.txt and the relay teams' lines of Engag.txt.
bool bCreerRelais(CreationState& state);

}  // namespace couloir::vandrule
