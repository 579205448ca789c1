// The integrated data file: Lorentz-polarisation correction, angle wrapping, the dynamic decimal
// count, the three entry layouts line by line, the overflow box, the fatal write error and the
// direction cosines of the Shelx layout against an independent computation.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "include/profile_fit.h"
#include "include/shared.h"
#include "platform/script.h"
#include "runtime/fatal.h"
#include "runtime/units.h"

namespace {

constexpr double kRad = 3.14159265358979323846 / 180.0;

std::vector<std::string> read_lines(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    const std::string text = ss.str();
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            out.push_back(text.substr(start) + "<no CR LF>");
            break;
        }
        out.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return out;
}

std::string fixed(double v, int w, int d) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%*.*f", w, d, v);
    return buf;
}

// Busing & Levy rotation matrices (phi-axis frame to the laboratory frame at the setting).
using M3 = double[3][3];
void mat_mul(const M3 a, const M3 b, M3 out) {
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            out[i][j] = 0;
            for (int k = 0; k < 3; ++k) out[i][j] += a[i][k] * b[k][j];
        }
}
void bl_rotation(double omega, double chi, double phi, M3 r) {
    const double cw = std::cos(omega * kRad), sw = std::sin(omega * kRad);
    const double cc = std::cos(chi * kRad), sc = std::sin(chi * kRad);
    const double cp = std::cos(phi * kRad), sp = std::sin(phi * kRad);
    const M3 Om = {{cw, sw, 0}, {-sw, cw, 0}, {0, 0, 1}};
    const M3 X = {{cc, 0, sc}, {0, 1, 0}, {-sc, 0, cc}};
    const M3 Ph = {{cp, sp, 0}, {-sp, cp, 0}, {0, 0, 1}};
    M3 xp;
    mat_mul(X, Ph, xp);
    mat_mul(Om, xp, r);
}
// Reversed incident beam and diffracted beam in the phi-axis frame: in the laboratory frame the
// bisecting diffraction vector lies along x and the beams in the xy plane; the phi-axis vector
// is R^T times the laboratory vector.
void beams_phi_frame(double tth, double omega, double chi, double phi, double inc[3], double dif[3]) {
    const double t = 0.5 * tth * kRad;
    const double inc_lab[3] = {std::sin(t), -std::cos(t), 0.0};
    const double dif_lab[3] = {std::sin(t), std::cos(t), 0.0};
    M3 r;
    bl_rotation(omega, chi, phi, r);
    for (int i = 0; i < 3; ++i) {
        inc[i] = dif[i] = 0;
        for (int k = 0; k < 3; ++k) {
            inc[i] += r[k][i] * inc_lab[k];
            dif[i] += r[k][i] * dif_lab[k];
        }
    }
}

class IntegratedFile : public ::testing::Test {
protected:
    std::string path;

    // Unit 2, the integrated data file, on `file` (closed first when open).
    static int open_integrated(const std::string& file, rt::FileStatus status = rt::FileStatus::Replace,
                               rt::FileAction action = rt::FileAction::Write) {
        rt::unit_close(2);
        rt::OpenSpec spec;
        spec.status = status;
        spec.action = action;
        return rt::unit_open(2, file, spec);
    }

    void SetUp() override {
        reset_shared_records();
        wl::script::load_lines({});
        namespace fs = std::filesystem;
        const fs::path dir = fs::path(KV_BINARY_DIR) / "write_int_tmp";
        fs::create_directories(dir);
        path = (dir / (std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + ".int")).string();
        ASSERT_EQ(open_integrated(path), rt::IOS_OK);

        FILEINFO.OUTOPEN = 1;
        FILEINFO.OUT_FORMAT = 1;
        FITOPT.IINT = 2;
        REFLN.IH(1) = 1;
        REFLN.IH(2) = -2;
        REFLN.IH(3) = 3;
        set_angles(0.0f, 0.01f, 200.0f, -180.0f);
        REFLN.ISEQ = 12;
        REFLN.ISTD = 3;
        REFLN.FLAG = "NF    ";
        REFLN.SCALE = 1.5f;
        REFLN.STEP = 0.02f;
        const float vals[6] = {10.0f, 0.08f, 1000.0f, 0.0123f, 0.5f, 0.5f};
        const float sig[6] = {0.5f, 0.001f, 12.5f, 0.0005f, 0.01f, 0.02f};
        for (int i = 1; i <= 6; ++i) {
            FITPAR.VALS(i) = vals[i - 1];
            FITPAR.SIGVAL(i) = sig[i - 1];
        }
        FITPAR.RWP = 0.0625f;
        FITPAR.CHI2 = 1.25f;
        INTRES.PEAK = 1000.0f;
        INTRES.SIGPEAK = 10.0f;
        INTRES.ISUM = 900.0f;
        INTRES.SIGISUM = 20.0f;
    }
    void TearDown() override { rt::unit_close(2); }

