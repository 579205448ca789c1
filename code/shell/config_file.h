// Where the program believes its executable lies: the configuration file is kept there.
#pragma once
#include <string>
#include <string_view>

// Overrides the executable's directory (the scripted driver's --module-dir); empty goes back to
// the directory of /proc/self/exe.
void SET_PROGRAM_DIRECTORY(std::string_view dir);
// The directory of the running executable with its trailing "/", or "" when it cannot be found.
std::string PROGRAM_DIRECTORY();

// The configuration file, read once at start-up and rewritten once from EXITINT.
void READ_DEFAULTS_FROM_FILE();
void WRITE_DEFAULTS_TO_FILE();
