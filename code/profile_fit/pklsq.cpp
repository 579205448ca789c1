// The peak-profile model of one reflection scan and its fit.
//
// Model: y(x) = B + I [PV(x; x0, eta, G) + R PV(x; x0 + delta, eta, G)], a constant background
// plus an alpha1/alpha2 doublet of unit-area pseudo-Voigt peaks (Lorentzian and Gaussian of the
// same full width at half maximum G, degrees). delta is the alpha2 offset from the wavelength
// ratio and the monochromator shift. The fit is a damped, weighted Gauss-Newton least squares
// (weights 1 / (counts + 1)); the normal matrix is built and normalised in 64-bit, everything
// else is 32-bit.
#include <cmath>

#include "include/profile_fit.h"

float GAUSS(float X, float X0, float W, float& DGDX0, float& DGDW) {
    const float D = X - X0;
    if (std::fabs(D) / W > 6.0f) {
        DGDX0 = 0.0f;
        DGDW = 0.0f;
        return 0.0f;
    }
    const float c = 1.6651092f;  // 2 sqrt(ln 2)
    const float t = c * D / W;
    const float G = 0.9394373f * std::exp(-(t * t)) / W;  // 2 sqrt(ln 2 / pi)
    DGDX0 = 2.0f * (c * c) * D * G / (W * W);
    DGDW = G * (2.0f * (t * t) - 1.0f) / W;
    return G;
}

float LORENTZ(float X, float X0, float W, float& DLDX0, float& DLDW) {
    const float D = X - X0;
    const float k = 0.6366197f;  // 2 / pi
    const float Q = 4.0f * (D * D) + W * W;
    DLDX0 = 8.0f * k * W * D / (Q * Q);
    DLDW = k * (4.0f * (D * D) - W * W) / (Q * Q);
    return k * W / Q;
}

float PSVOIGT(float X, float X0, float ETA, float GAMMA, float& DPDT, float& DPDG, float& DPDE) {
    float DGDT, DGDG, DLDT, DLDG;
    const float G = GAUSS(X, X0, GAMMA, DGDT, DGDG);
    const float L = LORENTZ(X, X0, GAMMA, DLDT, DLDG);
    DPDT = ETA * DLDT + (1.0f - ETA) * DGDT;
    DPDG = ETA * DLDG + (1.0f - ETA) * DGDG;
    DPDE = L - G;
    return ETA * L + (1.0f - ETA) * G;
}

namespace {

// Work stores of the fit: fixed size, rewritten before they are read.
rt::FArray<float, MAXSTEP> Y;
rt::FArray<float, NPAR> X;
rt::FArray2<double, NPAR, NPAR> A;
rt::FArray<float, NPAR> BB;
rt::FArray<float, NPAR> TEMPD;
rt::FArray<float, NPAR> DERIV;
rt::FArray<float, NPAR> SAV1;
rt::FArray2<float, NPAR, NPAR> ANEW;
rt::FArray<int, NPAR> NTEMP;
rt::FArray<float, NPAR> BSOL;
rt::FArray<float, NPAR> SIGX;

}  // namespace

