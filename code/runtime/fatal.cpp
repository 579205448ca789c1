// The two ways the program ends from inside a routine: the orderly end and the unchecked I/O
// error. Both close every unit (scratch files go with them) and unwind through ProgramExit.
#include "runtime/fatal.h"

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

void io_fatal_unit(int unit, int iostat) { io_fatal(unit, iostat_text(iostat)); }

int run_program(const std::function<void()>& body) {
    try {
        body();
    } catch (const ProgramExit& e) {
        return e.status;
    }
    return 0;
}

}  // namespace rt
