// Fixed-background models: the start value of the background parameter of a fit.
//
// Model 0: mean of the two end counts. Model 1: a table BGS over one-degree bins of |2theta|
// (normalised counts, i.e. counts x SCALE), built from the bin minima of the end backgrounds of
// all scans and smoothed by a running mean. Model 2: a exp(-b |2theta|) + c in normalised counts.
// Model 3: mean of NSTEP_BG end steps on each side, with a 3-esd test for unequal sides (UNEQ).
#include <cmath>
#include <cstdio>

#include "include/profile_fit.h"
#include "include/scan_input.h"
#include "include/shared.h"
#include "include/shell_services.h"
#include "runtime/units.h"

namespace {

void log_end_steps_limited(int asked, int nstep, int used) {
    const REFLN_t& r = REFLN;
    if (FILEINFO.LOGOPEN != 1 || r.ISEQ == BGLOG.ISEQ) return;
    BGLOG.ISEQ = r.ISEQ;
    char line[160];
    std::snprintf(line, sizeof line,
                  " REFLECTION %d (%d %d %d): %d END STEPS PER SIDE ASKED FOR, THE SCAN HAS %d STEPS;"
                  " BACKGROUND FROM %d END STEPS",
                  r.ISEQ, r.IH(1), r.IH(2), r.IH(3), asked, nstep, used);
    (void)rt::unit_write_record(20, line);
}

}  // namespace

float GET_BACKGROUND(float TTH) {
    auto& R = REFLN;
    auto& BG = FIXEDBG;
    R.UNEQ = 0;
    // A scan of no steps has no ends; a step count beyond the store reads only the store.
    const int nstep = R.NSTEP > MAXSTEP ? MAXSTEP : R.NSTEP;
    if (nstep < 1) return 0.0f;

    switch (BG.IBGTYPE) {
        case 1: {
            // Linear interpolation between whole degrees; below 1 degree the first entry, from
            // 90 degrees on (or for a 2theta that is not a number) the last.
            const float t = std::fabs(TTH);
            float v;
            if (t < 1.0f)
                v = BG.BGS(1);
            else if (!(t < float(NBGBIN)))
                v = BG.BGS(NBGBIN);
            else {
                const int i = int(t);
                const float f = t - float(i);
                v = BG.BGS(i) + (BG.BGS(i + 1) - BG.BGS(i)) * f;
            }
            return v / R.SCALE;
        }
        case 2:
            return (FITPAR.PKVALS(1, 1) * std::exp(-FITPAR.PKVALS(1, 2) * std::fabs(TTH)) + FITPAR.PKVALS(1, 3)) /
                   R.SCALE;
        case 3: {
            // The end-step count is kept within the ends of the scan: more than half its steps
            // would count the peak as background. A limited count is logged once per reflection.
            int nb = BG.NSTEP_BG;
            if (nb < 1) nb = 1;
            const int half = nstep / 2 < 1 ? 1 : nstep / 2;
            if (nb > half) {
                log_end_steps_limited(nb, nstep, half);
                nb = half;
            }
            float L = 0.0f;
            float Rs = 0.0f;
            for (int i = 1; i <= nb; ++i) L = L + R.COUNTS(i);
            for (int i = nstep - nb + 1; i <= nstep; ++i) Rs = Rs + R.COUNTS(i);
            if (std::fabs(L - Rs) >= 3.0f * std::sqrt(L + Rs)) {
                R.UNEQ = 1;
                return (L >= Rs ? Rs : L) / float(nb);
            }
            return (L + Rs) * 0.5f / float(nb);
        }
        default:
            // Model 0, and any code without a model of its own.
            return (R.COUNTS(1) + R.COUNTS(nstep)) * 0.5f;
    }
}

