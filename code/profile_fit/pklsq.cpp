// The peak-profile model of one reflection scan and its fit.
//
// Model: y(x) = B + I [PV(x; x0, eta, G) + R PV(x; x0 + delta, eta, G)], a constant background
// plus an alpha1/alpha2 doublet of unit-area pseudo-Voigt peaks (Lorentzian and Gaussian of the
// same full width at half maximum G, degrees). delta is the alpha2 offset from the wavelength
// ratio and the monochromator shift. The fit is a damped, weighted Gauss-Newton least squares
// (weights 1 / (counts + 1)); the normal matrix is built and normalised in 64-bit, everything
// else is 32-bit.
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>

#include "include/geometry.h"
#include "include/profile_fit.h"

namespace {

constexpr float kGaussC = 1.6651092f;  // 2 sqrt(ln 2)

inline float masked(float v, std::uint32_t keep) { return std::bit_cast<float>(std::bit_cast<std::uint32_t>(v) & keep); }

// A peak's value and its derivatives by position and by width at one step.
struct Shape {
    float value, by_x0, by_w;
};

// The unit-area Gaussian of full width W at D = X - X0, given t = c D / W and ex = exp(-t^2).
// Beyond six widths it and its derivatives are 0: a mask of all ones or all zeros instead of a
// branch, so that a loop over the steps runs in vectors.
[[gnu::always_inline]] inline Shape gauss_at(float D, float t, float ex, float W) {
    const float c = kGaussC;
    const std::uint32_t keep = std::fabs(D) / W > 6.0f ? 0u : ~0u;
    const float G = 0.9394373f * ex / W;  // 2 sqrt(ln 2 / pi)
    return {masked(G, keep), masked(2.0f * (c * c) * D * G / (W * W), keep),
            masked(G * (2.0f * (t * t) - 1.0f) / W, keep)};
}

// The unit-area Lorentzian of full width W at D = X - X0.
[[gnu::always_inline]] inline Shape lorentz_at(float D, float W) {
    const float k = 0.6366197f;  // 2 / pi
    const float Q = 4.0f * (D * D) + W * W;
    return {k * W / Q, 8.0f * k * W * D / (Q * Q), k * (4.0f * (D * D) - W * W) / (Q * Q)};
}

// The pseudo-Voigt of mixing ETA at one step and its derivatives by position, width and ETA.
struct VoigtStep {
    float value, by_x0, by_w, by_eta;
};
[[gnu::always_inline]] inline VoigtStep voigt_at(float D, float t, float ex, float W, float ETA) {
    const Shape g = gauss_at(D, t, ex, W);
    const Shape l = lorentz_at(D, W);
    return {ETA * l.value + (1.0f - ETA) * g.value, ETA * l.by_x0 + (1.0f - ETA) * g.by_x0,
            ETA * l.by_w + (1.0f - ETA) * g.by_w, l.value - g.value};
}

}  // namespace

float GAUSS(float X, float X0, float W, float& DGDX0, float& DGDW) {
    const float D = X - X0;
    const float t = kGaussC * D / W;
    const Shape g = gauss_at(D, t, std::exp(-(t * t)), W);
    DGDX0 = g.by_x0;
    DGDW = g.by_w;
    return g.value;
}

float LORENTZ(float X, float X0, float W, float& DLDX0, float& DLDW) {
    const Shape l = lorentz_at(X - X0, W);
    DLDX0 = l.by_x0;
    DLDW = l.by_w;
    return l.value;
}

float PSVOIGT(float X, float X0, float ETA, float GAMMA, float& DPDT, float& DPDG, float& DPDE) {
    const float D = X - X0;
    const float t = kGaussC * D / GAMMA;
    const VoigtStep v = voigt_at(D, t, std::exp(-(t * t)), GAMMA, ETA);
    DPDT = v.by_x0;
    DPDG = v.by_w;
    DPDE = v.by_eta;
    return v.value;
}

