// kelvor-script: the whole program on the scripted front end, in the current directory.
//   kelvor-script --script FILE [--transcript FILE] [--module-dir DIR]
// --module-dir is where the program believes its executable lies (the configuration file is
// kept there); by default the driver's own directory. The exit status is the program's: 0 for
// an orderly end, 3 when the script ran out while the program waited, 4 for a script error.
#include <cstdio>
#include <string>

#include "platform/script.h"
#include "platform/wingui.h"
#include "runtime/fatal.h"
#include "shell/config_file.h"
#include "shell/kelvor_main.h"

namespace {

int usage() {
    std::fprintf(stderr, "usage: kelvor-script --script FILE [--transcript FILE] [--module-dir DIR]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::string script, transcript, module_dir;
    for (int k = 1; k < argc; ++k) {
        const std::string arg = argv[k];
        if (k + 1 >= argc) return usage();
        if (arg == "--script")
            script = argv[++k];
        else if (arg == "--transcript")
            transcript = argv[++k];
        else if (arg == "--module-dir")
            module_dir = argv[++k];
        else
            return usage();
    }
    if (script.empty()) return usage();
    std::string error;
    if (!wl::script::load_file(script, error)) {
        std::fprintf(stderr, "kelvor-script: %s\n", error.c_str());
        return 2;
    }
    if (!transcript.empty() && !wl::script::set_transcript_file(transcript)) {
        std::fprintf(stderr, "kelvor-script: cannot write the transcript %s\n", transcript.c_str());
        return 2;
    }
    SET_PROGRAM_DIRECTORY(module_dir);
    rt::catch_end_signals();
    wl::on_end_request(END_ON_REQUEST);
    wl::on_display_lost(END_WITHOUT_WINDOW);
    return rt::run_program([] { MAIN__(); });
}