    static void set_angles(float tth, float om, float chi, float phi) {
        REFLN.ANGL(1) = tth;
        REFLN.ANGL(2) = om;
        REFLN.ANGL(3) = chi;
        REFLN.ANGL(4) = phi;
    }
    std::vector<std::string> written() {
        rt::unit_close(2);
        return read_lines(path);
    }
    static std::vector<std::string> boxes() {
        std::vector<std::string> b;
        for (const auto& l : wl::script::transcript())
            if (l.rfind("box ", 0) == 0) b.push_back(l);
        return b;
    }
};

}  // namespace

// ---- The pieces --------------------------------------------------------------------------------

TEST(DynamicDecimals, FillTheFieldExactly) {
    struct Case {
        int iw;
        float value;
        int nd;
    } cases[] = {
        {7, 123.4f, 3},    {11, 0.5f, 9},      {11, -12.5f, 7},   {7, 123456.0f, 0},   {7, 0.0f, 5},
        {7, 999998.0f, 0}, {7, -99998.0f, 0},  {7, -0.0005f, 5},  {11, 9999999.0f, 3}, {7, 9.9999f, 4},
        {7, -1.0f, 4},     {3, 5.0f, 1},
        // large enough that 32 bits swallow the 0.001: exact powers of ten still fit their field
        {11, 1.0e9f, 0},   {11, 100000.0f, 4}, {7, 100000.0f, 0},  {11, -1.0e5f, 3},  {11, 100000.0078125f, 4},
    };
    for (const auto& c : cases) {
        int nd = -7, ierr = -7;
        DYNAMIC_FT(c.iw, c.value, nd, ierr);
        EXPECT_EQ(ierr, 0) << c.iw << " " << c.value;
        EXPECT_EQ(nd, c.nd) << c.iw << " " << c.value;
    }
}

TEST(DynamicDecimals, RefusesWhatCannotFitAndLeavesTheCountAlone) {
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    struct Case {
        int iw;
        float value;
    } cases[] = {
        {7, 1.0e6f},  {7, 999999.5f}, {7, -1.0e5f}, {11, 2.0e10f}, {11, -1.0e9f},
        {7, nan},     {7, inf},       {7, -inf},
        {1, -5.0f},   {0, 1.0f},      {40, 1.0f},   {-3, 1.0f},  // field widths outside the table
    };
    for (const auto& c : cases) {
        int nd = 42, ierr = 0;
        DYNAMIC_FT(c.iw, c.value, nd, ierr);
        EXPECT_EQ(ierr, 1) << c.iw << " " << c.value;
        EXPECT_EQ(nd, 42) << c.iw << " " << c.value;
    }
}

TEST(WrapAngle, BringsAnglesIntoTheHalfOpenCircle) {
    struct Case {
        float in, out;
    } cases[] = {
        {200.0f, -160.0f}, {-180.0f, 180.0f}, {180.0f, 180.0f}, {-179.5f, -179.5f}, {540.0f, 180.0f},
        {-540.0f, 180.0f}, {725.0f, 5.0f},    {0.0f, 0.0f},     {-900.25f, 179.75f},
    };
    for (const auto& c : cases) {
        float a = c.in;
        WRAP(a);
        EXPECT_FLOAT_EQ(a, c.out) << c.in;
    }
}

