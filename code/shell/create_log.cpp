// File, "Open log file": the log of the user's choice with its banner and report blocks (still to be built).
#include "shell/kelvor_main.h"

void CREATE_LOG() {}
