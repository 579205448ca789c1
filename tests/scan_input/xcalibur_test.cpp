// Xcalibur reader: header lines of both layouts, the orientation matrix, reflections with kappa
// or Euler angles, standards, scan codes and the attenuator, the wavelength correction of the old
// layout, the kappa conversion, the messages that end the program, and a conversion.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "include/scan_input.h"
#include "include/shared.h"
#include "runtime/fatal.h"
#include "runtime/units.h"
#include "test_files.h"

namespace {

const std::string BOX = "box Kelvorantide v3.72 | ";
constexpr double RAD = 3.14159265358979323846 / 180.0;

std::string fmt(const char* f, auto... v) {
    char buf[200];
    std::snprintf(buf, sizeof buf, f, v...);
    return buf;
}

// Header lines, each field in its columns.
std::string scan_speed(float speed, float w1, float w2, float w3) {
    return fmt("P sc s%9.1f sc w %7.3f%7.3f%9.5f", speed, w1, w2, w3);
}
std::string steps(int n) { return fmt("P mo s    %5d", n); }
std::string std_new(int h, int k, int l) { return fmt("P%26s%4d%4d%4d", "", h, k, l); }
std::string std_old(int h, int k, int l, float time) { return fmt("P%31s%4d%4d%4d%5s%6.2f", "", h, k, l, "", time); }
std::string urow(float a, float b, float c) { return fmt("U%12.6f%12.6f%12.6f", a, b, c); }

// Data lines.
std::string ordinary(int seq, int h, int k, int l, const char* code, float scale) {
    return fmt("#%5d   %5d%5d%5d%10.2f   %-2s%24s%6.4f", seq, h, k, l, 0.0f, code, "", scale);
}
std::string reference_new(int seq, int h, int k, int l, float scale) {
    return fmt("R%5d   %5d%5d%5d%10.2f   ST%24s%6.4f", seq, h, k, l, 0.0f, "", scale);
}
std::string reference_old(int seq, int h, int k, int l, bool wide) {
    return fmt(wide ? "R%6d   %5d%5d%5d%10.2f   NL" : "R%5d   %5d%5d%5d%10.2f   NL", seq, h, k, l, 0.0f);
}
// Z line: omega, 2theta, kappa, phi; E line: omega, 2theta, chi, phi.
std::string zline(float om, float tth, float kappa, float phi) { return fmt("Z%10.3f%10.3f%10.3f%10.3f", om, tth, kappa, phi); }
std::string eline(float om, float tth, float chi, float phi) { return fmt("E%10.3f%10.3f%10.3f%10.3f", om, tth, chi, phi); }
// S lines holding the counts first, first + 1, ... (n of them, padded to whole lines of eight).
std::vector<std::string> slines(int n, int first) {
    std::vector<std::string> out;
    for (int j = 0; j * 8 < n; ++j) {
        std::string s = "S";
        for (int i = 0; i < 8; ++i) s += fmt("%9d", first + 8 * j + i);
        out.push_back(s);
    }
    return out;
}

void append(std::vector<std::string>& lines, const std::vector<std::string>& more) {
    lines.insert(lines.end(), more.begin(), more.end());
}

// New layout: scan width 0.8 + 0.6 tan(theta), 20 steps, wavelength 0.5, two standards, and a
// matrix per unit wavelength whose rows are (0.1 0 0), (0 0.05 0), (0 0 0.04).
std::vector<std::string> new_header() {
    return {
        "G general line",
        "C data collection Version 1.171.32",
        scan_speed(2.0f, 0.8f, 0.6f, 1.0f),
        steps(20),
        "P wl 0.5 0.5025",
        "P rr 2 50",
        std_new(1, -1, 0),
        std_new(0, 0, 4),
        urow(0.1f, 0.0f, 0.0f),
        urow(0.0f, 0.05f, 0.0f),
        urow(0.0f, 0.0f, 0.04f),
    };
}

class Xcalibur : public kvtest::ReaderTest {
protected:
    void SetUp() override {
        ReaderTest::SetUp();
        for (int i = 1; i <= 3; ++i) UNITCELL.IBL(i) = i;
        MATRIX_READ = 0;
    }

    void open_file(const std::vector<std::string>& lines) {
        open_input("scans.dca", lines, 3);
    }