TEST(WrapAngle, LeavesNonFiniteValuesAndEndsOnHugeOnes) {
    float a = std::numeric_limits<float>::quiet_NaN();
    WRAP(a);
    EXPECT_TRUE(std::isnan(a));
    a = std::numeric_limits<float>::infinity();
    WRAP(a);
    EXPECT_EQ(a, std::numeric_limits<float>::infinity());
    for (float big : {1.0e10f, -3.0e38f, 7.0e7f, 1.0e6f + 0.5f}) {
        a = big;
        WRAP(a);
        EXPECT_GT(a, -180.0f) << big;
        EXPECT_LE(a, 180.0f) << big;
        // the result is the same angle
        EXPECT_NEAR(std::remainder(std::fmod(double(big), 360.0) - double(a), 360.0), 0.0, 1e-3) << big;
    }
}

TEST(LorentzPolarisation, WithoutMonochromatorIsTwoSin2ThetaOverOnePlusCos2Squared) {
    MONOCH.MONO_TYPE = 0;
    for (double tth : {0.0, 5.0, 30.0, 60.0, 90.0, 135.0, 170.0, -30.0}) {
        const double t2 = tth * kRad;
        const double ref = std::fabs(2.0 * std::sin(t2) / (1.0 + std::cos(t2) * std::cos(t2)));
        EXPECT_NEAR(CLORENZ(float(tth)), ref, 2e-6 * (1.0 + ref)) << tth;
    }
    EXPECT_EQ(CLORENZ(0.0f), 0.0f);
    EXPECT_EQ(CLORENZ(-30.0f), CLORENZ(30.0f));
    MONOCH.MONO_TYPE = 2;  // any type but 1 means no monochromator
    EXPECT_NEAR(CLORENZ(30.0f), 1.0 / 1.75, 1e-6);
}

TEST(LorentzPolarisation, WithMonochromatorFollowsTheDihedralAngle) {
    // polarisation of a monochromated beam: the perpendicular geometry (dihedral 0) gives
    // (1 + M cos^2 2theta) / (1 + M), the parallel one (90) (cos^2 2theta + M) / (1 + M),
    // with M = cos^2 2theta_m; the factor written is sin 2theta / polarisation.
    MONOCH.MONO_TYPE = 1;
    for (double mono : {13.0, 26.6}) {
        MONOCH.MONO_2THETA = float(mono);
        const double m = std::pow(std::cos(mono * kRad), 2);
        for (double tth : {10.0, 45.0, 100.0, -60.0}) {
            const double c2 = std::pow(std::cos(tth * kRad), 2), s = std::fabs(std::sin(tth * kRad));
            MONOCH.MONO_DIHEDRAL = 0.0f;
            const double perp = s * (1 + m) / (1 + m * c2);
            EXPECT_NEAR(CLORENZ(float(tth)), perp, 3e-6 * perp) << mono << " " << tth;
            MONOCH.MONO_DIHEDRAL = 90.0f;
            const double para = s * (1 + m) / (c2 + m);
            EXPECT_NEAR(CLORENZ(float(tth)), para, 3e-6 * para) << mono << " " << tth;
        }
    }
}

TEST(LorentzPolarisation, WithMonochromatorSquaresTheCosineBeforeScalingIt) {
    // The 32-bit result to the last bit: cos^2 2theta is formed first and then scaled by the
    // monochromator term; scaling by the cosine twice rounds differently at these angles.
    MONOCH.MONO_TYPE = 1;
    MONOCH.MONO_2THETA = 26.6f;
    MONOCH.MONO_DIHEDRAL = 0.0f;
    struct Case {
        float tth, expected;
    } cases[] = {{1.6f, 0x1.c9a06cp-6f}, {4.5f, 0x1.423ff6p-4f}, {-4.5f, 0x1.423ff6p-4f}};
    for (const auto& c : cases) EXPECT_EQ(CLORENZ(c.tth), c.expected) << c.tth;
}

