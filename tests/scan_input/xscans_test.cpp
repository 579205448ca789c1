// Xscans reader: the keyword header, reflection lines with standards and attenuated scans, the
// packed counts, the statuses of broken reflections, and a small file converted into the
// working standard data file.
#include <gtest/gtest.h>

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

// A reflection line: sequence number, h k l, 2theta, omega, phi, chi, range, rate.
std::string refl(int seq, int h, int k, int l, float tth, float om, float phi, float chi, float range, float rate) {
    char buf[128];
    std::snprintf(buf, sizeof buf, " %6d%4d%4d%4d%8.2f%8.2f%8.2f%8.2f%5.2f%8.2f", seq, h, k, l, tth, om, phi, chi,
                  range, rate);
    return buf;
}

// Header lines, each field in its columns.
std::string checkr(int nstd, int stdint, int nstep) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "CHECKR%4d%6d%22s%3d", nstd, stdint, "", nstep);
    return buf;
}
std::string checkn(int i, int h, int k, int l) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "CHECKN%6d%4d%4d%4d", i, h, k, l);
    return buf;
}
std::string source(float w1, float w2) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "SOURCE MO%15s%7.5f%3s%7.5f", "", w1, "", w2);
    return buf;
}
std::string detect(float atten) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "DETECT%40s%6.3f", "", atten);
    return buf;
}
// The same line with the character in column col replaced.
std::string spoil(std::string line, int col, char c) {
    line.at(std::size_t(col - 1)) = c;
    return line;
}

// The header of the test files: two standards, ten steps a scan, attenuator factor 8.
std::vector<std::string> header() {
    return {
        "FILEID some instrument banner",
        "TITLE SYNTHETIC XSCANS SET",
        checkn(2, 0, 0, 4),  // a standard before CHECKR is kept
        checkr(2, 50, 10),
        checkn(1, 1, -1, 0),
        source(0.7093f, 0.71359f),
        detect(8.0f),
        "DATA",
    };
}

// The R and S lines of the working standard data file, and its T line.
std::vector<std::string> working_records() {
    std::vector<std::string> out;
    rt::unit_rewind(25);
    for (std::string rec; rt::unit_read_record(25, rec) == rt::IOS_OK;)
        if (!rec.empty() && (rec[0] == 'R' || rec[0] == 'S' || rec[0] == 'T')) out.push_back(rec);
    return out;
}

class Xscans : public kvtest::ReaderTest {
protected:
    void SetUp() override {
        ReaderTest::SetUp();
        for (int i = 1; i <= 3; ++i) UNITCELL.IBL(i) = i;
    }

    void open_file(const std::vector<std::string>& lines) {
        open_input("scans.p4t", lines, 4);
    }

    static int header_ok() { return status_of(READ_HEADER_XSCANS, 5); }
    static int scan() { return status_of(READ_SCAN_XSCANS, 0); }
};

TEST_F(Xscans, HeaderFillsStandardsWavelengthsAttenuatorAndTitle) {
    open_file(header());
    EXPECT_EQ(header_ok(), 0);
    const STDREF_t& s = STDREF;
    EXPECT_EQ(s.NSTD, 2);
    EXPECT_EQ(s.STDINT, 50);
    EXPECT_EQ(REFLN.NSTEP, 10);
    EXPECT_EQ(s.NSTEP_STD(1), 10);
    EXPECT_EQ(s.NSTEP_STD(2), 10);
    EXPECT_EQ(s.NSTEP_STD(3), 0);
    EXPECT_EQ((std::vector<int>{s.IHSTD(1, 1), s.IHSTD(1, 2), s.IHSTD(1, 3)}), (std::vector<int>{1, -1, 0}));
    EXPECT_EQ((std::vector<int>{s.IHSTD(2, 1), s.IHSTD(2, 2), s.IHSTD(2, 3)}), (std::vector<int>{0, 0, 4}));
    EXPECT_FLOAT_EQ(WAVES.WAVE(1), 0.7093f);
    EXPECT_FLOAT_EQ(WAVES.WAVE(2), 0.71359f);
    EXPECT_EQ(WAVES.NWAVE, 2);
    EXPECT_FLOAT_EQ(SCANHDR.ATTEN, 8.0f);
    EXPECT_EQ(FILEINFO.TITLE, "SYNTHETIC XSCANS SET");
    EXPECT_EQ(UNITCELL.UBOK, 0);
}

