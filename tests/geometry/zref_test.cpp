// "Zref": eight-setting groups computed from a known cell and orientation (with zero errors and a
// crystal offset that the centring must cancel), the grouping of the table rows, the sign and chi
// tests, the table that replaces the fitted reflections, the log and the notices.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "../shell/params_ui.h"
#include "geometry_reference.h"
#include "include/geometry.h"
#include "include/toolkit_services.h"
#include "lsq_table.h"
#include "platform/model.h"
#include "run_log.h"
#include "shell/kelvor_main.h"

namespace {

using kvtest::TITLE;
using Group = rt::FArray2<float, 8, 4>;
using Results = rt::FArray<float, 10>;
using Parities = rt::FArray<float, 4>;

// Sign patterns of the eight settings (2theta, omega) and of the offset terms.
constexpr int S_TTH[8] = {+1, -1, -1, +1, +1, -1, -1, +1};
constexpr int S_OM[8] = {+1, +1, -1, -1, -1, -1, +1, +1};
constexpr int P_A[8] = {+1, +1, -1, -1, +1, +1, -1, -1};
constexpr int P_B[8] = {+1, -1, -1, +1, -1, +1, +1, -1};
constexpr int P_E[8] = {+1, -1, +1, -1, -1, +1, -1, +1};
constexpr int P_H[8] = {-1, +1, +1, -1, -1, +1, +1, -1};

double wrap180(double a) {
    while (a > 180.0) a -= 360.0;
    while (a <= -180.0) a += 360.0;
    return a;
}

// What the eight settings of one reflection are made of: its true setting 1, the zero errors of
// the circles and the crystal offset with DELTA-H.
struct Truth {
    double tth, om, chi, phi;    // true setting 1 (omega from the bisecting position)
    double z_tth, z_om, z_chi;   // zero errors
    double dx, dy, dz, delta_h;  // crystal offset and DELTA-H (length unit of g1, g2)
};

// The eight settings of a reflection as a diffractometer with these zeros and this crystal offset
// measures them: 2theta and omega by the sign pattern, chi at chi, chi + 180, 180 - chi and -chi,
// phi + 180 for settings 5 to 8 (each setting diffracts the reflection or its opposite); the
// offset moves the absolute omegas and the chis by the amounts that the centring's model gives it.
Group eight_settings(const Truth& t, const int (&parity)[4], double g1, double g2) {
    const double r = 57.295;
    const double P1 = parity[0], P2 = parity[1], P3 = parity[2], P4 = parity[3];
    const double s_th = P1 * std::sin(t.tth / 2 / r), c_th = std::cos(t.tth / 2 / r);
    const double s_om = P2 * std::sin(t.om / r), c_om = std::cos(t.om / r);
    const double s_chi = P3 * std::sin(t.chi / r), c_chi = std::cos(t.chi / r);
    const double s_phi = P4 * std::sin(t.phi / r), c_phi = std::cos(t.phi / r);
    const double rot[3][3] = {{c_phi * c_om * c_chi - s_phi * s_om, -s_om * c_chi * c_phi - s_phi * c_om, -s_chi * c_phi},
                              {c_om * c_chi * s_phi + s_om * c_phi, -s_om * c_chi * s_phi + c_om * c_phi, -s_phi * s_chi},
                              {c_om * s_chi, -s_om * s_chi, c_chi}};
    const double d[3] = {t.dx, t.dy, t.dz};
    double tphi[3] = {0, 0, 0};  // the rotation is orthogonal: its transpose takes the offset back
    for (int j = 0; j < 3; ++j)
        for (int i = 0; i < 3; ++i) tphi[j] += rot[i][j] * d[i];
    const double a = tphi[0] * c_th * r / g1;
    const double b = tphi[1] * s_th * r / g1;
    const double e = tphi[2] * c_om * (1 / g1 + 1 / g2) * r / (2 * s_th);
    const double h = -t.delta_h * r * c_om / (2 * g2 * s_th);

    const double chis[8] = {t.chi, t.chi, t.chi + 180, t.chi + 180, 180 - t.chi, 180 - t.chi, -t.chi, -t.chi};
    Group g;
    for (int k = 0; k < 8; ++k) {
        const double tth = S_TTH[k] * t.tth + t.z_tth;
        const double omega = S_TTH[k] * t.tth / 2 + S_OM[k] * t.om + t.z_om + P2 * (a * P_A[k] + b * P_B[k]);
        g(k + 1, 1) = float(tth);
        g(k + 1, 2) = float(omega - tth / 2);  // stored from the bisecting position
        g(k + 1, 3) = float(wrap180(chis[k] + t.z_chi + P3 * (e * P_E[k] + h * P_H[k])));
        g(k + 1, 4) = float(wrap180(k < 4 ? t.phi : t.phi + 180));
    }
    return g;
}

// Setting 1 of h k l under ub at the given omega (from the bisecting position): the chi and phi at
// which the program's own diffraction vector, with these circle senses, is ub (h k l).
Truth setting_of(const ref::M3& ub, const lsqtest::Hkl& r, double om, const int (&parity)[4]) {
    const ref::V3 v = ref::mul(ub, ref::V3{double(r.h), double(r.k), double(r.l)});
    const double len = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    const double w = ref::rad(parity[1] * om);  // the angles as the circles turn them
    const double c = std::asin(v[2] / len / std::cos(w));
    const double p = std::atan2(v[1], v[0]) - std::atan2(std::sin(w), std::cos(w) * std::cos(c));
    Truth t{};
    t.tth = 2 * ref::deg(std::asin(len * lsqtest::kWave / 2));
    t.om = om;
    t.chi = parity[2] * ref::deg(c);
    t.phi = wrap180(parity[3] * ref::deg(p));
    return t;
}

class Zref : public geomtest::WithRunLog<kvtest::BuiltUi> {
protected:
    void SetUp() override {
        BuiltUi::SetUp();
        WAVES.WAVE(1) = float(lsqtest::kWave);
        for (int i = 1; i <= 4; ++i) GONIO.PARITY(i) = 1;
        GONIO.GONCON1 = 200.0f;
        GONIO.GONCON2 = 100.0f;
        FITVALS.IPREPROC = 1;
        for (int item : {32, 33, 34, 35, 36}) gmSetWidgetStatus(GRAPHICS.IWID(3, item), STATUS_GREYED);
        // Widths and backgrounds of the preprocessing pass (row 1's width counts as not refined).
        for (int i = 1; i <= MAXFIT; ++i) {
            FITVALS.FWHMFIT(i, 1) = 0.001f * float(i);
            FITVALS.FWHMFIT(i, 2) = 0.0001f * float(i);
            FITVALS.BACKFIT(i) = float(i) + 0.5f;
            FITVALS.TH_TRUE(i) = -1.0f;
        }
        FITVALS.FWHMFIT(1, 2) = 0.0f;
    }
    // Appends a group (or its first members) to the table with the indices of every member.
    static void append(const Group& g, int h, int k, int l, int members = 8, bool alternate = true) {
        for (int m = 1; m <= members; ++m) {
            const int i = ++FITVALS.NFIT;
            const int sign = alternate && m % 2 == 0 ? -1 : 1;
            FITVALS.IHFIT(i, 1) = sign * h;
            FITVALS.IHFIT(i, 2) = sign * k;
            FITVALS.IHFIT(i, 3) = sign * l;
            for (int c = 1; c <= 4; ++c) FITVALS.ANGLESFIT(i, c) = g(m, c);
        }
    }
    static int state(int item) { return w(3, item).state; }
};

// A group of simple binary numbers: 2theta 40, omega 2, chi 30, phi 50; zeros 0.25, 0.5, 0.75;
// offset terms 0.125 and -0.0625 on omega, 0.25 and 0.125 on chi (settings 3 and 4 stored
// with chi wrapped below -180 + 30, settings 5 to 8 with phi -130).
Group simple_group() {
    const float rows[8][4] = {
        {40.25f, 2.4375f, 30.875f, 50.0f},      {-39.75f, 2.5625f, 30.625f, 50.0f},
        {-39.75f, -1.6875f, -148.875f, 50.0f},  {40.25f, -1.8125f, -149.625f, 50.0f},
        {40.25f, -1.4375f, 150.375f, -130.0f},  {-39.75f, -1.5625f, 151.125f, -130.0f},
        {-39.75f, 2.1875f, -29.375f, -130.0f},  {40.25f, 2.3125f, -29.125f, -130.0f},
    };
    Group g;
    for (int k = 1; k <= 8; ++k)
        for (int c = 1; c <= 4; ++c) g(k, c) = rows[k - 1][c - 1];
    return g;
}

TEST(CalcOffsets, CancelsZerosAndCrystalOffsetForEveryCircleSense) {
    const ref::Cell cell{7.812, 9.433, 11.205, 88.4, 104.3, 93.7};
    const ref::M3 ub = lsqtest::orientation_matrix(cell);
    const int senses[][4] = {{1, 1, 1, 1}, {-1, 1, 1, 1}, {1, -1, 1, 1}, {1, 1, -1, 1}, {1, 1, 1, -1}, {-1, -1, -1, -1}};
    for (const auto& p : senses) {
        for (const double om : {0.0, 3.5, -2.75}) {
            SCOPED_TRACE(testing::Message() << "parities " << p[0] << p[1] << p[2] << p[3] << ", omega " << om);
            Truth t = setting_of(ub, {3, 1, -2}, om, p);
            t.z_tth = 0.043;
            t.z_om = -0.027;
            t.z_chi = 0.115;
            t.dx = 0.05;
            t.dy = -0.03;
            t.dz = 0.02;
            t.delta_h = 0.08;
            Group g = eight_settings(t, p, 200.0, 100.0);
            const Parities par{float(p[0]), float(p[1]), float(p[2]), float(p[3])};
            Results res;
            int status = -1;
            CALC_OFFSETS(g, par, 200.0f, 100.0f, res, status);
            ASSERT_EQ(status, 0);
            EXPECT_NEAR(res(1), t.tth, 2e-4);
            EXPECT_NEAR(res(2), t.om, 2e-4);
            EXPECT_NEAR(res(3), t.chi, 2e-4);
            EXPECT_NEAR(res(4), t.z_tth, 2e-5);
            EXPECT_NEAR(res(5), t.z_om, 2e-5);
            EXPECT_NEAR(res(6), t.z_chi, 2e-5);
            EXPECT_NEAR(res(7), t.dx, 1e-3);
            EXPECT_NEAR(res(8), t.dy, 1e-3);
            EXPECT_NEAR(res(9), t.dz, 1e-3);
            EXPECT_NEAR(res(10), t.delta_h, 1e-3);
        }
    }
}

TEST(CalcOffsets, SignAndChiTestsGiveTheirStatusAndZeroResults) {
    struct Case {
        const char* name;
        int row, col;
        float value;
        int status;
    };
    const Case cases[] = {
        {"2theta of setting 5 negative", 5, 1, -40.25f, 1},
        {"2theta of setting 2 positive", 2, 1, 39.75f, 1},
        {"2theta of setting 4 zero counts as positive", 4, 1, 0.0f, 0},
        {"omega of setting 3 positive", 3, 2, 1.6875f, 2},
        {"omega of setting 8 zero counts as positive", 8, 2, 0.0f, 0},
        {"chi pair 5 degrees apart", 2, 3, 35.875f, 0},
        {"chi pair 5.01 degrees apart", 2, 3, 35.885f, 3},
        {"chi of the third pair 6 degrees apart", 6, 3, 156.375f, 3},
        {"chi not a number", 7, 3, std::numeric_limits<float>::quiet_NaN(), 3},
        {"chi too far below that of setting 1 for a turn to change it", 3, 3, -3.0e12f, 3},
    };
    const Parities par{1.0f, 1.0f, 1.0f, 1.0f};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Group g = simple_group();
        g(c.row, c.col) = c.value;
        if (c.col == 3 && c.row == 3) g(4, 3) = c.value;  // the pair agrees; only the turn fails
        Results res;
        for (int i = 1; i <= 10; ++i) res(i) = 99.0f;
        int status = -1;
        CALC_OFFSETS(g, par, 200.0f, 100.0f, res, status);
        EXPECT_EQ(status, c.status);
        if (c.status != 0) {
            for (int i = 1; i <= 10; ++i) EXPECT_EQ(res(i), 0.0f) << i;
        }
    }
}

