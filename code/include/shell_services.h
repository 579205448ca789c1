// The application-shell routines that the scientific routines call by name: the fatal exit,
// the wait box, the file openers, the dialogs bound to the shared records, the plot and the
// report blocks. Implemented in code/shell.
#pragma once
#include <string>
#include <string_view>

#include "include/FILES.h"
#include "include/quantity_ranges.h"
#include "runtime/format.h"

// Ends the program in order and never returns: the message (first 60 characters, when not
// blank) in an error box, the configuration file rewritten, the toolkit closed, status 0.
[[noreturn]] void EXITINT(std::string_view message);
// The exit request (a close box, "Exit"): asks "Are you sure you want to exit the program?",
// ends the program through EXITINT on yes and returns when the user declines.
void EXIT_PROGRAM();
// 1: shows "Working; Please wait..."; any other value removes it and activates the master window.
void WAITBOX(int flag);
// Asks for the omega step width (at least 0.001 degrees).
void GET_STEP_SIZE(float& step);
// Report blocks: input classification summary and fit summary, written to unit.
void WRITE_INPUT(int unit);
void WRITE_FIT_SUMMARY(int unit);

// File openers. Status 0: opened; 1: cancelled or failed.
void OPEN_IN();
void OPEN_PAR(int& status);
void OPEN_NEWSTD(int& status, int unit);
void OPEN_OUT();
void OPEN_SCANDATA(int& status);
void OPEN_LOG();   // LOGOPEN = 1 when a log of the user's choice is open on unit 20
void OPEN_EXP();   // unit 26 connected when an experiment file was chosen
int SCANDATA_UNIT();
// Closes the integrated data file after it failed (a write refused, the file deleted): no output
// file is open, the main window's output fields are cleared and "Output format" is greyed, so the
// user opens another one.
void CLOSE_OUT();  // the unit OPEN_SCANDATA connected the export file to

// Closes a unit the program has written. False, after an error box naming the file and the
// system's reason, when any record did not reach the file (a full disk shows at the close).
bool CLOSE_WRITTEN(int unit);
// The log on unit 20, while LOGOPEN is 1: flushed (or closed, with close true, and LOGOPEN 0).
// When a line did not reach it: an error box naming it, the log closed and LOGOPEN 0; false.
bool CHECK_LOG(bool close = false);
// One formatted record group on the log (unit 20), while it is open. A line the log does not
// take stays as the log's failure, which CHECK_LOG reports after the operation.
template <class... A>
void LOG_WRITE(std::string_view fmt, const A&... a) {
    if (FILEINFO.LOGOPEN == 1) (void)rt::write_unit(LOG_UNIT, fmt, a...);
}

// Value entries whose numbers the program judges by their quantity. SHOW_CHECKED shows a number
// in the entry and remembers it as the program's own. TAKE_CHECKED gives in v the entry's number
// (as a 32-bit real holds it) and true when it is the program's own or one the range allows; a
// number typed outside the range is refused: an error box says what is allowed, the entry shows
// its number from before again, v is that number and the result is false.
void SHOW_CHECKED(int widget, double v);
bool TAKE_CHECKED(int widget, const QuantityRange& range, double& v);
// Two limit entries, to be read next: true when the lower number lies below the upper one, or
// when neither was typed. Otherwise the box says that the lower limit must lie below the upper
// one, both entries show their numbers from before again, and the result is false.
bool LIMITS_IN_ORDER(int lower_widget, int upper_widget, std::string_view what);

// Dialogs bound to the shared records.
void RUN_PKVALS(int& quit);
// The fitting dialog's toggles into FITPAR.IREF, FITPAR.IDEF and FITOPT.SKIP_WEAK.
void READ_FIT_FLAGS();
void READ_FIT_PARAMETERS();
void WRITE_FIT_PARAMETERS();
void WRITE_REFINED_PARAMETERS();
void RUN_BACKGROUND_INFO();
void RUN_REFINEMENT_BOX(int& go, int& offsets, int& zero, int& system);
void RUN_RESULTS_BOX(int n);

// Scan plot and the main window.
void PLOTSCAN();
void PLOT_START();
// Builds every window, menu and dialog once at start-up, the dialogs hidden.
void GRAPHICS_SETUP();
// Returns the main window to its idle look when a fit mode ends.
void END_GRAPHICS();

// False, after the box "No reflection loaded", while no reflection has been read into REFLN
// (an empty data set): the fit modes and the plot check it before they use the current one.
bool CURRENT_REFLECTION_VALID();
// The current local date and time as 24 characters ("Thu Dec  4 09:05:01 2026"), as the
// configuration file, the log banners and the experiment file write it.
std::string FDATE();