namespace {

constexpr float RADDEG = 57.29578f;

// Work stores of the fit: fixed size, rewritten before they are read. The per-step stores hold
// one value per step of the scan (structure of arrays, so that the shape evaluation runs across
// the steps).
float Y[MAXSTEP];    // counts + 1
float WT[MAXSTEP];   // weight of each step, 1 / (counts + 1), or 1 where that is not positive
float TT[MAXSTEP];   // the Gaussian's argument t of each step
float EX[MAXSTEP];   // exp(-t^2) of each step
struct Peak {        // one peak of the doublet at every step: value, derivatives by position, width, eta
    float P[MAXSTEP], DT[MAXSTEP], DG[MAXSTEP], DE[MAXSTEP];
};
Peak PK1, PK2;
rt::FArray<float, NPAR> X;
rt::FArray2<double, NPAR, NPAR> A;
rt::FArray<float, NPAR> BB;
rt::FArray<float, NPAR> SAV1;
rt::FArray2<float, NPAR, NPAR> ANEW;
rt::FArray<int, NPAR> NTEMP;
rt::FArray<float, NPAR> BSOL;
rt::FArray<float, NPAR> SIGX;

constexpr int MAXCYC = 200;  // cycles of one fit
constexpr int FIXED_DAMPING_CYCLE = 7;  // the first cycle whose update uses the final damping 0.7

// What the updates of one fit left behind, by cycle c: the refined values after the update
// (HX[c]), and, for the state the cycle started from (HX[c - 1]), each full shift in esds, the
// full shift itself and the esd. From the state after cycle 6 on, every update applies the same
// map (the damping is 0.7 from cycle 7), so a state seen before repeats its whole sequence.
float HX[MAXCYC + 1][NPAR];
float HSHIFT[MAXCYC + 1][NPAR];
float HFULL[MAXCYC + 1][NPAR];
float HSIG[MAXCYC + 1][NPAR];

std::uint32_t bits_of(float v) { return std::bit_cast<std::uint32_t>(v); }

// The spacing of 32-bit floats at the magnitude of v: how finely a value there can be held.
float spacing_at(float v) {
    const float a = std::fabs(v);
    return std::nextafter(a, std::numeric_limits<float>::infinity()) - a;
}

// Whether the full shift of parameter j in cycle c lies within one unit of the last place of the
// value it was computed for: a value its 32-bit form cannot bring closer to the solution.
bool within_last_place(int c, int j) { return std::fabs(HFULL[c][j]) <= spacing_at(HX[c - 1][j]); }

// Whether every refined parameter, over the updates of cycles FIRST + 1 .. LAST, either passed the
// shift test in each (a full shift of at most 0.01 esd), or is held at the resolution of its
// 32-bit value: its value kept its bits or moved only within a few units of its last place, with
// full shifts of at most one esd, or (WITHIN_ULP) of at most one esd or one unit of the last
// place, whichever is larger. A value that an update of damping 0.7 leaves unchanged has a full
// shift below 0.71 units of its last place, so it lies as close to the least-squares solution as
// the value can be held; a strong peak's position some degrees from the omega origin is held to
// about 1E-6 degrees while its esd can be 1E-5, and tens of degrees out one unit of its last place
// can be several esds.
bool passed_or_held(int FIRST, int LAST, int NV, bool WITHIN_ULP) {
    constexpr int HELD_SPACINGS = 4;  // a few units of the last place
    for (int j = 0; j < NV; ++j) {
        float largest_shift = 0.0f;
        bool each_held = true;
        float lo = HX[FIRST][j], hi = HX[FIRST][j];
        for (int c = FIRST + 1; c <= LAST; ++c) {
            largest_shift = std::max(largest_shift, HSHIFT[c][j]);
            each_held = each_held && (HSHIFT[c][j] <= 1.0f || (WITHIN_ULP && within_last_place(c, j)));
            lo = std::min(lo, HX[c][j]);
            hi = std::max(hi, HX[c][j]);
        }
        if (largest_shift <= 0.01f) continue;
        if (!each_held) return false;
        if (!(hi - lo <= float(HELD_SPACINGS) * spacing_at(std::max(std::fabs(lo), std::fabs(hi))))) return false;
    }
    return true;
}

// Of the states HX[c - 1], c = FIRST + 1 .. LAST, the one whose full shifts are smallest in units
// of the last place (the parameters that pass the shift test left aside): the state nearest the
// least-squares solution that 32-bit values can hold. Returns its c.
int nearest_state(int FIRST, int LAST, int NV) {
    int best = LAST;
    float best_units = std::numeric_limits<float>::infinity();
    for (int c = LAST; c > FIRST; --c) {
        float units = 0.0f;
        for (int j = 0; j < NV; ++j)
            if (HSHIFT[c][j] > 0.01f) units = std::max(units, std::fabs(HFULL[c][j]) / spacing_at(HX[c - 1][j]));
        if (units < best_units) {
            best_units = units;
            best = c;
        }
    }
    return best;
}

// A fit that the shift test alone would never end, whose values are nevertheless at the
// least-squares solution as closely as 32-bit values can hold them. NCYC is the cycle just
// completed (its test failed), NV the number of refined parameters. Returns -1 when the fit goes
// on; otherwise the fit has converged, at the state after cycle NCYC (returned as NCYC + 1), or
// at the state HX[c - 1] a cycle c began from (returned as c).
// From the state after cycle 6 on every update applies the same map (damping 0.7), so:
// - values back at a state they held before repeat the same cycles to the limit, and no later
//   cycle can pass the test: converged when the repeating cycles pass or hold every parameter
//   within one esd; and since they would otherwise repeat to the limit, also when each full
//   shift is within one esd or one unit of the last place, at the repeating state nearest the
//   solution;
// - values that never repeat, because a parameter that passes the test wanders in its last bits
//   while another is held by its resolution, are judged over the last HELD_CYCLES updates; at
//   the last cycle allowed, the shifts within one unit of the last place are taken as held too.
int held_at_resolution(int NCYC, int NV) {
    constexpr int HELD_CYCLES = 20;
    if (NCYC < FIXED_DAMPING_CYCLE) return -1;
    int before = -1;  // the latest earlier cycle that left the same state
    for (int c = NCYC - 1; c >= FIXED_DAMPING_CYCLE - 1 && before < 0; --c) {
        bool same = true;
        for (int j = 0; j < NV && same; ++j) same = bits_of(HX[c][j]) == bits_of(HX[NCYC][j]);
        if (same) before = c;
    }
    const int first = NCYC - HELD_CYCLES;
    const bool window = first >= FIXED_DAMPING_CYCLE - 1;
    if (before >= 0 && passed_or_held(before, NCYC, NV, false)) return NCYC + 1;
    if (window && passed_or_held(first, NCYC, NV, false)) return NCYC + 1;
    if (before >= 0 && passed_or_held(before, NCYC, NV, true)) return nearest_state(before, NCYC, NV);
    if (NCYC == MAXCYC && window && passed_or_held(first, NCYC, NV, true)) return nearest_state(first, NCYC, NV);
    return -1;
}

// The pseudo-Voigt peak at X0 at every step x[0..n-1]: PSVOIGT's step (so the same roundings),
// the exponentials taken one by one from the same expf. Only the evaluation order across the
// steps differs.
[[gnu::always_inline]] inline void peak_shapes(const float* x, int n, float X0, float ETA, float W, Peak& out) {
    for (int i = 0; i < n; ++i) TT[i] = kGaussC * (x[i] - X0) / W;
    for (int i = 0; i < n; ++i) EX[i] = std::exp(-(TT[i] * TT[i]));
    for (int i = 0; i < n; ++i) {
        const VoigtStep v = voigt_at(x[i] - X0, TT[i], EX[i], W, ETA);
        out.DT[i] = v.by_x0;
        out.DG[i] = v.by_w;
        out.DE[i] = v.by_eta;
        out.P[i] = v.value;
    }
}

// Sums of one cycle over the steps: the model into YC (offset by 1.0), the normal matrix (each
// product w d(j) d(k) formed in 32-bit and added in 64-bit, all NV x NV of them, as the product
// w d(k) d(j) may round differently), the right-hand side and the weighted residual sum S. Every
// sum adds its terms step by step in the fit's order; the passes below only change which sums
// advance together. NV refined parameters, whose numbers (from 0) stand in idx; a and bb receive
// the sums, a by columns of NV. The one-component model has the second peak's stores at zero.
float TD[NPAR][MAXSTEP];           // the model's derivatives by the six parameters at each step
alignas(32) float WD[MAXSTEP][8];  // w d(j) of the refined parameters at each step, in lanes
float WR[MAXSTEP];                 // w r at each step
float WRR[MAXSTEP];                // w r^2 at each step

// Columns K0.. K0 + 2 of the normal matrix: at each step, the lanes of w d(j) times d(k), every
// product widened and added to its own sum.
template <int NV, int LANES, int K0>
[[gnu::always_inline]] inline void normal_columns(int n, const float* const* d, double* a) {
    constexpr int KN = NV - K0 < 3 ? NV - K0 : 3;
    double acc[KN][LANES] = {};
    for (int i = 0; i < n; ++i) {
        for (int kk = 0; kk < KN; ++kk) {
            const float dk = d[K0 + kk][i];
            for (int l = 0; l < LANES; ++l) acc[kk][l] = acc[kk][l] + double(WD[i][l] * dk);
        }
    }
    for (int kk = 0; kk < KN; ++kk)
        for (int j = 0; j < NV; ++j) a[(K0 + kk) * NV + j] = acc[kk][j];
    if constexpr (K0 + 3 < NV) normal_columns<NV, LANES, K0 + 3>(n, d, a);
}

template <int NV, bool TWO>
[[gnu::always_inline]] inline float accumulate(int n, float B, float AI, float R, float F, const int* idx, float* yc,
                                               double* a, float* bb) {
    for (int i = 0; i < n; ++i) {
        const float P1 = PK1.P[i];
        const float P2 = PK2.P[i];
        const float S1 = TWO ? P1 + R * P2 : P1;
        yc[i] = AI * S1 + B + 1.0f;
        const float r = Y[i] - yc[i];
        const float w = WT[i];
        WR[i] = w * r;
        WRR[i] = w * (r * r);
        TD[0][i] = 1.0f;
        TD[1][i] = AI * (PK1.DG[i] + R * PK2.DG[i]);
        TD[2][i] = S1;
        TD[3][i] = AI * (PK1.DT[i] + R * PK2.DT[i] * F);
        TD[4][i] = AI * (PK1.DE[i] + R * PK2.DE[i]);
        TD[5][i] = AI * P2;
    }
    float S = 0.0f;
    for (int i = 0; i < n; ++i) S = S + WRR[i];
    if constexpr (NV > 0) {
        const float* d[NV];
        for (int j = 0; j < NV; ++j) d[j] = TD[idx[j]];
        for (int j = 0; j < NV; ++j)
            for (int i = 0; i < n; ++i) WD[i][j] = WT[i] * d[j][i];
        float rhs[NV] = {};
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < NV; ++j) rhs[j] = rhs[j] + WR[i] * d[j][i];
        for (int j = 0; j < NV; ++j) bb[j] = rhs[j];
        normal_columns<NV, (NV <= 4 ? 4 : 8), 0>(n, d, a);
    }
    return S;
}

