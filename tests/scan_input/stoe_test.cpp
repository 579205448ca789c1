// "Stoe" files: the header keywords, the reflection and count lines, standards, attenuator and
// the scale, converted through CONVERT_FILE into the working standard data file; the statuses and
// damaged files named with their line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "include/scan_input.h"
#include "include/shared.h"
#include "runtime/fatal.h"
#include "runtime/units.h"
#include "shell/small_boxes.h"
#include "test_files.h"

namespace {

constexpr int STD = kvtest::WORKING_UNIT;
const std::string BOX = "box Kelvorantide v3.72 | ";
const std::string DONE = BOX + "Data File read in successfully";
const std::string SKIPPED = BOX + "Error Reading at least 1 reflection in data file";

const std::vector<std::string> HEADER = {
    "titl QUARTZ TEST CRYSTAL",  // a keyword in lower case is recognised
    "    WAVE 9.9 9.9 9.9",      // blank columns 1-4: passed over whatever follows
    "WAVE 0.71 0.7093 0.7136",
    "SCAN 1.2,0.35 0.02",
    "STDS 2 2 0.0 1 0 0 0 2 0",
    "REMARK no keyword here",
    "DATA",
};

// A reflection line: h k l ICODE R1 R2 I1 I2 ISCANTIME IFILT R3 I4 2theta omega chi phi.
std::string refl(const std::string& hkl, int icode, int scantime, int ifilt, const std::string& angles) {
    return " " + hkl + " " + std::to_string(icode) + " 0.5 0.5 0 0 " + std::to_string(scantime) + " " +
           std::to_string(ifilt) + " 0.0 0 " + angles;
}

class StoeReader : public kvtest::ReaderTest {
protected:
    void SetUp() override {
        ReaderTest::SetUp();
        SCANHDR.ATTEN = 2.5f;  // from the parameter file
    }

    // Writes the file (CR LF line ends) and loads it as format 5; returns -1 when CONVERT_FILE
    // returned, else the exit status the program ended with.
    int load(const std::vector<std::string>& lines) {
        open_input("scans.d00", lines, 5);
        return convert();
    }

    static std::vector<std::string> working_file() { return ReaderTest::working_file(STD); }

