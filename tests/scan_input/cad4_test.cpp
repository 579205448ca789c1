// CAD4 reader: numbered records with leading columns, the header records, the scale factor and
// scan code from the code letters and the scan-speed index, passed-over and broken reflections,
// and a small file converted into the working standard data file.
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

std::string fmt(const char* f, auto... v) {
    char buf[160];
    std::snprintf(buf, sizeof buf, f, v...);
    return buf;
}

std::string standard(int h, int k, int l, const char* number = " 0") { return fmt("%s  %3d%3d%3d", number, h, k, l); }
std::string rec22(int npipre, int tmaxc) { return fmt("22%46s%2d%4d", "", npipre, tmaxc); }
std::string rec32(float w1, float w2, float atten) { return fmt("32%31s%9.5f%9.5f%9.2f", "", w1, w2, atten); }

// Header: title, speed indices (prescan 8, maximum time 60), two standards, wavelengths and an
// attenuator factor of 12.5.
std::vector<std::string> header() {
    return {
        "21      ABCDEFGHIJKLMNOPQRSTUVWXYZ0123",
        rec22(8, 60),
        "23 not used",
        "27",
        standard(1, -1, 0),
        standard(0, 0, 4, "  "),  // a blank record number reads 0
        rec32(0.7093f, 0.71359f, 12.5f),
        "33 not used",
    };
}

struct Refl {
    int seq = 1;
    int h = 1, k = 0, l = 0;
    const char* code = "";
    int npi = 8;
    float theta = 10.0f, phi = 20.0f, omega = 5.0f, kappa = 0.0f, width = 1.2f;
    int first = 0;  // counts first, first + 1, ...
};

// The ten records of one reflection.
std::vector<std::string> records(const Refl& r) {
    std::vector<std::string> out;
    out.push_back(fmt(" 1%6d%5d%5d%5d %-6s%7s%4d", r.seq, r.h, r.k, r.l, r.code, "", r.npi));
    out.push_back(fmt(" 2%6d%8.3f%9.3f%9.3f%9.3f%7.3f", r.seq, r.theta, r.phi, r.omega, r.kappa, r.width));
    for (int j = 3; j <= 10; ++j) {
        std::string line = fmt("%2d%6d", j, r.seq);
        for (int g = 0; g < 4; ++g) {
            line += " ";
            for (int i = 0; i < 3; ++i) line += fmt("%4d", r.first + 12 * (j - 3) + 3 * g + i);
        }
        out.push_back(line);
    }
    return out;
}

void append(std::vector<std::string>& lines, const std::vector<std::string>& more) {
    lines.insert(lines.end(), more.begin(), more.end());
}

class Cad4 : public kvtest::ReaderTest {
protected:
    void SetUp() override {
        ReaderTest::SetUp();
        for (int i = 1; i <= 3; ++i) UNITCELL.IBL(i) = i;
        CAD4HDR = CAD4HDR_t{};
    }

    void open_file(const std::vector<std::string>& lines, const std::string& lead = "") {
        std::vector<std::string> shifted;
        for (const auto& l : lines) shifted.push_back(lead + l);
        open_input("scans.dat", shifted, 7);
    }

    static int header_ok() { return status_of(READ_HEADER_CAD4, 5); }
    static int scan() { return status_of(READ_SCAN_CAD4, 0); }
};

TEST_F(Cad4, HeaderRecordsWithAndWithoutLeadingColumns) {
    for (const std::string lead : {"", " ", "    "}) {
        reset_shared_records();
        std::vector<std::string> lines = header();
        append(lines, records({}));
        open_file(lines, lead);
        EXPECT_EQ(header_ok(), 0);
        EXPECT_EQ(CAD4HDR.ISKIP, int(lead.size()));
        EXPECT_EQ(FILEINFO.TITLE, "ABCDEFGHIJKLMNOPQRSTUVWXYZ01");  // 28 characters
        EXPECT_EQ(CAD4HDR.NPIPRE, 8);
        EXPECT_EQ(CAD4HDR.TMAXC, 60);
        EXPECT_EQ(STDREF.NSTD, 2);
        EXPECT_EQ((std::vector<int>{STDREF.IHSTD(1, 1), STDREF.IHSTD(1, 2), STDREF.IHSTD(1, 3), STDREF.IHSTD(2, 3)}),
                  (std::vector<int>{1, -1, 0, 4}));
        EXPECT_EQ(STDREF.NSTEP_STD(2), 96);
        EXPECT_FLOAT_EQ(WAVES.WAVE(1), 0.7093f);
        EXPECT_FLOAT_EQ(WAVES.WAVE(2), 0.71359f);
        EXPECT_FLOAT_EQ(SCANHDR.ATTEN, 12.5f);
        EXPECT_EQ(REFLN.NSTEP, 96);
        // The file stands at the first reflection.
        EXPECT_EQ(scan(), 0) << lead.size();
        EXPECT_EQ(REFLN.ISEQ, 1);
        EXPECT_EQ(REFLN.COUNTS(96), 95.0f);
    }
}

