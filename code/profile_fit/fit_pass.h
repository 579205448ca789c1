// What the fit passes (automatic, manual, preprocessing) share: the main window's controls, the
// fitting dialog's edits, the outcome counters, the searches typed in the main window and the
// summary heading of the log.
#pragma once

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

// A search reading mode 1 or 2 of the standard data file; a reflection not found (the reader has
// said so) brings back the one on display before. Returns the read status.
int search(int mode, int number, const rt::FArray<int, 3>& hkl);

// The h k l typed in the main window over the last search's: false when the text is not numbers
// (indices unchanged); a text with fewer than three numbers leaves the rest as they were.
bool typed_hkl(rt::FArray<int, 3>& indices);

// The sequence number typed in the main window, as a 32-bit real truncated toward zero. A number beyond the range
// of sequence numbers (or not a number) is 0, which finds nothing.
int typed_sequence_number();

}  // namespace fitpass