    static int header_ok() { return status_of(READ_HEADER_XCAL, 5); }
    static int scan() { return status_of(READ_SCAN_XCAL, 0); }
    static std::vector<float> angl() {
        return {REFLN.ANGL(1), REFLN.ANGL(2), REFLN.ANGL(3), REFLN.ANGL(4)};
    }
};

TEST_F(Xcalibur, NewLayoutHeader) {
    FILEINFO.TITLE = "PREVIOUS DATA SET";
    std::vector<std::string> lines = new_header();
    lines.push_back(ordinary(1, 1, 2, 3, "NL", 1.5f));
    open_file(lines);
    EXPECT_EQ(header_ok(), 0);
    EXPECT_EQ(XCALHDR.XCALNEW, 1);
    EXPECT_EQ(FILEINFO.TITLE.view(), std::string(60, ' '));
    EXPECT_EQ(SCANHDR.SCANSPEED, 2.0f);
    EXPECT_EQ((std::vector<float>{SCANHDR.SCW(1), SCANHDR.SCW(2), SCANHDR.SCW(3)}),
              (std::vector<float>{0.8f, 0.6f, 1.0f}));
    EXPECT_EQ(SCANHDR.NSTEPDEF, 20);
    EXPECT_EQ(WAVES.WAVE(1), 0.5f);
    EXPECT_EQ(WAVES.WAVE(2), 0.5025f);
    EXPECT_EQ(WAVES.NWAVE, 2);
    EXPECT_EQ(STDREF.NSTD, 2);
    EXPECT_EQ(STDREF.STDINT, 50);
    EXPECT_EQ((std::vector<int>{STDREF.IHSTD(1, 1), STDREF.IHSTD(1, 2), STDREF.IHSTD(1, 3), STDREF.IHSTD(2, 3)}),
              (std::vector<int>{1, -1, 0, 4}));
    EXPECT_EQ(STDREF.NSTEP_STD(2), 20);  // the default step count of the new layout
    EXPECT_EQ(UNITCELL.UBOK, 1);
    EXPECT_EQ(MATRIX_READ, 1);
    EXPECT_FLOAT_EQ(UNITCELL.UB(1, 1), 0.2f);  // divided by the wavelength
    EXPECT_FLOAT_EQ(UNITCELL.UB(2, 2), 0.1f);
    EXPECT_FLOAT_EQ(UNITCELL.UB(3, 3), 0.08f);
    EXPECT_EQ(UNITCELL.UB(1, 2), 0.0f);
    // The first reflection line is left for the scan reader.
    EXPECT_EQ(scan(), 13);  // ... which finds its Z lines missing at the end of the file
    EXPECT_EQ(REFLN.ISEQ, 1);
    EXPECT_EQ(scan(), 12);
}

TEST_F(Xcalibur, NewLayoutReflections) {
    SCANHDR.ATTEN = 8.0f;
    std::vector<std::string> lines = new_header();
    lines.push_back(ordinary(1, 1, 2, 3, "NL", 1.5f));
    append(lines, {zline(10.0f, 20.0f, 0.0f, 30.0f), zline(0, 0, 0, 0)});
    append(lines, slines(20, 1));
    lines.push_back(reference_new(-2, 0, 0, 4, 2.0f));
    append(lines, {zline(5.0f, 30.0f, -40.0f, 0.0f), zline(0, 0, 0, 0), eline(20.0f, 30.0f, -30.5f, 12.0f),
                   "I a line of another kind before the counts"});
    append(lines, slines(20, 101));
    lines.push_back(ordinary(3, 1, 0, 0, "FT", 0.5f));
    append(lines, {zline(10.0f, 20.0f, 0.0f, 30.0f), zline(0, 0, 0, 0)});
    append(lines, slines(20, 1));
    std::vector<std::string> broken = slines(20, 1);
    broken[1][12] = 'x';  // the second count line cannot be read; the third still is
    lines.push_back(ordinary(4, 1, 0, 0, "LT", 1.0f));
    append(lines, {zline(10.0f, 20.0f, 0.0f, 30.0f), zline(0, 0, 0, 0)});
    append(lines, broken);
    for (const char* code : {"WK", "XX"}) {
        lines.push_back(ordinary(5, 1, 0, 0, code, 1.0f));
        append(lines, {zline(10.0f, 20.0f, 0.0f, 30.0f), zline(0, 0, 0, 0)});
        append(lines, slines(20, 1));
    }
    lines.push_back(ordinary(7, 1, 0, 0, "NL", 1.0f));
    lines.push_back(zline(10.0f, 20.0f, 0.0f, 30.0f));  // the file ends inside the reflection
    open_file(lines);
    ASSERT_EQ(header_ok(), 0);
    const REFLN_t& r = REFLN;

    ASSERT_EQ(scan(), 0);
    EXPECT_EQ(r.ISEQ, 1);
    EXPECT_EQ((std::vector<int>{r.IH(1), r.IH(2), r.IH(3)}), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(angl(), (std::vector<float>{20.0f, 0.0f, 0.0f, 30.0f}));
    EXPECT_EQ(r.NSTEP, 20);
    EXPECT_NEAR(r.WIDTH, 0.8 + 0.6 * std::tan(10.0 * RAD), 1e-6);
    EXPECT_FLOAT_EQ(r.STEP, r.WIDTH / 20.0f);
    EXPECT_EQ(r.SCALE, 1.5f);
    EXPECT_EQ(r.ISTD, 0);
    EXPECT_EQ(r.SCANCODE, "R");
    EXPECT_EQ(r.COUNTS(1), 1.0f);
    EXPECT_EQ(r.COUNTS(20), 20.0f);

    ASSERT_EQ(scan(), 0);  // reference reflection with Euler angles from the file
    EXPECT_EQ(r.ISEQ, 2);
    EXPECT_EQ(angl(), (std::vector<float>{30.0f, 5.0f, -30.5f, 12.0f}));
    EXPECT_EQ(r.ISTD, 2);
    EXPECT_EQ(r.SCANCODE, "I");
    EXPECT_EQ(r.SCALE, 2.0f);
    EXPECT_EQ(r.COUNTS(20), 120.0f);

    ASSERT_EQ(scan(), 0);
    EXPECT_EQ(r.SCANCODE, "F");
    EXPECT_EQ(r.SCALE, 4.0f);  // file scale x attenuator factor

    EXPECT_EQ(scan(), 13);
    EXPECT_EQ(r.ISEQ, 4);

    ASSERT_EQ(scan(), 0);
    EXPECT_EQ(r.SCANCODE, "M");
    ASSERT_EQ(scan(), 0);
    EXPECT_EQ(r.SCANCODE, "N");  // a code the format does not know: a normal reflection

    EXPECT_EQ(scan(), 13);  // the reflection the file ends inside is dropped as unusable
    EXPECT_EQ(scan(), 12);
}

TEST_F(Xcalibur, OldLayoutCorrectsTwoThetaAndScalesStandards) {
    const float speed = 2.0f, time = 0.5f, factor = 1.02f;
    std::vector<std::string> lines = {
        scan_speed(speed, 0.8f, 0.6f, factor), steps(16), "P wl 0.5 0.5025", "P rr 1 40 16", std_old(0, 0, 4, time),
    };
    lines.push_back(ordinary(9999, 1, 0, 0, "NL", 1.0f));
    append(lines, {zline(7.0f, 24.0f, 0.0f, 0.0f), zline(0, 0, 0, 0), eline(12.0f, 24.0f, 45.0f, 90.0f)});
    append(lines, slines(16, 1));
    lines.push_back(reference_old(10000, 0, 0, 4, true));  // after 9999 the sequence field is wider
    append(lines, {zline(10.0f, 24.0f, 0.0f, 5.0f), zline(0, 0, 0, 0)});
    append(lines, slines(16, 1));
    open_file(lines);
    ASSERT_EQ(header_ok(), 0);
    EXPECT_EQ(XCALHDR.XCALNEW, 0);
    EXPECT_EQ(STDREF.NSTD, 1);
    EXPECT_EQ(STDREF.STDINT, 40);
    EXPECT_EQ(STDREF.NSTEP_STD(1), 16);
    EXPECT_EQ(STDREF.STEP_TIME_STD(1), time);

    const double tth = 2.0 * std::asin(std::sin(12.0 * RAD) / factor) / RAD;
    const double width = 0.8 + 0.6 * std::tan(tth / 2.0 * RAD);
    const REFLN_t& r = REFLN;
    ASSERT_EQ(scan(), 0);
    EXPECT_EQ(r.ISEQ, 9999);
    EXPECT_NEAR(r.ANGL(1), tth, 2e-5);
    EXPECT_NEAR(r.ANGL(2), 12.0 - tth / 2.0 - width / 2.0, 2e-5);  // Euler omega: start of the scan
    EXPECT_EQ(r.ANGL(3), 45.0f);
    EXPECT_EQ(r.ANGL(4), 90.0f);
    EXPECT_NEAR(r.STEP, width / 16.0, 1e-7);
    EXPECT_EQ(r.SCALE, 1.0f);

    ASSERT_EQ(scan(), 0);
    EXPECT_EQ(r.ISEQ, 10000);
    EXPECT_EQ(r.ISTD, 1);
    EXPECT_EQ(r.SCANCODE, "I");
    EXPECT_NEAR(r.ANGL(1), tth, 2e-5);
    EXPECT_NEAR(r.ANGL(2), 10.0 - tth / 2.0, 2e-5);  // omega moves with the corrected 2theta
    EXPECT_NEAR(r.SCALE, (width / speed) / (16.0 * time), 1e-6);
}

TEST_F(Xcalibur, KappaConversion) {
    // theta, phi, omega, kappa of the goniometer.
    const float cases[][4] = {
        {10.0f, 20.0f, 5.0f, 0.0f}, {15.0f, 30.0f, 40.0f, -60.0f}, {20.0f, -10.0f, 0.0f, 134.0f},
        {5.0f, 0.0f, 0.0f, 179.0f}, {12.0f, 1.0f, 2.0f, 1e-3f},     {12.0f, 1.0f, 2.0f, -2e-2f},
    };
    for (const auto& c : cases) {
        rt::FArray<float, 4> kset{{c[0], c[1], c[2], c[3]}};
        rt::FArray<float, 4> euler;
        int ierr = 3;
        ANGLE_CONV(kset, euler, ierr);
        EXPECT_EQ(ierr, 3);
        const double s = std::sin(c[3] / 2.0 * RAD);
        const double chi = 2.0 * std::asin(0.76604 * s);
        double d = std::cos(c[3] / 2.0 * RAD) / std::cos(chi / 2.0);
        if (d > 1.0) d = 1.0;
        const double delta = (s < 0 ? -1.0 : 1.0) * std::acos(d) / RAD;
        EXPECT_EQ(euler(1), 2.0f * c[0]) << c[3];
        EXPECT_NEAR(euler(3), chi / RAD, 2e-4) << c[3];
        EXPECT_NEAR(euler(2), c[2] + delta - c[0], 2e-2) << c[3];  // float acos near 1 is coarse
        EXPECT_NEAR(euler(4), c[1] + delta, 2e-2) << c[3];
        EXPECT_TRUE(std::isfinite(euler(2)) && std::isfinite(euler(4))) << c[3];
    }
}

TEST_F(Xcalibur, HeaderDetails) {
    // A "wl" line after the U lines: the matrix is divided by the wavelength in force before.
    WAVES.WAVE(1) = 2.0f;
    std::vector<std::string> lines = {urow(0.1f, 0.0f, 0.0f), urow(0.0f, 0.05f, 0.0f), urow(0.0f, 0.0f, 0.04f),
                                      "P wl 0.5 0.5025", ordinary(1, 1, 0, 0, "NL", 1.0f)};
    open_file(lines);
    ASSERT_EQ(header_ok(), 0);
    EXPECT_FLOAT_EQ(UNITCELL.UB(1, 1), 0.05f);
    EXPECT_EQ(WAVES.WAVE(1), 0.5f);

    // A matrix of zeros is no orientation matrix; the keyword beyond column 80 is not seen.
    UNITCELL.UBOK = 1;
    MATRIX_READ = 1;
    lines = {urow(0, 0, 0), urow(0, 0, 0), urow(0, 0, 0), "P" + std::string(85, ' ') + "wl 9 9",
             ordinary(1, 1, 0, 0, "NL", 1.0f)};
    open_file(lines);
    ASSERT_EQ(header_ok(), 0);
    EXPECT_EQ(UNITCELL.UBOK, 0);
    EXPECT_EQ(MATRIX_READ, 0);
    EXPECT_EQ(WAVES.WAVE(1), 0.5f);
}

TEST_F(Xcalibur, StepCountsAndCountLines) {
    // 15 steps: one full S line and seven values of the next; 16 steps: exactly two lines. A step
    // count the current reflection cannot hold skips the reflection and the next one is read.
    for (const int n : {15, 16, 600}) {
        std::vector<std::string> lines = {scan_speed(2.0f, 0.8f, 0.6f, 1.0f), steps(n), "P wl 0.5 0.5025"};
        for (int seq = 1; seq <= 2; ++seq) {
            lines.push_back(ordinary(seq, 1, 0, 0, "NL", 1.0f));
            append(lines, {zline(10.0f, 20.0f, 0.0f, 30.0f), zline(0, 0, 0, 0)});
            append(lines, slines(n > 500 ? 16 : n, 10 * seq));
        }
        open_file(lines);
        ASSERT_EQ(header_ok(), 0);
        REFLN.COUNTS.fill(-1.0f);
        if (n > 500) {
            EXPECT_EQ(scan(), 13);
            EXPECT_EQ(scan(), 13);
            EXPECT_EQ(scan(), 12);
            continue;
        }
        ASSERT_EQ(scan(), 0) << n;
        EXPECT_EQ(REFLN.COUNTS(n), float(10 + n - 1)) << n;
        EXPECT_EQ(REFLN.COUNTS(n + 1), -1.0f) << n;  // the rest of a partly used line is not stored
        ASSERT_EQ(scan(), 0) << n;
        EXPECT_EQ(REFLN.ISEQ, 2);
        EXPECT_EQ(REFLN.COUNTS(1), 20.0f);
    }
}

TEST_F(Xcalibur, OldLayoutWithoutScanWidthLineSkipsItsReflections) {
    // No "sc s" line: the wavelength factor is 0 and 2theta has no value; the reflection is
    // skipped instead of ending the load when it is written, and a file of no other reflection
    // holds none the program can use.
    std::vector<std::string> lines = {steps(8), "P wl 0.5 0.5025", ordinary(1, 1, 0, 0, "NL", 1.0f),
                                      zline(10.0f, 20.0f, 0.0f, 30.0f), zline(0, 0, 0, 0)};
    append(lines, slines(8, 1));
    open_file(lines);
    int status = 0;
    EXPECT_EQ(kvtest::exit_status([&] { CONVERT_FILE(status); }), kvtest::DAMAGED);
    EXPECT_EQ(kvtest::damaged_message(),
              "Error reading scans.dca: scans.dca holds no reflection of the Xcalibur Ascii format");
    EXPECT_TRUE(boxes().empty());
    EXPECT_EQ(TOTALS.INUM(3), 0);
}

TEST_F(Xcalibur, FaultsNameTheDamagedLine) {
    const std::string refl = ordinary(1, 1, 0, 0, "NL", 1.0f);
    std::string bad_steps = steps(20);
    bad_steps[13] = 'x';
    std::string bad_urow = urow(0.1f, 0.0f, 0.0f);
    bad_urow[5] = 'x';
    std::string bad_speed = scan_speed(2.0f, 0.8f, 0.6f, 1.0f);
    bad_speed[30] = 'x';
    std::string bad_refl = refl;
    bad_refl[12] = 'x';
    struct Case {
        std::vector<std::string> lines;
        std::string box;  // "Error reading ...": the damaged-file error, no box
        bool scan = false;
    };
    const std::string at = "Error reading scans.dca at line ";
    std::string bad_z = zline(0, 20, 0, 0);
    bad_z[15] = 'x';
    std::string bad_e = zline(0, 20, 0, 0);
    bad_e[0] = 'E';
    bad_e[25] = 'x';
    const Case cases[] = {
        {{"G the header never ends"}, at + "2: end of file inside the header"},
        {{bad_steps, refl}, at + "1: unreadable value in the header line"},
        {{"P wl 0.5", refl}, at + "1: too few values in the header line"},
        {{"P wl 0.5 x", refl}, at + "1: unreadable value in the header line"},
        {{"P rr 11 50 16", refl}, at + "1: More than 10 standards"},
        {{"P rr 1 50 16", refl}, at + "2: expected a line starting with P, found one starting with \"#\""},
        {{"G", urow(1, 0, 0), "G", refl}, at + "3: expected a line starting with U, found one starting with \"G\""},
        {{bad_urow, urow(0, 1, 0), urow(0, 0, 1), refl}, at + "1: unreadable value in the header line"},
        {{"G", std::string("G\0\0\0", 4), refl}, at + "2: the line holds control characters"},
        {{bad_speed, refl}, at + "1: unreadable value in the sc w field"},
        {{"P sc s      2.0 without its scan-width field", refl}, at + "1: the sc s line has no sc w field"},
        {{"P sc s      2.x sc w   0.8    0.6      1.0", refl}, at + "1: unreadable value in the sc s field"},
        {{"C Version x.171.32", refl}, at + "1: unreadable value in the Version field"},
        {{"P rr 0", "G", refl, zline(0, 20, 0, 0), "S"},
         at + "5: expected a line starting with Z, found one starting with \"S\"", true},
        {{"P rr 0", reference_old(1, 0, 0, 4, false), zline(0, 20, 0, 0), zline(0, 0, 0, 0), slines(8, 1)[0]},
         at + "2: Unidentified Standard Refln", true},
        {{"G", bad_refl}, at + "2: unreadable value in the reflection line", true},
        {{"G", refl, bad_z}, at + "3: unreadable value in a Z line", true},
        {{"G", refl, zline(0, 20, 0, 0), zline(0, 0, 0, 0), bad_e}, at + "5: unreadable value in an E line", true},
        {{"P wl 0.5 -0.5", refl}, at + "1: a wavelength that is not positive in the wl line"},
        // Lines out of their place: the first reflection line lost, the counts lost before the
        // next reflection line.
        {{"G", zline(0, 20, 0, 0), refl}, at + "2: a line starting with Z before the first reflection line"},
        {{"G", refl, zline(0, 20, 0, 0), zline(0, 0, 0, 0), refl},
         at + "5: a line starting with # where the counts belong", true},
        {{"G", refl.substr(0, 40), zline(0, 20, 0, 0)}, at + "2: a blank field in the reflection line", true},
        {{"G", refl, zline(0, 20, 0, 0).substr(0, 25)}, at + "3: a blank field in a Z line", true},
    };
    for (const Case& c : cases) {
        wl::script::load_lines({});
        open_file(c.lines);
        const int status = kvtest::exit_status([&] {
            header_ok();
            if (c.scan) scan();
        });
        if (c.box.starts_with("Error reading scans.")) {
            EXPECT_EQ(status, kvtest::DAMAGED) << c.lines[0];
            EXPECT_EQ(kvtest::damaged_message(), c.box);
            EXPECT_TRUE(boxes().empty()) << c.lines[0];
        } else {
            EXPECT_EQ(status, 0) << c.lines[0];
            EXPECT_EQ(boxes(), std::vector<std::string>{BOX + c.box}) << c.lines[0];
        }
    }
}

TEST_F(Xcalibur, FileIsConvertedWithItsMatrixOnBusingLevyAxes) {
    UNITCELL.IBL = {{2, -1, 3}};
    std::vector<std::string> lines = new_header();
    lines.push_back(ordinary(1, 1, 2, 3, "NL", 1.5f));
    append(lines, {zline(10.0f, 20.0f, 0.0f, 30.0f), zline(0, 0, 0, 0)});
    append(lines, slines(20, 1));
    open_file(lines);
    int status = 0;
    EXPECT_EQ(kvtest::exit_status([&] { CONVERT_FILE(status); }), -1);
    EXPECT_EQ(boxes(), std::vector<std::string>{BOX + "Data File read in successfully"});
    EXPECT_EQ(TOTALS.INUM(3), 1);
    // Rows r1, r2, r3 of the instrument's matrix become -r2, r1, r3.
    EXPECT_FLOAT_EQ(UNITCELL.UB(1, 2), -0.1f);
    EXPECT_FLOAT_EQ(UNITCELL.UB(2, 1), 0.2f);
    EXPECT_EQ(UNITCELL.UB(1, 1), 0.0f);
    EXPECT_NEAR(UNITCELL.CELL(1), 5.0f, 1e-4f);
    EXPECT_NEAR(UNITCELL.CELL(2), 10.0f, 1e-4f);
    EXPECT_NEAR(UNITCELL.CELL(3), 12.5f, 1e-4f);

    std::vector<std::string> recs;
    rt::unit_rewind(25);
    for (std::string rec; rt::unit_read_record(25, rec) == rt::IOS_OK;)
        if (rec[0] == 'R' || rec[0] == 'S') recs.push_back(rec);
    EXPECT_EQ(recs, (std::vector<std::string>{
                        "R     1   1   2   3    0.0000   20.0000    0.0000    0.0000   30.0000  20   0.04529   1.50000   0R",
                        "S       1       2       3       4       5       6       7       8       9      10",
                        "S      11      12      13      14      15      16      17      18      19      20",
                    }));
}

}  // namespace
