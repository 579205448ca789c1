// The two ways the program ends from inside a routine: the orderly end and the unchecked I/O
// error. Both close every unit (scratch files go with them) and unwind through ProgramExit. A
// damaged input file unwinds through InputError instead and ends nothing, as does a load whose
// working file cannot be written (WorkingFileError).
#include "runtime/fatal.h"

#include <csignal>
#include <cstdio>
#include <string>

#include "runtime/format.h"
#include "runtime/units.h"

namespace rt {

void program_exit(int status) {
    units_close_all();
    throw ProgramExit{status, std::string()};
}

void io_fatal(int unit, const std::string& what) {
    std::string msg = "Input/output error on unit " + std::to_string(unit) + ": " + what;
    std::string path = unit_path(unit);
    if (!path.empty()) msg += " (file \"" + path + "\")";
    std::fprintf(stderr, "%s\n", msg.c_str());
    std::fflush(stderr);
    units_close_all();
    throw ProgramExit{2, msg};
}

std::string InputError::message() const {
    std::string m = "Error reading " + file;
    if (line > 0) m += " at line " + std::to_string(line);
    return m + ": " + what;
}

void input_error(int unit, const std::string& what, bool at_end) {
    input_error_at(unit, unit_record_number(unit) + (at_end ? 1 : 0), what);
}

void input_error_at(int unit, long line, const std::string& what) {
    throw InputError{unit_file_name(unit), line, what};
}

void io_fatal_unit(int unit, int iostat) { io_fatal(unit, iostat_text(iostat)); }

namespace {
volatile std::sig_atomic_t end_signal = 0;
extern "C" void note_end_signal(int) { end_signal = 1; }
}  // namespace

void catch_end_signals() {
    struct sigaction sa {};
    sa.sa_handler = note_end_signal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = 0;  // no restart: a wait in progress returns and sees the request
    for (int sig : {SIGTERM, SIGINT, SIGHUP}) sigaction(sig, &sa, nullptr);
    std::signal(SIGXFSZ, SIG_IGN);
}

bool end_signal_received() { return end_signal != 0; }

int run_program(const std::function<void()>& body) {
    try {
        body();
    } catch (const ProgramExit& e) {
        return e.status;
    } catch (const InputError& e) {
        // Every routine that reads a user's file on trust is reached from one that catches this;
        // one that escapes is a fault of the program, ended as an unchecked I/O error.
        std::fprintf(stderr, "%s\n", e.message().c_str());
        units_close_all();
        return 2;
    } catch (const WorkingFileError& e) {
        std::fprintf(stderr, "%s\n", e.message().c_str());
        units_close_all();
        return 2;
    }
    return 0;
}

}  // namespace rt
