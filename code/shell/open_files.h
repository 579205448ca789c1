// Shell routines of the file choice that only the shell calls.
#pragma once

// Asks the user to confirm the format of the input data file just opened (IFORMAT).
void GETFORMAT();
// The output-format dialog (built with the parameter dialogs).
void RUN_INTFORMAT();
