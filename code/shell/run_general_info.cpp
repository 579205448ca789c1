// Parameters, "Diffractometer": the diffractometer dialog (still to be built).
#include "shell/kelvor_main.h"

void RUN_GENERAL_INFO() {}
