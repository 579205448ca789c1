// Integrate, "Auto profile fit": fits, tests, integrates and writes every reflection from the
// one on display to the end of the standard data file, one reflection per timer tick, then
// writes the outcome summary to the log. FIT_REFLECTION, the fit of one reflection with its
// outcome counting and its second pass at the predicted position, also serves the manual fit.
//
// The pass continues from the reflection on display and the read position of the standard data
// file as they stand; it never rewinds. Positions are omega relative to the bisecting setting,
// in degrees.
#include <cmath>
#include <string>

#include "include/geometry.h"
#include "include/profile_fit.h"
#include "include/scan_input.h"
#include "include/shared.h"
#include "include/shell_services.h"
#include "include/toolkit_services.h"
#include "runtime/fatal.h"
#include "runtime/format.h"
#include "runtime/ftext.h"
#include "runtime/units.h"

namespace {

constexpr int LOG_UNIT = 20;
constexpr int TIMER_INTERVAL = 50;
constexpr int TICK = 990;

// Callback numbers the pass handles.
constexpr int EXIT_REQUEST = -1;
constexpr int EXIT = 101;
constexpr int SEARCH_HKL = 106;
constexpr int SEARCH_SEQ = 108;
constexpr int START = 118;
constexpr int STOP = 119;
constexpr int RESET_DEFAULTS = 429;
constexpr int DIALOG_EDIT_FIRST = 431;
constexpr int DIALOG_EDIT_LAST = 499;

// The h k l of the last search; a text with fewer than three numbers leaves the rest as they
// were (zero before the first search).
rt::FArray<int, 3> SEARCH_INDICES;

int main_control(int k) { return GRAPHICS.IWID(1, k); }
void set_status(int k, int status) { gmSetWidgetStatus(main_control(k), status); }

// "Exit", both "Go" buttons and "Start" take one state, "Stop" the other.
void set_running_look(bool running) {
    const int idle = running ? STATUS_GREYED : STATUS_ACTIVE;
    for (int k : {1, 6, 8, 18}) set_status(k, idle);
    set_status(19, running ? STATUS_ACTIVE : STATUS_GREYED);
}

void log_put(const std::string& record) {
    const int ios = rt::unit_write_record(LOG_UNIT, record);
    if (ios != rt::IOS_OK) rt::io_fatal_unit(LOG_UNIT, ios);
}

// End of the pass: the ticks stop, the window goes back to its idle look, and the log receives
// the summary heading and the fit summary.
void end_pass() {
    gmDefineTimerCallback(TIMER_INTERVAL, 0);
    set_status(1, STATUS_ACTIVE);
    END_GRAPHICS();
    if (FILEINFO.LOGOPEN != 1) return;
    // Records of the log begin with their carriage-control column.
    log_put("");
    log_put("");
    log_put(" " + std::string(60, '*'));
    log_put(" " + std::string(10, ' ') + "SUMMARY OF REFLECTIONS FIT WITH AUTOFIT UTILITY");
    WRITE_FIT_SUMMARY(LOG_UNIT);
}

// A read error of the standard data file leaves the previous reflection on display and the read
// position in front of the bad record: every further read would meet it again. The pass ends
// there, summary included, instead of fitting and writing the previous reflection again.
void end_pass_on_read_error() {
    gmDefineTimerCallback(TIMER_INTERVAL, 0);
    GUIERR(PROGID.PROG_TITLE.view(), "Read error in standard data file: automatic fit ended");
    end_pass();
}

// A search reading mode 1 or 2 of the standard data file. Returns false when the pass has ended.
// A reflection not found (the reader has said so) brings back the one on display before.
bool search(int mode, int number, const rt::FArray<int, 3>& hkl) {
    const int iseq_old = REFLN.ISEQ;
    int status = 0;
    READ_SCAN_STDDATA(FILEINFO.LUNSTD, mode, number, hkl, status);
    if (status == 13) {
        status = 0;
        READ_SCAN_STDDATA(FILEINFO.LUNSTD, STD_BY_NUMBER, iseq_old, hkl, status);
    }
    if (status == 12) {
        end_pass();
        return false;
    }
    if (status == 11) {
        end_pass_on_read_error();
        return false;
    }
    SET_FIT_PARAMETERS();
    FIT_REFLECTION();
    return true;
}

// 106: the h k l typed in the main window. A text that is not numbers does nothing.
bool search_by_hkl() {
    rt::FText<20> text;
    gmEnqTextSetting(main_control(5), text);
    rt::FArray<int, 3> hkl = SEARCH_INDICES;
    const int ios = rt::list_read(text.view(), hkl(1), hkl(2), hkl(3));
    if (ios != rt::IOS_OK && ios != rt::IOS_END) return true;
    SEARCH_INDICES = hkl;
    return search(STD_BY_HKL, 0, SEARCH_INDICES);
}

// 108: the sequence number typed in the main window, truncated toward zero. A number beyond the
// range of sequence numbers (or not a number) finds nothing.
bool search_by_number() {
    const double typed = gmEnqValueSetting(main_control(7));
    int number = 0;
    if (std::isfinite(typed) && std::fabs(typed) < 1.0e9) number = static_cast<int>(typed);
    return search(STD_BY_NUMBER, number, SEARCH_INDICES);
}

// 990: the next reflection in file order is fitted and written; the end of the data ends the
// pass (the reader has shown "End of File").
bool next_reflection() {
    int status = 0;
    READ_SCAN_STDDATA(FILEINFO.LUNSTD, STD_NEXT, 0, SEARCH_INDICES, status);
    if (status == 12) {
        end_pass();
        return false;
    }
    if (status != 0) {
        end_pass_on_read_error();
        return false;
    }
    SET_FIT_PARAMETERS();
    FIT_REFLECTION();
    WRITE_INT();
    return true;
}

}  // namespace

