// Integrate, "Manual profile fit": the user walks through the data set one reflection at a
// time. Every reflection brought on display is fitted at once (FIT_REFLECTION) and plotted; the
// user moves forward and back, jumps by h k l or sequence number, refits after editing the
// fitting dialog, accepts a reflection into the integrated data file or passes over it, and
// exports the profile on display.
//
// The pass continues from the reflection on display and the read position of the standard data
// file as they stand; it neither clears the outcome counters (every fit adds to them) nor writes
// a summary.
#include "include/profile_fit.h"
#include "include/scan_input.h"
#include "include/shared.h"
#include "include/shell_services.h"
#include "include/toolkit_services.h"
#include "profile_fit/fit_pass.h"

using namespace fitpass;

namespace {

// Callback numbers the pass handles besides those of every pass.
constexpr int PREVIOUS = 102;
constexpr int NEXT = 103;
constexpr int REFIT = 104;
constexpr int ACCEPT = 111;
constexpr int REJECT = 112;
constexpr int EXPORT = 120;

// The h k l of the last search; a text with fewer than three numbers leaves the rest as they
// were (zero before the first search).
rt::FArray<int, 3> SEARCH_INDICES;

// What a read of the standard data file left for the pass.
enum class Read { Fitted, Ended };

// After a read: status 12 (end of data; the reader has shown "End of File") ends the pass. A
// read error leaves the previous reflection on display with nothing new to fit: the pass ends
// with a box rather than showing the old reflection as if it were the next one.
Read after_read(int status) {
    if (status == 12) return Read::Ended;
    if (status != 0) {
        GUIERR(PROGID.PROG_TITLE.view(), "Read error in standard data file: manual fit ended");
        return Read::Ended;
    }
    SET_FIT_PARAMETERS();
    FIT_REFLECTION();
    return Read::Fitted;
}

Read move(int mode) {
    int status = 0;
    READ_SCAN_STDDATA(FILEINFO.LUNSTD, mode, 0, SEARCH_INDICES, status);
    return after_read(status);
}

// 106: the h k l typed in the main window. A text that is not three whole numbers is refused.
Read search_by_hkl() {
    if (!typed_hkl(SEARCH_INDICES)) return Read::Fitted;
    return after_read(search(STD_BY_HKL, 0, SEARCH_INDICES));
}

// 108: the sequence number typed in the main window.
Read search_by_number() {
    int number = 0;
    if (!typed_sequence_number(number)) return Read::Fitted;
    return after_read(search(STD_BY_NUMBER, number, SEARCH_INDICES));
}

}  // namespace

// The handler of "Manual profile fit" (321). Runs its own loop until "Exit", the end of the
// data, or an exit the user confirms.
void START_MANUAL_FIT() {
    if (!CURRENT_REFLECTION_VALID()) return;
    FITOPT.IINT = 2;
    count_from_zero();

    show_fit_settings();
    for (int k : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 13, 14, 15, 16, 17, 20}) set_status(k, STATUS_ACTIVE);
    // "Accept" and "Reject" only while an integrated data file is open; "Next" moves on otherwise.
    const int decide = FILEINFO.OUTOPEN == 1 ? STATUS_ACTIVE : STATUS_HIDDEN;
    set_status(11, decide);
    set_status(12, decide);
    set_status(18, STATUS_HIDDEN);
    set_status(19, STATUS_HIDDEN);
    grey_dialog_controls();

    FIT_REFLECTION();
    PLOTSCAN();
    WRITE_REFINED_PARAMETERS();

    int icb = 0;
    for (;;) {
        icb = gmAction(icb);
        Read read = Read::Fitted;
        if (icb == EXIT_REQUEST) EXIT_PROGRAM();  // "No" goes on where the user was
        if (icb == EXIT) read = Read::Ended;
        handle_dialog_edit(icb);
        if (icb == PREVIOUS) read = move(STD_PREVIOUS);
        if (icb == REFIT) FIT_REFLECTION();
        if (icb == NEXT || icb == REJECT) read = move(STD_NEXT);
        if (icb == SEARCH_HKL) read = search_by_hkl();
        if (icb == SEARCH_SEQ) read = search_by_number();
        if (icb == ACCEPT && !INTENSITY_ESD_USABLE()) {
            // An intensity without an esd would be taken at infinite weight by whatever reads the
            // file: the reflection stays on display, unwritten, for a refit or a move.
            GUIERR(PROGID.PROG_TITLE.view(),
                   "Not accepted: the intensity of this fit has an esd of 0 or none; refit it or move on");
        } else if (icb == ACCEPT) {
            // Forced in as accepted, whatever the tests of its last fit said; the counters keep
            // what the fit counted. A fit whose width makes no peak is never accepted: it goes
            // to the file as the fit rejected it.
            if (WIDTH_MAKES_A_PEAK(FITPAR.VALS(2))) {
                REFLN.FLAG(2) = 'F';
                REFLN.FLAG(3) = ' ';
            } else if (REFLN.FLAG(2) != 'R') {
                REFLN.FLAG(2) = 'R';
                REFLN.FLAG(3) = 'W';
            }
            // A write the file refused ends the pass (the box has said so, the file is closed).
            read = write_entry() ? move(STD_NEXT) : Read::Ended;
        }
        if (icb == EXPORT) EXPORT_SCAN();
        // Another reflection comes on display: what the user did before seeing it (the second
        // click of a double click on "Accept") is not acted on.
        const bool moved = icb == PREVIOUS || icb == NEXT || icb == REJECT || icb == ACCEPT || icb == SEARCH_HKL ||
                           icb == SEARCH_SEQ;
        if (moved) GMFLUSHCALLBACKQUEUE();
        if (read == Read::Ended) {
            report_deleted_output();
            END_GRAPHICS();
            return;
        }
        PLOTSCAN();
        WRITE_REFINED_PARAMETERS();
    }
}