TEST_F(Cad4, StandardListEndsAtTheNextRecordAndMissingRecordsKeepValues) {
    STDREF.NSTD = 4;
    STDREF.IHSTD(1, 1) = 9;
    std::vector<std::string> lines = {"21      NO STANDARDS", "27", rec32(1.5406f, 1.5444f, 3.0f)};
    append(lines, records({}));
    open_file(lines);
    EXPECT_EQ(header_ok(), 0);
    EXPECT_EQ(STDREF.NSTD, 0);  // an empty list
    EXPECT_FLOAT_EQ(WAVES.WAVE(1), 1.5406f);
    EXPECT_FLOAT_EQ(SCANHDR.ATTEN, 3.0f);

    STDREF.NSTD = 4;
    lines = {"21      NO RECORD 27"};
    append(lines, records({}));
    open_file(lines);
    EXPECT_EQ(header_ok(), 0);
    EXPECT_EQ(STDREF.NSTD, 4);
    EXPECT_EQ(STDREF.IHSTD(1, 1), 9);
    EXPECT_FLOAT_EQ(WAVES.WAVE(1), 1.5406f);
}

TEST_F(Cad4, ScaleAndScanCodeFromCodeLettersAndSpeedIndex) {
    struct Case {
        Refl r;
        float scale;
        const char* code;
        int istd;
    };
    // Width 1.2 and maximum time 60: slowest-rescan index 16.
    const Case cases[] = {
        {{.seq = 1, .npi = 8}, 125.0f, "S", 0},
        {{.seq = 2, .npi = -8}, 10.0f, "F", 0},  // attenuator factor divides
        {{.seq = 3, .npi = 15}, 1000.0f / 15, "M", 0},
        {{.seq = 4, .npi = 17}, 1000.0f / 17, "M", 0},
        {{.seq = 5, .npi = 14}, 1000.0f / 14, "R", 0},
        {{.seq = 6, .code = "   W", .npi = -8}, 125.0f, "W", 0},
        {{.seq = 7, .h = 0, .k = 0, .l = 4, .code = "I", .npi = 4}, 250.0f, "I", 2},
    };
    std::vector<std::string> lines = header();
    for (const Case& c : cases) append(lines, records(c.r));
    open_file(lines);
    ASSERT_EQ(header_ok(), 0);
    for (const Case& c : cases) {
        ASSERT_EQ(scan(), 0) << c.r.seq;
        EXPECT_EQ(REFLN.ISEQ, c.r.seq);
        EXPECT_FLOAT_EQ(REFLN.SCALE, c.scale) << c.r.seq;
        EXPECT_EQ(REFLN.SCANCODE, c.code) << c.r.seq;
        EXPECT_EQ(REFLN.ISTD, c.istd) << c.r.seq;
    }
    EXPECT_EQ(scan(), 12);
}

TEST_F(Cad4, KappaAnglesAndStepWidth) {
    std::vector<std::string> lines = header();
    append(lines, records({.theta = 10.0f, .phi = 20.0f, .omega = 5.0f, .kappa = 0.0f, .width = 1.2f}));
    append(lines, records({.seq = 2, .theta = 15.0f, .phi = 30.0f, .omega = 40.0f, .kappa = -60.0f, .width = 0.95f}));
    open_file(lines);
    ASSERT_EQ(header_ok(), 0);
    ASSERT_EQ(scan(), 0);
    const REFLN_t& r = REFLN;
    EXPECT_EQ((std::vector<float>{r.ANGL(1), r.ANGL(2), r.ANGL(3), r.ANGL(4)}),
              (std::vector<float>{20.0f, -5.0f, 0.0f, 20.0f}));
    EXPECT_FLOAT_EQ(r.STEP, 1.2f / 95.0f);
    ASSERT_EQ(scan(), 0);
    const double rad = 3.14159265358979 / 180.0;
    const double chi = 2.0 * std::asin(0.76604 * std::sin(-30.0 * rad));
    const double delta = -std::acos(std::cos(-30.0 * rad) / std::cos(chi / 2.0)) / rad;
    EXPECT_FLOAT_EQ(r.ANGL(1), 30.0f);
    EXPECT_NEAR(r.ANGL(3), chi / rad, 1e-4);
    EXPECT_NEAR(r.ANGL(2), 40.0 + delta - 15.0, 1e-4);
    EXPECT_NEAR(r.ANGL(4), 30.0 + delta, 1e-4);
    EXPECT_FLOAT_EQ(r.STEP, 0.01f);
}