TEST_F(Xscans, PackedCountsDecode) {
    struct Case {
        std::string text;
        double value;
    };
    double ten_z = 0;  // ten letters "z": far beyond 32-bit integers
    for (int i = 0; i < 10; ++i) ten_z = ten_z * 52 + 51;
    const Case cases[] = {
        {"5", 5},   {"?", 41},  {"B0", 42}, {"C%", 100}, {"a0", 1092}, {"BA0", 2184},
        {"`", 10},  {"~", 11},  {"{", 29},  {"}", 31},   {"\"", 35},   {"\\", 27},
        {" Z z ?", (25 * 52 + 51) * 42 + 41},
        {"zzzzzzzzzz?", ten_z * 42 + 41},
    };
    for (const Case& c : cases) {
        open_file({c.text});
        REFLN.NSTEP = 1;
        int ierr = 7;
        DECODE_DATA(ierr);
        EXPECT_EQ(ierr, 0) << c.text;
        EXPECT_EQ(REFLN.COUNTS(1), float(c.value)) << c.text;
    }
}

TEST_F(Xscans, CountsRunAcrossLinesAndTheLastLineIsReadWhole) {
    // "12 3" is three counts; "B" ends one line and its terminator "0" starts the next.
    open_file({"12 3 B", "0 7 8 9", "  NEXT LINE STAYS"});
    REFLN.NSTEP = 5;
    int ierr = 0;
    DECODE_DATA(ierr);
    EXPECT_EQ(ierr, 0);
    EXPECT_EQ((std::vector<float>{REFLN.COUNTS(1), REFLN.COUNTS(2), REFLN.COUNTS(3), REFLN.COUNTS(4),
                                  REFLN.COUNTS(5), REFLN.COUNTS(6)}),
              (std::vector<float>{1, 2, 3, 42, 7, 8}));  // counts past NSTEP on that line are kept
    std::string rest;
    ASSERT_EQ(rt::unit_read_record(1, rest), rt::IOS_OK);
    EXPECT_EQ(rest, "  NEXT LINE STAYS");
}

TEST_F(Xscans, CountsThatCannotBeDecodedSpoilTheReflection) {
    const std::vector<std::string> texts = {
        "1 2",                      // the file ends before the third count
        "1 2\t3",                   // a control character
        "1 2 ABCDEFGHIJK3",         // eleven letters
        "1 2 \xc3\xa9" "3",         // a character outside ASCII
    };
    for (const std::string& t : texts) {
        open_file({t});
        REFLN.NSTEP = 3;
        int ierr = 0;
        DECODE_DATA(ierr);
        EXPECT_EQ(ierr, 13) << t;
    }
}

