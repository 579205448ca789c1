// The standard data file: exact layout of what is written, the four read modes with their
// shared read position, the derived values of the current reflection, and malformed files.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "include/scan_input.h"
#include "include/shell_services.h"
#include "include/shared.h"
#include "runtime/fatal.h"
#include "runtime/units.h"
#include "shell/small_boxes.h"
#include "test_files.h"

namespace {

constexpr int STD = 25;
constexpr int NEW = 26;
const std::string TITLE_BOX = "box Kelvorantide v3.72 | ";

// One reflection record, formatted here independently of the program's writer.
std::string rline(int iseq, int h, int k, int l, double tth, double om, double chi, double phi, int nstep,
                  double step, double scale, int istd, char code) {
    char buf[160];
    std::snprintf(buf, sizeof buf, "R%6d%4d%4d%4d%10.4f%10.4f%10.4f%10.4f%10.4f%4d%10.5f%10.5f%4d%c", iseq, h, k, l,
                  0.0, tth, om, chi, phi, nstep, step, scale, istd, code);
    return buf;
}

// Count lines of ten counts each.
std::vector<std::string> slines(const std::vector<int>& counts) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < counts.size(); i += 10) {
        std::string s = "S";
        for (std::size_t j = i; j < counts.size() && j < i + 10; ++j) {
            char buf[16];
            std::snprintf(buf, sizeof buf, "%8d", counts[j]);
            s += buf;
        }
        out.push_back(s);
    }
    return out;
}

std::vector<int> ramp(int n, int base) {
    std::vector<int> c;
    for (int i = 0; i < n; ++i) c.push_back(base + (i * 37) % 101);
    return c;
}

const std::vector<std::string> HEADER = {
    "H",
    "T A SMALL TEST CRYSTAL                                        ",
    "H   10.0000   11.0000   12.0000   90.0000   95.5000  120.0000",
    "H",
    "H",
    "U   0.1000000   0.0000000  -0.0100000",
    "U   0.0000000   0.0900000   0.0000000",
    "U   0.0000000   0.0000000   0.0800000",
    "A  1.000000",
    "DATA",
};

struct Refl {
    int iseq, h, k, l;
    int nstep;
    char code;
};

// A data set of reflections (sequence numbers as given), 2theta 20 + iseq degrees.
std::vector<std::string> data_set(const std::vector<Refl>& refl) {
    std::vector<std::string> lines = HEADER;
    for (const Refl& r : refl) {
        lines.push_back(rline(r.iseq, r.h, r.k, r.l, 20.0 + r.iseq, 0.0125 * r.iseq, 30.0, -45.0, r.nstep, 0.02,
                              1.0, r.code == 'I' ? 1 : 0, r.code));
        for (const auto& s : slines(ramp(r.nstep, 100 * r.iseq))) lines.push_back(s);
    }
    return lines;
}

const std::vector<Refl> FOUR = {{1, 1, 0, 0, 25, 'N'}, {2, 0, 1, 0, 30, 'W'}, {3, 0, 0, 1, 7, 'I'}, {4, 1, 1, 0, 1, 'S'}};

class StandardDataFile : public kvtest::FileTest {
protected:
    void SetUp() override {
        FileTest::SetUp();
        WAVES.WAVE(1) = 0.70930f;
        WAVES.WAVE(2) = 0.71359f;
        PROGID.PROG_TITLE = "Kelvorantide v3.72";
    }
    // Writes lines to a file and opens it as the working data file, positioned after DATA.
    void load(const std::vector<std::string>& lines, const std::string& eol = "\r\n") {
        kvtest::write_bytes(dir / "data", kvtest::join(lines, eol));
        ASSERT_EQ(kvtest::open_read(STD, dir / "data"), rt::IOS_OK);
        int st = 0;
        SKIP_HEADER_STDDATA(STD, st);
        ASSERT_EQ(st, 0);
    }
    int read(int mode, int number = 0, rt::FArray<int, 3> hkl = {}, int status_in = 0) {
        int st = status_in;
        READ_SCAN_STDDATA(STD, mode, number, hkl, st);
        return st;
    }
    // Writes the current reflection as "Write Std datafile" does.
    int write_current(int unit) {
        rt::FArray<int, MAXSTEP> icount;
        for (int i = 1; i <= REFLN.NSTEP; ++i) icount(i) = static_cast<int>(REFLN.COUNTS(i));
        int st = 0;
        WRITE_REF_STDDATA(unit, st, REFLN.ISEQ, REFLN.IH, 0.0f, REFLN.ANGL, REFLN.NSTEP, REFLN.STEP, REFLN.SCALE,
                          REFLN.ISTD, REFLN.SCANCODE, icount, MAXSTEP);
        return st;
    }
};

