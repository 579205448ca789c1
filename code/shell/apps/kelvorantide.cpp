// kelvorantide: the program in real windows (the FLTK front end).
//   kelvorantide [--transcript FILE]
// --transcript writes one line per thing shown (boxes, questions and answers, files chosen,
// windows shown and hidden), the same lines kelvor-script writes for the same journey.
#include <cstdio>
#include <string>

#include "platform/fltk/fltk_frontend.h"
#include "platform/transcript.h"
#include "platform/wingui.h"
#include "runtime/fatal.h"
#include "shell/kelvor_main.h"

int main(int argc, char** argv) {
    std::string transcript;
    for (int k = 1; k < argc; ++k) {
        const std::string arg = argv[k];
        if (arg == "--transcript" && k + 1 < argc) {
            transcript = argv[++k];
        } else {
            std::fprintf(stderr, "usage: kelvorantide [--transcript FILE]\n");
            return 2;
        }
    }
    if (!transcript.empty() && !wl::transcript::to_file(transcript)) {
        std::fprintf(stderr, "kelvorantide: cannot write the transcript %s\n", transcript.c_str());
        return 2;
    }
    wl::fltk::install();
    rt::catch_end_signals();
    wl::on_end_request(END_ON_REQUEST);
    wl::on_display_lost(END_WITHOUT_WINDOW);
    return rt::run_program([] { MAIN__(); });
}
