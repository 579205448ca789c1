// Shell routines of the file choice that only the shell calls.
#pragma once
#include <string>

// The path up to the first "." of its file name (a dot in a folder name does not count); the
// whole path when the file name has none. The automatic log and the CIF are named from it.
std::string path_before_name_dot(const std::string& path);

// Asks the user to confirm the format of the input data file just opened (IFORMAT).
void GETFORMAT();
// The output-format dialog (built with the parameter dialogs).
void RUN_INTFORMAT();

// An integrated data file holds one layout: a format chosen while a file holding another is open
// is kept for the next output file (0: none waiting), which takes it whatever its name suggests.
void SET_NEXT_OUTPUT_FORMAT(int code);
// Whether the integrated data file open holds anything yet (a file whose size cannot be learnt
// counts as holding something).
bool OUTPUT_FILE_HOLDS_RECORDS();
// The main window's output-format field shows OUT_FORMAT, the layout in force.
void SHOW_OUTPUT_FORMAT();
