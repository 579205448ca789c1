// Dialogs that show and edit the shared parameters.
#include "include/shell_services.h"

// The fixed-background dialog; shows the model in force and lets the user choose another.
void RUN_BACKGROUND_INFO() {}
