// The program's two fatal paths. Both unwind to main (or to a test) through ProgramExit, the
// one exception type that crosses routine boundaries; scratch files are deleted on the way.
#pragma once
#include <functional>
#include <string>

namespace rt {

struct ProgramExit {
    int status;           // process exit status
    std::string message;  // what was reported on stderr (empty for an orderly end)
};

// Orderly end (the tail of EXITINT): closes every unit, deletes scratch files, unwinds with status.
[[noreturn]] void program_exit(int status);

// Unchecked I/O error: reports the unit and the error on stderr, closes every unit, deletes
// scratch files and unwinds with a non-zero status. The configuration file is not rewritten.
[[noreturn]] void io_fatal(int unit, const std::string& what);

// Runs body and returns its exit status: 0 when it returns, ProgramExit::status when it unwinds.
int run_program(const std::function<void()>& body);

}  // namespace rt
