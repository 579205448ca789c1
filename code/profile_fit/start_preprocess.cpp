// Utilities, "Preprocess": fits every reflection of the data set from the first to the last,
// one per timer tick, counts the outcomes and stores the strong accepted reflections (setting
// angles with the fitted omega, h k l, fitted FWHM with its esd, fitted background) in the
// fitted-reflection table FITVALS, the input of the cell refinement, the centring, the
// delta-d/d check and the FWHM calibration. Nothing goes to the integrated data file.
#include <cfloat>
#include <string>

#include "include/profile_fit.h"
#include "include/scan_input.h"
#include "include/shared.h"
#include "include/shell_services.h"
#include "include/toolkit_services.h"
#include "profile_fit/fit_pass.h"
#include "runtime/format.h"

using namespace fitpass;

namespace {

constexpr int TIMER_INTERVAL = 10;

// Callback numbers the pass handles besides those of every pass.
constexpr int GO = 53;
constexpr int QUIT = 54;

constexpr float LOWEST_SIGLIM = 3.0f;  // I/sigma threshold never below this

int preprocess_dialog() { return GRAPHICS.IWID(5, 1); }

// The end of a pass that counts as finished: the window handed back, the number of rows stored
// shown, the table offered to its users, and the summary in the log.
void finish_pass() {
    END_GRAPHICS();
    const std::string text = rt::fmt_write("(I5,' Reflections stored for fitting')", FITVALS.NFIT);
    gmDisplayMessageBox(PROGID.PROG_TITLE.view(), text, 3, 0);
    SET_PREPROCESS(1, 0);
    pass_summary();
}

// What one tick left for the pass.
enum class Tick { Next, Finished, Abandoned };

// One reflection: the next in file order is fitted, counted and, when accepted, not a standard
// and stronger than the threshold, stored as the next row of the table.
Tick one_reflection(float siglim) {
    const REFLN_t& r = REFLN;
    FITVALS_t& fv = FITVALS;
    int status = 0;
    const rt::FArray<int, 3> no_hkl;
    READ_SCAN_STDDATA(FILEINFO.LUNSTD, STD_NEXT, 0, no_hkl, status);
    if (status == 12) {  // the reader has shown "End of File"
        gmDefineTimerCallback(50, 0);
        set_status(1, STATUS_ACTIVE);
        return Tick::Finished;
    }
    if (status != 0) {
        // A read error leaves the previous reflection in place and the bad record ahead: the
        // pass ends here, with the rows stored so far, rather than fitting the previous
        // reflection again at every tick.
        gmDefineTimerCallback(TIMER_INTERVAL, 0);
        GUIERR(PROGID.PROG_TITLE.view(), "Read error in standard data file: preprocessing ended");
        set_status(1, STATUS_ACTIVE);
        return Tick::Finished;
    }

    SET_FIT_PARAMETERS();
    READ_FIT_PARAMETERS();
    int ierr = 0;
    FITSCAN(0, ierr);
    PLOTSCAN();
    WRITE_REFINED_PARAMETERS();

    if (!count_outcome()) return Tick::Next;
    // An esd of 0 gives an infinite ratio (stored); a ratio that is not a number is not.
    const float ratio = INTRES.PEAK / INTRES.SIGPEAK;
    if (r.ISTD != 0 || !(ratio > siglim)) return Tick::Next;

    if (fv.NFIT >= MAXFIT) {
        gmDefineTimerCallback(TIMER_INTERVAL, 0);
        GUIERR(PROGID.PROG_TITLE.view(), "Too many reflections: Increase I/sig");
        pass_dropped();  // an abandoned pass leaves no summary
        set_status(1, STATUS_ACTIVE);
        END_GRAPHICS();
        return Tick::Abandoned;
    }
    const FITPAR_t& fp = FITPAR;
    const int n = fv.NFIT + 1;
    fv.NFIT = n;
    fv.ANGLESFIT(n, 1) = r.ANGL(1);
    fv.ANGLESFIT(n, 2) = fp.VALS(4);
    fv.ANGLESFIT(n, 3) = r.ANGL(3);
    fv.ANGLESFIT(n, 4) = r.ANGL(4);
    for (int j = 1; j <= 3; ++j) fv.IHFIT(n, j) = r.IH(j);
    fv.FWHMFIT(n, 1) = fp.VALS(2);
    fv.FWHMFIT(n, 2) = fp.SIGVAL(2);
    fv.BACKFIT(n) = fp.VALS(1);
    return Tick::Next;
}

}  // namespace