    static std::vector<REFLN_t> read_back() { return ReaderTest::read_back(STD); }
};

TEST_F(StoeReader, FileIsConvertedWithStandardsAttenuatorAndScale) {
    std::vector<std::string> lines = HEADER;
    const std::vector<std::string> data = {
        refl("1 -2 3", 0, 8, 0, "20.000 10.000 30.000 -45.000"),
        "P 96 10 12",  // the first value is not a count
        "P 15 9",
        "XX a line that is not a reflection line is passed over",
        refl("0 2 0", 40, 6, 1, "12.000 7.500 0.000 90.000"),
        "P 5 123 0 7",  // 123 moves the reading column by 4, 0 by 2
        refl("2 0 0", 0, 96, 3, "16.000 8.000 1.000 2.000"),
        "P1 4 5",  // the first value in column 2
        refl("0 0 0", 0, 1, 0, "0 0 0 0"),  // ends the data
        refl("3 3 3", 0, 1, 0, "1 1 1 1"),
        "P 1 1",
    };
    lines.insert(lines.end(), data.begin(), data.end());
    ASSERT_EQ(load(lines), -1);
    EXPECT_EQ(boxes(), std::vector<std::string>{DONE});
    EXPECT_FALSE(waitbox_shown());

    EXPECT_EQ(FILEINFO.TITLE, " QUARTZ TEST CRYSTAL");
    EXPECT_EQ(WAVES.WAVE(1), 0.7093f);
    EXPECT_EQ(WAVES.WAVE(2), 0.7136f);
    EXPECT_EQ(SCANHDR.SCW(1), 1.2f);
    EXPECT_EQ(SCANHDR.SCW(2), 0.35f);
    ASSERT_EQ(STDREF.NSTD, 2);
    EXPECT_EQ(STDREF.IHSTD(1, 1), 1);
    EXPECT_EQ(STDREF.IHSTD(1, 2), 0);
    EXPECT_EQ(STDREF.IHSTD(2, 2), 2);
    EXPECT_EQ(STDREF.IHSTD(2, 3), 0);
    // N F I: one ordinary, one filtered, one standard.
    EXPECT_EQ(std::vector<int>(TOTALS.INUM.begin(), TOTALS.INUM.end()), (std::vector<int>{0, 0, 0, 0, 1, 1, 1}));

    const std::vector<std::string> f = working_file();
    ASSERT_EQ(f.size(), 10u + 3u * 2u);
    EXPECT_EQ(f[1].substr(0, 22), "T  QUARTZ TEST CRYSTAL");
    // Omega relative to theta; 8 s over 4 steps: 2 s per step, scale 1/2.
    EXPECT_EQ(f[10],
              "R     1   1  -2   3    0.0000   20.0000    0.0000   30.0000  -45.0000   4   0.02000   0.50000   0N");
    EXPECT_EQ(f[11], "S      10      12      15       9");

    const std::vector<REFLN_t> r = read_back();
    ASSERT_EQ(r.size(), 3u);
    // The standard 0 2 0, measured with the attenuator: numbered in file order with the others,
    // ATTEN in place of the numerator of the scale.
    EXPECT_EQ(r[1].ISEQ, 2);
    EXPECT_EQ(r[1].ISTD, 2);
    EXPECT_EQ(r[1].SCANCODE, "I");
    EXPECT_EQ(r[1].NSTEP, 3);
    EXPECT_EQ(r[1].COUNTS(1), 123.0f);
    EXPECT_EQ(r[1].COUNTS(2), 0.0f);
    EXPECT_EQ(r[1].COUNTS(3), 7.0f);
    EXPECT_EQ(r[1].SCALE, 1.25f);
    EXPECT_EQ(r[1].ANGL(2), 1.5f);
    // Attenuated ordinary reflection: scan code F; 96 s over 2 steps.
    EXPECT_EQ(r[2].ISEQ, 3);
    EXPECT_EQ(r[2].ISTD, 0);
    EXPECT_EQ(r[2].SCANCODE, "F");
    EXPECT_EQ(r[2].NSTEP, 2);
    EXPECT_EQ(r[2].COUNTS(1), 4.0f);
    EXPECT_EQ(r[2].SCALE, 0.05208f);  // 2.5 / 48 in the five decimals of the file
    EXPECT_EQ(r[2].ANGL(2), 0.0f);
}

TEST_F(StoeReader, ScanTimeIsSpreadOverTheSteps) {
    // 48 s over 96 steps: 0.5 s per step, scale 2 (2 x ATTEN with the attenuator).
    std::string counts = "P 96";
    for (int i = 1; i <= 96; ++i) counts += (i % 24 == 0 ? "\r\nP " : " ") + std::to_string(i % 10);
    for (int ifilt : {0, 1}) {
        SCOPED_TRACE(ifilt);
        rt::units_close_all();
        std::vector<std::string> lines = HEADER;
        lines.push_back(refl("1 1 0", 0, 48, ifilt, "10.0 5.0 0.0 0.0"));
        lines.push_back(counts);
        ASSERT_EQ(load(lines), -1);
        EXPECT_EQ(REFLN.NSTEP, 96);
        EXPECT_EQ(REFLN.TSTEP, 0.5f);
        EXPECT_EQ(REFLN.SCALE, ifilt == 0 ? 2.0f : 5.0f);
        EXPECT_EQ(REFLN.COUNTS(96), 6.0f);
    }
}

TEST_F(StoeReader, UnusableReflectionsAreSkippedAndTheDataEndWhereTheFileSays) {
    std::string too_many = "P 1";
    for (int i = 0; i < 501; ++i) too_many += (i % 40 == 39 ? "\nP 2" : " 2");
    const std::string ok = refl("1 0 0", 0, 2, 0, "10 5 0 0");
    struct Case {
        const char* name;
        std::vector<std::string> data;
        std::string notice;
        std::size_t reflections;
    };
    const Case cases[] = {
        {"more than 500 counts", {refl("2 0 0", 0, 2, 0, "10 5 0 0"), too_many, ok, "P 2 1 2"}, SKIPPED, 1},
        {"no counts", {refl("2 0 0", 0, 2, 0, "10 5 0 0"), "P 9", ok, "P 2 1 2"}, SKIPPED, 1},
        {"no counting time", {refl("2 0 0", 0, 0, 0, "10 5 0 0"), "P 9 1", ok, "P 2 1 2"}, SKIPPED, 1},
        {"fewer than sixteen values drop the reflection",
         {ok, "P 9 1 2", " 2 0 0 0 0.5 0.5 0 0 2 0 0.0 0 10 5 0", "P 9 1", ok, "P 1 1"}, SKIPPED, 2},
        {"a short 0 0 0 line ends the data", {ok, "P 9 1 2", " 0 0 0", ok, "P 9 1"}, DONE, 1},
        {"end of file before the counts drops the reflection", {ok, "P 9 1 2", ok}, SKIPPED, 1},
        {"end of file inside the reflection line drops it", {ok, "P 9 1 2", " 2 0 0 0 0.5"}, SKIPPED, 1},
        // Without the closing 0 0 0 line the end of the file ends the last counts: they are whole
        // when the step count that leads them matches (a file cut at a line end does not).
        {"end of file after the counts keeps the reflection", {ok, "P 2 1 2"}, DONE, 1},
        {"end of file after counts short of their step count drops them", {ok, "P 9 1 2", ok, "P 3 1 2"}, SKIPPED, 1},
        {"a blank line is passed over", {ok, "P 9 1 2", "", "   ", ok, "P 1 1"}, DONE, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        rt::units_close_all();
        wl::script::load_lines({});
        std::vector<std::string> lines = HEADER;
        lines.insert(lines.end(), c.data.begin(), c.data.end());
        ASSERT_EQ(load(lines), -1);
        EXPECT_EQ(boxes(), std::vector<std::string>{c.notice});
        const std::vector<REFLN_t> r = read_back();
        ASSERT_EQ(r.size(), c.reflections);
        EXPECT_EQ(r.back().IH(1), 1);
    }
}

TEST_F(StoeReader, SkippedReflectionKeepsItsSequenceNumber) {
    std::vector<std::string> lines = HEADER;
    for (const std::string& l : {refl("2 0 0", 0, 0, 0, "10 5 0 0"), std::string("P 9 1"),
                                 refl("1 0 0", 0, 2, 0, "10 5 0 0"), std::string("P 2 1 2")})
        lines.push_back(l);
    ASSERT_EQ(load(lines), -1);
    const std::vector<REFLN_t> r = read_back();
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r[0].ISEQ, 2);
}

TEST_F(StoeReader, MalformedFilesNameTheDamagedLine) {
    const std::string ok = refl("1 0 0", 0, 2, 0, "10 5 0 0");
    struct Case {
        const char* name;
        std::vector<std::string> lines;
        int exit_status;  // DAMAGED: the damaged-file error
        std::vector<std::string> boxes;
        std::string damaged = "";
    };
    const int DAMAGED = kvtest::DAMAGED;
    const Case cases[] = {
        {"no DATA line", {"TITL NO DATA", "WAVE 0.71 0.7093 0.7136"}, DAMAGED, {},
         "Error reading scans.d00 at line 3: end of file inside the header"},
        {"a letter in a header value", {"WAVE 0.71 0.7O93 0.7136", "DATA"}, DAMAGED, {},
         "Error reading scans.d00 at line 1: unreadable value in the WAVE line"},
        {"more standards than the store holds", {"STDS 11 0.0 1 0 0", "DATA"}, DAMAGED, {},
         "Error reading scans.d00 at line 1: the STDS line lists more than 10 standards"},
        {"a header line short of values", {"SCAN 1.0 0.5", "DATA"}, DAMAGED, {},
         "Error reading scans.d00 at line 1: too few values in the SCAN line"},
        {"a standard not in the header", {"STDS 1 1 0.0 1 0 0", "DATA", refl("0 1 0", 40, 2, 0, "10 5 0 0"), "P 1 2"},
         DAMAGED, {}, "Error reading scans.d00 at line 3: Unidentified Standard Refln"},
        {"a letter in a count", {"DATA", ok, "P 1 2 x 4"}, DAMAGED, {},
         "Error reading scans.d00 at line 3: unreadable value in a count line"},
        // A count is a whole number: a letter is no exponent, and no decimals.
        {"a count with a letter inside", {"DATA", ok, "P 3 1 2Q5 4"}, DAMAGED, {},
         "Error reading scans.d00 at line 3: unreadable value in a count line"},
        {"a count with decimals", {"DATA", ok, "P 2 12.5 4"}, DAMAGED, {},
         "Error reading scans.d00 at line 3: unreadable value in a count line"},
        {"a letter in the reflection line", {"DATA", " 1 0 0 0 0.5 0.5 0 0 2 0 0.0 0 10 five 0 0", "P 1 2"}, DAMAGED,
         {}, "Error reading scans.d00 at line 2: unreadable value in the reflection line"},
        // Neither a negative number nor a null value nor a '/' is a count: each would shift
        // the counts after it or keep a count of another reflection.
        {"a negative count", {"DATA", ok, "P 3 1 -999 4"}, DAMAGED, {},
         "Error reading scans.d00 at line 3: unreadable value in a count line"},
        {"a null count", {"DATA", ok, "P 3 1,,4"}, DAMAGED, {},
         "Error reading scans.d00 at line 3: unreadable value in a count line"},
        {"a slash for a count", {"DATA", ok, "P 3 1 / 4"}, DAMAGED, {},
         "Error reading scans.d00 at line 3: unreadable value in a count line"},
        {"a null value in the reflection line", {"DATA", " 1 0 0 0 0.5 0.5 0 0 2 0 0.0 0 10,,0 0", "P 1 2"}, DAMAGED,
         {}, "Error reading scans.d00 at line 2: unreadable value in the reflection line"},
        // Lines out of their place: the count lines of a blanked reflection line, and a doubled
        // reflection line.
        {"a blanked reflection line", {"DATA", ok, "P 2 1 2", "", "P 2 3 4"}, DAMAGED, {},
         "Error reading scans.d00 at line 5: a count line where a reflection line belongs"},
        {"a doubled reflection line", {"DATA", ok, ok, "P 2 1 2"}, DAMAGED, {},
         "Error reading scans.d00 at line 3: a reflection line without count lines before this line"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        rt::units_close_all();
        reset_shared_records();
        PROGID.PROG_TITLE = "Kelvorantide v3.72";
        FILEINFO.LUNSTD = STD;
        wl::script::load_lines({});
        EXPECT_EQ(load(c.lines), c.exit_status);
        EXPECT_EQ(boxes(), c.boxes);
        EXPECT_EQ(kvtest::damaged_message(), c.damaged);
        EXPECT_FALSE(rt::unit_connected(STD));  // the scratch file is gone
    }
}

class StoeStandardsLine : public kvtest::ReaderTest {
protected:
    void SetUp() override {
        ReaderTest::SetUp();
        PROGID.PROG_TITLE = "Kelvorantide v3.72";
        FILEINFO.LUNSTD = 25;
    }
};

// "Stoe" header: the standards line gives the count, then, read again from its start, the count
// once more, a second integer and a real (both unused) and the h k l of every standard.
TEST_F(StoeStandardsLine, StandardsFollowTheCountTheSecondIntegerAndTheReal) {
    struct Case {
        const char* line;
        int nstd;
        std::vector<int> hkl;  // h k l of every standard, in order
    };
    const Case cases[] = {
        {"STDS 2, 2, 0.0, 1, 0, 0, 0, 2, 0", 2, {1, 0, 0, 0, 2, 0}},
        {"stds 1 7 3.5 -1 2 -3", 1, {-1, 2, -3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        reset_shared_records();
        open_input("scans.d00", {c.line, "DATA"}, 5);
        int ierr = 99;
        const int ended = kvtest::exit_status([&] { READ_HEADER_STOE(ierr); });
        ASSERT_EQ(ended, -1);
        EXPECT_EQ(ierr, 0);
        ASSERT_EQ(STDREF.NSTD, c.nstd);
        for (int i = 1; i <= c.nstd; ++i)
            for (int j = 1; j <= 3; ++j) EXPECT_EQ(STDREF.IHSTD(i, j), c.hkl[std::size_t(3 * (i - 1) + j - 1)]);
    }
}

TEST_F(StoeStandardsLine, StandardOfTheHeaderIsRecognisedInTheData) {
    const std::vector<std::string> lines = {
        "STDS 2 2 0.0 1 0 0 0 2 0",
        "SCAN 0 0 0.02",  // a step width: a scan without one cannot be used
        "DATA",
        " 0 2 0 40 0.5 0.5 0 0 4 0 0.0 0 12.000 7.500 0.000 90.000",
        "P 2 5 6",
    };
    open_input("scans.d00", lines, 5);
    ASSERT_EQ(convert(), -1);
    const std::vector<REFLN_t> r = read_back(25);
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r[0].ISTD, 2);
    EXPECT_EQ(r[0].SCANCODE, "I");
    EXPECT_EQ(r[0].NSTEP, 2);
}

}  // namespace
