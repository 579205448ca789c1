// Report blocks shared by the log and the experiment file. Every record is empty or starts
// with a blank, so on the carriage-control log each shows one column further left.
#include <string>
#include <string_view>

#include "include/shared.h"
#include "runtime/farray.h"
#include "include/shell_services.h"
#include "runtime/format.h"
#include "runtime/units.h"
#include "shell/report_records.h"

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

void put(int unit, const std::string& rec) { put_record(unit, rec); }

}  // namespace

// Input classification summary: how the reflections of the loaded data set are classified by
// scan code. A data set of unclassified normal (N) reflections and standards gets the short
// form; one with classified scans the class lines, and one mixing both the class lines with the
// normal reflections among them, so that the lines always add up to the total.
void WRITE_INPUT(int unit) {
    const TOTALS_t& t = TOTALS;
    long long sum = 0;
    for (int k = 1; k <= 7; ++k) sum += t.INUM(k);
    const int total = sum > 2147483647LL ? 2147483647 : (sum < -2147483647LL ? -2147483647 : int(sum));
    bool classified = false;
    for (int k = 1; k <= 5; ++k) classified = classified || t.INUM(k) != 0;

    put(unit, "");
    put(unit, "");
    put(unit, "       REFLECTIONS AS CLASSIFIED IN INPUT FILE: " + FILEINFO.IN_NAME.str());
    if (t.INUM(7) != 0 && !classified) {
        put(unit, count_line("NORMAL REFLECTIONS:", 29, t.INUM(7)));
        put(unit, count_line("STANDARDS:", 29, t.INUM(6)));
        put(unit, "");
        put(unit, count_line("TOTAL NUMBER OF REFLECTIONS:", 29, total));
        return;
    }
    static const char* const LABELS[5] = {
        "WEAK REFLECTIONS NOT RESCANNED:", "WEAK REFLECTIONS RESCANNED, MIN SPEED:",
        "NORMAL REFLECTIONS RESCANNED:",   "STRONG REFLECTIONS NOT RESCANNED:",
        "FILTERED REFLECTIONS:",
    };
    for (int k = 1; k <= 5; ++k) put(unit, count_line(LABELS[k - 1], 40, t.INUM(k)));
    if (t.INUM(7) != 0) put(unit, count_line("NORMAL REFLECTIONS:", 40, t.INUM(7)));
    put(unit, count_line("STANDARDS:", 40, t.INUM(6)));
    put(unit, "");
    put(unit, count_line("TOTAL NUMBER OF REFLECTIONS:", 40, total));
}

namespace {

// Treatment of each profile parameter in a fit, in the order of PARNAME.
void fit_labels(rt::FArray<std::string, 6>& label) {
    const FITPAR_t& p = FITPAR;
    for (int i = 1; i <= 6; ++i) label(i) = "REFINED";
    if (p.IREF(1) == 0) {
        const int type = FIXEDBG.IBGTYPE;
        if (p.IDEF(1) == 1 && type == 1)
            label(1) = "FIXED TO AVERAGE VALUE FOR 2THETA";
        else if (p.IDEF(1) == 1 && type == 2)
            label(1) = "FIXED AT " + rt::fmt_write("(F4.2)", p.PKVALS(1, 1)) + "EXP(-" +
                       rt::fmt_write("(F4.2)", p.PKVALS(1, 2)) + "*TTH) + " + rt::fmt_write("(F4.2)", p.PKVALS(1, 3));
        else if (p.IDEF(1) == 1 && type == 3)
            label(1) = "FIXED TO AVERAGE OF " + rt::fmt_write("(I3)", FIXEDBG.NSTEP_BG) + " END STEPS";
        else  // no model, a model number outside 0..3, or a start value not from the default rule
            label(1) = "FIXED TO AVERAGE OF END STEPS";
    }
    if (p.IREF(2) == 0) {
        if (p.IDEF(2) == 1)
            label(2) = "FIXED AT " + rt::fmt_write("(F5.3)", p.PKVALS(2, 1)) + "+" +
                       rt::fmt_write("(F5.3)", p.PKVALS(2, 2)) + "TAN(THETA)";
        else
            label(2) = "FIXED AT VALUE DETERMINED FROM PROFILE";
    }
    if (p.IREF(3) == 0) label(3) = "FIXED";
    if (p.IDEF(4) == 1 && p.IREF(4) == 1)
        label(4) = "REFINED, BUT FIXED FROM UB IF FAIL ON PASS 1";
    else if (p.IDEF(4) == 1)
        label(4) = "FIXED TO POSITION CALCULATED FROM UB";
    else if (p.IREF(4) == 0)
        label(4) = "FIXED AT PEAK MAXIMUM";
    if (p.IREF(5) == 0) label(5) = "FIXED AT " + rt::fmt_write("(F4.2)", p.VALS(5));
    if (p.IREF(6) == 0) label(6) = "FIXED AT " + rt::fmt_write("(F4.2)", p.VALS(6));
}

int clamp_int(long long v) {
    return v > 2147483647LL ? 2147483647 : (v < -2147483647LL ? -2147483647 : int(v));
}

}  // namespace

