// The fitting dialog ": Fitting Controls & Results" bound to the fit-parameter record.
// Placeholder bodies until the dialog binding is written: the fit modes and the start-value
// operations call these routines by name.
#include "include/shell_services.h"

// Dialog to records: flags, start values, test flags and limits.
void READ_FIT_PARAMETERS() {}

// Records to dialog: start values, flags, limits; then draws the dialog.
void WRITE_FIT_PARAMETERS() {}
