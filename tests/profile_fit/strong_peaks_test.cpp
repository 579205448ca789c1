// Strong reflections through the fit, tests and integration of one reflection, on data sets made by
// the project's generator: peaks of 1E5 to 1E7 counts per step at 2theta 7 to 105 degrees, scans
// of 41, 96 and 200 steps, lying 0, 5, 15 and 25 degrees off the bisecting omega (an omega zero of
// the instrument). Where a peak lies far from the omega origin its position is held in 32 bits
// only to about 1E-6 degrees, coarser than a hundredth of its esd, and the fit's last shifts can
// no longer move it. Every reflection must be accepted, at the least-squares solution of a
// double-precision fit of the same model with the program's own alpha2 offset: within 0.1 esd, or
// within one 32-bit step of the value where that step is the coarser.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>

#include "../scan_input/test_files.h"
#include "gen.h"
#include "include/profile_fit.h"
#include "include/scan_input.h"
#include "include/shared.h"
#include "scan_model.h"

namespace sm = scan_model;

namespace {

// The reflections of the table: 2theta about 7, 14, 22, 34, 72 and 105 degrees in a cubic cell of
// 6 Angstrom with Mo K-alpha.
struct Row {
    int h, k, l;
};
constexpr Row kRows[] = {{1, 0, 0}, {2, 0, 0}, {3, 1, 0}, {4, 2, 2}, {7, 7, 0}, {11, 7, 3}};
constexpr int kSteps[] = {41, 96, 200};
constexpr double kPeakCounts[] = {1.0e5, 1.0e6, 1.0e7};  // counts per step at the alpha1 maximum
constexpr double kFwhmA = 0.10, kFwhmB = 0.10, kEta = 0.5;

// The data set at `offset` degrees off the bisecting omega: every reflection at every step count,
// the peak height going round the three levels. Each scan covers sixteen widths and twice the
// alpha2 separation. (Its ends still lie in the Lorentzian tails of the strongest peaks, so the
// integration limits are not asked of it, and the background, known there only to some tens of
// counts, may come out below zero.)
kgen::DataSet strong_set(double offset) {
    std::string text = "title Strong peaks off the bisecting setting\ncell 6 6 6 90 90 90\norient 11 -23 37\n"
                       "wave 0.70930 0.71359 0.5\nfwhm " + std::to_string(kFwhmA) + " " + std::to_string(kFwhmB) +
                       "\neta " + std::to_string(kEta) + "\nbackground 30\nfitlim -1e6 1e6 0.01 1 0 1e9 0.2 0.2 0 1 0.3 0.7 0.5\nseed " +
                       std::to_string(7001 + int(offset)) + "\nomzero " + std::to_string(offset) + "\n";
    int level = 0;
    for (const Row& r : kRows) {
        for (int n : kSteps) {
            // The reflection's width and alpha2 separation from its Bragg angle.
            const double d = 6.0 / std::sqrt(double(r.h * r.h + r.k * r.k + r.l * r.l));
            const double theta = std::asin(0.70930 / (2 * d));
            const double fwhm = kFwhmA + kFwhmB * std::tan(theta);
            const double sep = std::asin(0.71359 / 0.70930 * std::sin(theta)) - theta;
            const double width = 16 * fwhm + 2 * sep * 180 / sm::PI;
            // Height of the unit-area pseudo-Voigt at its centre, per degree.
            const double height = kEta * 2 / (sm::PI * fwhm) + (1 - kEta) * 0.9394373 / fwhm;
            const double area = kPeakCounts[level++ % 3] / height;
            char line[160];
            std::snprintf(line, sizeof line, "refl %d %d %d %.0f steps=%d step=%.5f offcentre=%g\n", r.h, r.k, r.l,
                          area, n, width / (n - 1), offset);
            text += line;
        }
    }
    kgen::DataSetSpec spec;
    const std::string err = kgen::parse_spec(text, spec);
    EXPECT_EQ(err, "");
    kgen::DataSet ds;
    EXPECT_EQ(kgen::build(spec, true, ds), "");
    return ds;
}

class StrongPeaks : public kvtest::FileTest, public ::testing::WithParamInterface<double> {
protected:
    // The data set written by the generator and opened as the program opens it.
    void open_set(const kgen::DataSet& ds) {
        std::ofstream(dir / "strong.rfl", std::ios::binary) << kgen::rfl_text(ds);
        std::ofstream(dir / "strong.par", std::ios::binary) << kgen::par_text(ds);
        ASSERT_EQ(kvtest::open_read(3, dir / "strong.par"), rt::IOS_OK);
        READ_PARAMETERS(0);
        FILEINFO.LUNSTD = 25;
        ASSERT_EQ(kvtest::open_read(25, dir / "strong.rfl"), rt::IOS_OK);
        int status = 0;
        READ_HEADER_STDDATA(25, status);
        ASSERT_EQ(status, 0);
    }
    // The start values of the program's default rules: background from the scan ends, width from
    // its law, position at the highest count, intensity from the peak count.
    static void start_values() {
        auto& P = FITPAR;
        const auto& R = REFLN;
        P.VALS(1) = 0.5f * (R.COUNTS(1) + R.COUNTS(R.NSTEP));
        P.VALS(2) = P.PKVALS(2, 1) + P.PKVALS(2, 2) * std::tan(std::fabs(0.5f * R.ANGL(1)) / 57.29578f);
        P.VALS(3) = (R.CMAX - P.VALS(1)) * P.VALS(2);
        P.VALS(4) = R.XPOS(R.IMAX);
    }
};

// The spacing of 32-bit floats at v.
double step_at(float v) { return double(std::nextafter(std::fabs(v), INFINITY) - std::fabs(v)); }

TEST_P(StrongPeaks, EveryOneIsAcceptedAtTheLeastSquaresSolution) {
    const double offset = GetParam();
    const kgen::DataSet ds = strong_set(offset);
    open_set(ds);
    const std::array<int, 6> refined{1, 1, 1, 1, 0, 0};
    for (int j = 1; j <= 6; ++j) ASSERT_EQ(FITPAR.IREF(j), refined[j - 1]);
    for (const kgen::Scan& s : ds.scans) {
        const rt::FArray<int, 3> none;
        int status = -1;
        READ_SCAN_STDDATA(25, STD_NEXT, 0, none, status);
        ASSERT_EQ(status, 0);
        SCOPED_TRACE(testing::Message() << "hkl " << s.r.h << " " << s.r.k << " " << s.r.l << ", 2theta " << s.tth
                                        << ", " << s.nstep << " steps, peak " << REFLN.CMAX);
        start_values();
        int ierr = -1;
        FITSCAN(0, ierr);
        EXPECT_EQ(REFLN.FLAG(2), 'F');
        EXPECT_EQ(REFLN.FLAG(3), ' ');

        // The same model fitted in double precision to the counts as read, with the alpha2 offset
        // the program placed.
        sm::Scan scan;
        scan.tth = REFLN.ANGL(1);
        scan.delta = double(REFLN.DOMA2 + REFLN.DOMONO);
        for (int i = 1; i <= REFLN.NSTEP; ++i) {
            scan.x.push_back(REFLN.XPOS(i));
            scan.y.push_back(REFLN.COUNTS(i));
        }
        sm::Params got;
        for (int j = 0; j < 6; ++j) got[j] = FITPAR.VALS(j + 1);
        const sm::RefFit ref = sm::reference_fit(scan, got, refined);
        ASSERT_TRUE(ref.ok);
        for (int j = 0; j < 4; ++j) {
            const float v = FITPAR.VALS(j + 1);
            EXPECT_NEAR(v, ref.p[j], std::max(0.1 * ref.esd[j], step_at(v))) << "parameter " << j + 1;
            EXPECT_NEAR(FITPAR.SIGVAL(j + 1), ref.esd[j], 0.02 * ref.esd[j]) << "esd " << j + 1;
        }
        EXPECT_NEAR(FITPAR.VALS(4), s.pos_true, 6 * ref.esd[3]);
    }
}

INSTANTIATE_TEST_SUITE_P(DegreesOffBisecting, StrongPeaks, ::testing::Values(0.0, 5.0, 15.0, 25.0));
INSTANTIATE_TEST_SUITE_P(FarFromTheOmegaOrigin, StrongPeaks, ::testing::Values(32.0, 45.0, 60.0, -40.0));

}  // namespace
