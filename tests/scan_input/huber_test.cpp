// "Old Vosket" files: count lines, continuation lines and reflection lines in fixed columns, the
// step time of the count line, counts scaled to the first reflection's step time, converted
// through CONVERT_FILE; scans beyond the capacity of the current reflection; fatal messages.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "include/scan_input.h"
#include "include/shared.h"
#include "include/shell_services.h"
#include "runtime/fatal.h"
#include "runtime/units.h"
#include "test_files.h"

namespace {

constexpr int STD = kvtest::WORKING_UNIT;
const std::string BOX = "box Kelvorantide v3.72 | ";
const std::string DONE = BOX + "Data File read in successfully";
const std::string SKIPPED = BOX + "Error Reading at least 1 reflection in data file";

// ('*' I3 I2 21I6): steps, the step time as written (two columns), counts from first upwards.
std::string count_line(int nstep, const std::string& itpst, int first) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "*%3d", nstep);
    std::string s = buf + itpst;
    for (int k = 0; k < 21; ++k) {
        std::snprintf(buf, sizeof buf, "%6d", first + k);
        s += buf;
    }
    return s;
}

// (TR6 21I6)
std::string continuation(int first) { return "      " + count_line(0, "  ", first).substr(6); }

// (A1 I4 I1 3I3 4F8.3 TR36 F10.3)
std::string refl_line(char mark, int iseq, int istd, int h, int k, int l, double tth, double om, double chi,
                      double phi, double tstep) {
    char buf[120];
    std::snprintf(buf, sizeof buf, "%c%4d%1d%3d%3d%3d%8.3f%8.3f%8.3f%8.3f%36s%10.3f", mark, iseq, istd, h, k, l, tth,
                  om, chi, phi, "", tstep);
    return buf;
}

class VosketReader : public kvtest::ReaderTest {
protected:
    void SetUp() override {
        ReaderTest::SetUp();
    }

    void open_file(const std::vector<std::string>& lines, const std::string& name = "crystal1.dat") {
        open_input(name, lines, 2);
    }

    // Loads the lines as format 2; -1 when CONVERT_FILE returned, else the exit status.
    int load(const std::vector<std::string>& lines) {
        open_file(lines);
        return convert();
    }

    static std::vector<std::string> working_file() { return ReaderTest::working_file(STD); }
};

TEST_F(VosketReader, FileIsConvertedWithTheStepTimesOfItsFirstReflection) {
    float step = 0.0f;
    GET_STEP_SIZE(step);
    ASSERT_EQ(step, 0.02f);  // the step-size dialog's answer without a window
    ASSERT_EQ(load({
                  count_line(22, "  ", 1),  // 22 steps: one continuation line
                  continuation(22),
                  refl_line(' ', 17, 0, 1, 2, 3, 20.0, 0.5, 30.0, 40.0, 1.0),
                  count_line(3, " 2", 5),  // the count line's step time replaces the 1.5 below
                  refl_line(' ', 18, 3, 0, 2, 0, 12.0, -0.25, 0.0, 90.0, 1.5),
                  count_line(43, "  ", 100),  // 43 steps: two continuation lines
                  continuation(121),
                  continuation(142),
                  refl_line(' ', 19, 0, -1, 0, 4, 30.0, 0.0, 10.0, 20.0, 4.0),
              }),
              -1);
    EXPECT_EQ(boxes(), std::vector<std::string>{DONE});
    EXPECT_EQ(FILEINFO.TITLE, "Data from crystal1.dat");
    EXPECT_EQ(std::vector<int>(TOTALS.INUM.begin(), TOTALS.INUM.end()), (std::vector<int>{0, 0, 0, 0, 0, 0, 3}));

    const std::vector<std::string> f = working_file();
    ASSERT_EQ(f.size(), 10u + 3u + 1u + 5u + 3u);
    EXPECT_EQ(f[1].substr(0, 24), "T Data from crystal1.dat");
    // Omega as written; the first reflection's step time is the reference.
    EXPECT_EQ(f[10],
              "R    17   1   2   3    0.0000   20.0000    0.5000   30.0000   40.0000  22   0.02000   1.00000   0N");
    EXPECT_EQ(f[13], "S      21      22");
    // A standard number in column 6, scan code N all the same; 2 s per step against 1 s.
    EXPECT_EQ(f[14],
              "R    18   0   2   0    0.0000   12.0000   -0.2500    0.0000   90.0000   3   0.02000   0.50000   3N");
    EXPECT_EQ(f[15], "S       5       6       7");
    EXPECT_EQ(f[16].substr(69), "  43   0.02000   0.25000   0N");
    EXPECT_EQ(f[21], "S     140     141     142");
}

