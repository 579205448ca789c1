// The main program and the routines of other parts of the program that its main loop starts.
#pragma once
#include "include/FILES.h"

// Start-up, then the main loop for ever; every regular end passes EXITINT.
[[noreturn]] void MAIN__();
// The program is asked to end from outside its window (SIGTERM, SIGINT, SIGHUP): the orderly
// end, a pass cut short leaving its summary in the log.
[[noreturn]] void END_ON_REQUEST();
// The display has gone: the log receives what a pass in progress did and is closed, the
// configuration file is rewritten, and the process ends at once (status 0) without any window.
[[noreturn]] void END_WITHOUT_WINDOW();
// FIRST_SCAN_READ (include/FILES.h): 1 once the data set loaded last had its first scan read.

// Builds every window, menu and dialog once; returns the main window to its idle look.
void GRAPHICS_SETUP();
void END_GRAPHICS();

// Operations of the menus, by the entries that start them (those of the cell refinement are
// declared with the geometry, include/geometry.h).
void CREATE_LOG();         // File, "Open log file"
void CREATE_EXP();         // File, "Create Exp file"
void CREATE_CIF_KELVOR();  // File, "Create Cif"
void RUN_GENERAL_INFO();   // Parameters, "Diffractometer"
void RUN_INTFORMAT();      // Parameters, "Output format"