TEST(CalcOffsets, OmegaSignsAreNotTestedNearTheBisectingPosition) {
    const Parities par{1.0f, 1.0f, 1.0f, 1.0f};
    for (const float om1 : {1.0f, -1.0f, 0.0f}) {
        Group g = simple_group();
        g(1, 2) = om1;
        for (int k = 2; k <= 8; ++k) g(k, 2) = k % 3 == 0 ? -0.5f : 0.5f;  // any pattern
        Results res;
        int status = -1;
        CALC_OFFSETS(g, par, 200.0f, 100.0f, res, status);
        EXPECT_EQ(status, 0) << om1;
    }
    Group g = simple_group();
    g(1, 2) = 1.01f;
    g(2, 2) = -0.5f;
    Results res;
    int status = -1;
    CALC_OFFSETS(g, par, 200.0f, 100.0f, res, status);
    EXPECT_EQ(status, 2);
}

TEST(CalcOffsets, UnwrapsChiOfSettingsThreeToSixInTheCallersArray) {
    struct Case {
        float chi1, chi34, chi56;
        float want34, want56;
    };
    const Case cases[] = {
        {10.0f, -170.0f, -190.0f, 190.0f, 170.0f},
        {10.0f, 190.0f, 160.0f, 190.0f, 520.0f},   // 160 + 10 = 170 is not above 170
        {10.0f, -530.0f, 170.0f, 190.0f, 170.0f},  // two turns
    };
    const Parities par{1.0f, 1.0f, 1.0f, 1.0f};
    for (const Case& c : cases) {
        Group g = simple_group();
        g(1, 3) = g(2, 3) = c.chi1;
        g(7, 3) = g(8, 3) = -c.chi1;
        g(3, 3) = g(4, 3) = c.chi34;
        g(5, 3) = g(6, 3) = c.chi56;
        Results res;
        int status = -1;
        CALC_OFFSETS(g, par, 200.0f, 100.0f, res, status);
        EXPECT_EQ(status, 0);
        EXPECT_EQ(g(3, 3), c.want34);
        EXPECT_EQ(g(4, 3), c.want34);
        EXPECT_EQ(g(5, 3), c.want56);
        EXPECT_EQ(g(6, 3), c.want56);
        EXPECT_EQ(g(1, 3), c.chi1);
        EXPECT_EQ(g(7, 3), -c.chi1);
    }
}

