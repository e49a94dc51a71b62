// The version every component library exports (declared in couloir.h).
#include "couloir/couloir.h"

extern "C" COULOIR_EXPORT const char* couloir_version(void) { return COULOIR_VERSION; }
