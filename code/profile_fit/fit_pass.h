// What the fit passes (automatic, manual, preprocessing) share: the main window's controls, the
// fitting dialog's edits, the outcome counters, the searches typed in the main window and the
// summary heading of the log.
#pragma once

#include <string>
#include <string_view>

#include "runtime/farray.h"

namespace fitpass {

// Callback numbers every pass handles.
constexpr int EXIT_REQUEST = -1;
constexpr int EXIT = 101;
constexpr int START = 118;
constexpr int STOP = 119;
constexpr int SEARCH_HKL = 106;  // "Go" of the h k l entry
constexpr int SEARCH_SEQ = 108;  // "Go" of the sequence-number entry
constexpr int RESET_DEFAULTS = 429;
constexpr int DIALOG_EDIT_FIRST = 431;
constexpr int DIALOG_EDIT_LAST = 499;

constexpr int INT_UNIT = 2;  // the integrated data file
constexpr int TICK = 990;

// Control k of the main window, and its status.
int main_control(int k);
void set_status(int k, int status);

// The start of a pass: the fitting dialog shows the settings for the reflection on display, and
// the four menu-bar titles IWID(3, 1..4) are greyed.
void show_fit_settings();
void grey_dialog_controls();

// "Reset defaults" and the edits of the fitting dialog; other callbacks do nothing.
void handle_dialog_edit(int icb);

// All outcome counters to zero.
void clear_outcome_counters();

// Counts the outcome of the fit just made in IC (1 accepted, k the reject letter F(k), 11 any
// letter not in the table). Returns true for an accepted fit.
bool count_outcome();

// The log's heading of the fit summary, then the summary (nothing when no log is open). Records
// of the log begin with their carriage-control column.
void log_fit_summary(std::string_view heading);

// The pass under way whose summary the log receives when it ends: from pass_begun() to
// pass_summary(), which writes the heading and the fit summary once (also when the program ends
// in the middle of the pass). A pass abandoned without a summary calls pass_dropped().
void pass_begun(std::string_view heading);
void pass_summary();
void pass_dropped();
// Held by a pass routine: however it is left (an end of the program unwinds through it), no
// summary stays due after it.
struct PassUnderWay {
    PassUnderWay() = default;
    PassUnderWay(const PassUnderWay&) = delete;
    PassUnderWay& operator=(const PassUnderWay&) = delete;
    ~PassUnderWay() { pass_dropped(); }
};

// What a pass writes to the integrated data file. write_entry() writes the reflection on display
// (WRITE_INT), counts it and remembers it as written; false when the write failed (WRITE_INT has
// said so and closed the file): the pass stops. entries_written() counts the entries of this
// pass, from count_from_zero().
void count_from_zero();
bool write_entry();
int entries_written();
// True when the reflection on display is the last one written to the integrated data file open
// now (by this pass or an earlier one).
bool display_written();
// Where the reflection on display stands in the working data file, in file order.
long display_position();
// A search has put another reflection on display while a pass could go on from there: when
// reflections of the file open now would be written again (the found one lies at or before the
// last one written) or left out (it lies beyond the next one to write), the user is told which and
// chooses. True to go on from the found reflection; false to stay (the caller brings the previous
// one back). `shown_iseq` is the sequence number of the reflection on display before the search.
bool may_go_on_from_found(int shown_iseq);
// After a pass: an integrated data file deleted while the pass wrote to it is named in a box and
// the log, then closed (nothing written there can be kept). True when that happened.
bool report_deleted_output();
// The text of the end-of-pass notice: "End of File", how many reflections the pass wrote and to
// which file.
std::string end_of_file_text();

// A search reading mode 1 or 2 of the standard data file; a reflection not found (the reader has
// said so) brings back the one on display before. Returns the read status.
int search(int mode, int number, const rt::FArray<int, 3>& hkl);

// The h k l typed in the main window: true with indices set when the text is three whole
// numbers; otherwise a box says what to type and the indices stay as they were.
bool typed_hkl(rt::FArray<int, 3>& indices);

// The sequence number typed in the main window: true with number set when it is a whole number
// in range; otherwise a box says what is allowed.
bool typed_sequence_number(int& number);

}  // namespace fitpass