TEST_F(Zref, ReplacesTheTableByCentredRowsThatRefineToTheKnownMatrix) {
    const ref::Cell cell{7.812, 9.433, 11.205, 88.4, 104.3, 93.7};
    const ref::M3 ub = lsqtest::orientation_matrix(cell);
    const int p[4] = {1, -1, 1, -1};
    for (int i = 1; i <= 4; ++i) GONIO.PARITY(i) = p[i - 1];
    const std::vector<lsqtest::Hkl> refl = {{3, 1, -2}, {-1, 2, 2}, {2, 3, 1}, {1, -3, 2}, {4, 0, 1}};
    std::vector<Truth> truth;
    for (std::size_t n = 0; n < refl.size(); ++n) {
        Truth t = setting_of(ub, refl[n], 1.5 + 0.5 * double(n), p);
        t.z_tth = 0.043;
        t.z_om = -0.027;
        t.z_chi = 0.115;
        t.dx = 0.05;
        t.dy = -0.03;
        t.dz = 0.02;
        t.delta_h = 0.08;
        truth.push_back(t);
        append(eight_settings(t, p, 200.0, 100.0), refl[n].h, refl[n].k, refl[n].l);
    }
    ASSERT_EQ(FITVALS.NFIT, 40);

    RUN_ZREF();

    ASSERT_EQ(FITVALS.NFIT, 5);
    for (int i = 1; i <= 5; ++i) {
        SCOPED_TRACE(i);
        const Truth& t = truth[std::size_t(i - 1)];
        EXPECT_EQ(FITVALS.IHFIT(i, 1), refl[std::size_t(i - 1)].h);
        EXPECT_EQ(FITVALS.IHFIT(i, 2), refl[std::size_t(i - 1)].k);
        EXPECT_EQ(FITVALS.IHFIT(i, 3), refl[std::size_t(i - 1)].l);
        EXPECT_NEAR(FITVALS.ANGLESFIT(i, 1), t.tth, 2e-4);
        EXPECT_NEAR(FITVALS.ANGLESFIT(i, 2), t.om, 2e-4);
        EXPECT_NEAR(FITVALS.ANGLESFIT(i, 3), t.chi, 2e-4);
        EXPECT_EQ(FITVALS.ANGLESFIT(i, 4), float(t.phi));
        EXPECT_EQ(FITVALS.TH_TRUE(i), FITVALS.ANGLESFIT(i, 1) / 2.0f);
        // The group's own widths (rows 8i-7 to 8i) and backgrounds, not those of rows 1 to 5.
        double sw = 0, swx = 0, back = 0;
        for (int m = 8 * i - 7; m <= 8 * i; ++m) {
            back += m + 0.5;
            if (m == 1) continue;
            const double esd = 0.0001 * m, wt = 1 / (esd * esd);
            sw += wt;
            swx += wt * 0.001 * m;
        }
        EXPECT_NEAR(FITVALS.FWHMFIT(i, 1), swx / sw, 1e-5 * swx / sw);
        EXPECT_NEAR(FITVALS.FWHMFIT(i, 2), 1 / std::sqrt(sw), 1e-5 / std::sqrt(sw));
        EXPECT_NEAR(FITVALS.BACKFIT(i), back / 8, 1e-5 * back / 8);
    }
    EXPECT_EQ(FITVALS.TH_TRUE(6), -1.0f);

    // The centred angles are free of the zeros and the offset: they refine to the known matrix.
    int ierr = -1;
    LSQ(FITVALS.NFIT, FITVALS.ANGLESFIT, FITVALS.IHFIT, ierr);
    ASSERT_EQ(ierr, 0);
    lsqtest::expect_ub(ub, 2e-5);
    lsqtest::expect_cell(cell, 2e-3, 2e-2);

    // The notice, with its 50 characters, and the wait box put up and taken down before it.
    ASSERT_FALSE(wl::model().boxes.empty());
    EXPECT_EQ(wl::model().boxes.back().text, "    5 Reflection groups processed by Zref");
    EXPECT_EQ(wl::model().boxes.back().icon, 3);
    EXPECT_EQ(wl::model().boxes.back().buttons, 0);
    EXPECT_EQ(transcript(), (std::vector<std::string>{"show " + TITLE, "hide " + TITLE,
                                                      "box " + TITLE + " |     5 Reflection groups processed by Zref"}));
}

