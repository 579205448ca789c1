// Unit-cell and metric algebra: direct and reciprocal cells, their metric tensors, the B matrix of
// Busing & Levy (1967), the cell of an orientation matrix, the calculated 2theta of a reflection
// and the idealisation of a reciprocal cell to a crystal system.
// Lengths in Angstrom, reciprocal lengths in reciprocal Angstrom without 2 pi, angles in degrees.
// A result that would not be finite is never written to the shared records.
#include <algorithm>
#include <cmath>

#include "include/DATA.h"
#include "include/FILES.h"
#include "include/UNITCELL.h"
#include "include/geometry.h"
#include "include/toolkit_services.h"
#include "runtime/format.h"

namespace {

// Cosine argument brought back into -1..1 where rounding has pushed it just outside.
float clamp_cos(float c) { return std::clamp(c, -1.0f, 1.0f); }
// sqrt(1 - c^2) without the NaN of a rounding that makes c^2 exceed 1.
float sine_of_cos(float c) { return std::sqrt(std::max(0.0f, 1.0f - c * c)); }

template <int N>
bool all_finite(const rt::FArray<float, N>& a) {
    for (float x : a)
        if (!std::isfinite(x)) return false;
    return true;
}
bool all_finite(const geo::Mat3& m) {
    for (int i = 1; i <= 3; ++i)
        for (int j = 1; j <= 3; ++j)
            if (!std::isfinite(m(i, j))) return false;
    return true;
}

// Metric tensor of a cell given in degree form; the angles go to radians by to_rad(angle).
template <class ToRad>
void metric(const geo::Vec6& cell, geo::Mat3& G, ToRad to_rad) {
    G(1, 1) = cell(1) * cell(1);
    G(2, 2) = cell(2) * cell(2);
    G(3, 3) = cell(3) * cell(3);
    G(1, 2) = cell(1) * cell(2) * std::cos(to_rad(cell(6)));
    G(2, 1) = G(1, 2);
    G(1, 3) = cell(1) * cell(3) * std::cos(to_rad(cell(5)));
    G(3, 1) = G(1, 3);
    G(2, 3) = cell(2) * cell(3) * std::cos(to_rad(cell(4)));
    G(3, 2) = G(2, 3);
}

// Lengths and cosines (cosine form) of the cell whose metric is G.
void cosine_cell(const geo::Mat3& G, geo::Vec6& cell) {
    for (int i = 1; i <= 3; ++i) cell(i) = std::sqrt(G(i, i));
    cell(4) = G(2, 3) / (cell(2) * cell(3));
    cell(5) = G(1, 3) / (cell(1) * cell(3));
    cell(6) = G(1, 2) / (cell(1) * cell(2));
}

// True when a positive determinant is still too small for the metric to describe a lattice: below
// 1e-5 of the product of its diagonal (the largest value a positive definite metric allows).
bool degenerate_metric(const geo::Mat3& G, float det) {
    const double diag = double(G(1, 1)) * G(2, 2) * G(3, 3);
    return !(double(det) > 1.0e-5 * diag);
}

}  // namespace

void column_metric(const geo::Mat3& M, geo::Mat3& G) {
    for (int i = 1; i <= 3; ++i)
        for (int j = 1; j <= 3; ++j) {
            float s = 0.0f;
            for (int k = 1; k <= 3; ++k) s = s + M(k, i) * M(k, j);
            G(i, j) = s;
        }
}

bool cell_of_matrix(const geo::Mat3& M, rt::FArray<float, 7>& cell) {
    geo::Mat3 GSTAR;
    geo::Mat3 G;
    column_metric(M, GSTAR);
    float DET = 0.0f;
    MINV(GSTAR, G, DET, 3);
    if (!(DET > 0.0f) || degenerate_metric(GSTAR, DET) || !all_finite(G)) return false;
    rt::FArray<float, 7> c;
    for (int i = 1; i <= 3; ++i) c(i) = std::sqrt(G(i, i));
    c(4) = 57.2958f * std::acos(clamp_cos(G(2, 3) / (c(2) * c(3))));
    c(5) = 57.2958f * std::acos(clamp_cos(G(1, 3) / (c(1) * c(3))));
    c(6) = 57.2958f * std::acos(clamp_cos(G(1, 2) / (c(1) * c(2))));
    c(7) = 1.0f / std::sqrt(DET);
    if (!all_finite(c)) return false;
    cell = c;
    return true;
}

