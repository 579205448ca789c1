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
#include "runtime/kept_records.h"

using namespace fitpass;

namespace {

constexpr int TIMER_INTERVAL = 50;

// The h k l of the last search; a text with fewer than three numbers leaves the rest as they
// were (zero before the first search).
rt::FArray<int, 3> SEARCH_INDICES;

// True while the ticks run (between "Start" and "Stop" or the end of the pass).
bool RUNNING = false;

// True once "Start" has been pressed in this pass.
bool STARTED = false;

// "Exit", both "Go" buttons and "Start" take one state, "Stop" the other.
void set_running_look(bool running) {
    RUNNING = running;
    const int idle = running ? STATUS_GREYED : STATUS_ACTIVE;
    for (int k : {1, 6, 8, 18}) set_status(k, idle);
    set_status(19, running ? STATUS_ACTIVE : STATUS_GREYED);
}

// End of the pass: the ticks stop and the window goes back to its idle look. At the end of the
// data the user hears how many reflections went to which file (or that the file was deleted
// meanwhile); the log receives the summary heading and the fit summary, when one is due.
void end_pass(bool end_of_file) {
    gmDefineTimerCallback(TIMER_INTERVAL, 0);
    RUNNING = false;
    set_status(1, STATUS_ACTIVE);
    const bool lost = report_deleted_output();
    if (end_of_file && !lost) gmDisplayMessageBox(PROGID.PROG_TITLE.view(), end_of_file_text(), 3, 0);
    END_GRAPHICS();
    pass_summary();
}

// A read error of the standard data file leaves the previous reflection on display and the read
// position in front of the bad record: every further read would meet it again. The pass ends
// there, summary included, instead of fitting and writing the previous reflection again.
void end_pass_on_read_error() {
    gmDefineTimerCallback(TIMER_INTERVAL, 0);
    GUIERR(PROGID.PROG_TITLE.view(), "Read error in standard data file: automatic fit ended");
    end_pass(false);
}

// A search reading mode 1 or 2 of the standard data file. Where going on from the reflection
// found would write reflections of the output file again or leave some out, the user chooses; to
// stay brings the reflection on display back as it was. Returns false when the pass has ended.
bool search_and_fit(int mode, int number, const rt::FArray<int, 3>& hkl) {
    const int shown = REFLN.ISEQ;
    const rt::KeptRecords<REFLN_t, FITPAR_t, INTRES_t> on_display(REFLN, FITPAR, INTRES);
    const int status = search(mode, number, hkl);
    if (status == 12) {
        end_pass(false);
        return false;
    }
    if (status == 11) {
        end_pass_on_read_error();
        return false;
    }
    if (!may_go_on_from_found(shown)) {
        int back = 0;
        READ_SCAN_STDDATA(FILEINFO.LUNSTD, STD_BY_NUMBER, shown, hkl, back);
        on_display.restore();
        return true;
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
// pass with the pass's own "End of File" notice (the read is a quiet one).
bool next_reflection() {
    int status = -1;
    READ_SCAN_STDDATA(FILEINFO.LUNSTD, STD_NEXT, 0, SEARCH_INDICES, status);
    if (status == 12) {
        end_pass(true);
        return false;
    }
    if (status != 0) {
        end_pass_on_read_error();
        return false;
    }
    SET_FIT_PARAMETERS();
    FIT_REFLECTION();
    if (write_entry()) return true;
    end_pass(false);  // the file refused it: the box has said so, the file is closed
    return false;
}

// "Start": the reflection on display is fitted and written, unless it is already the last one
// written to the file open now. Within the pass that is where the pass stopped, and it goes on
// after it; at the first "Start" of a new pass (after "End of File", or "Stop" and "Exit") the
// user chooses whether it goes to the file a second time. False when the write failed.
bool start_from_display() {
    const bool first = !STARTED;
    STARTED = true;
    if (display_written()) {
        if (!first) return true;
        const std::string text = "Reflection " + std::to_string(REFLN.ISEQ) + " on display is already in " +
                                 FILEINFO.OUT_NAME.str() +
                                 ". Write it again (Yes) or go on with the next reflection (No)?";
        // Enter presses "No": nothing is written twice unasked.
        if (gmDisplayMessageBox(PROGID.PROG_TITLE.view(), text, 1, 4 + MB_DEFAULT_SECOND) != 6) return true;
    }
    FIT_REFLECTION();
    return write_entry();
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
    count_from_zero();
    STARTED = false;
    RUNNING = false;

    const PassUnderWay pass;
    int iquit = 0;
    RUN_PKVALS(iquit);
    if (iquit == 1) return;

    show_fit_settings();
    for (int k : {5, 6, 7, 8, 9, 10, 13, 14, 15, 16, 17, 18}) set_status(k, STATUS_ACTIVE);
    set_status(19, STATUS_GREYED);
    grey_dialog_controls();
    pass_begun("SUMMARY OF REFLECTIONS FIT WITH AUTOFIT UTILITY");

    int icb = 0;
    for (;;) {
        icb = gmAction(icb);
        bool goes_on = true;
        if (icb == EXIT_REQUEST) EXIT_PROGRAM();  // "No" goes on where the user was
        if (icb == EXIT) {
            // Selectable only while stopped. Before any "Start" nothing was written: no summary.
            if (!STARTED) pass_dropped();
            end_pass(false);
            return;
        }
        handle_dialog_edit(icb);
        if (icb == STOP) {
            set_running_look(false);
            gmDefineTimerCallback(TIMER_INTERVAL, 0);
        }
        if (icb == START) {
            READ_FIT_PARAMETERS();
            if (!start_from_display()) {
                end_pass(false);
                return;
            }
            set_running_look(true);
            gmDefineTimerCallback(TIMER_INTERVAL, TICK);
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
