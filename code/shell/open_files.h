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