TEST_F(Cad4, PassedOverBrokenAndLastReflections) {
    std::vector<std::string> lines = header();
    append(lines, records({.seq = 1, .code = " X"}));  // passed over with all its records
    std::vector<std::string> broken = records({.seq = 2});
    broken[4][20] = 'x';  // a count of record 5
    append(lines, broken);
    append(lines, records({.seq = 3, .first = 100}));
    lines.push_back("  $");
    append(lines, records({.seq = 4}));  // after the end of the data
    open_file(lines);
    ASSERT_EQ(header_ok(), 0);
    EXPECT_EQ(scan(), 13);
    EXPECT_EQ(REFLN.ISEQ, 2);
    EXPECT_EQ(scan(), 0);
    EXPECT_EQ(REFLN.ISEQ, 3);
    EXPECT_EQ(REFLN.COUNTS(1), 100.0f);
    EXPECT_EQ(scan(), 12);
}

TEST_F(Cad4, RecordsOutOfOrderNameTheDamagedLine) {
    struct Case {
        std::vector<std::string> records;
        int line;  // of the reflection, from 1
        std::string what;
    };
    std::vector<Case> cases;
    std::vector<std::string> r = records({.seq = 5});
    r[3].replace(0, 2, " 5");  // record 5 where 4 is expected
    cases.push_back({r, 4, "record 4 of reflection 5 expected"});
    r = records({.seq = 5});
    r[1].replace(2, 6, "     6");  // record 2 of another reflection
    cases.push_back({r, 2, "record 2 of reflection 5 expected"});
    r = records({.seq = 5});
    r[9].replace(2, 6, "     6");  // last count record of another reflection
    cases.push_back({r, 10, "record 10 of reflection 5 expected"});
    r = records({.seq = 5});
    r[0][39] = 'x';  // speed index
    cases.push_back({r, 1, "unreadable value in record 1"});
    for (const Case& c : cases) {
        std::vector<std::string> lines = header();
        append(lines, c.records);
        open_file(lines);
        ASSERT_EQ(header_ok(), 0);
        EXPECT_EQ(kvtest::exit_status([] { scan(); }), kvtest::DAMAGED);
        EXPECT_EQ(kvtest::damaged_message(), "Error reading scans.dat at line " +
                                                 std::to_string(header().size() + std::size_t(c.line)) + ": " + c.what);
    }
}