// The handler of "Preprocess" (331): the fitting dialog shows the settings and start values
// for the reflection on display, and the preprocessing dialog waits for "Go" or "Quit".
void START_PREPROCESS() {
    if (!CURRENT_REFLECTION_VALID()) return;
    show_fit_settings();
    grey_dialog_controls();
    gmDrawWindow(preprocess_dialog());
    // The threshold offered is the one of the last pass; a number typed outside its range is
    // refused on "Go" and the dialog waits on.
    const int threshold = GRAPHICS.IWID(5, 2);
    SHOW_CHECKED(threshold, gmEnqValueSetting(threshold));

    int icb = 0;
    for (;;) {
        icb = gmAction(icb);
        if (icb == EXIT_REQUEST) EXIT_PROGRAM();  // "No" goes on where the user was
        if (icb == EXIT || icb == QUIT) {
            gmRemoveWindow(preprocess_dialog());
            END_GRAPHICS();
            return;
        }
        handle_dialog_edit(icb);
        double siglim = 0.0;
        if (icb == GO && TAKE_CHECKED(threshold, range_of(Quantity::IsigmaThreshold), siglim)) {
            PREPROCESS();
            return;
        }
    }
}

// The pass: rewinds the standard data file and rebuilds the table from row 1. Runs under the
// timer until the end of the data, "Exit" after "Stop", a full table, or an exit the user confirms.
void PREPROCESS() {
    clear_outcome_counters();
    const PassUnderWay pass;
    pass_begun("SUMMARY OF REFLECTIONS FIT WITH PREPROCESS UTILITY");
    FITVALS.NFIT = 0;
    FITOPT.IINT = 2;
    FITOPT.SKIP_WEAK = 1;  // governs the first read; the dialog's toggle governs the later ones
    REFLN.ISEQ = 0;

    int status = 0;
    SKIP_HEADER_STDDATA(FILEINFO.LUNSTD, status);

    const double typed = gmEnqValueSetting(GRAPHICS.IWID(5, 2));
    float siglim = LOWEST_SIGLIM;
    if (typed > double(FLT_MAX)) siglim = FLT_MAX;
    else if (typed >= double(LOWEST_SIGLIM)) siglim = static_cast<float>(typed);

    gmRemoveWindow(preprocess_dialog());
    for (int k : {5, 7, 9, 10, 13, 14, 15, 16, 17}) set_status(k, STATUS_ACTIVE);
    set_status(1, STATUS_GREYED);
    set_status(18, STATUS_GREYED);
    set_status(19, STATUS_ACTIVE);
    gmDefineTimerCallback(TIMER_INTERVAL, TICK);

    int icb = 0;
    for (;;) {
        icb = gmAction(icb);
        if (icb == EXIT_REQUEST) EXIT_PROGRAM();  // "No" goes on where the user was
        if (icb == EXIT) break;  // selectable only while stopped: the ticks are already off
        if (icb == STOP) {
            set_status(1, STATUS_ACTIVE);
            set_status(19, STATUS_GREYED);
            set_status(18, STATUS_ACTIVE);
            gmDefineTimerCallback(TIMER_INTERVAL, 0);
        }
        if (icb == START) {
            set_status(1, STATUS_GREYED);
            set_status(18, STATUS_GREYED);
            set_status(19, STATUS_ACTIVE);
            gmDefineTimerCallback(TIMER_INTERVAL, TICK);
        }
        if (icb == TICK) {
            const Tick outcome = one_reflection(siglim);
            if (outcome == Tick::Abandoned) return;
            if (outcome == Tick::Finished) break;
        }
    }
    finish_pass();
}