TEST_F(VosketReader, WholeLinesAreStoredButNothingBeyondTheScan) {
    const std::string long_name(55, 'x');
    std::vector<std::string> lines = {count_line(30, "  ", 1), continuation(22),
                                      refl_line(' ', 1, 0, 1, 0, 0, 10.0, 0.0, 0.0, 0.0, 2.0)};
    // 500 steps fill the scan to its last count; 501 steps are read and left out.
    for (int nstep : {500, 501}) {
        lines.push_back(count_line(nstep, "  ", 1));
        for (int l = 1; l <= (nstep - 1) / 21; ++l) lines.push_back(continuation(21 * l + 1));
        lines.push_back(refl_line(' ', nstep, 0, 2, 0, 0, 10.0, 0.0, 0.0, 0.0, 1.0));
    }
    open_file(lines, long_name);
    int st = 5;
    READ_HEADER_HUBER(st);
    EXPECT_EQ(st, 0);
    EXPECT_EQ(FILEINFO.TITLE, "Data from " + long_name.substr(0, 50));

    READ_SCAN_HUBER(st);
    EXPECT_EQ(st, 0);
    EXPECT_EQ(REFLN.NSTEP, 30);
    EXPECT_EQ(REFLN.COUNTS(42), 42.0f);  // the continuation line is stored whole
    EXPECT_EQ(REFLN.SCALE, 1.0f);

    READ_SCAN_HUBER(st);
    EXPECT_EQ(st, 0);
    EXPECT_EQ(REFLN.NSTEP, 500);
    EXPECT_EQ(REFLN.COUNTS(500), 500.0f);
    EXPECT_EQ(REFLN.SCALE, 2.0f);

    READ_SCAN_HUBER(st);
    EXPECT_EQ(st, 13);
    EXPECT_EQ(REFLN.ISEQ, 501);  // the file stays in step

    // The end of the file rewinds it.
    READ_SCAN_HUBER(st);
    EXPECT_EQ(st, 12);
    READ_SCAN_HUBER(st);
    EXPECT_EQ(st, 0);
    EXPECT_EQ(REFLN.ISEQ, 1);

    // A new load takes the step time of its own first reflection as the reference.
    open_file({count_line(3, "  ", 1), refl_line(' ', 7, 0, 1, 0, 0, 10.0, 0.0, 0.0, 0.0, 4.0)}, "second.dat");
    READ_HEADER_HUBER(st);
    READ_SCAN_HUBER(st);
    EXPECT_EQ(st, 0);
    EXPECT_EQ(REFLN.SCALE, 1.0f);
}

TEST_F(VosketReader, UnusableStepTimeSkipsTheReflection) {
    ASSERT_EQ(load({count_line(3, "  ", 1), refl_line(' ', 1, 0, 1, 0, 0, 10.0, 0.0, 0.0, 0.0, 0.0),
                    count_line(3, "  ", 1), refl_line(' ', 2, 0, 2, 0, 0, 10.0, 0.0, 0.0, 0.0, 2.0),
                    count_line(3, "  ", 1), refl_line(' ', 3, 0, 3, 0, 0, 10.0, 0.0, 0.0, 0.0, 1.0)}),
              -1);
    EXPECT_EQ(boxes(), std::vector<std::string>{SKIPPED});
    const std::vector<std::string> f = working_file();
    ASSERT_EQ(f.size(), 10u + 2u * 2u);
    // The first usable step time is the reference.
    EXPECT_EQ(f[10].substr(0, 7), "R     2");
    EXPECT_EQ(f[12].substr(0, 7), "R     3");
    EXPECT_EQ(f[12].substr(83), "   2.00000   0N");
}

TEST_F(VosketReader, MalformedFilesNameTheDamagedLine) {
    const std::string ok = refl_line(' ', 1, 0, 1, 0, 0, 10.0, 0.0, 0.0, 0.0, 1.0);
    std::string bad_count = count_line(3, "  ", 1);
    bad_count[10] = 'x';
    std::string bad_refl = ok;
    bad_refl[20] = 'y';
    struct Case {
        const char* name;
        std::vector<std::string> lines;
        std::string damaged;
    };
    const std::string at = "Error reading crystal1.dat at line ";
    const Case cases[] = {
        {"a count line without its star", {ok, ok}, at + "1: unreadable value in the count line"},
        {"a letter in a count", {bad_count, ok}, at + "1: unreadable value in the count line"},
        {"a letter in the reflection line", {count_line(3, "  ", 1), bad_refl},
         at + "2: unreadable value in the reflection line"},
        {"the file ends after a count line", {count_line(3, "  ", 1)}, at + "2: end of file inside a reflection"},
        {"the file ends inside the continuation lines", {count_line(50, "  ", 1), continuation(22)},
         at + "3: end of file inside a reflection"},
        {"a NUL in the reflection line", {count_line(3, "  ", 1), std::string(ok).replace(30, 1, 1, '\0')},
         at + "2: the line holds control characters"},
        // A reflection line lost: the next count line stands in its place, and the reflection
        // line after it would be taken for this reflection's.
        {"a count line where the reflection line belongs", {count_line(3, "  ", 1), count_line(3, "  ", 1), ok},
         at + "2: a count line where the reflection line belongs"},
        {"a continuation line lost", {count_line(22, "  ", 1), ok, count_line(3, "  ", 1), ok},
         at + "2: a continuation line expected"},
        {"a count line cut short", {count_line(3, "  ", 1).substr(0, 14), ok},
         at + "1: a blank or negative count in the count line"},
        {"a blank field in the reflection line", {count_line(3, "  ", 1), ok.substr(0, 30)},
         at + "2: a blank field in the reflection line"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        rt::units_close_all();
        wl::script::load_lines({});
        EXPECT_EQ(load(c.lines), kvtest::DAMAGED);
        EXPECT_TRUE(boxes().empty());
        EXPECT_EQ(kvtest::damaged_message(), c.damaged);
    }
}

}  // namespace