// The loops above compiled twice: for the processors of the x86-64 base and, chosen at run time,
// for those with AVX2 (wider vectors, the same operations, so the same roundings; contraction into
// fused multiply-adds stays off). Other processors have the base loops only.
#if defined(__x86_64__) || defined(__i386__)
#define KV_WIDE [[gnu::target("avx2")]]
#else
#define KV_WIDE
#endif
using Shapes = void (*)(const float*, int, float, float, float, Peak&);
using Sums = float (*)(int, float, float, float, float, const int*, float*, double*, float*);

void shapes_base(const float* x, int n, float X0, float ETA, float W, Peak& out) {
    peak_shapes(x, n, X0, ETA, W, out);
}
KV_WIDE void shapes_avx2(const float* x, int n, float X0, float ETA, float W, Peak& out) {
    peak_shapes(x, n, X0, ETA, W, out);
}
template <int NV, bool TWO>
float sums_base(int n, float B, float AI, float R, float F, const int* idx, float* yc, double* a, float* bb) {
    return accumulate<NV, TWO>(n, B, AI, R, F, idx, yc, a, bb);
}
template <int NV, bool TWO>
KV_WIDE float sums_avx2(int n, float B, float AI, float R, float F, const int* idx, float* yc, double* a,
                        float* bb) {
    return accumulate<NV, TWO>(n, B, AI, R, F, idx, yc, a, bb);
}
template <bool TWO>
constexpr Sums kSumsBase[NPAR + 1] = {sums_base<0, TWO>, sums_base<1, TWO>, sums_base<2, TWO>, sums_base<3, TWO>,
                                      sums_base<4, TWO>, sums_base<5, TWO>, sums_base<6, TWO>};