TEST(DirectionCosines, BeamsAreThoseOfTheBusingLevyRotation) {
    const float sets[][4] = {{30.0f, 0.0f, 0.0f, 0.0f}, {47.3f, 0.25f, 33.0f, -120.0f}, {-20.0f, -0.4f, -75.5f, 170.0f},
                             {120.0f, 5.0f, 89.0f, 45.0f}};
    for (const auto& s : sets) {
        rt::FArray<float, 4> ang;
        for (int i = 1; i <= 4; ++i) ang(i) = s[i - 1];
        rt::FArray<float, 6> dc;
        CALC_DIRNCOSINES(ang, dc);
        double inc[3], dif[3];
        beams_phi_frame(s[0], s[1], s[2], s[3], inc, dif);
        for (int i = 0; i < 3; ++i) {
            EXPECT_NEAR(dc(i + 1), inc[i], 2e-6) << s[0] << " component " << i;
            EXPECT_NEAR(dc(i + 4), dif[i], 2e-6) << s[0] << " component " << i;
        }
        // two unit vectors at 180 - 2theta to each other
        double n1 = 0, n2 = 0, dot = 0;
        for (int i = 1; i <= 3; ++i) {
            n1 += dc(i) * dc(i);
            n2 += dc(i + 3) * dc(i + 3);
            dot += dc(i) * dc(i + 3);
        }
        EXPECT_NEAR(n1, 1.0, 1e-6);
        EXPECT_NEAR(n2, 1.0, 1e-6);
        EXPECT_NEAR(dot, -std::cos(s[0] * kRad), 2e-6);
    }
}

TEST(DirectionCosines, WithoutOrientationMatrixTheFixedSet) {
    reset_shared_records();
    rt::FArray<float, 6> dc, out;
    dc.fill(0.3f);
    out.fill(7.0f);
    DC_TOSHELX(dc, out);
    const float expect[6] = {1, 1, 0, 0, 0, 0};
    for (int i = 1; i <= 6; ++i) EXPECT_EQ(out(i), expect[i - 1]) << i;
}

// ---- Entries of the file -----------------------------------------------------------------------

TEST_F(IntegratedFile, RfineLineAtZeroTwoThetaWithWrappedAnglesAndSequenceCode) {
    WRITE_INT();
    const auto lines = written();
    ASSERT_EQ(lines.size(), 1u);
    //           h  k  l  2theta  omega     chi     phi  intensity       esd    seq    flags  n
    EXPECT_EQ(lines[0], "  1 -2  3  0.0000  0.0123-160.000 180.000 0.000000000 0.00000   123.  NF      0");
    EXPECT_EQ(REFLN.ANGL(3), -160.0f);  // wrapped in place
    EXPECT_EQ(REFLN.ANGL(4), 180.0f);
    EXPECT_TRUE(boxes().empty());
}

TEST_F(IntegratedFile, NegativeIntensityAtZeroTwoThetaIsWrittenAsZero) {
    INTRES.PEAK = -250.0f;  // the factor 0 makes it zero, without a sign
    WRITE_INT();
    FILEINFO.OUT_FORMAT = 3;
    WRITE_INT();
    const auto lines = written();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "  1 -2  3  0.0000  0.0123-160.000 180.000 0.000000000 0.00000   123.  NF      0");
    EXPECT_EQ(lines[1], "   1  -2   3 0.00000 0.00000   1");
}

TEST_F(IntegratedFile, RfineExtendedAddsFactorsParametersAndSigmas) {
    FILEINFO.OUT_FORMAT = 2;
    WRITE_INT();
    WRITE_INT();  // a reflection written again is a further entry
    const auto lines = written();
    ASSERT_EQ(lines.size(), 8u);
    const std::vector<std::string> entry = {
        "  1 -2  3  0.0000  0.0123-160.000 180.000 0.000000000 0.00000   123.  NF      3",
        "FACTORS       0.0625    1.2500    1.5000    0.0200",
        "PARAMETERS   10.0000    0.0800 1000.0000    0.0123    0.5000    0.5000",
        "SIGMAS        0.5000    0.0010   12.5000    0.0005    0.0100    0.0200   20.0000",
    };
    for (std::size_t i = 0; i < 8; ++i) EXPECT_EQ(lines[i], entry[i % 4]) << i;
}

