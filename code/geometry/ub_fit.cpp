// Utilities, "Calc Unit Cell" (still to be built).
#include "shell/kelvor_main.h"

void UB_FIT() {}
