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
