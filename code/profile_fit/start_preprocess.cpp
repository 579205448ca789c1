// Utilities, "Preprocess" (still to be built).
#include "include/profile_fit.h"

void START_PREPROCESS() {}
