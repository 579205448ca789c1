// File, "Create Exp file": the experiment file (still to be built).
#include "shell/kelvor_main.h"

void CREATE_EXP() {}
