#include "profile_fit/fit_pass.h"

#include <cmath>
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
    rt::FArray<int, 3> hkl = indices;
    const int ios = rt::list_read(text.view(), hkl(1), hkl(2), hkl(3));
    if (ios != rt::IOS_OK && ios != rt::IOS_END) return false;
    indices = hkl;
    return true;
}

int typed_sequence_number() {
    const double typed = gmEnqValueSetting(main_control(7));
    int number = 0;
    // Taken as a 32-bit real, as every value entry of the passes, then truncated toward zero.
    if (std::isfinite(typed) && std::fabs(typed) < 1.0e9) number = static_cast<int>(static_cast<float>(typed));
    return number;
}

}  // namespace fitpass