void PKLSQ(const rt::FArray<float, MAXSTEP>& XD, const rt::FArray<float, MAXSTEP>& COUNTS, int NDATA,
           const rt::FArray<float, 2>& WAVE, float MONO_SHIFT, float TTH, rt::FArray<float, NPAR>& VALS,
           const rt::FArray<int, NPAR>& IREF, rt::FArray<float, MAXSTEP>& YC,
           rt::FArray<float, NPAR>& SIGVAL, float& RWP, float& CHI2, int& IFLAG) {
    const float RADDEG = 57.29578f;

    // A scan longer than the work stores is not data this fit can take.
    if (NDATA > MAXSTEP) {
        IFLAG = 3;
        return;
    }
    for (int i = 1; i <= NDATA; ++i) {
        Y(i) = COUNTS(i) + 1.0f;
        YC(i) = 1.0f;
    }

    // One component below an alpha2 wavelength of 0.1 (a NaN counts as two components).
    const bool two = !(WAVE(2) < 0.1f);
    float ratio = 0.0f;
    float delta = 0.0f;
    if (two) {
        ratio = WAVE(2) / WAVE(1);
        const float s = ratio * std::sin(TTH / 2.0f / RADDEG);
        if (!(std::fabs(s) <= 1.0f)) {
            // No alpha2 position exists (2theta near 180 degrees): the model cannot be built.
            IFLAG = 1;
            for (int i = 1; i <= NDATA; ++i) YC(i) = 0.0f;
            return;
        }
        delta = std::asin(s) * RADDEG - TTH / 2.0f + MONO_SHIFT;
    } else {
        VALS(6) = 0.0f;
    }

    int NVAR = 0;
    for (int j = 1; j <= NPAR; ++j) {
        if (IREF(j) == 1) X(++NVAR) = VALS(j);
    }

    IFLAG = 3;
    if (NVAR >= NDATA) return;
    IFLAG = 0;
    int notconv = 1;
    int ncyc = 0;

    for (;;) {
        ++ncyc;
        float damp = 0.1f * float(ncyc);
        if (damp > 0.7f) damp = 0.7f;
        if (ncyc > 200) {
            IFLAG = 2;
            break;
        }

        for (int j = 1; j <= NVAR; ++j) {
            BB(j) = 0.0f;
            for (int k = 1; k <= NVAR; ++k) A(j, k) = 0.0;
        }
        float S = 0.0f;
        float T = 0.0f;
        const float B = VALS(1);
        const float GAMMA = VALS(2);
        const float AI = VALS(3);
        const float ETA = VALS(5);
        const float R = VALS(6);
        const float TH1 = VALS(4);
        const float TH2 = VALS(4) + delta;
        const float F = two ? ratio * std::cos(TH1 / RADDEG) / std::cos(TH2 / RADDEG) : 0.0f;

        for (int i = 1; i <= NDATA; ++i) {
            const float THETA = XD(i);
            float DPRDT1, DPRDG1, DPRDE1;
            float DPRDT2 = 0.0f, DPRDG2 = 0.0f, DPRDE2 = 0.0f;
            const float P1 = PSVOIGT(THETA, TH1, ETA, GAMMA, DPRDT1, DPRDG1, DPRDE1);
            float P2 = 0.0f;
            float S1 = P1;
            if (two) {
                P2 = PSVOIGT(THETA, TH2, ETA, GAMMA, DPRDT2, DPRDG2, DPRDE2);
                S1 = P1 + R * P2;
            }
            YC(i) = AI * S1 + B + 1.0f;
            TEMPD(1) = 1.0f;
            TEMPD(2) = AI * (DPRDG1 + R * DPRDG2);
            TEMPD(3) = S1;
            TEMPD(4) = AI * (DPRDT1 + R * DPRDT2 * F);
            TEMPD(5) = AI * (DPRDE1 + R * DPRDE2);
            TEMPD(6) = AI * P2;
            int n = 0;
            for (int j = 1; j <= NPAR; ++j) {
                if (IREF(j) == 1) DERIV(++n) = TEMPD(j);
            }
            const float r = Y(i) - YC(i);
            const float w = Y(i) > 0.0f ? 1.0f / Y(i) : 1.0f;
            for (int j = 1; j <= NVAR; ++j) {
                BB(j) = BB(j) + w * r * DERIV(j);
                for (int k = 1; k <= NVAR; ++k) A(j, k) = A(j, k) + double(w * DERIV(j) * DERIV(k));
            }
            S = S + w * (r * r);
            T = T + w * (Y(i) * Y(i));
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
            if (double(CHI2) * A(j, j) < 1.0e-8) {
                fail = true;
                break;
            }
            SIGX(j) = float(std::sqrt(double(escale) * A(j, j)));
            // A shift or esd that is not finite would carry the failure into the results.
            if (!std::isfinite(X(j)) || !std::isfinite(SIGX(j))) {
                fail = true;
                break;
            }
            if (std::fabs(BSOL(j) / SIGX(j)) > 0.01f) notconv = 1;
        }
        if (fail) {
            IFLAG = 1;
            break;
        }
        int n = 0;
        for (int j = 1; j <= NPAR; ++j) {
            if (IREF(j) == 1) {
                ++n;
                VALS(j) = X(n);
                SIGVAL(j) = SIGX(n);
            } else {
                SIGVAL(j) = 0.0f;
            }
        }
    }

    for (int i = 1; i <= NDATA; ++i) YC(i) = YC(i) - 1.0f;
}