int recip6(const geo::Vec6& cell, float& volume, geo::Vec6& other, float& other_volume) {
    const float p1 = cell(1), p2 = cell(2), p3 = cell(3);
    const float c1 = cell(4), c2 = cell(5), c3 = cell(6);
    const float rad = 1.0f - c1 * c1 - c2 * c2 - c3 * c3 + 2.0f * c1 * c2 * c3;
    // (V / abc)^2: zero or less when the three angles cannot close, and far above 1e-5 for any
    // real lattice; below that the axes are coplanar within rounding.
    if (!(rad > 1.0e-5f)) return 1;
    const float s1 = std::sqrt(1.0f - c1 * c1);
    const float s2 = std::sqrt(1.0f - c2 * c2);
    const float s3 = std::sqrt(1.0f - c3 * c3);
    const float vol = p1 * p2 * p3 * std::sqrt(rad);
    geo::Vec6 o;
    o(1) = p2 * p3 * s1 / vol;
    o(2) = p3 * p1 * s2 / vol;
    o(3) = p1 * p2 * s3 / vol;
    o(4) = (c2 * c3 - c1) / (s2 * s3);
    o(5) = (c3 * c1 - c2) / (s3 * s1);
    o(6) = (c1 * c2 - c3) / (s1 * s2);
    const float ovol = 1.0f / vol;
    if (!all_finite(o) || !std::isfinite(vol) || !std::isfinite(ovol)) return 1;
    volume = vol;
    other = o;
    other_volume = ovol;
    return 0;
}

void bcalc6(geo::Mat3& B, const geo::Vec6& direct, const geo::Vec6& recip) {
    const float sgs = sine_of_cos(recip(6));
    const float sbs = sine_of_cos(recip(5));
    B(1, 1) = recip(1);
    B(1, 2) = recip(2) * recip(6);
    B(1, 3) = recip(3) * recip(5);
    B(2, 1) = 0.0f;
    B(2, 2) = recip(2) * sgs;
    B(2, 3) = -recip(3) * sbs * direct(4);
    B(3, 1) = 0.0f;
    B(3, 2) = 0.0f;
    B(3, 3) = 1.0f / direct(3);
}

int calcb6(const geo::Vec6& cell, geo::Mat3& B) {
    geo::Mat3 G;
    geo::Vec6 RCELL;
    metric(cell, G, [](float a) { return a / 57.2958f; });
    float DET = 0.0f;
    MINV(G, G, DET, 3);
    geo::Mat3 b;
    bool ok = DET > 0.0f;
    if (ok) {
        cosine_cell(G, RCELL);
        const float sg = sine_of_cos(RCELL(6));
        const float t = (RCELL(4) - RCELL(5) * RCELL(6)) / sg;
        b(1, 1) = RCELL(1);
        b(1, 2) = RCELL(2) * RCELL(6);
        b(1, 3) = RCELL(3) * RCELL(5);
        b(2, 1) = 0.0f;
        b(2, 2) = RCELL(2) * sg;
        b(2, 3) = RCELL(3) * t;
        b(3, 1) = 0.0f;
        b(3, 2) = 0.0f;
        b(3, 3) = RCELL(3) * std::sqrt(std::max(0.0f, 1.0f - RCELL(5) * RCELL(5) - t * t));
        ok = all_finite(b);
    }
    if (!ok) {
        GUIERR(PROGID.PROG_TITLE.trimmed(), " Error in CALCB");
        if (FILEINFO.LOGOPEN == 1)
            rt::write_unit(LOG_UNIT, "(' Error in Cell: Determinant of G = ',F12.3)", DET);
        return 1;
    }
    B = b;
    return 0;
}

int OMTOB() {
    rt::FArray<float, 7> cell;
    if (!cell_of_matrix(UNITCELL.UB, cell)) {
        GUIERR(PROGID.PROG_TITLE.trimmed(), "Invalid Orientation Matrix in OMTOB");
        return 1;
    }
    // CELL and BMAT change together or not at all; CALCB shows its own box when it refuses.
    geo::Vec6 angles;
    for (int i = 1; i <= 6; ++i) angles(i) = cell(i);
    geo::Mat3 b;
    if (calcb6(angles, b) != 0) return 1;
    UNITCELL.CELL = cell;
    UNITCELL.BMAT = b;
    return 0;
}

int RECIP_CELL() {
    geo::Mat3 GSTAR;
    auto& U = UNITCELL;
    for (int i = 1; i <= 3; ++i)
        for (int j = 1; j <= 3; ++j) U.UBT(i, j) = U.UB(j, i);
    column_metric(U.UB, GSTAR);
    geo::Vec6 r;
    for (int i = 1; i <= 3; ++i) r(i) = std::sqrt(GSTAR(i, i));
    r(4) = std::acos(clamp_cos(GSTAR(2, 3) / r(2) / r(3))) * 57.295776f;
    r(5) = std::acos(clamp_cos(GSTAR(1, 3) / r(1) / r(3))) * 57.295776f;
    r(6) = std::acos(clamp_cos(GSTAR(1, 2) / r(1) / r(2))) * 57.295776f;
    if (!all_finite(r)) return 1;
    for (int i = 1; i <= 6; ++i) U.RECELL(i) = r(i);
    return 0;
}

