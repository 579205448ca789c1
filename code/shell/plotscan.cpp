// The scan plot: observed counts (black), the fitted alpha1 and alpha2 components (orange), the
// total fitted profile (green), blue markers at the fitted peak and at the alpha2 position,
// "STANDARD" for a standard reflection and the largest count (red); and the indices, sequence
// number and setting angles of the reflection in the main window's fields.
//
// World coordinates of the plot frame (0..300 by 0..200 at creation): x 0 is the first step of
// the scan, which fills the frame's width; zero counts lie at YBASE and the larger of the
// observed and the calculated maximum at YMAX. Angles are degrees of omega.
#include "shell/plotscan.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string_view>

#include "gui_toolkit/frames.h"
#include "gui_toolkit/menu_f90.h"
#include "include/profile_fit.h"
#include "include/shared.h"
#include "include/shell_services.h"
#include "include/toolkit_services.h"

namespace {

constexpr float DEG = 57.295776f;  // degrees per radian of this plot

// Palette colours of the plot.
constexpr int BLACK = 1, RED = 2, ORANGE = 3, GREEN = 5, BLUE = 7;

ScanArray WORK;  // a computed component, one value per step

// v right-justified in the width characters at field; asterisks when it does not fit.
void put_int(char* field, int width, long long v) {
    char buf[32];
    const int len = std::snprintf(buf, sizeof buf, "%lld", v);
    for (int k = 0; k < width; ++k) field[k] = len > width ? '*' : ' ';
    if (len <= width)
        for (int k = 0; k < len; ++k) field[width - len + k] = buf[k];
}

// A count truncated to an integer in 8 columns ("********" when it has no such value).
void put_count(char* field, float count) {
    if (!(std::fabs(count) < 1.0e9f)) {
        for (int k = 0; k < 8; ++k) field[k] = '*';
        return;
    }
    put_int(field, 8, static_cast<long long>(count));
}

float within(float v, float lo, float hi) {
    if (v < lo) return lo;
    if (v > hi) return hi;
    return v;
}

// The main-window fields of the reflection: "HKL = " as three 3-column integers, "ISEQ = " and
// the four angles 2theta, omega, chi, phi.
void show_reflection_fields() {
    const REFLN_t& r = REFLN;
    char hkl[9];
    for (int i = 1; i <= 3; ++i) put_int(hkl + 3 * (i - 1), 3, r.IH(i));
    gmSetTextSetting(GRAPHICS.IWID(1, 5), std::string_view(hkl, 9));
    gmSetValueSetting(GRAPHICS.IWID(1, 7), double(r.ISEQ));  // the exact number, beyond 2^24 too
    for (int k = 1; k <= 4; ++k) gmSetValueSetting(GRAPHICS.IWID(1, 12 + k), r.ANGL(k));
}

}  // namespace

void PLOT_START() {
    PLOTFRAME_t& pf = PLOTFRAME;
    FRAACT(GRAPHICS.IFRAME);
    FRACLE(GRAPHICS.IFRAME);
    FRAENQ(GRAPHICS.IFRAME, pf.XMIN, pf.YMIN, pf.XMAX, pf.YMAX);
}

namespace {

// Draws the part of the segment that lies in the plot's box, 0 to XMAX across and the base line
// (zero counts) to YMAX up: a curve that dips below zero counts is cut at the base line instead
// of running over the texts under the plot. Clipped by the parameter of the segment (Liang and
// Barsky); a segment with a coordinate that is not finite is left out.
void box_segment(float x0, float y0, float x1, float y1) {
    const PLOTFRAME_t& pf = PLOTFRAME;
    const float dx = x1 - x0, dy = y1 - y0;
    float t0 = 0.0f, t1 = 1.0f;
    // p * t <= q for each of the four edges.
    const float p[4] = {-dx, dx, -dy, dy};
    const float q[4] = {x0 - 0.0f, pf.XMAX - x0, y0 - pf.YBASE, pf.YMAX - y0};
    for (int k = 0; k < 4; ++k) {
        if (!std::isfinite(p[k]) || !std::isfinite(q[k])) return;
        if (p[k] == 0.0f) {
            if (q[k] < 0.0f) return;  // parallel to the edge and outside it
            continue;
        }
        const float t = q[k] / p[k];
        if (p[k] < 0.0f) {
            if (t > t1) return;
            t0 = std::max(t0, t);
        } else {
            if (t < t0) return;
            t1 = std::min(t1, t);
        }
    }
    MOVTO2(t0 == 0.0f ? x0 : x0 + t0 * dx, t0 == 0.0f ? y0 : y0 + t0 * dy);
    LINTO2(t1 == 1.0f ? x1 : x0 + t1 * dx, t1 == 1.0f ? y1 : y0 + t1 * dy);
}

}  // namespace

void PLOT_DATA(const ScanArray& x, const ScanArray& y, int n, int colour) {
    const PLOTFRAME_t& pf = PLOTFRAME;
    LINCOL(colour);
    if (n < 2) return;
    if (n > MAXSTEP) n = MAXSTEP;
    float px = 0.0f, py = pf.YBASE + pf.YSCALE * y(1);
    for (int i = 2; i <= n; ++i) {
        const float qx = pf.XSCALE * (x(i) - x(1)), qy = pf.YBASE + pf.YSCALE * y(i);
        box_segment(px, py, qx, qy);
        px = qx;
        py = qy;
    }
}

