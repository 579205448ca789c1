// Parameters, "Pkvals": the default-coefficient dialog (still to be built); quit stays as it came.
#include "include/shell_services.h"

void RUN_PKVALS(int& /*quit*/) {}
