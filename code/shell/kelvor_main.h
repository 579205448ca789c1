// The main program and the routines of other parts of the program that its main loop starts.
#pragma once

// Start-up, then the main loop for ever; every regular end passes EXITINT.
[[noreturn]] void MAIN__();
// 1 once the data set loaded last had its first scan read into the current reflection.
extern int FIRST_SCAN_READ;

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