void SORT(int N, BgTable& TTH, BgTable& BGNORM) {
    if (N > MAXBGSCAN) N = MAXBGSCAN;
    if (N < 2) return;
    const int passes = int(std::log(float(N)) * 1.442695f + 1.0e-5f);
    int M = N;
    for (int p = 1; p <= passes; ++p) {
        M = M / 2;
        for (int J = 1; J <= N - M; ++J) {
            int I = J;
            while (I >= 1 && TTH(I) > TTH(I + M)) {
                const float t = TTH(I);
                TTH(I) = TTH(I + M);
                TTH(I + M) = t;
                const float b = BGNORM(I);
                BGNORM(I) = BGNORM(I + M);
                BGNORM(I + M) = b;
                I = I - M;
            }
        }
    }
}

namespace {

// Bin of a |2theta| value: the nearest whole degree, a half going up. Values that would open a
// bin below 1 give 0; values beyond the table give NBGBIN + 1.
int bin_of(float tth) {
    const float t = std::fabs(tth);
    if (!(t >= 0.5f)) return 0;
    if (!(t < float(NBGBIN) + 0.5f)) return NBGBIN + 1;
    return int(t + 0.5f);
}

}  // namespace

void SET_BACKGROUND_SPLINE(int N, BgTable& BGNORM, BgTable& TTH, int IMIN, int& NS) {
    auto& BGS = FIXEDBG.BGS;
    NS = NS < 0 ? -NS : NS;
    NS = 2 * (NS / 2) + 1;
    if (N > MAXBGSCAN) N = MAXBGSCAN;
    SORT(N, TTH, BGNORM);

    // Every build starts from an empty table: nothing of an earlier data set survives.
    BGS.fill(0.0f);
    rt::FArray<float, NBGBIN> T;
    T.fill(0.0f);

    // Scans below half a degree have no bin and stay out of the table.
    int first = 1;
    while (first <= N && bin_of(TTH(first)) < 1) ++first;
    if (first > N || bin_of(TTH(first)) > NBGBIN) {
        // No scan falls inside the table: a flat table at the lowest background of the set.
        if (N < 1) return;
        float low = BGNORM(1);
        for (int i = 2; i <= N; ++i)
            if (BGNORM(i) < low) low = BGNORM(i);
        BGS.fill(low);
        return;
    }

    const int j1 = bin_of(TTH(first));
    int j = j1;
    T(j) = BGNORM(first);
    for (int i = first; i <= N; ++i) {
        if (std::fabs(TTH(i)) >= float(j) + 0.5f) {
            const int jn = bin_of(TTH(i));
            if (jn > NBGBIN) break;  // the rest of the scans lie beyond the table
            j = jn;
            T(j) = BGNORM(i);
        } else if (BGNORM(i) < T(j)) {
            T(j) = BGNORM(i);
        }
    }
    const int j2 = j;
    // Bins above the last scan repeat its bin, whether or not the binning reached the end of the
    // scans (a scan beyond 90 degrees ends it early), so the table never falls toward zero.
    for (int k = j2 + 1; k <= NBGBIN; ++k) T(k) = T(j2);

    // Ramp from zero at 2theta = 0 up to the first bin.
    const float r = T(j1) / float(j1);
    for (int k = 1; k <= j1 - 1; ++k) {
        T(k) = float(k) * r;
        BGS(k) = float(k) * r;
    }

    // Bins without scans (or with a minimum below 0.01) take the value on the straight line
    // between their filled neighbours; a single gap is the mean of its two neighbours. A run of
    // empty bins is bridged to the next filled bin rather than halved toward zero.
    for (int k = j1; k <= j2; ++k) {
        if (!(T(k) < 0.01f)) continue;
        const float left = k > 1 ? T(k - 1) : 0.0f;
        int m = k + 1;
        while (m <= j2 && T(m) < 0.01f) ++m;
        if (m > NBGBIN) {
            T(k) = left;
        } else if (m == k + 1) {
            T(k) = (left + T(k + 1)) * 0.5f;
        } else {
            T(k) = left + (T(m) - left) / float(m - k + 1);
        }
    }

    // Running mean over NS bins; the edge bins it cannot reach keep the table's own values.
    const int h = NS / 2;
    for (int k = h + 1; k <= NBGBIN - h; ++k) {
        float sum = 0.0f;
        for (int l = k - h; l <= k + h; ++l) sum = sum + T(l);
        BGS(k) = sum / float(NS);
    }
    for (int k = 1; k <= h && k <= NBGBIN; ++k)
        if (k >= j1) BGS(k) = T(k);
    for (int k = NBGBIN - h + 1; k <= NBGBIN; ++k)
        if (k >= 1) BGS(k) = T(k);
    (void)IMIN;  // bin minima are the only rule
}

