// The orderly end of the program: every regular end passes here.
#include <cstdlib>
#include <string_view>

#include "include/profile_fit.h"
#include "include/shared.h"
#include "include/shell_services.h"
#include "gui_toolkit/f77gui.h"
#include "gui_toolkit/minigino.h"
#include "include/toolkit_services.h"
#include "runtime/fatal.h"
#include "runtime/ftext.h"
#include "runtime/units.h"
#include "shell/config_file.h"
#include "shell/kelvor_main.h"

// Shows the message, when it is not blank, in an error box: its first 60 characters, every
// character outside the codes 32..122 (tabs, control characters, "{", "~", codes above 127)
// shown as a blank; the log, while open, receives the same line. Then the configuration file is
// rewritten, the toolkit closed and the program ends with status 0; open files are closed and
// the scratch standard data file is deleted on the way out. A log or configuration file that did
// not take its last lines is named in a box.
void EXITINT(std::string_view message) {
    int len = rt::TRULEN(message);
    if (len > 0) {
        if (len > 60) len = 60;
        rt::FText<60> local(message.substr(0, static_cast<std::size_t>(len)));
        for (int i = 1; i <= 60; ++i) {
            const unsigned char u = static_cast<unsigned char>(local(i));
            if (u < 32 || u > 122) local(i) = ' ';
        }
        // The log, while open, keeps why the program ended.
        LOG_WRITE("(1X,A)", local.sub(1, local.trulen()));
        CHECK_LOG();
        gmDisplayErrorBox(PROGID.PROG_TITLE.view(), local.sub(1, local.trulen()));
    }
    LOG_PASS_IN_PROGRESS();  // a pass cut short leaves its summary, as at its end
    CHECK_LOG(true);  // the last lines of the log reach it, or a box says they did not
    WRITE_DEFAULTS_TO_FILE();
    gmCloseMenu();
    GCLOSEDEVICE();
    GCLOSEGINO();
    rt::program_exit(0);
}

void END_ON_REQUEST() { EXITINT(""); }

void END_WITHOUT_WINDOW() {
    LOG_PASS_IN_PROGRESS();
    CHECK_LOG(true);
    WRITE_DEFAULTS_TO_FILE();
    rt::units_close_all();
    std::_Exit(0);  // called from inside the display library: nothing may unwind through it
}
