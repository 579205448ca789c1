// The program's two fatal paths, which unwind to main (or to a test) through ProgramExit, and
// the user's damaged input file, which unwinds through InputError to the routine that let the
// user choose the file, as a load whose new working file cannot be written unwinds through
// WorkingFileError. These are the only exception types that cross routine boundaries.
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

// A user's file that cannot be read where the program takes its content on trust (an unchecked
// input error): which file, at which line, and what could not be read. It is no program fault:
// the routine that let the user choose the file catches it, shows the message, leaves every file
// as it was and offers the choice again.
struct InputError {
    std::string file;  // the file's name, without its directory
    long line = 0;     // the line (from 1) where the reading stopped; 0 when none was reached
    std::string what;  // what could not be read
    // "Error reading FILE at line LINE: WHAT" (without the line part when none was reached).
    std::string message() const;
};

// A load whose new working file could not be written (a full disk): no fault of the user's file,
// but it ends that load as a damaged file does. The routine that let the user choose the file
// catches it, shows the message, leaves every file as it was and offers the choice again.
struct WorkingFileError {
    std::string text;  // the whole message, the system's reason included
    const std::string& message() const { return text; }
};

// Raises InputError for the file connected to unit, at the record the last read returned, or
// at the one after it when the reading met the end of the file (at_end).
[[noreturn]] void input_error(int unit, const std::string& what, bool at_end = false);
// Raises InputError for the file connected to unit at the given line (0: the file as a whole).
[[noreturn]] void input_error_at(int unit, long line, const std::string& what);

// The end requests the program receives from outside its window (SIGTERM, SIGINT, SIGHUP) are
// noted, never acted on inside the signal handler: the wait for the next user action takes the
// orderly end at once. SIGXFSZ is ignored, so a write beyond the file-size limit fails (and is
// reported) like a write to a full disk instead of killing the program.
void catch_end_signals();
bool end_signal_received();

// Runs body and returns its exit status: 0 when it returns, ProgramExit::status when it unwinds.
int run_program(const std::function<void()>& body);

}  // namespace rt