TEST_F(Xscans, ReflectionsStandardsAndAttenuatedScans) {
    std::vector<std::string> lines = header();
    const std::vector<std::string> body = {
        refl(1, 2, -1, 3, 20.00, 14.00, 30.00, -45.00, 1.20, 4.00),
        "0123456789",
        "",  // a blank line is not a reflection
        refl(2, 1, 1, 0, 30.50, 15.25, 0.00, 90.00, -1.20, 4.00),
        "5?B0C%a0BA0 1 2 3 4 5",
        refl(-12, 0, 0, 4, 40.00, 20.00, 0.00, 0.00, 1.00, 3.00),
        "1111111111",
        refl(-13, 1, -1, 0, 40.00, 20.00, 0.00, 0.00, -1.00, 3.00),
        "2222222222",
    };
    lines.insert(lines.end(), body.begin(), body.end());
    open_file(lines);
    ASSERT_EQ(header_ok(), 0);
    const REFLN_t& r = REFLN;

    ASSERT_EQ(scan(), 0);
    EXPECT_EQ(r.ISEQ, 1);
    EXPECT_EQ((std::vector<int>{r.IH(1), r.IH(2), r.IH(3)}), (std::vector<int>{2, -1, 3}));
    EXPECT_EQ((std::vector<float>{r.ANGL(1), r.ANGL(2), r.ANGL(3), r.ANGL(4)}),
              (std::vector<float>{20.0f, 4.0f, -45.0f, 30.0f}));  // chi, phi swapped; omega - 2theta/2
    EXPECT_EQ(r.NSTEP, 10);
    EXPECT_FLOAT_EQ(r.WIDTH, 1.2f);
    EXPECT_FLOAT_EQ(r.STEP, 1.2f / 9.0f);
    EXPECT_EQ(r.SCALE, 4.0f);
    EXPECT_EQ(r.ISTD, 0);
    EXPECT_EQ(r.SCANCODE, "N");
    EXPECT_EQ(r.COUNTS(1), 0.0f);
    EXPECT_EQ(r.COUNTS(10), 9.0f);

    ASSERT_EQ(scan(), 0);
    EXPECT_EQ(r.ISEQ, 2);
    EXPECT_FLOAT_EQ(r.WIDTH, 1.2f);
    EXPECT_EQ(r.SCALE, 32.0f);  // rate x attenuator factor
    EXPECT_EQ(r.SCANCODE, "F");
    EXPECT_EQ((std::vector<float>{r.COUNTS(1), r.COUNTS(2), r.COUNTS(3), r.COUNTS(4), r.COUNTS(5), r.COUNTS(6)}),
              (std::vector<float>{5, 41, 42, 100, 1092, 2184}));

    ASSERT_EQ(scan(), 0);  // standard 2
    EXPECT_EQ(r.ISEQ, 12);
    EXPECT_EQ(r.ISTD, 2);
    EXPECT_EQ(r.SCALE, 1.0f);
    EXPECT_EQ(r.SCANCODE, "I");

    ASSERT_EQ(scan(), 0);  // standard 1, attenuated: keeps the factor, still I
    EXPECT_EQ(r.ISEQ, 13);
    EXPECT_EQ(r.ISTD, 1);
    EXPECT_EQ(r.SCALE, 8.0f);
    EXPECT_EQ(r.SCANCODE, "I");

    EXPECT_EQ(scan(), 12);
}