// The fit of the current reflection with the start values, flags and limits of the fitting
// dialog; the outcome is counted in IC (1 accepted, k the reject letter F(k), 11 any letter not
// in the table). A rejected reflection whose position is refined from the default start, when a
// valid orientation matrix exists, is fitted a second time with the position held at the
// predicted omega (crystal offset and omega zero included); IC keeps the first outcome.
void FIT_REFLECTION() {
    FITPAR_t& fp = FITPAR;
    REFLN_t& r = REFLN;
    TOTALS_t& t = TOTALS;
    // Each condition on its own: a flag that is not exactly 1 never opens the second pass.
    const bool second_pass_allowed = fp.IREF(4) == 1 && fp.IDEF(4) == 1 && UNITCELL.UBOK == 1;

    READ_FIT_PARAMETERS();
    int ierr = 0;
    FITSCAN(0, ierr);
    r.FLAG(4) = '1';
    if (r.FLAG(2) != 'R') {
        t.IC(1) = t.IC(1) + 1;
        return;
    }
    int k = 11;
    for (int j = 2; j <= 10; ++j) {
        if (t.F(j) == r.FLAG(3)) {
            k = j;
            break;
        }
    }
    t.IC(k) = t.IC(k) + 1;
    if (!second_pass_allowed) return;

    t.NPASS2 = t.NPASS2 + 1;
    READ_FIT_PARAMETERS();
    float rom = 0.0f;
    geo::Angles off;
    CALOMEGA(r.ANGL, r.IH, rom);
    CALC_ANGOFF(r.ANGL, off);
    fp.VALS(4) = rom + off(2);
    FITSCAN(1, ierr);
    r.FLAG(4) = '2';
    if (r.FLAG(2) != 'R') t.NPASS2OK = t.NPASS2OK + 1;
}

// The handler of "Auto profile fit" (322). The main loop has checked that a reflection is on
// display. Runs its own loop until the end of the data, "Exit", or the exit request.
void START_AUTO_FIT() {
    FILEINFO_t& fi = FILEINFO;
    while (fi.OUTOPEN == 0) {
        const int answer = gmDisplayMessageBox(
            PROGID.PROG_TITLE.view(), "No output datafile is open. Do you want to open a file?", 2, 4);
        if (answer == 1) return;
        if (answer != 6) break;  // No: the pass runs without an output file
        OPEN_OUT();
    }

    TOTALS_t& t = TOTALS;
    for (int k = 1; k <= 11; ++k) t.IC(k) = 0;
    t.NPASS2 = 0;
    t.NPASS2OK = 0;
    FITOPT.IINT = 2;

    int iquit = 0;
    RUN_PKVALS(iquit);
    if (iquit == 1) return;

    WRITE_FIT_PARAMETERS();
    SET_FIT_PARAMETERS();
    WRITE_FIT_PARAMETERS();

    for (int k : {5, 6, 7, 8, 9, 10, 13, 14, 15, 16, 17, 18}) set_status(k, STATUS_ACTIVE);
    set_status(19, STATUS_GREYED);
    for (int k = 1; k <= 4; ++k) gmSetWidgetStatus(GRAPHICS.IWID(3, k), STATUS_GREYED);

    int icb = 0;
    for (;;) {
        icb = gmAction(icb);
        bool goes_on = true;
        if (icb == EXIT_REQUEST) EXITINT("");
        if (icb == EXIT) {
            END_GRAPHICS();
            return;
        }
        if (icb == RESET_DEFAULTS) SET_DEFAULT_PARAMETERS();
        if (icb >= DIALOG_EDIT_FIRST && icb <= DIALOG_EDIT_LAST) {
            READ_FIT_PARAMETERS();
            SET_FIT_PARAMETERS();
        }
        if (icb == STOP) {
            set_running_look(false);
            gmDefineTimerCallback(TIMER_INTERVAL, 0);
        }
        if (icb == START) {
            set_running_look(true);
            gmDefineTimerCallback(TIMER_INTERVAL, TICK);
            READ_FIT_PARAMETERS();
            FIT_REFLECTION();
            WRITE_INT();
        }
        if (icb == SEARCH_HKL) goes_on = search_by_hkl();
        if (icb == SEARCH_SEQ) goes_on = search_by_number();
        if (icb == TICK) goes_on = next_reflection();
        if (!goes_on) return;
        PLOTSCAN();
        WRITE_REFINED_PARAMETERS();
    }
}
