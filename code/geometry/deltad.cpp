// Utilities, "Delta-d/d": checks the cell against the fitted peak positions. For every row of the
// fitted-reflection table the d-spacing of the observed 2theta is compared with the one that the
// reciprocal cell gives for the row's indices, as d_obs/d_calc - 1; the values go to the log with
// their minimum, maximum and average and are plotted against |2theta| in the plot frame of the
// master window. Angles in degrees (converted with 0.017453292), d in the unit of WAVE(1).
#include <cmath>
#include <cstdio>
#include <string>
#include <string_view>

#include "include/FILES.h"
#include "include/FITVALS.h"
#include "include/GRAPHICS.h"
#include "include/geometry.h"
#include "include/shared.h"
#include "include/shell_services.h"
#include "include/toolkit_services.h"
#include "runtime/farray.h"
#include "runtime/format.h"
#include "runtime/ftext.h"

namespace {

// d-spacing of a 2theta in degrees.
float d_spacing(float two_theta) {
    return WAVES.WAVE(1) / std::fabs(2.0f * std::sin(two_theta * 0.017453292f * 0.5f));
}

// An end of the delta-d/d axis rounded away from zero to its first significant digit plus one
// unit of that digit: 0.00234 -> 0.003, -0.0051 -> -0.006, 1.0 -> 1.1, 2.5 -> 3. An end of 0
// stays 0 (it has no first significant digit).
float axis_end(float end) {
    if (end == 0.0f) return 0.0f;
    float v = std::fabs(end), s = 1.0f;
    while (v <= 1.0f) {
        v = 10.0f * v;
        s = 10.0f * s;
    }
    const float magnitude = (std::trunc(v) + 1.0f) / s;
    return end > 0.0f ? magnitude : -magnitude;
}

// A number label, written by its edit descriptor into 25 characters and drawn whole.
void label(std::string_view fmt, float value) {
    const rt::FText<25> text(rt::fmt_write(fmt, value));
    CHASTR(text.view());
}

// The five y labels in F8.5 can be told apart: no two read the same and none but a true zero
// reads as zero. A cell that fits to a few parts in a million gives labels that cannot.
bool fixed_labels_readable(const float (&ys)[5]) {
    std::string texts[5];
    for (int i = 0; i < 5; ++i) {
        texts[i] = rt::fmt_write("(F8.5)", ys[i]);
        const std::string_view t = texts[i];
        if (ys[i] != 0.0f && t.find_first_of("123456789") == std::string_view::npos) return false;
        for (int k = 0; k < i; ++k)
            if (texts[k] == texts[i]) return false;
    }
    return true;
}

// A y label: F8.5 as a rule, E form with three digits (1.25E-05) when F8.5 cannot tell the
// labels apart.
void y_label(float value, bool e_form) {
    if (!e_form) {
        label("(F8.5)", value);
        return;
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.2E", double(value));
    const rt::FText<25> shown{std::string(text)};
    CHASTR(shown.view());
}

}  // namespace

void RUN_DELTAD() {
    rt::FArray<float, MAXFIT> X, Y;
    const bool logging = FILEINFO.LOGOPEN == 1;
    if (logging) {
        LOG_WRITE("(/ / '***** OUTPUT FROM DELTA-D/D CALCULATION' / / '      CELL USED FOR D-CALC: ' 3F10.5 3F9.4 "
                  "F10.4)",
                  UNITCELL.CELL);
        LOG_WRITE("(/ / '    RESULTS OF DELTA-D/D CALCULATION' / "
                  "'   H   K   L  2TH(OBS) 2TH(cal)  DOBS      DCALC    DELTAD/D')");
    }

    const int n = FITVALS.NFIT < 0 ? 0 : (FITVALS.NFIT > MAXFIT ? MAXFIT : FITVALS.NFIT);
    float smallest = 1000.0f, largest = -1000.0f, sum = 0.0f;
    geo::Indices hkl;
    for (int i = 1; i <= n; ++i) {
        const float tth = FITVALS.ANGLESFIT(i, 1);
        const float dobs = d_spacing(tth);
        for (int k = 1; k <= 3; ++k) hkl(k) = FITVALS.IHFIT(i, k);
        const float tthcalc = TWOTHETA(hkl);
        const float dcalc = d_spacing(tthcalc);
        Y(i) = dobs / dcalc - 1.0f;
        X(i) = std::fabs(tth);
        if (logging) {
            if (Y(i) < smallest) smallest = Y(i);
            if (Y(i) > largest) largest = Y(i);
            sum = sum + Y(i);
            LOG_WRITE("(3I4 2F9.4 2F10.5 F10.6)", hkl, tth, tthcalc, dobs, dcalc, Y(i));
        }
    }
    // Statistics of no rows at all would be the start values and an average of 0/0: an empty
    // table leaves the log with its headings only.
    if (logging && n > 0)
        LOG_WRITE("(/ '   MINIMUM VALUE OF DELTA-D/D = ' F10.6 / '   MAXIMUM VALUE OF DELTA-D/D = ' F10.6 / "
                  "'   AVERAGE VALUE OF DELTA-D/D = ' F10.6 / /)",
                  smallest, largest, sum / float(n));

    PLOTDATASET(X, Y, MAXFIT, n);
}

// The plot works in the world coordinates of the plot frame: the base line at YBASE is the low end
// of the delta-d/d axis, the frame's width spans the 2theta axis in steps of 10 degrees. A pair
// that is not finite has no place on the plot: it neither sets the axes nor is drawn.
void PLOTDATASET(const float* x, const float* y, int ndim, int n) {
    if (n > ndim) n = ndim;
    if (n < 0) n = 0;
    const auto finite = [&](int i) { return std::isfinite(x[i]) && std::isfinite(y[i]); };

    // 1. Extremes.
    float xlow = 180.0f, xhigh = 0.0f, yhigh = -100000.0f, ylow = 9999999.0f;
    int shown = 0;
    for (int i = 0; i < n; ++i) {
        if (!finite(i)) continue;
        ++shown;
        if (x[i] < xlow) xlow = x[i];
        if (x[i] > xhigh) xhigh = x[i];
        if (y[i] < ylow) ylow = y[i];
        if (y[i] > yhigh) yhigh = y[i];
    }
    // Nothing to show: the frame is cleared and keeps its scales.
    if (shown == 0) {
        PLOT_START();
        FLUSHG();
        return;
    }

    // 2. The 2theta axis in whole tens of degrees, one tick every 10 degrees.
    xlow = 10.0f * std::trunc(xlow / 10.0f);
    xhigh = 10.0f * (std::trunc(xhigh / 10.0f) + 1.0f);
    const float intervals = std::trunc(std::round((xhigh - xlow) / 10.0f));
    const int m = intervals < 1.0f ? 2 : (intervals > 999.0f ? 1000 : int(intervals) + 1);
    const float step = (xhigh - xlow) / float(m - 1);

    // 3. The delta-d/d axis. Ends that round to the same value (one reflection, or values sharing
    // their first digit) would give no height: the end nearer zero then moves to zero, and an axis
    // of nothing but zeros spans -0.001 to 0.001.
    yhigh = axis_end(yhigh);
    ylow = axis_end(ylow);
    if (!(yhigh > ylow)) {
        if (ylow > 0.0f)
            ylow = 0.0f;
        else if (yhigh < 0.0f)
            yhigh = 0.0f;
        else {
            ylow = -0.001f;
            yhigh = 0.001f;
        }
    }

    // 4. Scales from the frame bounds as they stand.
    PLOTFRAME_t& pf = PLOTFRAME;
    pf.YLEN = pf.YMAX - pf.YBASE;
    pf.YSCALE = pf.YLEN / (yhigh - ylow);
    pf.XSCALE = (pf.XMAX - pf.XMIN) / (xhigh - xlow);

    // 5. The frame becomes the drawing surface.
    PLOT_START();

    // 6.1, 6.2 Base line and the line of delta-d/d = 0.
    MOVTO2(0.0f, pf.YBASE);
    LINCOL(1);
    LINTO2(pf.XMAX, pf.YBASE);
    const float YZERO = pf.YBASE - pf.YSCALE * ylow;
    MOVTO2(0.0f, YZERO);
    LINTO2(pf.XMAX, YZERO);
    // 6.3 Downward 2theta ticks. The frame's right edge XMAX falls just past its last column of
    // pixels, so the tick at the high end is held in that last column, where it can be seen.
    const float right = pf.XMAX - gEnqPixelWorldWidth();
    for (int j = 1; j <= m; ++j) {
        float xj = float(j - 1) * pf.XMAX / float(m - 1);
        if (xj > right) xj = right;
        LINCOL(1);
        MOVTO2(xj, pf.YBASE);
        LINTO2(xj, 0.9f * pf.YBASE);
    }
    // 6.4 - 6.8 The 2theta caption and labels.
    LINCOL(1);
    CHASIZ(5.0f, 7.0f);
    MOVTO2(0.45f * pf.XMAX, 0.2f * pf.YBASE);
    CHASTR("2THETA: DEG");
    MOVTO2(0.0f, 0.5f * pf.YBASE);
    label("(F5.2)", xlow);
    MOVTO2(0.89f * pf.XMAX, 0.5f * pf.YBASE);
    label("(F5.2)", xhigh);
    for (int j = 1; j <= m - 2; ++j) {
        MOVTO2(float(j) * pf.XMAX / float(m - 1) - 0.02f * pf.XMAX, 0.5f * pf.YBASE);
        label("(F5.2)", xlow + float(j) * step);
    }
    // 6.9, 6.10 Delta-d/d ticks and labels at quarters of the axis, the top end without a tick.
    float ys[5];
    for (int j = 1; j <= 4; ++j) ys[j - 1] = ylow + float(j - 1) * (yhigh - ylow) / 4.0f;
    ys[4] = yhigh;
    const bool e_form = !fixed_labels_readable(ys);
    for (int j = 1; j <= 4; ++j) {
        const float p = pf.YBASE + pf.YSCALE * (ys[j - 1] - ylow);
        MOVTO2(0.0f, p);
        LINTO2(0.05f * pf.XMAX, p);
        MOVTO2(0.0f, p + 0.01f * pf.YLEN);
        y_label(ys[j - 1], e_form);
    }
    MOVTO2(0.0f, pf.YBASE + 0.96f * pf.YLEN);
    y_label(yhigh, e_form);

    // 6.11, 6.12 The values as filled squares; one above the top is held just below it, one on or
    // below the base line, or at the left edge, is not drawn.
    LINCOL(2);
    CHASIZ(7.0f, 10.0f);
    const float top = pf.YBASE + pf.YLEN;
    for (int i = 0; i < n; ++i) {
        if (!finite(i)) continue;
        const float px = pf.XSCALE * (x[i] - xlow);
        float py = pf.YBASE + pf.YSCALE * (y[i] - ylow);
        if (py > top) py = top - 1.0f;
        if (py > pf.YBASE && px > 1.0f) RFILL(0, 0, px - 1.0f, py - 1.0f, px + 1.0f, py + 1.0f);
    }

    // 6.13, 6.14 Caption, then onto the screen.
    LINCOL(4);
    MOVTO2(0.35f * pf.XMAX, 1.2f * pf.YBASE);
    CHASTR("DELTA-D/D PLOT");
    FLUSHG();
}
