// Synthetic reflection scans for the fit tests, and an independent double-precision reference
// fit of the same model (Levenberg-Marquardt with a numerical Jacobian).
#pragma once
#include <array>
#include <cmath>
#include <random>
#include <vector>

#include "include/shared.h"

namespace scan_model {

constexpr double PI = 3.14159265358979323846;
constexpr double L1 = 0.70930;  // Mo K-alpha1
constexpr double L2 = 0.71359;  // Mo K-alpha2

// Parameters in the fit's order: background, FWHM, intensity, position, eta, Iratio.
using Params = std::array<double, 6>;

// Unit-area pseudo-Voigt of full width at half maximum g (degrees).
inline double pv(double x, double x0, double eta, double g) {
    const double d = x - x0;
    const double lor = (2.0 / (PI * g)) / (1.0 + 4.0 * d * d / (g * g));
    const double gau = (2.0 / g) * std::sqrt(std::log(2.0) / PI) * std::exp(-4.0 * std::log(2.0) * d * d / (g * g));
    return eta * lor + (1.0 - eta) * gau;
}

// Omega offset of the alpha2 peak for the setting 2theta (degrees).
inline double alpha2_offset(double tth, double l1 = L1, double l2 = L2) {
    const double th = tth / 2.0 * PI / 180.0;
    return std::asin(l2 / l1 * std::sin(th)) * 180.0 / PI - tth / 2.0;
}

struct Scan {
    std::vector<double> x, y;
    double tth = 40.0;
    double delta = 0.0;  // alpha2 offset; 0 and no alpha2 when one component
    bool two = true;
};

inline double model(const Scan& s, const Params& p, double x) {
    double v = pv(x, p[3], p[4], p[1]);
    if (s.two) v += p[5] * pv(x, p[3] + s.delta, p[4], p[1]);
    return p[0] + p[2] * v;
}

// A scan of n steps centred on omega 0 with the given step width; Poisson noise from the seed
// (seed 0: the model itself, without noise).
inline Scan make(const Params& truth, int n, double step, double tth, unsigned seed, bool two = true) {
    Scan s;
    s.tth = tth;
    s.two = two;
    s.delta = two ? alpha2_offset(tth) : 0.0;
    std::mt19937 gen(seed);
    for (int i = 0; i < n; ++i) {
        const double x = (i - (n - 1) / 2.0) * step;
        const double mu = model(s, truth, x);
        s.x.push_back(x);
        if (seed == 0) {
            s.y.push_back(std::round(mu));
        } else {
            std::poisson_distribution<long> pd(mu);
            s.y.push_back(double(pd(gen)));
        }
    }
    return s;
}

// Puts a scan into the current reflection and the wavelengths into WAVES, as the reader would.
inline void load(const Scan& s) {
    REFLN.NSTEP = int(s.x.size());
    REFLN.CMAX = 0;
    REFLN.IMAX = 1;
    for (int i = 1; i <= REFLN.NSTEP; ++i) {
        REFLN.XPOS(i) = float(s.x[i - 1]);
        REFLN.COUNTS(i) = float(s.y[i - 1]);
        if (REFLN.COUNTS(i) > REFLN.CMAX) {
            REFLN.CMAX = REFLN.COUNTS(i);
            REFLN.IMAX = i;
        }
    }
    REFLN.STEP = float(s.x.size() > 1 ? s.x[1] - s.x[0] : 0.0);
    REFLN.SCALE = 1.0f;
    REFLN.ANGL(1) = float(s.tth);
    REFLN.ANGL(2) = 0.0f;
    REFLN.DOMA2 = float(s.delta);
    REFLN.DOMONO = 0.0f;
    WAVES.WAVE(1) = float(L1);
    WAVES.WAVE(2) = s.two ? float(L2) : 0.0f;
}

struct RefFit {
    Params p{};
    Params esd{};
    double chi2 = 0;
    bool ok = false;
};

// Weighted least squares (weights 1 / (counts + 1)) of the parameters flagged in `ref`,
// Levenberg-Marquardt on a central-difference Jacobian, everything in double.
inline RefFit reference_fit(const Scan& s, Params p, const std::array<int, 6>& ref) {
    std::vector<int> idx;
    for (int j = 0; j < 6; ++j)
        if (ref[j]) idx.push_back(j);
    const int m = int(idx.size());
    const int n = int(s.x.size());
    auto cost = [&](const Params& q) {
        double c = 0;
        for (int i = 0; i < n; ++i) {
            const double r = s.y[i] - model(s, q, s.x[i]);
            c += r * r / (s.y[i] + 1.0);
        }
        return c;
    };
    auto normal = [&](const Params& q, std::vector<double>& A, std::vector<double>& g) {
        A.assign(m * m, 0.0);
        g.assign(m, 0.0);
        std::vector<double> J(m);
        for (int i = 0; i < n; ++i) {
            for (int a = 0; a < m; ++a) {
                const int j = idx[a];
                const double h = 1e-6 * std::max(1.0, std::fabs(q[j]));
                Params qp = q, qm = q;
                qp[j] += h;
                qm[j] -= h;
                J[a] = (model(s, qp, s.x[i]) - model(s, qm, s.x[i])) / (2 * h);
            }
            const double w = 1.0 / (s.y[i] + 1.0);
            const double r = s.y[i] - model(s, q, s.x[i]);
            for (int a = 0; a < m; ++a) {
                g[a] += w * r * J[a];
                for (int b = 0; b < m; ++b) A[a * m + b] += w * J[a] * J[b];
            }
        }
    };
    // Solves M x = rhs in place (Gauss-Jordan with partial pivoting); returns the inverse in M.
    auto invert = [&](std::vector<double>& M) {
        std::vector<double> I(m * m, 0.0);
        for (int a = 0; a < m; ++a) I[a * m + a] = 1.0;
        for (int k = 0; k < m; ++k) {
            int p2 = k;
            for (int i = k + 1; i < m; ++i)
                if (std::fabs(M[i * m + k]) > std::fabs(M[p2 * m + k])) p2 = i;
            if (M[p2 * m + k] == 0.0) return false;
            for (int j = 0; j < m; ++j) {
                std::swap(M[k * m + j], M[p2 * m + j]);
                std::swap(I[k * m + j], I[p2 * m + j]);
            }
            const double d = M[k * m + k];
            for (int j = 0; j < m; ++j) {
                M[k * m + j] /= d;
                I[k * m + j] /= d;
            }
            for (int i = 0; i < m; ++i) {
                if (i == k) continue;
                const double f = M[i * m + k];
                for (int j = 0; j < m; ++j) {
                    M[i * m + j] -= f * M[k * m + j];
                    I[i * m + j] -= f * I[k * m + j];
                }
            }
        }
        M = I;
        return true;
    };

    RefFit out;
    double lambda = 1e-3;
    double c = cost(p);
    std::vector<double> A, g;
    for (int it = 0; it < 500; ++it) {
        normal(p, A, g);
        std::vector<double> M = A;
        for (int a = 0; a < m; ++a) M[a * m + a] *= 1.0 + lambda;
        if (!invert(M)) return out;
        Params q = p;
        for (int a = 0; a < m; ++a) {
            double d = 0;
            for (int b = 0; b < m; ++b) d += M[a * m + b] * g[b];
            q[idx[a]] += d;
        }
        const double cq = cost(q);
        if (cq < c) {
            const bool done = (c - cq) < 1e-12 * c;
            p = q;
            c = cq;
            lambda = std::max(lambda / 10, 1e-12);
            if (done) break;
        } else {
            lambda *= 10;
            if (lambda > 1e12) break;
        }
    }
    normal(p, A, g);
    if (!invert(A)) return out;
    out.p = p;
    out.chi2 = c / (n - m);
    for (int a = 0; a < m; ++a) out.esd[idx[a]] = std::sqrt(std::max(out.chi2, 1.0) * A[a * m + a]);
    out.ok = true;
    return out;
}

}  // namespace scan_model