// Fit summary: how each profile parameter was treated, the cell and orientation matrix when one
// is defined, the counts of the fit outcomes and where the reflections went.
void WRITE_FIT_SUMMARY(int unit) {
    static const char* const OUTCOMES[11] = {
        "PASSED",
        "ERROR IN LEAST SQUARES",
        "NO CONVERGENCE IN LEAST-SQUARES",
        "DATA ERROR",
        "BACKGROUND OUT OF BOUNDS",
        "INTENSITY REFINED < 0",
        "POSITION OUT OF RANGE",
        "WIDTH OUT OF RANGE",
        "ALPHA1/2 RATIO OUT OF RANGE",
        "RWP EXCEEDS SET LIMIT",
        "ETA PARAMETER OUT OF RANGE",
    };
    const std::string in8(8, ' ');
    const std::string in11(11, ' ');
    rt::FArray<std::string, 6> label;
    fit_labels(label);

    put(unit, "");
    put(unit, in8 + "PROFILE PARAMETER REFINEMENT SETTINGS:");
    put(unit, "");
    for (int i = 1; i <= 6; ++i)
        put(unit, in8 + std::string(FITPAR.PARNAME(i).view()) + " " + pad(label(i), 50));
    if (UNITCELL.UBOK == 1) {
        const UNITCELL_t& u = UNITCELL;
        put(unit, "");
        put(unit, in8 + "CELL  " + rt::fmt_write("(7F10.4)", u.CELL));
        for (int i = 1; i <= 3; ++i)
            put(unit, in8 + "UB    " + rt::fmt_write("(3F10.6)", u.UB(i, 1), u.UB(i, 2), u.UB(i, 3)));
    }
    put(unit, "");
    put(unit, in8 + "REFLECTIONS AS CLASSIFIED BY INTEGRATION");
    put(unit, in8 + "FILE: " + FILEINFO.IN_NAME.str());
    put(unit, "");
    for (int k = 1; k <= 11; ++k) put(unit, count_line(OUTCOMES[k - 1], 31, TOTALS.IC(k)));
    put(unit, "");
    put(unit, in8 + (FITOPT.SKIP_WEAK == 1 ? "WEAK REFLECTIONS EXCLUDED FROM THESE TOTALS"
                                           : "WEAK REFLECTIONS INCLUDED IN THESE TOTALS"));
    put(unit, "");
    put(unit, in11 + rt::fmt_write("(I5)", TOTALS.NPASS2) + " REFLECTIONS REFITTED, " +
                  rt::fmt_write("(I5)", TOTALS.NPASS2OK) + " RECOVERED");
    put(unit, in11 + rt::fmt_write("(I5)", clamp_int(static_cast<long long>(TOTALS.IC(1)) + TOTALS.NPASS2OK)) +
                  " TOTAL REFLECTIONS PASSED");
    if (FILEINFO.OUTOPEN == 1) {
        put(unit, "");
        put(unit, in11 + "THESE REFLECTIONS WRITTEN TO: " + FILEINFO.OUT_NAME.str());
    }
    put(unit, "");
    put(unit, " " + std::string(60, '*'));
    put(unit, "");
    put(unit, "");
}
