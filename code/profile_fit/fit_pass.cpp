#include "profile_fit/fit_pass.h"

#include <cmath>
#include <sstream>
#include <string>

#include "include/profile_fit.h"
#include "include/scan_input.h"
#include "include/shared.h"
#include "include/shell_services.h"
#include "include/toolkit_services.h"
#include "runtime/fatal.h"
#include "runtime/format.h"
#include "runtime/ftext.h"
#include "runtime/units.h"

namespace fitpass {

namespace {
// A line the log does not take stays as the log's failure, reported by the log check that
// follows every operation.
void log_put(const std::string& record) { (void)rt::unit_write_record(LOG_UNIT, record); }
}  // namespace

int main_control(int k) { return GRAPHICS.IWID(1, k); }
void set_status(int k, int status) { gmSetWidgetStatus(main_control(k), status); }

void show_fit_settings() {
    WRITE_FIT_PARAMETERS();
    SET_FIT_PARAMETERS();
    WRITE_FIT_PARAMETERS();
}

void grey_dialog_controls() {
    for (int k = 1; k <= 4; ++k) gmSetWidgetStatus(GRAPHICS.IWID(3, k), STATUS_GREYED);
}

void handle_dialog_edit(int icb) {
    if (icb == RESET_DEFAULTS) SET_DEFAULT_PARAMETERS();
    if (icb >= DIALOG_EDIT_FIRST && icb <= DIALOG_EDIT_LAST) {
        READ_FIT_PARAMETERS();
        SET_FIT_PARAMETERS();
    }
}

void clear_outcome_counters() {
    TOTALS_t& t = TOTALS;
    for (int k = 1; k <= 11; ++k) t.IC(k) = 0;
    t.NPASS2 = 0;
    t.NPASS2OK = 0;
}

bool count_outcome() {
    const REFLN_t& r = REFLN;
    TOTALS_t& t = TOTALS;
    if (r.FLAG(2) != 'R') {
        t.IC(1) = t.IC(1) + 1;
        return true;
    }
    int k = 11;
    for (int j = 2; j <= 10; ++j) {
        if (t.F(j) == r.FLAG(3)) {
            k = j;
            break;
        }
    }
    t.IC(k) = t.IC(k) + 1;
    return false;
}

void log_fit_summary(std::string_view heading) {
    if (FILEINFO.LOGOPEN != 1) return;
    log_put("");
    log_put("");
    log_put(" " + std::string(60, '*'));
    log_put(" " + std::string(10, ' ') + std::string(heading));
    WRITE_FIT_SUMMARY(LOG_UNIT);
}

namespace {

// The pass whose summary is still to be written.
bool SUMMARY_DUE = false;
std::string SUMMARY_HEADING;

// Entries the pass under way has written.
int WRITTEN = 0;

// The reflection last written to the integrated data file, and where: the data set, the file
// (as the system names it at the write), the reflection's sequence number, indices and standard
// number, and its place in the working data file.
struct WrittenMark {
    std::string data_set, out_file;
    int iseq = 0, istd = 0;
    rt::FArray<int, 3> ih;
    long position = -1;
} LAST;

bool same_reflection(const WrittenMark& m) {
    const REFLN_t& r = REFLN;
    return m.position >= 0 && m.data_set == FILEINFO.IN_FULLNAME.str() && m.iseq == r.ISEQ && m.istd == r.ISTD &&
           m.ih(1) == r.IH(1) && m.ih(2) == r.IH(2) && m.ih(3) == r.IH(3);
}

// The marks belong to the integrated data file open now and to the data set in use.
bool mark_in_force() {
    return LAST.position >= 0 && FILEINFO.OUTOPEN == 1 && LAST.out_file == rt::unit_file_path(INT_UNIT) &&
           LAST.data_set == FILEINFO.IN_FULLNAME.str();
}

std::string output_name() { return FILEINFO.OUT_NAME.str(); }

std::string reflections(int n) { return std::to_string(n) + (n == 1 ? " reflection" : " reflections"); }

}  // namespace

void pass_begun(std::string_view heading) {
    SUMMARY_DUE = true;
    SUMMARY_HEADING = heading;
}

void pass_summary() {
    if (!SUMMARY_DUE) return;
    SUMMARY_DUE = false;
    log_fit_summary(SUMMARY_HEADING);
}

void pass_dropped() { SUMMARY_DUE = false; }

void count_from_zero() { WRITTEN = 0; }

bool write_entry() {
    const int done = WRITE_INT();
    if (done == INT_WRITE_FAILED) return false;
    if (done == INT_WRITTEN) {
        ++WRITTEN;
        LAST.data_set = FILEINFO.IN_FULLNAME.str();
        LAST.out_file = rt::unit_file_path(INT_UNIT);
        LAST.iseq = REFLN.ISEQ;
        LAST.istd = REFLN.ISTD;
        LAST.ih = REFLN.IH;
        LAST.position = display_position();
    }
    return true;
}

int entries_written() { return WRITTEN; }

bool display_written() { return mark_in_force() && same_reflection(LAST); }

long display_position() { return rt::unit_record_number(FILEINFO.LUNSTD); }

bool may_go_on_from_found(int shown_iseq) {
    if (!mark_in_force()) return true;
    const long found = display_position();
    if (same_reflection(LAST)) return true;  // back on the last one written: the pass goes on after it
    const int iseq = REFLN.ISEQ;
    std::string what;
    if (found < LAST.position) {
        what = "Reflection " + std::to_string(iseq) + " comes before reflection " + std::to_string(LAST.iseq) +
               ", the last one written to " + output_name() + ": going on from it writes the reflections from " +
               std::to_string(iseq) + " to " + std::to_string(LAST.iseq) + " a second time.";
    } else if (iseq != LAST.iseq + 1) {
        what = "Reflection " + std::to_string(iseq) + " comes after reflection " + std::to_string(LAST.iseq) +
               ", the last one written to " + output_name() +
               ": going on from it leaves the reflections between them out of the file.";
    } else {
        return true;  // the next one in file order: nothing is written twice or left out
    }
    what += " Go on from reflection " + std::to_string(iseq) + " (Yes) or stay on reflection " +
            std::to_string(shown_iseq) + " (No)?";
    // Enter presses "No": staying changes nothing in the file.
    return gmDisplayMessageBox(PROGID.PROG_TITLE.view(), what, 1, 4 + MB_DEFAULT_SECOND) == 6;
}

bool report_deleted_output() {
    if (FILEINFO.OUTOPEN != 1 || !rt::unit_file_unlinked(INT_UNIT)) return false;
    const std::string text = "The integrated data file " + output_name() +
                             " was deleted during the pass: every reflection written to it is lost (" +
                             reflections(WRITTEN) + " in this pass). Open another output file.";
    if (FILEINFO.LOGOPEN == 1) {
        log_put("");
        log_put(" " + text);
    }
    GUIERR(PROGID.PROG_TITLE.view(), text);
    CLOSE_OUT();
    return true;
}

std::string end_of_file_text() {
    if (FILEINFO.OUTOPEN != 1) return "End of File: no output file open, no reflections written";
    return "End of File: " + reflections(WRITTEN) + " written to " + output_name();
}

int search(int mode, int number, const rt::FArray<int, 3>& hkl) {
    const int iseq_old = REFLN.ISEQ;
    int status = 0;
    READ_SCAN_STDDATA(FILEINFO.LUNSTD, mode, number, hkl, status);
    if (status == 13) {
        status = 0;
        READ_SCAN_STDDATA(FILEINFO.LUNSTD, STD_BY_NUMBER, iseq_old, hkl, status);
    }
    return status;
}

bool typed_hkl(rt::FArray<int, 3>& indices) {
    rt::FText<20> text;
    gmEnqTextSetting(main_control(5), text);
    // Exactly three whole numbers, separated by blanks or commas.
    std::string t(text.view());
    for (char& c : t)
        if (c == ',' || c == '\t') c = ' ';
    std::istringstream in(t);
    rt::FArray<int, 3> hkl;
    int n = 0;
    bool whole = true;
    for (std::string word; in >> word;) {
        std::size_t i = word[0] == '+' || word[0] == '-' ? 1 : 0;
        if (i == word.size() || word.size() - i > 4 ||
            word.find_first_not_of("0123456789", i) != std::string::npos || ++n > 3) {
            whole = false;
            break;
        }
        hkl(n) = std::stoi(word);
    }
    if (!whole || n != 3) {
        GUIERR(PROGID.PROG_TITLE.view(), "Type h k l as three whole numbers, for example 1 0 -2");
        return false;
    }
    indices = hkl;
    return true;
}

bool typed_sequence_number(int& number) {
    const double typed = gmEnqValueSetting(main_control(7));
    if (!in_range(Quantity::SequenceNumber, typed)) {
        std::string rule = range_rule(Quantity::SequenceNumber);
        rule[0] = 'A';
        GUIERR(PROGID.PROG_TITLE.view(), rule + "; " + shown_number(typed) + " is not taken");
        return false;
    }
    number = static_cast<int>(typed);
    return true;
}

}  // namespace fitpass

// The program ends in the middle of a pass (the exit question answered, a signal, the display
// gone): the log receives the pass's summary, as at its end.
void LOG_PASS_IN_PROGRESS() { fitpass::pass_summary(); }