TEST_F(Xscans, BrokenCountsSkipTheReflectionAndReadingGoesOn) {
    // A character outside the code: the reflection is left out, and the one after it is read.
    std::vector<std::string> lines = header();
    lines.insert(lines.end(), {refl(1, 1, 0, 0, 10, 5, 0, 0, 1, 1), "12345\xe9" "67890",
                               refl(3, 2, 0, 0, 10, 5, 0, 0, 1, 1), "9876543210"});
    open_file(lines);
    ASSERT_EQ(header_ok(), 0);
    EXPECT_EQ(scan(), 13);
    EXPECT_EQ(scan(), 0);
    EXPECT_EQ(REFLN.ISEQ, 3);
    EXPECT_EQ(REFLN.COUNTS(1), 9.0f);
    EXPECT_EQ(scan(), 12);

    // Lines out of their place are damage, named with their line: the counts of a reflection
    // whose line was blanked (or dropped, or is of another format), and a reflection line where
    // counts belong (a count line was lost).
    const std::string at = "Error reading scans.p4t at line ";
    const std::size_t first = header().size() + 1;
    const struct {
        std::vector<std::string> body;
        std::string damaged;
    } misplaced[] = {
        {{std::string(64, ' '), "1234567890", refl(3, 2, 0, 0, 10, 5, 0, 0, 1, 1), "9876543210"},
         at + std::to_string(first + 1) + ": a line that is no reflection line where one belongs"},
        {{"XX a line that is not a reflection line"},
         at + std::to_string(first) + ": a line that is no reflection line where one belongs"},
        {{refl(1, 1, 0, 0, 10, 5, 0, 0, 1, 1), refl(3, 2, 0, 0, 10, 5, 0, 0, 1, 1), "9876543210"},
         at + std::to_string(first + 1) + ": a reflection line where counts belong"},
        {{refl(1, 1, 0, 0, 10, 5, 0, 0, 1, 1).substr(0, 40), "9876543210"},
         at + std::to_string(first) + ": a blank field in the reflection line"},
    };
    for (const auto& m : misplaced) {
        std::vector<std::string> bad = header();
        bad.insert(bad.end(), m.body.begin(), m.body.end());
        open_file(bad);
        ASSERT_EQ(header_ok(), 0);
        EXPECT_EQ(kvtest::exit_status([] { scan(); }), kvtest::DAMAGED) << m.damaged;
        EXPECT_EQ(kvtest::damaged_message(), m.damaged);
    }
    lines = header();
    lines.insert(lines.end(), {refl(1, 1, 0, 0, 10, 5, 0, 0, 1, 1), "12345\xe9" "67890",
                               std::string(64, ' '), "1234567890",
                               refl(3, 2, 0, 0, 10, 5, 0, 0, 1, 1), "9876543210"});

    // A control character in a line is damage: the file and the line are named.
    lines[lines.size() - 5] = "12345\x01" "67890";
    open_file(lines);
    ASSERT_EQ(header_ok(), 0);
    EXPECT_EQ(kvtest::exit_status([] { scan(); }), kvtest::DAMAGED);
    EXPECT_EQ(kvtest::damaged_message(), "Error reading scans.p4t at line " + std::to_string(lines.size() - 4) +
                                             ": the line holds control characters");
}

TEST_F(Xscans, StepCountsTheReflectionCannotHoldAreSkipped) {
    for (const int steps : {600, 1, 0}) {
        std::vector<std::string> lines = header();
        lines[3] = checkr(2, 50, steps);
        lines.insert(lines.end(), {refl(1, 1, 0, 0, 10, 5, 0, 0, 1, 1), std::string(80, '7'),
                                   std::string(80, '7'), std::string(80, '7'), std::string(80, '7'),
                                   std::string(80, '7'), std::string(80, '7'), std::string(80, '7'),
                                   std::string(80, '7')});
        open_file(lines);
        ASSERT_EQ(header_ok(), 0);
        EXPECT_EQ(scan(), 13) << steps;  // 1 step has no step width
        if (steps > 500) {
            EXPECT_EQ(scan(), 12) << steps;  // the counts of the skipped scan are passed over
        } else {
            // A scan of one step or none ends with its first count line: the count lines
            // after it stand where a reflection line belongs.
            EXPECT_EQ(kvtest::exit_status([] { scan(); }), kvtest::DAMAGED) << steps;
        }
    }
}