template <bool TWO>
constexpr Sums kSumsAvx2[NPAR + 1] = {sums_avx2<0, TWO>, sums_avx2<1, TWO>, sums_avx2<2, TWO>, sums_avx2<3, TWO>,
                                      sums_avx2<4, TWO>, sums_avx2<5, TWO>, sums_avx2<6, TWO>};

// KV_FIT_BASE_ISA set in the environment keeps the base loops on any processor, so that a test
// can show both give the same bits.
const bool kAvx2 = [] {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") != 0 && std::getenv("KV_FIT_BASE_ISA") == nullptr;
#else
    return false;
#endif
}();

}  // namespace

void PKLSQ(const rt::FArray<float, MAXSTEP>& XD, const rt::FArray<float, MAXSTEP>& COUNTS, int NDATA,
           const rt::FArray<float, 2>& WAVE, float MONO_SHIFT, float TTH, rt::FArray<float, NPAR>& VALS,
           const rt::FArray<int, NPAR>& IREF, rt::FArray<float, MAXSTEP>& YC,
           rt::FArray<float, NPAR>& SIGVAL, float& RWP, float& CHI2, int& IFLAG) {
    // A scan longer than the work stores is not data this fit can take.
    if (NDATA > MAXSTEP) {
        IFLAG = 3;
        return;
    }
    // The step range is checked once here; the step loops index the stores directly.
    const int n = NDATA > 0 ? NDATA : 0;
    const float* xd = XD.data();
    const float* counts = COUNTS.data();
    float* yc = YC.data();
    for (int i = 0; i < n; ++i) {
        Y[i] = counts[i] + 1.0f;
        yc[i] = 1.0f;
    }

    // One component below an alpha2 wavelength of 0.1 (a NaN counts as two components).
    const bool two = !(WAVE(2) < 0.1f);
    float ratio = 0.0f;
    float delta = 0.0f;
    if (two) {
        ratio = WAVE(2) / WAVE(1);
        if (!ALPHA2_OFFSET(ratio, TTH, RADDEG, delta)) {
            // No alpha2 position exists (2theta near 180 degrees): the model cannot be built.
            IFLAG = 1;
            for (int i = 0; i < n; ++i) yc[i] = 0.0f;
            return;
        }
        delta = delta + MONO_SHIFT;
    } else {
        VALS(6) = 0.0f;
    }

    int NVAR = 0;
    int idx[NPAR] = {};  // numbers (from 0) of the refined parameters, in parameter order
    for (int j = 1; j <= NPAR; ++j) {
        if (IREF(j) == 1) {
            idx[NVAR] = j - 1;
            X(++NVAR) = VALS(j);
        }
    }

    IFLAG = 3;
    if (NVAR >= NDATA) return;
    IFLAG = 0;
    int notconv = 1;
    int ncyc = 0;
    bool closing_due = false;  // held at resolution: the next evaluation is the last

    // The weights and the sum T of w (counts + 1)^2 are the same in every cycle.
    float T = 0.0f;
    for (int i = 0; i < n; ++i) {
        WT[i] = Y[i] > 0.0f ? 1.0f / Y[i] : 1.0f;
        T = T + WT[i] * (Y[i] * Y[i]);
    }
    if (!two) {
        for (int i = 0; i < n; ++i) PK2.P[i] = PK2.DT[i] = PK2.DG[i] = PK2.DE[i] = 0.0f;
    }
    const Shapes shapes = kAvx2 ? shapes_avx2 : shapes_base;
    const Sums sums_of = kAvx2 ? (two ? kSumsAvx2<true>[NVAR] : kSumsAvx2<false>[NVAR])
                               : (two ? kSumsBase<true>[NVAR] : kSumsBase<false>[NVAR]);

    for (;;) {
        ++ncyc;
        float damp = 0.1f * float(ncyc);
        if (damp > 0.7f) damp = 0.7f;
        if (ncyc > MAXCYC && !closing_due) {
            IFLAG = 2;
            break;
        }

        const float B = VALS(1);
        const float GAMMA = VALS(2);
        const float AI = VALS(3);
        const float ETA = VALS(5);
        const float R = VALS(6);
        const float TH1 = VALS(4);
        const float TH2 = VALS(4) + delta;
        const float F = two ? ratio * std::cos(TH1 / RADDEG) / std::cos(TH2 / RADDEG) : 0.0f;

        shapes(xd, n, TH1, ETA, GAMMA, PK1);
        if (two) shapes(xd, n, TH2, ETA, GAMMA, PK2);
        double sums[NPAR * NPAR];
        float rhs[NPAR];
        const float S = sums_of(n, B, AI, R, F, idx, yc, sums, rhs);
        for (int k = 1; k <= NVAR; ++k) {
            BB(k) = rhs[k - 1];
            for (int j = 1; j <= NVAR; ++j) A(j, k) = sums[(k - 1) * NVAR + (j - 1)];
        }
        RWP = std::sqrt(S / T);
        CHI2 = S / float(NDATA - NVAR);

        // A model that is not finite somewhere (a zero width, overflowing start values) is a
        // failed fit, never a converged one.
        if (!std::isfinite(S) || !std::isfinite(T) || !std::isfinite(RWP)) {
            IFLAG = 1;
            break;
        }
        if (notconv == 0 || NVAR == 0) break;

        bool singular = false;
        for (int j = 1; j <= NVAR; ++j) {
            if (A(j, j) < 1.0e-20) {
                singular = true;
                break;
            }
            SAV1(j) = float(1.0 / std::sqrt(A(j, j)));
        }
        if (singular) {
            IFLAG = 1;
            break;
        }
        for (int j = 1; j <= NVAR; ++j)
            for (int k = 1; k <= NVAR; ++k) A(j, k) = A(j, k) * double(SAV1(j)) * double(SAV1(k));
        for (int j = 1; j <= NVAR; ++j)
            for (int k = 1; k <= NVAR; ++k) ANEW(j, k) = float(A(j, k));
        float DET;
        int JRANK;
        MXLNEQ(ANEW, NVAR, NPAR, DET, JRANK, 1.0e-6f, NTEMP, 0);
        if (JRANK != NVAR) {
            IFLAG = 1;
            break;
        }
        for (int j = 1; j <= NVAR; ++j)
            for (int k = 1; k <= NVAR; ++k) A(j, k) = double(ANEW(j, k)) * double(SAV1(j)) * double(SAV1(k));
        for (int j = 1; j <= NVAR; ++j) {
            float sum = 0.0f;
            for (int k = 1; k <= NVAR; ++k) sum = float(double(sum) + A(k, j) * double(BB(k)));
            BSOL(j) = sum;
        }

        notconv = 0;
        const float escale = CHI2 < 1.0f ? 1.0f : CHI2;
        bool fail = false;
        for (int j = 1; j <= NVAR; ++j) {
            X(j) = X(j) + damp * BSOL(j);
            // A broken inverse shows in its diagonal: not positive, or not a number. A small
            // variance is a well-determined parameter (a strong reflection's position), and a
            // residual sum of 0 is a perfect fit, not a failure.
            if (!(A(j, j) > 0.0) || !std::isfinite(A(j, j))) {
                fail = true;
                break;
            }
            SIGX(j) = float(std::sqrt(double(escale) * A(j, j)));
            // A shift or esd that is not finite would carry the failure into the results.
            if (!std::isfinite(X(j)) || !std::isfinite(SIGX(j))) {
                fail = true;
                break;
            }
            const float shift_in_esd = std::fabs(BSOL(j) / SIGX(j));
            if (shift_in_esd > 0.01f) notconv = 1;
            HX[ncyc][j - 1] = X(j);
            HSHIFT[ncyc][j - 1] = shift_in_esd;
            HFULL[ncyc][j - 1] = BSOL(j);
            HSIG[ncyc][j - 1] = SIGX(j);
        }
        if (fail) {
            IFLAG = 1;
            break;
        }
        if (notconv == 1) {
            const int settled = held_at_resolution(ncyc, NVAR);
            if (settled >= 0) {
                notconv = 0;
                // Settled at a state an earlier cycle began from: its values, with the esds of
                // that cycle; the closing evaluation belongs to them.
                if (settled <= ncyc) {
                    for (int j = 1; j <= NVAR; ++j) {
                        X(j) = HX[settled - 1][j - 1];
                        SIGX(j) = HSIG[settled][j - 1];
                    }
                }
                closing_due = true;
            }
        }
        int m = 0;
        for (int j = 1; j <= NPAR; ++j) {
            if (IREF(j) == 1) {
                ++m;
                VALS(j) = X(m);
                SIGVAL(j) = SIGX(m);
            } else {
                SIGVAL(j) = 0.0f;
            }
        }
    }

    for (int i = 0; i < n; ++i) yc[i] = yc[i] - 1.0f;
}
