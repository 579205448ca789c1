// Parameters, "Output format": the output-format dialog (still to be built).
#include "shell/kelvor_main.h"

void RUN_INTFORMAT() {}