rt::FArray<int, 3> hkl(int h, int k, int l) {
    rt::FArray<int, 3> a;
    a(1) = h;
    a(2) = k;
    a(3) = l;
    return a;
}

TEST_F(StandardDataFile, WritesHeaderAndRecordsInTheirExactColumnsWithCrLf) {
    FILEINFO.TITLE = "A small test crystal";
    UNITCELL.CELL(1) = 10.0f;
    UNITCELL.CELL(2) = 11.0f;
    UNITCELL.CELL(3) = 12.0f;
    UNITCELL.CELL(4) = 90.0f;
    UNITCELL.CELL(5) = 95.5f;
    UNITCELL.CELL(6) = 120.0f;
    UNITCELL.UB(1, 1) = 0.1f;
    UNITCELL.UB(1, 3) = -0.01f;
    UNITCELL.UB(2, 2) = 0.09f;
    UNITCELL.UB(3, 3) = 0.08f;
    SCANHDR.ATTEN = 1.0f;
    ASSERT_EQ(kvtest::open_write(NEW, dir / "out"), rt::IOS_OK);
    WRITE_HEADER_STDDATA(NEW);

    rt::FArray<float, 4> angl;
    angl(1) = 20.5f;
    angl(2) = -0.1234f;
    angl(3) = 45.0f;
    angl(4) = -120.25f;
    rt::FArray<int, MAXSTEP> counts;
    for (int i = 1; i <= 25; ++i) counts(i) = i * 1000 - 7;
    int st = 5;
    WRITE_REF_STDDATA(NEW, st, 1, hkl(1, -2, 3), 0.0f, angl, 25, 0.02f, 1.0f, 0, "N", counts, MAXSTEP);
    EXPECT_EQ(st, 0);
    rt::unit_close(NEW);

    std::string title_line = "T A small test crystal";  // written as it stands
    title_line.resize(62, ' ');
    std::vector<std::string> expect = HEADER;
    expect[1] = title_line;
    expect.push_back("R     1   1  -2   3    0.0000   20.5000   -0.1234   45.0000 -120.2500  25   0.02000   1.00000   0N");
    expect.push_back("S     993    1993    2993    3993    4993    5993    6993    7993    8993    9993");
    expect.push_back("S   10993   11993   12993   13993   14993   15993   16993   17993   18993   19993");
    expect.push_back("S   20993   21993   22993   23993   24993");
    EXPECT_EQ(kvtest::read_bytes(dir / "out"), kvtest::join(expect));
}

TEST_F(StandardDataFile, RescalesCountsAboveEightDigitsOnItsOwnCopy) {
    struct Case {
        int largest;
        int written;
        const char* scale;
    };
    const Case cases[] = {{99999999, 99999999, "   1.50000"}, {100000000, 50000000, "   3.00000"},
                          {250000000, 83333333, "   4.50000"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.largest);
        ASSERT_EQ(kvtest::open_write(NEW, dir / "out"), rt::IOS_OK);
        rt::FArray<int, MAXSTEP> counts;
        counts(1) = 7;
        counts(2) = c.largest;
        rt::FArray<float, 4> angl;
        float scale = 1.5f;
        int st = 0;
        WRITE_REF_STDDATA(NEW, st, 9, hkl(0, 0, 2), 0.0f, angl, 2, 0.01f, scale, 0, "S", counts, MAXSTEP);
        rt::unit_close(NEW);
        EXPECT_EQ(st, 0);
        EXPECT_EQ(counts(2), c.largest);  // the caller's counts and scale stay as they were
        EXPECT_EQ(scale, 1.5f);
        const std::string text = kvtest::read_bytes(dir / "out");
        EXPECT_NE(text.find(std::string(c.scale) + "   0S\r\n"), std::string::npos) << text;
        char want[32];
        std::snprintf(want, sizeof want, "%8d\r\n", c.written);
        EXPECT_NE(text.find(want), std::string::npos) << text;
    }
}

