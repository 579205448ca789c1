// An independent double-precision reference for the geometry tests: Busing-Levy B matrix from the
// direct cell by spherical trigonometry, rotations, diffraction vectors, bisecting angles and
// Bragg angles. Written from the textbook formulas, sharing nothing with the program's routines.
#pragma once
#include <array>
#include <cmath>

#include "include/geometry.h"
#include "include/shared.h"

namespace ref {

constexpr double kPi = 3.14159265358979323846;
inline double rad(double deg) { return deg * kPi / 180.0; }
inline double deg(double r) { return r * 180.0 / kPi; }

using M3 = std::array<std::array<double, 3>, 3>;  // [row][col], 0-based
using V3 = std::array<double, 3>;

struct Cell {
    double a, b, c, alpha, beta, gamma;  // Angstrom, degrees
};

struct Recip {
    double as, bs, cs, alphas, betas, gammas;  // reciprocal Angstrom, degrees
    double volume;                             // direct volume
};

inline Recip reciprocal(const Cell& x) {
    const double ca = std::cos(rad(x.alpha)), cb = std::cos(rad(x.beta)), cg = std::cos(rad(x.gamma));
    const double sa = std::sin(rad(x.alpha)), sb = std::sin(rad(x.beta)), sg = std::sin(rad(x.gamma));
    const double v = x.a * x.b * x.c * std::sqrt(1 - ca * ca - cb * cb - cg * cg + 2 * ca * cb * cg);
    Recip r;
    r.volume = v;
    r.as = x.b * x.c * sa / v;
    r.bs = x.a * x.c * sb / v;
    r.cs = x.a * x.b * sg / v;
    r.alphas = deg(std::acos((cb * cg - ca) / (sb * sg)));
    r.betas = deg(std::acos((ca * cg - cb) / (sa * sg)));
    r.gammas = deg(std::acos((ca * cb - cg) / (sa * sb)));
    return r;
}

// B of Busing & Levy (1967), equation 3.
inline M3 bmatrix(const Cell& x) {
    const Recip r = reciprocal(x);
    M3 B{};
    B[0][0] = r.as;
    B[0][1] = r.bs * std::cos(rad(r.gammas));
    B[0][2] = r.cs * std::cos(rad(r.betas));
    B[1][1] = r.bs * std::sin(rad(r.gammas));
    B[1][2] = -r.cs * std::sin(rad(r.betas)) * std::cos(rad(x.alpha));
    B[2][2] = 1.0 / x.c;
    return B;
}

inline M3 mul(const M3& p, const M3& q) {
    M3 r{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            for (int k = 0; k < 3; ++k) r[i][j] += p[i][k] * q[k][j];
    return r;
}
inline V3 mul(const M3& p, const V3& v) {
    V3 r{};
    for (int i = 0; i < 3; ++i)
        for (int k = 0; k < 3; ++k) r[i] += p[i][k] * v[k];
    return r;
}

// Rotation by angles (degrees) about z, then y, then x: a general orientation U.
inline M3 rotation(double rz, double ry, double rx) {
    const double cz = std::cos(rad(rz)), sz = std::sin(rad(rz));
    const double cy = std::cos(rad(ry)), sy = std::sin(rad(ry));
    const double cx = std::cos(rad(rx)), sx = std::sin(rad(rx));
    M3 Z{{{cz, -sz, 0}, {sz, cz, 0}, {0, 0, 1}}};
    M3 Y{{{cy, 0, sy}, {0, 1, 0}, {-sy, 0, cy}}};
    M3 X{{{1, 0, 0}, {0, cx, -sx}, {0, sx, cx}}};
    return mul(X, mul(Y, Z));
}

// Diffraction vector of (2theta, omega, chi, phi) with circle senses p (omega, chi, phi).
inline V3 vector_of(double tth, double om, double chi, double phi, double lambda, int pw = 1, int pc = 1,
                    int pp = 1) {
    const double s = std::sin(rad(tth) / 2), w = rad(pw * om), c = rad(pc * chi), p = rad(pp * phi);
    const double f = 2 * s / lambda;
    return {f * (std::cos(w) * std::cos(c) * std::cos(p) - std::sin(w) * std::sin(p)),
            f * (std::cos(w) * std::cos(c) * std::sin(p) + std::sin(w) * std::cos(p)),
            f * std::cos(w) * std::sin(c)};
}

struct Bisecting {
    double tth, chi, phi;
};
inline Bisecting bisecting(const V3& v, double lambda) {
    const double d = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    return {2 * deg(std::asin(d * lambda / 2)), deg(std::atan2(v[2], std::hypot(v[0], v[1]))),
            deg(std::atan2(v[1], v[0]))};
}

// Bragg 2theta (degrees) of h k l in a cell, through the d-spacing of the reciprocal metric.
inline double two_theta(const Cell& x, int h, int k, int l, double lambda) {
    const M3 B = bmatrix(x);
    const V3 v = mul(B, V3{double(h), double(k), double(l)});
    const double q = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    return 2 * deg(std::asin(lambda * q / 2));
}

// Copies a double matrix into the program's 3 x 3 store.
inline void store(const M3& m, geo::Mat3& out) {
    for (int i = 1; i <= 3; ++i)
        for (int j = 1; j <= 3; ++j) out(i, j) = float(m[i - 1][j - 1]);
}

}  // namespace ref
