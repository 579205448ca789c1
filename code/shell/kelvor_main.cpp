// The main program: the program's identity, the configuration file, the whole user interface,
// an input data file and an instrument parameter file insisted on, the data set and its first
// scan loaded, then the main loop that turns each callback number into one operation.
#include "shell/kelvor_main.h"

#include <string_view>

#include "gui_toolkit/menu_f90.h"
#include "include/geometry.h"
#include "include/profile_fit.h"
#include "include/scan_input.h"
#include "include/shared.h"
#include "include/shell_services.h"
#include "include/toolkit_services.h"
#include "runtime/fatal.h"
#include "shell/config_file.h"
#include "shell/data_set_in_use.h"
#include "shell/open_files.h"
#include "shell/small_boxes.h"

namespace {

// Loads the data set of the input data file just opened and makes its first scan the current
// reflection; the statuses along the way are not examined. False when the file proved damaged
// or its scratch working file could not be written (a full disk): the box has named the file, the
// line and what could not be read, or the write failure and its reason; the input file and the
// new working file are closed (a scratch file is deleted, no file is changed), the working file in
// use is still in place, and the records the load changed are as they were before it.
bool load_data_set() {
    try {
        int status = 0;
        FIRST_SCAN_READ = 0;
        CONVERT_FILE(status);
        if (status != 0) return true;
        gmSetTextSetting(GRAPHICS.IWID(1, 41), FILEINFO.TITLE.trimmed());
        SKIP_HEADER_STDDATA(FILEINFO.LUNSTD, status);
        if (status != 0) return true;
        const rt::FArray<int, 3> hkl;
        READ_SCAN_STDDATA(FILEINFO.LUNSTD, STD_NEXT, 0, hkl, status);
        FIRST_SCAN_READ = status == 0 ? 1 : 0;
        return true;
    } catch (const rt::InputError& e) {
        GUIERR(PROGID.PROG_TITLE.view(), e.message());
        return false;
    } catch (const rt::WorkingFileError& e) {
        GUIERR(PROGID.PROG_TITLE.view(), e.message());
        return false;
    }
}

// An instrument parameter file is opened and read, or the program ends.
void insist_on_parameter_file() {
    int status = 0;
    OPEN_PAR(status);
    if (status == 0) return;
    int answer = 0;
    NOPARFILE(answer);
    if (answer != 0) EXITINT(" NO PAR FILE SELECTED: END OF PROGRAM");
}

// The first data set: the input data file and its format, a freshly read parameter file, the
// load. A damaged input file or a full disk opens the input-file dialog again, as a file that
// cannot be opened does; a cancelled dialog ends the program.
void first_data_set() {
    for (;;) {
        OPEN_IN();
        if (FILEINFO.LOADED == 0) EXITINT(" NO INPUT FILE SELECTED: END OF PROGRAM");
        insist_on_parameter_file();
        if (load_data_set()) return;
    }
}

// File, "Open data file": a new data set, loaded beside the one in use, which it replaces only
// once it has loaded. After a damaged file (or a full disk) the box names it and the choice is
// offered again; a cancelled choice (of the input data file or of its parameter file) returns
// to the data set in use, its log, parameters, preprocessing table and cell as they were.
void open_data_file() {
    for (;;) {
        DataSetInUse in_use;
        OPEN_IN();
        if (FILEINFO.LOADED == 0) {
            in_use.put_back();
            GUIERR(PROGID.PROG_TITLE.view(), "NO NEW INPUT DATA FILE SELECTED");
            return;
        }
        // Mid-session a cancelled parameter file returns to the data set in use: the session is
        // never ended from here.
        int status = 0;
        OPEN_PAR(status);
        if (status != 0) {
            in_use.put_back();
            GUIERR(PROGID.PROG_TITLE.view(), "NO PARAMETER FILE SELECTED: the data set in use stays");
            return;
        }
        if (load_data_set()) {
            in_use.switch_to_new();
            return;
        }
        in_use.put_back();
    }
}

void open_parameter_file() {
    int status = 0;
    OPEN_PAR(status);  // a cancel leaves the values read before
}

void run_pkvals() {
    int quit = 0;
    RUN_PKVALS(quit);
}

// The fit modes start from the current reflection.
void manual_fit() {
    if (CURRENT_REFLECTION_VALID()) START_MANUAL_FIT();
}
void auto_fit() {
    if (CURRENT_REFLECTION_VALID()) START_AUTO_FIT();
}
void preprocess() {
    if (CURRENT_REFLECTION_VALID()) START_PREPROCESS();
}

struct Dispatch {
    int callback;
    void (*handler)();
};

// The callback numbers of the main window and the menus and what each starts. Every other
// number (the plot frame's 200, the fit-mode controls, a stray timer tick, 0) is dropped.
constexpr Dispatch kDispatch[] = {
    {-1, EXIT_PROGRAM},         {101, EXIT_PROGRAM},
    {312, open_data_file},      {313, open_parameter_file},
    {314, OPEN_OUT},            {315, CREATE_LOG},
    {316, EXIT_PROGRAM},        {317, CREATE_EXP},
    {318, CREATE_CIF_KELVOR},   {319, CONVERT_TO_STD},
    {321, manual_fit},          {322, auto_fit},
    {331, preprocess},          {332, UB_FIT},
    {333, PROCESS_BACKGROUND},  {334, FIT_GAMMA},
    {335, RUN_ZREF},            {336, RUN_DELTAD},
    {341, run_pkvals},          {342, RUN_GENERAL_INFO},
    {343, RUN_BACKGROUND_INFO}, {344, RUN_INTFORMAT},
};

}  // namespace

void EXIT_PROGRAM() {
    // Enter presses "No": a close box followed by Enter keeps the session.
    const int answer = gmDisplayMessageBox(PROGID.PROG_TITLE.view(), "Are you sure you want to exit the program?", 1,
                                           3 + MB_DEFAULT_SECOND);
    if (answer == 3) return;
    EXITINT("");
}

void MAIN__() {
    FIRST_SCAN_READ = 0;
    PROGID.VERSION_DATE = "19-DEC-2014";
    PROGID.VERSION = 3.72f;
    FILEINFO.LUNSTD = 25;
    READ_DEFAULTS_FROM_FILE();
    GRAPHICS_SETUP();
    first_data_set();
    CHECK_LOG();

    int icb = 0;
    for (;;) {
        icb = gmAction(icb);
        for (const Dispatch& d : kDispatch)
            if (d.callback == icb) {
                d.handler();
                // Lines the operation logged reach the log now, or the user hears that they
                // did not.
                CHECK_LOG();
            }
    }
}