TEST_F(IntegratedFile, ShelxLineWithoutOrientationMatrixEndsWithTheBatchNumber) {
    for (int format : {3, 0, 7}) {  // 0 (undecided) and unknown codes write the Shelx layout too
        FILEINFO.OUT_FORMAT = format;
        WRITE_INT();
    }
    const auto lines = written();
    ASSERT_EQ(lines.size(), 3u);
    for (const auto& l : lines) EXPECT_EQ(l, "   1  -2   3 0.00000 0.00000   1");
}

TEST_F(IntegratedFile, IntensityIsCorrectedAndTheDecimalsFollowTheValue) {
    set_angles(90.0f, 0.0f, 10.0f, 20.0f);
    const float L = CLORENZ(90.0f);
    ASSERT_NEAR(L, 2.0f, 1e-6f);
    INTRES.PEAK = -6.25f;  // a negative intensity keeps one column for its sign
    INTRES.SIGPEAK = 3.0f;
    WRITE_INT();
    FITOPT.IINT = 0;  // summation intensity
    FITPAR.VALS(4) = 999.0f;  // no usable fitted position: the setting omega stays
    WRITE_INT();
    FITPAR.VALS(4) = std::numeric_limits<float>::quiet_NaN();
    REFLN.ANGL(2) = -0.25f;
    WRITE_INT();
    const auto lines = written();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "  1 -2  3 90.0000  0.0123  10.000  20.000" + fixed(L * -6.25f, 12, 7) + fixed(L * 3.0f, 8, 5) +
                            "   123.  NF      0");
    EXPECT_EQ(lines[0].substr(42, 11).size(), 11u);
    EXPECT_EQ(lines[0][42], '-');
    EXPECT_EQ(lines[1], "  1 -2  3 90.0000  0.0000  10.000  20.000" + fixed(L * 900.0f, 12, 6) + fixed(L * 20.0f, 8, 4) +
                            "   123.  NF      0");
    EXPECT_EQ(lines[2].substr(17, 8), " -0.2500");
}

TEST_F(IntegratedFile, FieldsThatOverflowFillWithAsterisksAndTheEntryStays) {
    REFLN.IH(1) = 1000;
    REFLN.ISEQ = 100000;
    REFLN.ISTD = 0;
    set_angles(0.0f, 0.0f, 0.0f, 0.0f);
    FITPAR.VALS(4) = -100.0f;  // omega beyond F8.4
    WRITE_INT();
    const auto lines = written();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "*** -2  3  0.0000********   0.000   0.000 0.000000000 0.00000*******  NF      0");
}

TEST_F(IntegratedFile, OverflowLeavesTheReflectionOutWithABox) {
    set_angles(90.0f, 0.0f, 0.0f, 0.0f);  // correction factor 2
    struct Case {
        int format;
        float peak, sig;
    } cases[] = {
        {1, 1.0e10f, 1.0f},  // intensity beyond 11 columns
        {2, 1.0e10f, 1.0f},  // the extended layout writes none of its four lines
        {1, 100.0f, 1.0e6f}, // Rfine esd beyond 7 columns
        {3, 1.0e6f, 1.0f},   // Shelx intensity beyond 7 columns
        {3, -1.0e5f, 1.0f},  // a negative one loses a column to its sign
        {1, std::numeric_limits<float>::quiet_NaN(), 1.0f},  // not a number fits no field
    };
    for (const auto& c : cases) {
        FILEINFO.OUT_FORMAT = c.format;
        INTRES.PEAK = c.peak;
        INTRES.SIGPEAK = c.sig;
        WRITE_INT();
    }
    REFLN.ISEQ = 123456;
    WRITE_INT();
    EXPECT_TRUE(written().empty());
    const auto b = boxes();
    ASSERT_EQ(b.size(), 7u);
    for (std::size_t i = 0; i < 6; ++i) EXPECT_EQ(b[i], "box Kelvorantide v3.72 | Output format exceeded, reflection   12 not written");
    EXPECT_EQ(b[6], "box Kelvorantide v3.72 | Output format exceeded, reflection***** not written");
}

