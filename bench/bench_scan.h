// The benchmark's reflection scan: a Mo K-alpha doublet at 2theta 40 degrees over an omega
// range of 1.6 degrees in n steps, with Poisson counts from a fixed seed. Shared by kelvor-bench
// and kelvor-bench-scans (which writes the same scans for the comparison with lmfit).
#pragma once
#include <cmath>
#include <random>
#include <vector>

#include "include/geometry.h"

namespace bench_scan {

constexpr float kTwoTheta = 40.0f;
constexpr float kWave1 = 0.70930f, kWave2 = 0.71359f;  // Mo K-alpha1 and K-alpha2 (Angstrom)

// The omega offset of the alpha2 peak (degrees) where the program's fit places it.
inline double delta() {
    float d = 0.0f;
    ALPHA2_OFFSET(kWave2 / kWave1, kTwoTheta, 57.29578f, d);
    return double(d);
}

// Start values of every fit: background, FWHM, intensity, position, eta, Iratio.
constexpr float kStart[6] = {45.0f, 0.22f, 1800.0f, 0.01f, 0.35f, 0.5f};

inline double pseudo_voigt(double x, double x0, double eta, double g) {
    const double pi = 3.14159265358979323846;
    const double d = x - x0;
    const double lor = (2.0 / (pi * g)) / (1.0 + 4.0 * d * d / (g * g));
    const double gau = (2.0 / g) * std::sqrt(std::log(2.0) / pi) * std::exp(-4.0 * std::log(2.0) * d * d / (g * g));
    return eta * lor + (1.0 - eta) * gau;
}

struct Scan {
    std::vector<float> x, counts;
};

inline Scan make(int n) {
    const double width = 1.6, fwhm = 0.2;
    const double offset = delta();
    std::mt19937 gen(1234);
    Scan s;
    for (int i = 1; i <= n; ++i) {
        const double x = -width / 2 + width * (i - 1) / (n - 1);
        const double mu = 50.0 + 2000.0 * (pseudo_voigt(x, 0.0, 0.3, fwhm) + 0.5 * pseudo_voigt(x, offset, 0.3, fwhm));
        std::poisson_distribution<long> pd(mu);
        s.x.push_back(float(x));
        s.counts.push_back(float(pd(gen)));
    }
    return s;
}

}  // namespace bench_scan
