// kelvorantide: the program in real windows (the FLTK front end).
#include "platform/fltk/fltk_frontend.h"
#include "runtime/fatal.h"
#include "shell/kelvor_main.h"

int main() {
    wl::fltk::install();
    return rt::run_program([] { MAIN__(); });
}