TEST_F(StandardDataFile, RefusesRecordsThatCouldNotBeReadBack) {
    struct Case {
        const char* what;
        int iseq;
        int h;
        float tth;
        int nstep;
        float scale;
        int count;
    };
    const Case cases[] = {
        {"no steps", 1, 0, 10.0f, 0, 1.0f, 5},
        {"501 steps", 1, 0, 10.0f, 501, 1.0f, 5},
        {"sequence number of seven digits", 1000000, 0, 10.0f, 3, 1.0f, 5},
        {"index of five characters", 1, -1000, 10.0f, 3, 1.0f, 5},
        {"2theta not finite", 1, 0, NAN, 3, 1.0f, 5},
        {"2theta too wide", 1, 0, 123456.0f, 3, 1.0f, 5},
        {"scale too wide after rescaling", 1, 0, 10.0f, 3, 6000.0f, 150000000},
        {"count too negative", 1, 0, 10.0f, 3, 1.0f, -10000000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(kvtest::open_write(NEW, dir / "out"), rt::IOS_OK);
        rt::FArray<int, MAXSTEP> counts;
        counts(1) = c.count;
        rt::FArray<float, 4> angl;
        angl(1) = c.tth;
        int st = 0;
        WRITE_REF_STDDATA(NEW, st, c.iseq, hkl(c.h, 0, 0), 0.0f, angl, c.nstep, 0.01f, c.scale, 0, "N", counts,
                          MAXSTEP);
        rt::unit_close(NEW);
        EXPECT_EQ(st, 2);  // refused, as apart from a write that failed
        EXPECT_EQ(kvtest::read_bytes(dir / "out"), "");
    }
}

TEST_F(StandardDataFile, DataSetWrittenReadInEveryModeAndWrittenAgainIsByteIdentical) {
    const std::string original = kvtest::join(data_set(FOUR));
    for (const std::string eol : {"\r\n", "\n"}) {
        SCOPED_TRACE(eol.size() == 1 ? "LF input" : "CR LF input");
        kvtest::write_bytes(dir / "data", kvtest::join(data_set(FOUR), eol));
        ASSERT_EQ(kvtest::open_read(STD, dir / "data"), rt::IOS_OK);
        int st = 0;
        READ_HEADER_STDDATA(STD, st);
        ASSERT_EQ(st, 0);
        SCANHDR.ATTEN = 1.0f;
        UNITCELL.CELL(1) = 10.0f;
        UNITCELL.CELL(2) = 11.0f;
        UNITCELL.CELL(3) = 12.0f;
        UNITCELL.CELL(4) = 90.0f;
        UNITCELL.CELL(5) = 95.5f;
        UNITCELL.CELL(6) = 120.0f;

        // Each mode collects the reflections as read; they are written out in file order.
        auto copy_with = [&](const std::string& name, const std::vector<REFLN_t>& got) {
            SCOPED_TRACE(name);
            ASSERT_EQ(got.size(), FOUR.size());
            ASSERT_EQ(kvtest::open_write(NEW, dir / name), rt::IOS_OK);
            WRITE_HEADER_STDDATA(NEW);
            for (const REFLN_t& r : got) {
                REFLN = r;
                ASSERT_EQ(write_current(NEW), 0);
            }
            rt::unit_close(NEW);
            EXPECT_EQ(kvtest::read_bytes(dir / name), original);
        };
        std::vector<REFLN_t> got;
        SKIP_HEADER_STDDATA(STD, st);
        while (read(STD_NEXT) == 0) got.push_back(REFLN);
        copy_with("next", got);

        got.clear();
        for (const Refl& r : FOUR) {
            ASSERT_EQ(read(STD_BY_NUMBER, r.iseq), 0);
            got.push_back(REFLN);
        }
        copy_with("number", got);

        got.clear();
        for (const Refl& r : FOUR) {
            ASSERT_EQ(read(STD_BY_HKL, 0, hkl(r.h, r.k, r.l)), 0);
            got.push_back(REFLN);
        }
        copy_with("hkl", got);

        got.clear();
        ASSERT_EQ(read(STD_BY_NUMBER, 4), 0);
        got.push_back(REFLN);
        for (int n = 3; n >= 1; --n) {
            ASSERT_EQ(read(STD_PREVIOUS), 0);
            ASSERT_EQ(REFLN.ISEQ, n);
            got.insert(got.begin(), REFLN);
        }
        copy_with("previous", got);
        rt::unit_close(STD);
    }
}

TEST_F(StandardDataFile, NextAndPreviousFollowTheSharedReadPositionAndSkipWeakOnes) {
    // 1 N, 2 W, 3 I, 4 S, 5 W
    std::vector<Refl> five = FOUR;
    five.push_back({5, 2, 0, 0, 12, 'W'});
    load(data_set(five));
    FITOPT.SKIP_WEAK = 1;
    EXPECT_EQ(read(STD_NEXT), 0);
    EXPECT_EQ(REFLN.ISEQ, 1);
    EXPECT_EQ(read(STD_NEXT), 0);
    EXPECT_EQ(REFLN.ISEQ, 3);  // the weak 2 is passed over
    EXPECT_EQ(read(STD_PREVIOUS), 0);
    EXPECT_EQ(REFLN.ISEQ, 1);  // walks past the weak 2
    EXPECT_EQ(read(STD_NEXT), 0);
    EXPECT_EQ(REFLN.ISEQ, 3);
    EXPECT_EQ(read(STD_NEXT), 0);
    EXPECT_EQ(REFLN.ISEQ, 4);
    EXPECT_TRUE(boxes().empty());

    // Past the last: the weak 5 is read on the way, then end of data with its notice.
    WAITBOX(1);
    EXPECT_EQ(read(STD_NEXT), 12);
    EXPECT_EQ(REFLN.ISEQ, 5);
    EXPECT_FALSE(waitbox_shown());
    EXPECT_EQ(boxes(), std::vector<std::string>{TITLE_BOX + "End of File"});
    EXPECT_EQ(read(STD_NEXT, 0, {}, -1), 12);  // quiet: no second box
    EXPECT_EQ(boxes().size(), 1u);

    // By number and by hkl return weak reflections.
    EXPECT_EQ(read(STD_BY_NUMBER, 2), 0);
    EXPECT_EQ(REFLN.ISEQ, 2);
    EXPECT_EQ(read(STD_BY_HKL, 0, hkl(2, 0, 0)), 0);
    EXPECT_EQ(REFLN.ISEQ, 5);
}

TEST_F(StandardDataFile, PreviousAfterEndOfDataReturnsTheLastButOne) {
    load(data_set(FOUR));
    for (int n = 1; n <= 4; ++n) ASSERT_EQ(read(STD_NEXT), 0);
    EXPECT_EQ(read(STD_NEXT, 0, {}, -1), 12);
    EXPECT_TRUE(boxes().empty());
    EXPECT_EQ(read(STD_PREVIOUS), 0);
    EXPECT_EQ(REFLN.ISEQ, 3);
    EXPECT_EQ(read(STD_NEXT), 0);
    EXPECT_EQ(REFLN.ISEQ, 4);
}

TEST_F(StandardDataFile, PreviousAtTheFirstReflection) {
    // Sequence number 1: nothing changes and nothing is read.
    load(data_set(FOUR));
    ASSERT_EQ(read(STD_NEXT), 0);
    REFLN.CMAX = -1.0f;
    EXPECT_EQ(read(STD_PREVIOUS), 0);
    EXPECT_EQ(REFLN.CMAX, -1.0f);
    rt::unit_close(STD);

    // Numbers starting at 5: the first reflection comes back again; with skipping on, also when
    // every earlier one is weak and the first is weak itself.
    load(data_set({{5, 1, 0, 0, 3, 'W'}, {6, 0, 1, 0, 3, 'W'}, {7, 0, 0, 1, 3, 'N'}}));
    FITOPT.SKIP_WEAK = 1;
    ASSERT_EQ(read(STD_NEXT), 0);
    ASSERT_EQ(REFLN.ISEQ, 7);
    EXPECT_EQ(read(STD_PREVIOUS), 0);
    EXPECT_EQ(REFLN.ISEQ, 5);
    EXPECT_EQ(read(STD_PREVIOUS), 0);
    EXPECT_EQ(REFLN.ISEQ, 5);
    EXPECT_TRUE(boxes().empty());
}

TEST_F(StandardDataFile, PreviousInAFileWithoutDataLineEndsAtTheFirstReflection) {
    const std::vector<std::string> lines = {"H", rline(5, 1, 0, 0, 21.0, 0.0, 0.0, 0.0, 2, 0.02, 1.0, 0, 'N'),
                                            "S       1       2"};
    kvtest::write_bytes(dir / "data", kvtest::join(lines));
    ASSERT_EQ(kvtest::open_read(STD, dir / "data"), rt::IOS_OK);
    ASSERT_EQ(read(STD_NEXT), 0);
    EXPECT_EQ(read(STD_PREVIOUS), 0);
    EXPECT_EQ(REFLN.ISEQ, 5);
    EXPECT_EQ(read(STD_NEXT, 0, {}, -1), 12);
}

TEST_F(StandardDataFile, SearchesReturnTheFirstMatchOrReportNotFoundAndKeepTheReflection) {
    std::vector<Refl> refl = {{1, 1, 0, 0, 5, 'I'}, {2, 0, 1, 0, 5, 'N'}, {3, 1, 0, 0, 5, 'I'}};
    std::vector<std::string> lines = data_set(refl);
    lines.insert(lines.begin() + 10 + 2, "comment between reflections");
    lines.insert(lines.begin() + 10 + 2, "");
    load(lines);
    EXPECT_EQ(read(STD_BY_HKL, 0, hkl(1, 0, 0)), 0);
    EXPECT_EQ(REFLN.ISEQ, 1);
    // The current reflection's own h k l as the argument.
    ASSERT_EQ(read(STD_BY_NUMBER, 3), 0);
    EXPECT_EQ(read(STD_BY_HKL, 0, REFLN.IH), 0);
    EXPECT_EQ(REFLN.ISEQ, 1);
    EXPECT_EQ(read(STD_BY_NUMBER, -4), 0);  // a negative number counts as 1
    EXPECT_EQ(REFLN.ISEQ, 1);

    ASSERT_EQ(read(STD_BY_NUMBER, 2), 0);
    const REFLN_t before = REFLN;
    EXPECT_EQ(read(STD_BY_NUMBER, 99, {}, -1), 13);  // shown also when quiet
    EXPECT_EQ(read(STD_BY_HKL, 0, hkl(5, 5, 5)), 13);
    EXPECT_EQ(boxes(), (std::vector<std::string>{TITLE_BOX + "Reflection not found",
                                                 TITLE_BOX + "Reflection not found"}));
    EXPECT_EQ(REFLN.ISEQ, before.ISEQ);
    EXPECT_EQ(REFLN.IH(1), before.IH(1));
    EXPECT_EQ(REFLN.ANGL(1), before.ANGL(1));
    EXPECT_EQ(read(STD_NEXT), 12);  // the position stands at the end after a failed search
}

TEST_F(StandardDataFile, DerivesTheValuesOfTheCurrentReflection) {
    std::vector<std::string> lines = HEADER;
    lines.push_back(rline(1, 1, 2, 3, 40.0, 0.1, 0.0, 0.0, 5, 0.02, 1.0, 0, 'N'));
    lines.push_back(slines({3, 9, 4, 9, 1})[0]);
    lines.push_back(rline(2, 1, 2, 4, 160.0, -0.2, 0.0, 0.0, 4, 0.05, 1.0, 0, 'R'));
    lines.push_back(slines({0, 0, 0, 0})[0]);
    load(lines);
    MONOCH.MONO_SHIFT = 0.0125f;
    REFLN.TSTEP = 2.5f;
    REFLN.FLAG = "?ABCDE";
    REFLN.YC(500) = 8.0f;
    REFLN.IMAX = 77;

    ASSERT_EQ(read(STD_NEXT), 0);
    // Odd scan centred on omega; first of equal maxima.
    const float om = 0.1f, st = 0.02f;
    for (int i = 1; i <= 5; ++i) EXPECT_EQ(REFLN.XPOS(i), om - 2.0f * st + float(i - 1) * st);
    EXPECT_EQ(REFLN.CMAX, 9.0f);
    EXPECT_EQ(REFLN.IMAX, 2);
    EXPECT_EQ(REFLN.WIDTH, 4.0f * st);
    const float doma2 = std::asin(0.71359f / 0.70930f * std::sin(40.0f * 0.5f / 57.29578f)) * 57.29578f - 20.0f;
    EXPECT_EQ(REFLN.DOMA2, doma2);
    EXPECT_GT(REFLN.DOMA2, 0.0f);
    EXPECT_EQ(REFLN.DOMONO, 0.0125f);
    EXPECT_EQ(REFLN.YC(500), 0.0f);
    EXPECT_EQ(REFLN.FLAG.view(), "NABCDE");
    EXPECT_EQ(REFLN.TSTEP, 2.5f);

    // Even scan: one step more below omega than above; all-zero counts give step 1.
    ASSERT_EQ(read(STD_NEXT), 0);
    EXPECT_EQ(REFLN.XPOS(3), -0.2f - 2.0f * 0.05f + 2.0f * 0.05f);
    EXPECT_EQ(REFLN.CMAX, 0.0f);
    EXPECT_EQ(REFLN.IMAX, 1);
}

TEST_F(StandardDataFile, Alpha2OffsetIsAlwaysANumber) {
    struct Case {
        float w1, w2;
        float expect;
    };
    // No alpha1 wavelength: 0. An alpha2 longer than alpha1 near 180 degrees has no Bragg angle:
    // no alpha2 position, as for the profile fit, and an offset of 0.
    const Case cases[] = {{0.0f, 0.71359f, 0.0f}, {-1.0f, 0.7f, 0.0f}, {1.0f, 1.2f, 0.0f}};
    std::vector<std::string> lines = HEADER;
    lines.push_back(rline(1, 1, 0, 0, 179.98, 0.0, 0.0, 0.0, 1, 0.02, 1.0, 0, 'N'));
    lines.push_back("S       5");
    for (const Case& c : cases) {
        load(lines);
        WAVES.WAVE(1) = c.w1;
        WAVES.WAVE(2) = c.w2;
        ASSERT_EQ(read(STD_NEXT), 0);
        EXPECT_TRUE(std::isfinite(REFLN.DOMA2));
        EXPECT_NEAR(REFLN.DOMA2, c.expect, 1e-3f);
        rt::unit_close(STD);
    }
}

TEST_F(StandardDataFile, MalformedReflectionsAreReadErrorsThatKeepTheCurrentReflection) {
    struct Case {
        const char* what;
        std::vector<std::string> tail;
    };
    std::string letters = rline(2, 0, 1, 0, 21.0, 0.0, 0.0, 0.0, 3, 0.02, 1.0, 0, 'N');
    letters.replace(32, 3, "2x.");
    const Case cases[] = {
        {"no steps", {rline(2, 0, 1, 0, 21.0, 0.0, 0.0, 0.0, 0, 0.02, 1.0, 0, 'N'), "S       1"}},
        {"501 steps", {rline(2, 0, 1, 0, 21.0, 0.0, 0.0, 0.0, 501, 0.02, 1.0, 0, 'N'), "S       1"}},
        {"letters in a numeric field", {letters, "S       1       2       3"}},
        {"letters in a count", {rline(2, 0, 1, 0, 21.0, 0.0, 0.0, 0.0, 3, 0.02, 1.0, 0, 'N'), "S       1   abc 2       3"}},
        {"end of file inside the counts", {rline(2, 0, 1, 0, 21.0, 0.0, 0.0, 0.0, 13, 0.02, 1.0, 0, 'N'), "S       1       2       3       4       5       6       7       8       9      10"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::string> lines = data_set({{1, 1, 0, 0, 3, 'N'}});
        lines.insert(lines.end(), c.tail.begin(), c.tail.end());
        load(lines);
        ASSERT_EQ(read(STD_NEXT), 0);
        const REFLN_t before = REFLN;
        EXPECT_EQ(read(STD_NEXT), 11);
        EXPECT_EQ(REFLN.ISEQ, 1);
        EXPECT_EQ(REFLN.NSTEP, before.NSTEP);
        EXPECT_EQ(REFLN.COUNTS(1), before.COUNTS(1));
        EXPECT_EQ(REFLN.ANGL(1), before.ANGL(1));
        EXPECT_EQ(read(STD_BY_NUMBER, 2), 11);  // the search meets the same record
        EXPECT_EQ(REFLN.ISEQ, 1);
        rt::unit_close(STD);
    }
    EXPECT_TRUE(boxes().empty());
}

TEST_F(StandardDataFile, HeaderWithoutDataLineIsReportedBySkipAndRead) {
    std::vector<std::string> lines(HEADER.begin(), HEADER.end() - 1);
    kvtest::write_bytes(dir / "data", kvtest::join(lines));
    ASSERT_EQ(kvtest::open_read(STD, dir / "data"), rt::IOS_OK);
    int st = 0;
    SKIP_HEADER_STDDATA(STD, st);
    EXPECT_EQ(st, 12);
    rt::unit_rewind(STD);
    READ_HEADER_STDDATA(STD, st);
    EXPECT_EQ(st, 1);
    EXPECT_EQ(FILEINFO.TITLE.trimmed(), "A SMALL TEST CRYSTAL");
}

// A refused matrix also clears the one in force, so that no file written for this data set
// carries another crystal's matrix.
TEST_F(StandardDataFile, HeaderReaderRestoresTitleAndTakesOnlyACleanRegularMatrix) {
    const std::string tilde_title = "t Mo{Ka} run ~3" + std::string(46, ' ') + "Z";  // 60 characters from column 3
    struct Case {
        const char* what;
        std::vector<std::string> ulines;
        int ubok;       // UBOK afterwards (previous matrix: UBOK 1, UB(1,1) = 7)
        float ub11;     // UB(1,1) afterwards
    };
    const Case cases[] = {
        {"lower-case u lines, commas, any columns", {"u 0.1, 0.0, 0.0", "u0.0 0.2 0.0", "u   0,0,0.3"}, 1, 0.1f},
        {"no U line keeps the matrix in force", {}, 1, 7.0f},
        {"two U lines", {"U 0.1 0 0", "U 0 0.2 0"}, 0, 0.0f},
        {"an unreadable U line", {"U 0.1 0 0", "U 0 abc 0", "U 0 0 0.3"}, 0, 0.0f},
        {"a short U line", {"U 0.1 0 0", "U 0 0.2", "U 0 0 0.3"}, 0, 0.0f},
        {"a zero matrix", {"U 0 0 0", "U 0 0 0", "U 0 0 0"}, 0, 0.0f},
        {"a singular matrix", {"U 0.1 0.2 0.3", "U 0.2 0.4 0.6", "U 0 0 0.3"}, 0, 0.0f},
        {"a fourth U line is ignored", {"U 0.1 0 0", "U 0 0.2 0", "U 0 0 0.3", "U nonsense"}, 1, 0.1f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        UNITCELL.UB.fill(0.0f);
        UNITCELL.UB(1, 1) = 7.0f;
        UNITCELL.UBOK = 1;
        std::vector<std::string> lines = {"H", tilde_title, "H"};
        lines.insert(lines.end(), c.ulines.begin(), c.ulines.end());
        lines.push_back("a  1.000000");
        lines.push_back("data");
        lines.push_back(rline(1, 1, 0, 0, 21.0, 0.0, 0.0, 0.0, 1, 0.02, 1.0, 0, 'N'));
        lines.push_back("S       5");
        kvtest::write_bytes(dir / "data", kvtest::join(lines));
        ASSERT_EQ(kvtest::open_read(STD, dir / "data"), rt::IOS_OK);
        int st = 5;
        READ_HEADER_STDDATA(STD, st);
        EXPECT_EQ(st, 0);
        EXPECT_EQ(UNITCELL.UBOK, c.ubok);
        EXPECT_EQ(UNITCELL.UB(1, 1), c.ub11);
        if (c.ubok == 1 && c.ub11 == 0.1f) {
            EXPECT_EQ(UNITCELL.UB(3, 3), 0.3f);
        }
        if (c.ubok == 0) {
            for (int i = 1; i <= 3; ++i)
                for (int j = 1; j <= 3; ++j) EXPECT_EQ(UNITCELL.UB(i, j), 0.0f) << i << j;
        }
        EXPECT_EQ(FILEINFO.TITLE.view(), "MO[KA] RUN ^3" + std::string(46, ' ') + "Z");
        EXPECT_EQ(read(STD_NEXT), 0);  // the position stands after the lower-case data line
        EXPECT_EQ(REFLN.ISEQ, 1);
        rt::unit_close(STD);
    }
}

}  // namespace
