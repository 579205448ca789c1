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
#include "profile_fit/fit_pass.h"

using namespace fitpass;

namespace {

constexpr int TIMER_INTERVAL = 50;

// The h k l of the last search; a text with fewer than three numbers leaves the rest as they
// were (zero before the first search).
rt::FArray<int, 3> SEARCH_INDICES;

// True once the reflection on display has gone to the integrated data file in this pass. "Start"
// after "Stop" then only restarts the ticks: a reflection is never written (or counted) twice.
bool DISPLAY_WRITTEN = false;

// True while the ticks run (between "Start" and "Stop" or the end of the pass).
bool RUNNING = false;

// "Exit", both "Go" buttons and "Start" take one state, "Stop" the other.
void set_running_look(bool running) {
    RUNNING = running;
    const int idle = running ? STATUS_GREYED : STATUS_ACTIVE;
    for (int k : {1, 6, 8, 18}) set_status(k, idle);
    set_status(19, running ? STATUS_ACTIVE : STATUS_GREYED);
}

// End of the pass: the ticks stop, the window goes back to its idle look, and the log receives
// the summary heading and the fit summary.
void end_pass() {
    gmDefineTimerCallback(TIMER_INTERVAL, 0);
    RUNNING = false;
    set_status(1, STATUS_ACTIVE);
    END_GRAPHICS();
    log_fit_summary("SUMMARY OF REFLECTIONS FIT WITH AUTOFIT UTILITY");
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
bool search_and_fit(int mode, int number, const rt::FArray<int, 3>& hkl) {
    const int shown = REFLN.ISEQ;
    const int status = search(mode, number, hkl);
    // Another reflection on display is not yet written; a failed search brings the old one back.
    if (status == 0 && REFLN.ISEQ != shown) DISPLAY_WRITTEN = false;
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

// 106: the h k l typed in the main window. A text that is not three whole numbers is refused.
bool search_by_hkl() {
    if (!typed_hkl(SEARCH_INDICES)) return true;
    return search_and_fit(STD_BY_HKL, 0, SEARCH_INDICES);
}

// 108: the sequence number typed in the main window.
bool search_by_number() {
    int number = 0;
    if (!typed_sequence_number(number)) return true;
    return search_and_fit(STD_BY_NUMBER, number, SEARCH_INDICES);
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
    DISPLAY_WRITTEN = true;
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
    if (fitpass::count_outcome() || !second_pass_allowed) return;

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
// display. Runs its own loop until the end of the data, "Exit", or an exit the user confirms.
void START_AUTO_FIT() {
    FILEINFO_t& fi = FILEINFO;
    while (fi.OUTOPEN == 0) {
        const int answer = gmDisplayMessageBox(
            PROGID.PROG_TITLE.view(), "No output datafile is open. Do you want to open a file?", 2, 4);
        if (answer == 1) return;
        if (answer != 6) break;  // No: the pass runs without an output file
        OPEN_OUT();
    }

    clear_outcome_counters();
    FITOPT.IINT = 2;
    DISPLAY_WRITTEN = false;  // a new pass writes the reflection on display at its first "Start"
    RUNNING = false;

    int iquit = 0;
    RUN_PKVALS(iquit);
    if (iquit == 1) return;

    show_fit_settings();
    for (int k : {5, 6, 7, 8, 9, 10, 13, 14, 15, 16, 17, 18}) set_status(k, STATUS_ACTIVE);
    set_status(19, STATUS_GREYED);
    grey_dialog_controls();

    int icb = 0;
    for (;;) {
        icb = gmAction(icb);
        bool goes_on = true;
        if (icb == EXIT_REQUEST) EXIT_PROGRAM();  // "No" goes on where the user was
        if (icb == EXIT) {
            END_GRAPHICS();
            return;
        }
        handle_dialog_edit(icb);
        if (icb == STOP) {
            set_running_look(false);
            gmDefineTimerCallback(TIMER_INTERVAL, 0);
        }
        if (icb == START) {
            set_running_look(true);
            gmDefineTimerCallback(TIMER_INTERVAL, TICK);
            READ_FIT_PARAMETERS();
            if (!DISPLAY_WRITTEN) {
                FIT_REFLECTION();
                WRITE_INT();
                DISPLAY_WRITTEN = true;
            }
        }
        if ((icb == SEARCH_HKL || icb == SEARCH_SEQ) && RUNNING) {
            // A search would move the read position under the running pass: back to the first
            // measurement of a standard, every reflection after it would be written again.
            GUIERR(PROGID.PROG_TITLE.view(), "Press Stop before searching for a reflection");
        } else {
            if (icb == SEARCH_HKL) goes_on = search_by_hkl();
            if (icb == SEARCH_SEQ) goes_on = search_by_number();
        }
        if (icb == TICK) goes_on = next_reflection();
        if (!goes_on) return;
        PLOTSCAN();
        WRITE_REFINED_PARAMETERS();
    }
}
