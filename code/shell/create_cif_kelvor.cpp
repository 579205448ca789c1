// File, "Create Cif": the CIF items of the data set (still to be built).
#include "shell/kelvor_main.h"

void CREATE_CIF_KELVOR() {}
