// Integrate, "Auto profile fit" (still to be built).
#include "include/profile_fit.h"

void START_AUTO_FIT() {}