int CELL_TO_RECIP() {
    geo::Mat3 G;
    geo::Mat3 GSTAR;
    geo::Vec6 cell;
    for (int i = 1; i <= 6; ++i) cell(i) = UNITCELL.CELL(i);
    metric(cell, G, [](float a) { return a * 0.017453292f; });
    float DET = 0.0f;
    MINV(G, GSTAR, DET, 3);
    // A cell that gives no positive definite metric has no reciprocal cell: keep the one in force.
    if (!(DET > 0.0f)) return 1;
    geo::Vec6 r;
    for (int i = 1; i <= 3; ++i) r(i) = std::sqrt(GSTAR(i, i));
    r(4) = std::acos(clamp_cos(GSTAR(2, 3) / r(2) / r(3))) / 0.017453292f;
    r(5) = std::acos(clamp_cos(GSTAR(1, 3) / r(1) / r(3))) / 0.017453292f;
    r(6) = std::acos(clamp_cos(GSTAR(1, 2) / r(1) / r(2))) / 0.017453292f;
    if (!all_finite(r)) return 1;
    for (int i = 1; i <= 6; ++i) UNITCELL.RECELL(i) = r(i);
    return 0;
}

float TWOTHETA(const geo::Indices& HKL) {
    geo::Mat3 GSTAR;
    geo::Vec3 HT;
    geo::Vec6 rc;
    for (int i = 1; i <= 6; ++i) rc(i) = UNITCELL.RECELL(i);
    metric(rc, GSTAR, [](float a) { return a * 0.017453292f; });
    const float h1 = float(HKL(1)), h2 = float(HKL(2)), h3 = float(HKL(3));
    for (int i = 1; i <= 3; ++i) HT(i) = GSTAR(i, 1) * h1 + GSTAR(i, 2) * h2 + GSTAR(i, 3) * h3;
    const float q = h1 * HT(1) + h2 * HT(2) + h3 * HT(3);  // 1/d^2
    // No positive 1/d^2 (the indices 0 0 0, or no reciprocal cell yet): the undeviated beam.
    if (!(q > 0.0f)) return 0.0f;
    const float sinth = WAVES.WAVE(1) * std::sqrt(q) * 0.5f;
    if (std::fabs(sinth) <= 1.0f) return 2.0f * std::asin(sinth) * 45.0f / 0.7853982f;
    return 180.0f;
}

void symfixa6(geo::Vec6& cell, int ISYS) {
    if (ISYS < 1 || ISYS > 6) return;
    cell(4) = 0.0f;
    switch (ISYS) {
    case 1:  // monoclinic, b unique
        cell(6) = 0.0f;
        break;
    case 2:  // monoclinic, c unique
        cell(5) = 0.0f;
        break;
    case 3:  // orthorhombic
        cell(5) = 0.0f;
        cell(6) = 0.0f;
        break;
    case 4: {  // tetragonal
        const float ab = std::sqrt(cell(1) * cell(2));
        cell(1) = ab;
        cell(2) = ab;
        cell(5) = 0.0f;
        cell(6) = 0.0f;
        break;
    }
    case 5: {  // hexagonal: gamma* = 60, so gamma = 120
        const float ab = std::sqrt(cell(1) * cell(2));
        cell(1) = ab;
        cell(2) = ab;
        cell(5) = 0.0f;
        cell(6) = 0.5f;
        break;
    }
    case 6: {  // cubic
        const float abc = std::cbrt(cell(1) * cell(2) * cell(3));
        cell(1) = abc;
        cell(2) = abc;
        cell(3) = abc;
        cell(5) = 0.0f;
        cell(6) = 0.0f;
        break;
    }
    }
}

int PARAMS(int ISYS) {
    geo::Mat3 XTX;
    auto& W = VECLSQ;
    column_metric(W.X, XTX);
    geo::Vec6 a2;
    cosine_cell(XTX, a2);
    if (!all_finite(a2)) return 1;
    symfixa6(a2, ISYS);
    geo::Vec6 a1;
    float rvol = 0.0f, vol = 0.0f;
    if (recip6(a2, rvol, a1, vol) != 0) return 1;
    rt::FArray<float, 3> ang;
    for (int i = 1; i <= 3; ++i) {
        const float c = a1(3 + i);
        if (std::fabs(c) < 1.1754944e-38f)
            ang(i) = 90.0f;
        else if (std::fabs(c + 0.5f) < 1.1754944e-38f)
            ang(i) = 120.0f;
        else
            ang(i) = 57.2958f * std::atan2(sine_of_cos(c), c);
    }
    W.A2 = a2;
    for (int i = 1; i <= 6; ++i) W.A1(i) = a1(i);
    for (int i = 1; i <= 3; ++i) W.A1(6 + i) = ang(i);
    W.RVOL = rvol;
    W.VOL = vol;
    return 0;
}