void SET_BACKGROUND_EXP(int N, BgTable& BGNORM, BgTable& TTH) {
    auto& PK = FITPAR.PKVALS;
    if (N > MAXBGSCAN) N = MAXBGSCAN;
    if (N < 1) return;
    SORT(N, TTH, BGNORM);

    int k = 1;
    while (k <= N && !(TTH(k) > 45.0f)) ++k;
    // Without scans above 45 degrees there is no asymptote to take: c = 0.
    float c = 0.0f;
    if (k <= N) {
        float sum = 0.0f;
        for (int i = k; i <= N; ++i) sum = sum + BGNORM(i);
        c = sum / float(N - k + 1);
    }
    PK(1, 3) = c;

    int n = 0;
    float sx = 0.0f, sy = 0.0f, sxx = 0.0f, sxy = 0.0f;
    for (int i = 1; i <= N; ++i) {
        const float d = BGNORM(i) - c;
        if (d > 1.0e-4f) {
            const float x = TTH(i);
            const float y = std::log(d);
            ++n;
            sx = sx + x;
            sy = sy + y;
            sxx = sxx + x * x;
            sxy = sxy + x * y;
        }
    }
    if (n == 0) {
        PK(1, 1) = 1.0f;
        PK(1, 2) = 0.1f;
        return;
    }
    const float fn = float(n);
    const float D = fn * sxx - sx * sx;
    if (!(D != 0.0f)) {
        // One 2theta only: no slope can be fitted; a flat excess over c at their mean level.
        PK(1, 1) = std::exp(sy / fn);
        PK(1, 2) = 0.0f;
        return;
    }
    PK(1, 1) = std::exp((sxx * sy - sx * sxy) / D);
    PK(1, 2) = -(fn * sxy - sx * sy) / D;
}

void PROCESS_BACKGROUND() {
    BgTable BGNORM_T;
    BgTable TTH_T;
    auto& R = REFLN;
    int N = 0;
    R.ISEQ = 0;
    int IERR = 0;
    SKIP_HEADER_STDDATA(FILEINFO.LUNSTD, IERR);
    rt::FArray<int, 3> hkl;
    for (;;) {
        IERR = 0;
        READ_SCAN_STDDATA(FILEINFO.LUNSTD, 0, 0, hkl, IERR);
        if (IERR != 0) break;
        // The tables hold MAXBGSCAN scans; further scans are read but do not enter the models.
        if (N >= MAXBGSCAN) continue;
        const int last = R.NSTEP > MAXSTEP ? MAXSTEP : R.NSTEP;
        if (last < 1) continue;
        ++N;
        BGNORM_T(N) = (R.COUNTS(1) + R.COUNTS(last)) * 0.5f * R.SCALE;
        TTH_T(N) = std::fabs(R.ANGL(1));
    }
    IERR = 0;
    SKIP_HEADER_STDDATA(FILEINFO.LUNSTD, IERR);
    // Without a single scan neither model can be built; both stay as they were.
    if (N > 0) {
        int NS = 3;
        SET_BACKGROUND_SPLINE(N, BGNORM_T, TTH_T, 1, NS);
        SET_BACKGROUND_EXP(N, BGNORM_T, TTH_T);
    }
    RUN_BACKGROUND_INFO();
}