TEST_F(Xscans, HeaderFaultsNameTheDamagedLine) {
    struct Case {
        std::string line;
        std::string box;  // "Error reading ...": the damaged-file error, no box
    };
    const Case cases[] = {
        {spoil(checkr(2, 50, 10), 15, 'x'), "Error reading scans.p4t at line 1: unreadable value in the CHECKR line"},
        {spoil(source(0.7093f, 0.71359f), 28, 'x'),
         "Error reading scans.p4t at line 1: unreadable value in the SOURCE line"},
        {checkr(11, 50, 10), "Error reading scans.p4t at line 1: More than 10 standards"},
        {checkn(11, 0, 0, 4), "Error reading scans.p4t at line 1: a standard number outside 1 to 10 in the CHECKN line"},
        {checkn(0, 0, 0, 4), "Error reading scans.p4t at line 1: a standard number outside 1 to 10 in the CHECKN line"},
        {spoil(checkn(1, 0, 0, 4), 20, 'x'), "Error reading scans.p4t at line 1: unreadable value in the CHECKN line"},
        {spoil(detect(8.0f), 50, 'x'), "Error reading scans.p4t at line 1: unreadable value in the DETECT line"},
    };
    for (const Case& c : cases) {
        wl::script::load_lines({});
        open_file({c.line, "DATA"});
        const int status = kvtest::exit_status([] { header_ok(); });
        if (c.box.starts_with("Error reading scans.")) {
            EXPECT_EQ(status, kvtest::DAMAGED) << c.line;
            EXPECT_EQ(kvtest::damaged_message(), c.box);
            EXPECT_TRUE(boxes().empty()) << c.line;
        } else {
            EXPECT_EQ(status, 0) << c.line;
            EXPECT_EQ(boxes(), std::vector<std::string>{BOX + c.box}) << c.line;
        }
    }
    // The file ends before its DATA line.
    open_file({"TITLE NO DATA LINE"});
    EXPECT_EQ(kvtest::exit_status([] { header_ok(); }), kvtest::DAMAGED);
    EXPECT_EQ(kvtest::damaged_message(), "Error reading scans.p4t at line 2: end of file inside the header");
}

TEST_F(Xscans, UnknownStandardAndAnUnreadableReflectionLineAreNamed) {
    std::vector<std::string> lines = header();
    lines.push_back(refl(-3, 5, 5, 5, 10, 5, 0, 0, 1, 1));
    open_file(lines);
    ASSERT_EQ(header_ok(), 0);
    EXPECT_EQ(kvtest::exit_status([] { scan(); }), kvtest::DAMAGED);
    EXPECT_EQ(kvtest::damaged_message(),
              "Error reading scans.p4t at line " + std::to_string(lines.size()) + ": Unidentified Standard Refln");

    lines.back() = spoil(refl(1, 1, 0, 0, 10, 5, 0, 0, 1, 1), 33, 'x');
    open_file(lines);
    ASSERT_EQ(header_ok(), 0);
    EXPECT_EQ(kvtest::exit_status([] { scan(); }), kvtest::DAMAGED);
    EXPECT_EQ(kvtest::damaged_message(), "Error reading scans.p4t at line " + std::to_string(lines.size()) +
                                             ": unreadable value in the reflection line");
}

TEST_F(Xscans, FileIsConvertedIntoTheWorkingFile) {
    std::vector<std::string> lines = header();
    lines.insert(lines.end(), {refl(7, 2, -1, 3, 20.00, 14.00, 30.00, -45.00, 1.35, 4.00), "0123456789",
                               refl(-9, 0, 0, 4, 40.00, 20.00, 0.00, 0.00, -0.90, 3.00), "B0B0B0B0B0B0B0B0B0B0",
                               refl(8, 1, 1, 0, 30.50, 15.25, 0.00, 90.00, 1.35, 2.00), "1 2 3 4 5"});  // ends early
    open_file(lines);
    int status = 0;
    EXPECT_EQ(kvtest::exit_status([&] { CONVERT_FILE(status); }), -1);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(boxes(), std::vector<std::string>{BOX + "Error Reading at least 1 reflection in data file"});
    EXPECT_EQ(TOTALS.INUM(6), 1);
    EXPECT_EQ(TOTALS.INUM(7), 1);
    EXPECT_EQ(working_records(),
              (std::vector<std::string>{
                  "T SYNTHETIC XSCANS SET" + std::string(40, ' '),
                  "R     7   2  -1   3    0.0000   20.0000    4.0000  -45.0000   30.0000  10   0.15000   4.00000   0N",
                  "S       0       1       2       3       4       5       6       7       8       9",
                  "R     9   0   0   4    0.0000   40.0000    0.0000    0.0000    0.0000  10   0.10000   8.00000   2I",
                  "S      42      42      42      42      42      42      42      42      42      42",
              }));
}

}  // namespace