TEST_F(Zref, CentredRowTakesItsGroupsWeightedWidthAndMeanBackground) {
    struct Case {
        const char* name;
        float fwhm[8], esd[8];
        float want, want_esd;  // weighted mean width and its esd
    };
    const Case cases[] = {
        {"equal esds: the plain mean, esd over root 8",
         {0.10f, 0.12f, 0.10f, 0.12f, 0.10f, 0.12f, 0.10f, 0.12f},
         {0.02f, 0.02f, 0.02f, 0.02f, 0.02f, 0.02f, 0.02f, 0.02f}, 0.11f, float(0.02 / std::sqrt(8.0))},
        {"weights 1/esd^2: one member of esd 0.01 against seven of esd 0.03",
         {0.20f, 0.10f, 0.10f, 0.10f, 0.10f, 0.10f, 0.10f, 0.10f},
         {0.01f, 0.03f, 0.03f, 0.03f, 0.03f, 0.03f, 0.03f, 0.03f}, float((9 * 0.20 + 7 * 0.10) / 16), 0.0075f},
        {"widths not refined (esd 0) are left out",
         {0.10f, 9.0f, 0.10f, 9.0f, 0.10f, 0.10f, 0.10f, 0.10f},
         {0.01f, 0.0f, 0.01f, 0.0f, 0.01f, 0.01f, 0.01f, 0.01f}, 0.10f, float(0.01 / std::sqrt(6.0))},
        {"strong reflections: widths known far better than 1E-4 all count",
         {0.10f, 0.12f, 0.10f, 0.12f, 0.10f, 0.12f, 0.10f, 0.12f},
         {3e-6f, 3e-6f, 3e-6f, 3e-6f, 3e-6f, 3e-6f, 3e-6f, 3e-6f}, 0.11f, float(3e-6 / std::sqrt(8.0))},
        {"an esd that is negative or not finite is no refined width",
         {0.10f, 9.0f, 9.0f, 9.0f, 0.10f, 0.10f, 0.10f, 0.10f},
         {0.01f, -0.01f, NAN, INFINITY, 0.01f, 0.01f, 0.01f, 0.01f}, 0.10f, float(0.01 / std::sqrt(5.0))},
        {"no refined width: esd 0, so the calibration leaves the row out",
         {0.10f, 0.10f, 0.10f, 0.10f, 0.14f, 0.14f, 0.14f, 0.14f},
         {0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f}, 0.12f, 0.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FITVALS.NFIT = 0;
        append(simple_group(), 2, 0, 1, 7);  // an unfinished group ahead: its rows leave no trace
        append(simple_group(), 1, 2, 3);
        for (int m = 1; m <= 8; ++m) {
            FITVALS.FWHMFIT(7 + m, 1) = c.fwhm[m - 1];
            FITVALS.FWHMFIT(7 + m, 2) = c.esd[m - 1];
            FITVALS.BACKFIT(7 + m) = 10.0f * float(m);
        }
        RUN_ZREF();
        ASSERT_EQ(FITVALS.NFIT, 1);
        EXPECT_NEAR(FITVALS.FWHMFIT(1, 1), c.want, 1e-6);
        EXPECT_NEAR(FITVALS.FWHMFIT(1, 2), c.want_esd, 1e-7);
        EXPECT_EQ(FITVALS.BACKFIT(1), 45.0f);
    }
}

TEST_F(Zref, GroupsConsecutiveRowsOfOneReflectionOrItsOpposite) {
    const Group g = simple_group();
    struct Block {
        int h, k, l, members;
        bool alternate;
    };
    struct Case {
        const char* name;
        std::vector<Block> blocks;
        std::vector<std::array<int, 3>> groups;  // indices of the centred rows
    };
    const Case cases[] = {
        {"sixteen rows of one reflection make two groups", {{1, 2, 3, 8, true}, {1, 2, 3, 8, true}},
         {{1, 2, 3}, {1, 2, 3}}},
        {"seven rows, then another reflection: its eight rows make the group",
         {{1, 2, 3, 7, true}, {2, 0, 1, 8, true}}, {{2, 0, 1}}},
        {"a group begun by the opposite reflection keeps its indices", {{-1, -2, -3, 8, true}}, {{-1, -2, -3}}},
        {"rows all of one sign", {{1, 2, 3, 8, false}}, {{1, 2, 3}}},
        {"(1,-2,3) breaks a group of (1,2,3); its own seven rows are dropped",
         {{1, 2, 3, 3, true}, {1, -2, 3, 7, true}, {4, 4, 4, 8, true}}, {{4, 4, 4}}},
        {"an unfinished group at the end is dropped", {{1, 2, 3, 8, true}, {3, 0, 0, 7, true}}, {{1, 2, 3}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FITVALS.NFIT = 0;
        for (const Block& b : c.blocks) append(g, b.h, b.k, b.l, b.members, b.alternate);
        RUN_ZREF();
        ASSERT_EQ(FITVALS.NFIT, int(c.groups.size()));
        for (int i = 1; i <= FITVALS.NFIT; ++i) {
            for (int k = 1; k <= 3; ++k) EXPECT_EQ(FITVALS.IHFIT(i, k), c.groups[std::size_t(i - 1)][std::size_t(k - 1)]);
            EXPECT_NEAR(FITVALS.ANGLESFIT(i, 1), 40.0f, 1e-5);
            EXPECT_NEAR(FITVALS.ANGLESFIT(i, 2), 2.0f, 1e-5);
            EXPECT_NEAR(FITVALS.ANGLESFIT(i, 3), 30.0f, 1e-5);
            EXPECT_EQ(FITVALS.ANGLESFIT(i, 4), 50.0f);
        }
    }
}

TEST_F(Zref, LogShowsEachGroupAsMeasuredWithItsResultsOrItsStatus) {
    open_the_log();
    Group bad = simple_group();
    bad(6, 1) = 39.75f;  // 2theta of setting 6 off the pattern
    append(bad, 1, 2, 3);
    append(simple_group(), 2, -1, 0);

    RUN_ZREF();

    const std::vector<std::string> expected = {
        "",
        std::string(79, '*'),  // the first of 80 is the carriage control
        "         OUTPUT FROM ZREF",
        "",
        "",
        "Results For Reflection No.  1 : hkl=     1    2    3",
        "                     2Theta    Omega      Chi      Phi",
        "                    40.2500    2.4375   30.8750   50.0000",
        "                   -39.7500    2.5625   30.6250   50.0000",
        "                   -39.7500   -1.6875 -148.8750   50.0000",
        "                    40.2500   -1.8125 -149.6250   50.0000",
        "                    40.2500   -1.4375  150.3750 -130.0000",
        "                    39.7500   -1.5625  151.1250 -130.0000",
        "                   -39.7500    2.1875  -29.3750 -130.0000",
        "                    40.2500    2.3125  -29.1250 -130.0000",
        "",
        "",
        " SUBROUTINE CALC_OFFSETS RETURNED IERR = 1",
        "",
        "Results For Reflection No.  1 : hkl=     2   -1    0",
        "                     2Theta    Omega      Chi      Phi",
        "                    40.2500    2.4375   30.8750   50.0000",
        "                   -39.7500    2.5625   30.6250   50.0000",
        "                   -39.7500   -1.6875 -148.8750   50.0000",
        "                    40.2500   -1.8125 -149.6250   50.0000",
        "                    40.2500   -1.4375  150.3750 -130.0000",
        "                   -39.7500   -1.5625  151.1250 -130.0000",
        "                   -39.7500    2.1875  -29.3750 -130.0000",
        "                    40.2500    2.3125  -29.1250 -130.0000",
        "",
        "",
        "    TRUE ANGLES:    40.0000    2.0000   30.0000   50.0000",
        "         ZEROES:     0.2500    0.5000    0.7500",
        "CRYSTAL OFFSETS:     0.6827   -0.1530    0.4156",
        "        DELTA-H:    -0.1493   LENGTH OF OFFSET =     0.8137",
    };
    EXPECT_EQ(log_lines(), expected);
    EXPECT_EQ(FITVALS.NFIT, 1);
    EXPECT_EQ(FITVALS.IHFIT(1, 1), 2);
}

TEST_F(Zref, GroupNumbersFromOneHundredShowAsAsterisks) {
    open_the_log();
    for (int n = 0; n < 100; ++n) append(simple_group(), 1 + n % 2, 0, 0);
    RUN_ZREF();
    EXPECT_EQ(FITVALS.NFIT, 100);
    int heading = 0;
    for (const std::string& line : log_lines())
        if (line.rfind("Results For Reflection No. ", 0) == 0) {
            ++heading;
            if (heading == 99) {
                EXPECT_EQ(line.substr(27, 2), "99");
            }
            if (heading == 100) {
                EXPECT_EQ(line.substr(27, 2), "**");
            }
        }
    EXPECT_EQ(heading, 100);
}

TEST_F(Zref, WithoutAGoodGroupTheTableStaysAndTheNoticeSaysSo) {
    struct Case {
        const char* name;
        int rows;
        bool spoil;
    };
    const Case cases[] = {{"empty table", 0, false}, {"seven rows", 7, false}, {"only a bad group", 8, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        script({});
        FITVALS.NFIT = 0;
        Group g = simple_group();
        if (c.spoil) g(3, 3) = 0.0f;  // chi pair 3, 4 apart
        append(g, 1, 1, 1, c.rows);
        const FITVALS_t before = FITVALS;
        RUN_ZREF();
        EXPECT_EQ(FITVALS.NFIT, c.rows);
        for (int i = 1; i <= 8; ++i) {
            for (int k = 1; k <= 4; ++k) EXPECT_EQ(FITVALS.ANGLESFIT(i, k), before.ANGLESFIT(i, k));
            for (int k = 1; k <= 3; ++k) EXPECT_EQ(FITVALS.IHFIT(i, k), before.IHFIT(i, k));
            EXPECT_EQ(FITVALS.TH_TRUE(i), -1.0f);
        }
        EXPECT_EQ(transcript(), (std::vector<std::string>{"show " + TITLE, "hide " + TITLE,
                                                          "box " + TITLE + " | No reflections processed by ZREF"}));
        EXPECT_EQ(wl::model().boxes.back().icon, 3);
    }
}

TEST_F(Zref, MenuEntriesFollowWhateverTheOutcome) {
    for (const int ubok : {0, 1}) {
        SCOPED_TRACE(ubok);
        UNITCELL.UBOK = ubok;
        FITVALS.IPREPROC = 0;
        FITVALS.NFIT = 0;
        RUN_ZREF();  // an empty table: nothing processed
        EXPECT_EQ(FITVALS.IPREPROC, 1);
        EXPECT_EQ(state(32), STATUS_ACTIVE);
        EXPECT_EQ(state(33), STATUS_ACTIVE);
        EXPECT_EQ(state(34), STATUS_ACTIVE);
        EXPECT_EQ(state(35), STATUS_GREYED);
        EXPECT_EQ(state(36), ubok == 1 ? STATUS_ACTIVE : STATUS_GREYED);
    }
}

TEST_F(Zref, CalcUnitCellAfterFewerThanThreeGroupsRefusesToRefine) {
    append(simple_group(), 1, 0, 0);
    append(simple_group(), 0, 1, 0);
    RUN_ZREF();
    ASSERT_EQ(FITVALS.NFIT, 2);
    script({});
    UB_FIT();
    EXPECT_EQ(transcript(), (std::vector<std::string>{"box " + TITLE + " | Too Few Reflections for Least Squares"}));
}

}  // namespace
