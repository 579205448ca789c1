// Utilities, "Calc FWHM" (still to be built).
#include "include/profile_fit.h"

void FIT_GAMMA() {}