TEST_F(Cad4, FaultsNameTheDamagedLine) {
    struct Case {
        std::vector<std::string> lines;
        std::string box;  // "Error reading ...": the damaged-file error, no box
        bool scan = false;
    };
    std::vector<std::string> eleven = {"21      TOO MANY", "27"};
    for (int i = 0; i < 11; ++i) eleven.push_back(standard(i, 0, 0));
    std::vector<std::string> unknown = header();
    append(unknown, records({.h = 5, .k = 5, .l = 5, .code = "I"}));
    std::vector<std::string> cut = header();
    append(cut, records({}));
    cut.resize(cut.size() - 3);  // the file ends inside the reflection
    std::vector<std::string> bad_angle = header();
    append(bad_angle, records({}));
    bad_angle[header().size() + 1][20] = 'x';
    std::vector<std::string> lost_record1 = header();  // the second reflection's record 1 lost
    append(lost_record1, records({}));
    append(lost_record1, records({.seq = 2}));
    lost_record1.erase(lost_record1.begin() + long(header().size() + 10));
    std::vector<std::string> blank_width = header();
    append(blank_width, records({}));
    blank_width[header().size() + 1].resize(45);
    const std::string at = "Error reading scans.dat at line ";
    const Case cases[] = {
        {{"     21  RECORD NUMBER IN COLUMN 6"}, at + "1: the first line is no record 21"},
        {{"20      NO RECORD 21"}, at + "1: the first line is no record 21"},
        {eleven, at + "13: More than 10 standards"},
        {{"21      HEADER ENDS AT RECORD 3", records({})[2]}, at + "2: record 3 where the header ends"},
        {{"21      HEADER ENDS AT FILE END"}, at + "2: end of file inside the header"},
        {{"21      A LETTER IN THE RECORD NUMBER", "2x"}, at + "2: unreadable value in the record number"},
        {{"21      A LETTER IN THE WAVELENGTH", "32" + std::string(31, ' ') + "  0.7x093"},
         at + "2: unreadable value in record 32"},
        {unknown, at + std::to_string(header().size() + 1) + ": Unidentified Standard Refln", true},
        {cut, at + std::to_string(cut.size() + 1) + ": end of file inside a reflection", true},
        {bad_angle, at + std::to_string(header().size() + 2) + ": unreadable value in record 2", true},
        // Records out of their place, blank fields (a line cut short), a doubled standard line.
        {lost_record1, at + std::to_string(header().size() + 11) + ": record 2 where a record 1 belongs", true},
        {blank_width, at + std::to_string(header().size() + 2) + ": a blank field in record 2", true},
        {{"21      A STANDARD TWICE", "27", standard(1, 0, 0), standard(1, 0, 0)}, at + "4: a standard listed twice"},
        {{"21      A BLANK FIELD IN RECORD 22", "22"}, at + "2: a blank field in record 22"},
    };
    for (const Case& c : cases) {
        wl::script::load_lines({});
        open_file(c.lines);
        const int status = kvtest::exit_status([&] {
            header_ok();
            if (c.scan) {
                scan();  // the damage of a later reflection is met by a later read
                scan();
            }
        });
        if (c.box.starts_with("Error reading scans.")) {
            EXPECT_EQ(status, kvtest::DAMAGED) << c.lines[0];
            EXPECT_EQ(kvtest::damaged_message(), c.box);
            EXPECT_TRUE(boxes().empty());
        } else {
            EXPECT_EQ(status, 0) << c.lines[0];
            EXPECT_EQ(boxes(), std::vector<std::string>{BOX + c.box}) << c.lines[0];
        }
    }
}

TEST_F(Cad4, WithoutMaximumTimeOrSpeedIndex) {
    // No record 22: no slowest-rescan index, so no scan is classed M; a speed index of 0 gives no
    // scale factor and the reflection is skipped.
    std::vector<std::string> lines = {"21      NO RECORD 22"};
    append(lines, records({.seq = 1, .npi = 16}));
    append(lines, records({.seq = 2, .npi = 0}));
    open_file(lines);
    ASSERT_EQ(header_ok(), 0);
    EXPECT_EQ(scan(), 0);
    EXPECT_EQ(REFLN.SCANCODE, "R");
    EXPECT_EQ(scan(), 13);
    EXPECT_EQ(scan(), 12);
}

TEST_F(Cad4, FileIsConvertedIntoTheWorkingFile) {
    std::vector<std::string> lines = header();
    append(lines, records({.seq = 11, .h = 2, .k = -1, .l = 3, .npi = 8}));
    append(lines, records({.seq = 12, .h = 1, .k = -1, .l = 0, .code = "I", .npi = -10, .first = 1}));
    lines.push_back("$");
    open_file(lines);
    int status = 0;
    EXPECT_EQ(kvtest::exit_status([&] { CONVERT_FILE(status); }), -1);
    EXPECT_EQ(boxes(), std::vector<std::string>{BOX + "Data File read in successfully"});
    EXPECT_EQ(TOTALS.INUM(4), 1);
    EXPECT_EQ(TOTALS.INUM(6), 1);
    std::vector<std::string> recs;
    rt::unit_rewind(25);
    for (std::string rec; rt::unit_read_record(25, rec) == rt::IOS_OK;)
        if (rec[0] == 'R' || rec[0] == 'S' || rec[0] == 'T') recs.push_back(rec);
    ASSERT_EQ(recs.size(), 23u);  // T, then per reflection one R and ten S lines
    EXPECT_EQ(recs[0], "T ABCDEFGHIJKLMNOPQRSTUVWXYZ01" + std::string(32, ' '));
    EXPECT_EQ(recs[1], "R    11   2  -1   3    0.0000   20.0000   -5.0000    0.0000   20.0000  96   0.01263 125.00000   0S");
    EXPECT_EQ(recs[2], "S       0       1       2       3       4       5       6       7       8       9");
    EXPECT_EQ(recs[11], "S      90      91      92      93      94      95");
    EXPECT_EQ(recs[12], "R    12   1  -1   0    0.0000   20.0000   -5.0000    0.0000   20.0000  96   0.01263 100.00000   1I");
}

}  // namespace