TEST_F(IntegratedFile, ShelxEsdTooLargeIsWrittenAsSixNines) {
    FILEINFO.OUT_FORMAT = 3;
    set_angles(90.0f, 0.0f, 0.0f, 0.0f);
    INTRES.PEAK = 50.0f;
    INTRES.SIGPEAK = 1.0e6f;
    WRITE_INT();
    const auto lines = written();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "   1  -2   3 100.000 999999.   1");
    EXPECT_TRUE(boxes().empty());
}

TEST_F(IntegratedFile, NothingIsWrittenWhileNoFileIsOpen) {
    FILEINFO.OUTOPEN = 0;
    INTRES.PEAK = 1.0e20f;  // would overflow: still no box
    WRITE_INT();
    EXPECT_TRUE(written().empty());
    EXPECT_TRUE(boxes().empty());
    EXPECT_EQ(REFLN.ANGL(3), 200.0f);
}

TEST_F(IntegratedFile, UnsetStatusCharactersAreWrittenAsBlanks) {
    REFLN.FLAG.clear();
    REFLN.FLAG(1) = 'S';
    WRITE_INT();
    const auto lines = written();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].substr(70), "S       0");
}

// A write the file refuses is told in a box naming the file and the reason, and the file is
// closed (the caller's pass stops; the user can open another output file).
TEST_F(IntegratedFile, RefusedWriteIsToldAndClosesTheFile) {
    rt::unit_close(2);
    {
        std::ofstream(path) << "";
    }
    ASSERT_EQ(open_integrated(path, rt::FileStatus::Old, rt::FileAction::Read), rt::IOS_OK);
    FILEINFO.OUT_NAME = "out.int";
    EXPECT_EQ(WRITE_INT(), INT_WRITE_FAILED);
    const auto b = boxes();
    ASSERT_EQ(b.size(), 1u);
    EXPECT_EQ(b[0].rfind("box Kelvorantide v3.72 | Error writing integrated data file out.int: ", 0), 0u) << b[0];
    EXPECT_EQ(FILEINFO.OUTOPEN, 0);
    EXPECT_FALSE(rt::unit_connected(2));
}

// Every entry is in the file as soon as it is written (a later failure, or a killed program,
// loses nothing already fitted), and a full disk is told at the first entry, not silently at the
// close.
TEST_F(IntegratedFile, EachEntryReachesTheFileAtOnceAndAFullDiskIsTold) {
    for (int format : {1, 2, 3}) {
        SCOPED_TRACE(format);
        FILEINFO.OUT_FORMAT = format;
        ASSERT_EQ(open_integrated(path), rt::IOS_OK);
        EXPECT_EQ(WRITE_INT(), INT_WRITTEN);
        const std::size_t one = read_lines(path).size();
        EXPECT_EQ(one, format == 2 ? 4u : 1u);
        WRITE_INT();
        EXPECT_EQ(read_lines(path).size(), 2 * one);  // read while the unit is still open
    }

    const std::string full = path + ".full";
    std::filesystem::remove(full);
    std::filesystem::create_symlink("/dev/full", full);
    ASSERT_EQ(open_integrated(full), rt::IOS_OK);
    FILEINFO.OUT_NAME = "full.int";
    EXPECT_EQ(WRITE_INT(), INT_WRITE_FAILED);
    EXPECT_EQ(boxes(), std::vector<std::string>{"box Kelvorantide v3.72 | Error writing integrated data file full.int: "
                                                "No space left on device. Reflection 12 not written; the file keeps "
                                                "the reflections written before it and is closed."});
    std::filesystem::remove(full);
}

