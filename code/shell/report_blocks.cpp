// Report blocks shared by the log and the experiment file. Every record is empty or starts
// with a blank, so on the carriage-control log each shows one column further left.
#include <string>
#include <string_view>

#include "include/shared.h"
#include "include/shell_services.h"
#include "runtime/format.h"
#include "runtime/units.h"

namespace {

// text padded with blanks (or cut) to width columns.
std::string pad(std::string_view text, std::size_t width) {
    std::string s(text.substr(0, width));
    s.resize(width, ' ');
    return s;
}

std::string count_line(std::string_view label, std::size_t label_width, int count) {
    return std::string(8, ' ') + pad(label, label_width) + rt::fmt_write("(I5)", count);
}

void put(int unit, const std::string& rec) {
    const int ios = rt::unit_write_record(unit, rec);
    if (ios != rt::IOS_OK) rt::io_fatal_unit(unit, ios);
}

}  // namespace

// Input classification summary: how the reflections of the loaded data set are classified by
// scan code. A data set with normal (N) reflections carries no classes and gets the short form.
void WRITE_INPUT(int unit) {
    const TOTALS_t& t = TOTALS;
    long long sum = 0;
    for (int k = 1; k <= 7; ++k) sum += t.INUM(k);
    const int total = sum > 2147483647LL ? 2147483647 : (sum < -2147483647LL ? -2147483647 : int(sum));

    put(unit, "");
    put(unit, "");
    put(unit, "       REFLECTIONS AS CLASSIFIED IN INPUT FILE: " + FILEINFO.IN_NAME.str());
    if (t.INUM(7) != 0) {
        put(unit, count_line("NORMAL REFLECTIONS:", 29, t.INUM(7)));
        put(unit, count_line("STANDARDS:", 29, t.INUM(6)));
        put(unit, "");
        put(unit, count_line("TOTAL NUMBER OF REFLECTIONS:", 29, total));
        return;
    }
    static const char* const LABELS[6] = {
        "WEAK REFLECTIONS NOT RESCANNED:", "WEAK REFLECTIONS RESCANNED, MIN SPEED:",
        "NORMAL REFLECTIONS RESCANNED:",   "STRONG REFLECTIONS NOT RESCANNED:",
        "FILTERED REFLECTIONS:",           "STANDARDS:",
    };
    for (int k = 1; k <= 6; ++k) put(unit, count_line(LABELS[k - 1], 40, t.INUM(k)));
    put(unit, "");
    put(unit, count_line("TOTAL NUMBER OF REFLECTIONS:", 40, total));
}
