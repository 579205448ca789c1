// Utilities, "Zref" (still to be built).
#include "shell/kelvor_main.h"

void RUN_ZREF() {}