TEST_F(IntegratedFile, ShelxDirectionCosinesFollowTheOrientationMatrixInForce) {
    FILEINFO.OUT_FORMAT = 3;
    // monoclinic cell, rotated: UB = U B (Busing & Levy), columns a*, b*, c*
    const double a = 6.2, b = 8.7, c = 10.1, beta = 104.3 * kRad;
    const double as = 1 / (a * std::sin(beta)), bs = 1 / b, cs = 1 / (c * std::sin(beta));
    const double betas = 3.14159265358979323846 - beta;
    const double B[3][3] = {{as, 0, cs * std::cos(betas)}, {0, bs, 0}, {0, 0, 1 / c}};
    auto write_with = [&](double rz, double lambda, int h, int k, int l, double omega) {
        const double cz = std::cos(rz * kRad), sz = std::sin(rz * kRad);
        const double U[3][3] = {{cz, -sz, 0}, {sz * 0.8, cz * 0.8, -0.6}, {sz * 0.6, cz * 0.6, 0.8}};
        double ub[3][3] = {};
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                for (int m = 0; m < 3; ++m) ub[i][j] += U[i][m] * B[m][j];
        for (int i = 1; i <= 3; ++i) {
            double n = 0;
            for (int j = 1; j <= 3; ++j) {
                UNITCELL.UB(i, j) = float(ub[i - 1][j - 1]);
                UNITCELL.UBT(j, i) = float(ub[i - 1][j - 1]);
                n += ub[j - 1][i - 1] * ub[j - 1][i - 1];
            }
            UNITCELL.RECELL(i) = float(std::sqrt(n));
        }
        UNITCELL.UBOK = 1;
        // bisecting setting of h k l
        const double v[3] = {ub[0][0] * h + ub[0][1] * k + ub[0][2] * l, ub[1][0] * h + ub[1][1] * k + ub[1][2] * l,
                             ub[2][0] * h + ub[2][1] * k + ub[2][2] * l};
        const double d = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
        const double tth = 2 * std::asin(0.5 * lambda * d) / kRad;
        const double chi = std::atan2(v[2], std::hypot(v[0], v[1])) / kRad, phi = std::atan2(v[1], v[0]) / kRad;
        REFLN.IH(1) = h;
        REFLN.IH(2) = k;
        REFLN.IH(3) = l;
        set_angles(float(tth), 0.0f, float(chi), float(phi));
        FITPAR.VALS(4) = float(omega);
        WRITE_INT();
        // independent cosines of the two beams with the unit reciprocal axes
        double inc[3], dif[3];
        beams_phi_frame(double(float(tth)), double(float(omega)), double(float(chi)), double(float(phi)), inc, dif);
        std::vector<double> out;
        for (int ax = 0; ax < 3; ++ax) {
            double n = 0, ci = 0, cd = 0;
            for (int i = 0; i < 3; ++i) {
                n += ub[i][ax] * ub[i][ax];
                ci += inc[i] * ub[i][ax];
                cd += dif[i] * ub[i][ax];
            }
            out.push_back(ci / std::sqrt(n));
            out.push_back(cd / std::sqrt(n));
        }
        // at the diffracting setting, incident + diffracted = lambda x the diffraction vector
        if (omega == 0.0)
            for (int ax = 0; ax < 3; ++ax) {
                double n = 0, dv = 0;
                for (int i = 0; i < 3; ++i) {
                    n += ub[i][ax] * ub[i][ax];
                    dv += v[i] * ub[i][ax];
                }
                EXPECT_NEAR(out[std::size_t(2 * ax)] + out[std::size_t(2 * ax + 1)], lambda * dv / std::sqrt(n), 1e-5);
            }
        return out;
    };
    WAVES.WAVE(1) = 0.71073f;
    const auto first = write_with(15.0, 0.71073, 2, -1, 3, 0.0);
    const auto second = write_with(15.0, 0.71073, 1, 4, -2, 0.35);
    const auto refined = write_with(17.5, 0.71073, 2, -1, 3, 0.0);  // a refined matrix in force
    const auto lines = written();
    ASSERT_EQ(lines.size(), 3u);
    const std::vector<std::vector<double>> expect = {first, second, refined};
    for (std::size_t n = 0; n < 3; ++n) {
        ASSERT_EQ(lines[n].size(), 80u) << n;
        EXPECT_EQ(lines[n].substr(28, 4), "   1");
        for (int i = 0; i < 6; ++i) {
            const std::string field = lines[n].substr(32 + 8 * std::size_t(i), 8);
            EXPECT_NEAR(std::stod(field), expect[n][std::size_t(i)], 2e-5) << "line " << n << " cosine " << i + 1;
        }
    }
    EXPECT_NE(lines[0].substr(32), lines[2].substr(32));
    EXPECT_EQ(lines[0].substr(0, 12), "   2  -1   3");
}