void CALC_PROFILE(int component, const ScanArray& x, const rt::FArray<float, NPAR>& vals, int dimension, int n,
                  ScanArray& y) {
    const float s = component == 2 ? vals(6) : 1.0f;
    const float position = vals(4), eta = vals(5), fwhm = vals(2);
    if (n > dimension) n = dimension;
    if (n > MAXSTEP) n = MAXSTEP;
    float dpdt = 0.0f, dpdg = 0.0f, dpde = 0.0f;
    for (int i = 1; i <= n; ++i) y(i) = vals(1) + vals(3) * s * PSVOIGT(x(i), position, eta, fwhm, dpdt, dpdg, dpde);
}

// The whole plot, drawn anew. A reflection of fewer than two steps, or one whose scales have no
// finite positive value (no step apart, nothing above zero counts), leaves the frame cleared.
void PLOTSCAN() {
    const REFLN_t& r = REFLN;
    PLOTFRAME_t& pf = PLOTFRAME;
    const int n = r.NSTEP;

    // Scales from the frame bounds held before the frame is refreshed below.
    bool drawable = n >= 2 && n <= MAXSTEP;
    if (drawable) {
        float ymax = r.CMAX;
        for (int i = 1; i <= n; ++i)
            if (r.YC(i) > ymax) ymax = r.YC(i);
        const float ylen = pf.YMAX - pf.YBASE;
        const float yscale = ylen / ymax;
        const float xscale = pf.XMAX / (r.XPOS(n) - r.XPOS(1));
        drawable = ymax > 0.0f && std::isfinite(yscale) && std::isfinite(xscale);
        if (drawable) {
            pf.YLEN = ylen;
            pf.YSCALE = yscale;
            pf.XSCALE = xscale;
        }
    }

    PLOT_START();
    if (!drawable) {
        FLUSHG();
        show_reflection_fields();
        return;
    }

    // Base line at zero counts.
    LINCOL(BLACK);
    MOVTO2(0.0f, pf.YBASE);
    LINTO2(pf.XMAX, pf.YBASE);

    PLOT_DATA(r.XPOS, r.COUNTS, n, BLACK);

    const FITPAR_t& fp = FITPAR;
    CALC_PROFILE(1, r.XPOS, fp.VALS, MAXSTEP, n, WORK);
    PLOT_DATA(r.XPOS, WORK, n, ORANGE);

    // Alpha2 component: the alpha1 position moved by the doublet's separation at this 2theta
    // and by the monochromator shift. A separation without a value (a ratio of the wavelengths
    // that puts the sine beyond 1) leaves it out.
    if (WAVES.WAVE(2) > 0.1f) {
        const float theta = (r.ANGL(1) * 0.5f) / DEG;
        rt::FArray<float, NPAR> vals2 = fp.VALS;
        vals2(4) = fp.VALS(4) + std::asin((WAVES.WAVE(2) / WAVES.WAVE(1)) * std::sin(theta)) * DEG - r.ANGL(1) / 2.0f +
                   r.DOMONO;
        if (std::isfinite(vals2(4))) {
            CALC_PROFILE(2, r.XPOS, vals2, MAXSTEP, n, WORK);
            PLOT_DATA(r.XPOS, WORK, n, ORANGE);
        }
    }

    PLOT_DATA(r.XPOS, r.YC, n, GREEN);

    // Markers, held inside the frame (0 to XMAX): the fitted peak from the top down over 30 % of
    // the plot height, and the alpha2 position measured from it. The frame's right edge XMAX
    // falls just past its last column of pixels, so a marker held there would not be seen: it is
    // drawn in that last column, while the alpha2 offset is still measured from XMAX.
    LINCOL(BLUE);
    const float right = pf.XMAX - gEnqPixelWorldWidth();
    const float x1 = within((fp.VALS(4) - r.XPOS(1)) * pf.XSCALE, 0.0f, pf.XMAX);
    const float ylow = pf.YMAX - 0.3f * pf.YLEN;
    MOVTO2(std::min(x1, right), pf.YMAX);
    LINTO2(std::min(x1, right), ylow);
    if (WAVES.NWAVE == 2) {
        const float x2 = within(x1 + pf.XSCALE * (r.DOMA2 + r.DOMONO), 0.0f, pf.XMAX);
        MOVTO2(std::min(x2, right), ylow);
        LINTO2(std::min(x2, right), pf.YMAX);
    }

    if (r.ISTD > 0) {
        LINCOL(RED);
        CHASIZ(5.0f, 5.0f);
        MOVTO2(pf.XMIN + 5.0f, 0.5f * pf.YBASE);
        CHASTR("STANDARD");
    }

    char text[25];
    constexpr std::string_view label = "Max Counts = ";
    for (int k = 0; k < 25; ++k) text[k] = ' ';
    for (std::size_t k = 0; k < label.size(); ++k) text[k] = label[k];
    put_count(text + label.size(), r.CMAX);
    LINCOL(RED);
    CHASIZ(5.0f, 7.0f);
    MOVTO2(0.6f * pf.XMAX, 0.5f * pf.YBASE);
    CHASTR(std::string_view(text, 25));

    FLUSHG();
    show_reflection_fields();
}
