// "Phillips Febo" files: the fixed header with the matrix per unit wavelength, reflection records
// over several lines, counts in groups of ten, standards registered as they come, the scale
// codes and the angles from h k l, converted through CONVERT_FILE; statuses and messages of
// malformed files.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "include/geometry.h"
#include "include/scan_input.h"
#include "include/shared.h"
#include "include/shell_services.h"
#include "runtime/fatal.h"
#include "runtime/units.h"
#include "test_files.h"

namespace {

constexpr int STD = kvtest::WORKING_UNIT;
constexpr float LAMBDA = 0.70926f;
const std::string BOX = "box Kelvorantide v3.72 | ";
const std::string DONE = BOX + "Data File read in successfully";
const std::string SKIPPED = BOX + "Error Reading at least 1 reflection in data file";

// Title, a line passed over, the cell 5 6 7 90 90 90, a line passed over, and the matrix of that
// cell per unit wavelength (a* along x, b* along y, c* along z, times the wavelength).
std::vector<std::string> header() {
    char cell[80], r1[80], r2[80], r3[80];
    std::snprintf(cell, sizeof cell, "    %8.4f%8.4f%8.4f%8.4f%8.4f%8.4f", 5.0, 6.0, 7.0, 90.0, 90.0, 90.0);
    std::snprintf(r1, sizeof r1, "   %10.7f%10.7f%10.7f", 0.141852, 0.0, 0.0);
    std::snprintf(r2, sizeof r2, "   %10.7f%10.7f%10.7f", 0.0, 0.11821, 0.0);
    std::snprintf(r3, sizeof r3, "   %10.7f%10.7f%10.7f", 0.0, 0.0, 0.1013229);
    return {"  FEBO TEST CRYSTAL", "CELL", cell, "MATRIX", r1, r2, r3, "P 1 2 3", "V 0.1"};
}

class FeboReader : public kvtest::ReaderTest {
protected:
    void SetUp() override {
        ReaderTest::SetUp();
        SCANHDR.ATTEN = 2.5f;  // from the parameter file
        WAVES.WAVE(1) = LAMBDA;
        for (int i = 1; i <= 3; ++i) UNITCELL.IBL(i) = i;
    }

    // Writes the header and the data lines and loads them as format 6; returns -1 when
    // CONVERT_FILE returned, else the exit status the program ended with.
    int load(const std::vector<std::string>& data, std::vector<std::string> lines = header()) {
        lines.insert(lines.end(), data.begin(), data.end());
        open_input("scans.feb", lines, 6);
        return convert();
    }

    static std::vector<REFLN_t> read_back() { return ReaderTest::read_back(STD); }
};

TEST_F(FeboReader, FileIsConvertedWithStandardsScalesAndAnglesFromTheMatrix) {
    // A data set loaded before left standards behind: this file's own are numbered from 1.
    STDREF.NSTD = 3;
    STDREF.IHSTD(1, 1) = 4;
    float step = 0.0f;
    GET_STEP_SIZE(step);  // what the step-size dialog answers

    const std::vector<std::string> data = {
        "0 1 0 0 0 0 0 25 100",  // 25 steps: groups of 10, 10 and 5, each on a new line
        "1 2 3 4 5",
        "6 7 8 9 10",
        "11 12 13 14 15 16 17 18 19 20",
        "21 22 23 24 25",
        "6 0 2",  // a record over two lines: standard 0 2 0, attenuated
        "0 0 0 0 3 -100",
        "5 6 7",
        "7 1 1 0 0 0 0 3 50",  // standard 1 1 0, scale 100/50
        "1 1 1",
        "6 0 2 0 9 9 9 2 100",  // standard 0 2 0 again
        "4 4",
        "0 20 0 0 0 0 0 2 -100",  // beyond the limiting sphere: angles zero, still converted
        "3 3",
        "0 1 1 1 0 0 0 3 100",  // counts that cannot be read: skipped
        "4 x 6",
        "0 2 0 0 0 0 0 12 100",
        "1 2 3 4 5 6 7 8 9 10",
        "11 12",
        "0 0 0 0 0 0 0 0 0",
        "0 3 0 0 0 0 0 1 100",
        "1",
    };
    ASSERT_EQ(load(data), -1);
    EXPECT_EQ(boxes(), std::vector<std::string>{SKIPPED});
    EXPECT_EQ(FILEINFO.TITLE, "FEBO TEST CRYSTAL");

    // The matrix divided by the wavelength is the orientation matrix in force, with its cell.
    EXPECT_EQ(UNITCELL.UBOK, 1);
    EXPECT_EQ(UNITCELL.UB(1, 1), 0.141852f / LAMBDA);
    EXPECT_EQ(UNITCELL.UB(1, 2), 0.0f);
    EXPECT_NEAR(UNITCELL.CELL(2), 6.0f, 1e-4f);
    EXPECT_NEAR(UNITCELL.CELL(6), 90.0f, 1e-4f);

    ASSERT_EQ(STDREF.NSTD, 2);
    EXPECT_EQ(STDREF.IHSTD(1, 2), 2);
    EXPECT_EQ(STDREF.IHSTD(2, 1), 1);
    EXPECT_EQ(STDREF.IHSTD(2, 2), 1);
    EXPECT_EQ(std::vector<int>(TOTALS.INUM.begin(), TOTALS.INUM.end()), (std::vector<int>{0, 0, 0, 0, 1, 3, 2}));

    const std::vector<REFLN_t> r = read_back();
    ASSERT_EQ(r.size(), 6u);
    const int iseq[] = {1, 2, 3, 4, 5, 7};
    const int istd[] = {0, 1, 2, 1, 0, 0};
    const char* code[] = {"N", "I", "I", "I", "F", "N"};
    const float scale[] = {1.0f, 2.5f, 2.0f, 1.0f, 2.5f, 1.0f};
    for (std::size_t i = 0; i < r.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(r[i].ISEQ, iseq[i]);
        EXPECT_EQ(r[i].ISTD, istd[i]);
        EXPECT_EQ(r[i].SCANCODE, code[i]);
        EXPECT_EQ(r[i].SCALE, scale[i]);
        EXPECT_EQ(r[i].STEP, step);
        EXPECT_EQ(r[i].ANGL(2), 0.0f);  // bisecting position
    }
    ASSERT_EQ(r[0].NSTEP, 25);
    for (int k = 1; k <= 25; ++k) EXPECT_EQ(r[0].COUNTS(k), float(k)) << k;
    EXPECT_NEAR(r[0].ANGL(1), 8.13435f, 1e-4f);  // 2 asin(lambda / 2d), d = 5
    geo::Angles expected;
    IH_TO_EULER(r[0].IH, expected);
    EXPECT_NEAR(r[0].ANGL(3), expected(3), 1e-4f);
    EXPECT_NEAR(r[0].ANGL(4), expected(4), 1e-4f);
    for (int k = 1; k <= 4; ++k) EXPECT_EQ(r[4].ANGL(k), 0.0f) << k;
    EXPECT_EQ(r[5].NSTEP, 12);
    EXPECT_EQ(r[5].COUNTS(12), 12.0f);
}

TEST_F(FeboReader, UnusableScansAreSkippedAndTheNextOneRead) {
    std::string long_counts;
    for (int g = 0; g < 60; ++g) long_counts += "1 1 1 1 1 1 1 1 1 1\r\n";
    long_counts.resize(long_counts.size() - 2);
    struct Case {
        const char* name;
        std::vector<std::string> data;
    };
    const Case cases[] = {
        {"600 steps", {"0 1 0 0 0 0 0 600 100", long_counts}},
        {"no steps", {"0 1 0 0 0 0 0 0 100"}},
        {"scale code 0", {"0 1 0 0 0 0 0 2 0", "5 5"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        rt::units_close_all();
        wl::script::load_lines({});
        std::vector<std::string> data = c.data;
        for (const char* l : {"0 0 0 1 0 0 0 2 100", "8 9", "0 0 0 0 0 0 0 0 0"}) data.push_back(l);
        ASSERT_EQ(load(data), -1);
        EXPECT_EQ(boxes(), std::vector<std::string>{SKIPPED});
        const std::vector<REFLN_t> r = read_back();
        ASSERT_EQ(r.size(), 1u);
        EXPECT_EQ(r[0].ISEQ, 2);
        EXPECT_EQ(r[0].IH(3), 1);
        EXPECT_EQ(r[0].COUNTS(2), 9.0f);
    }
}

TEST_F(FeboReader, MalformedFilesEndTheLoadNamingTheLine) {
    std::vector<std::string> no_marker = header();
    no_marker.back() = "X not a marker line";
    std::vector<std::string> short_header = header();
    short_header.resize(6);
    std::vector<std::string> bad_cell = header();
    bad_cell[2] = "    5.0000  six";
    struct Case {
        const char* name;
        std::vector<std::string> header;
        std::vector<std::string> data;
        std::string damaged;
    };
    std::vector<std::string> cut_header = header();
    cut_header.resize(1);
    std::vector<std::string> singular = header();
    singular[6] = singular[5];
    std::vector<std::string> blank_row = header();
    blank_row[5] = "   0.0000000";
    const std::string at = "Error reading scans.feb at line ";
    const Case cases[] = {
        {"a line after the matrix that is no marker", no_marker, {"0 1 0 0 0 0 0 1 100", "1"},
         at + std::to_string(no_marker.size()) + ": a line starting with P, V or a digit expected"},
        {"the file ends inside the matrix", short_header, {}, at + "7: end of file inside the header"},
        {"a letter in the cell", bad_cell, {"0 1 0 0 0 0 0 1 100", "1"}, at + "3: unreadable value in the cell line"},
        {"a code other than 0, 6 and 7", header(), {"3 1 0 0 0 0 0 1 100", "1"},
         at + std::to_string(header().size() + 1) + ": reflection code 3 of reflection 1 is none of 0, 6 and 7"},
        {"a letter in the record", header(), {"0 1 O 0 0 0 0 1 100", "1"},
         at + std::to_string(header().size() + 1) + ": unreadable value in the reflection record"},
        {"the file ends inside the counts", header(), {"0 1 0 0 0 0 0 12 100", "1 2 3 4 5 6 7 8 9 10"},
         at + std::to_string(header().size() + 3) + ": end of file inside a reflection"},
        {"the file ends after its title", cut_header, {}, at + "2: end of file inside the header"},
        {"a control character in a count line", header(), {"0 1 0 0 0 0 0 2 100", "1\x7f 2"},
         at + std::to_string(header().size() + 2) + ": the line holds control characters"},
        // Values after the last of a group or of a record: a line out of its place (here the
        // second count line was lost, and the next record is read as counts).
        {"a count line lost", header(),
         {"0 1 0 0 0 0 0 12 100", "11 12", "0 2 0 0 0 0 0 2 100", "1 2"},
         at + std::to_string(header().size() + 3) + ": more than 10 counts in a group of counts"},
        {"a record with a tenth value", header(), {"0 1 0 0 0 0 0 2 100 5", "1 2"},
         at + std::to_string(header().size() + 1) + ": more than nine values in the reflection record"},
        {"a singular matrix", singular, {"0 1 0 0 0 0 0 1 100", "1"}, at + "5: the orientation matrix is singular"},
        {"a blank element of the matrix", blank_row, {"0 1 0 0 0 0 0 1 100", "1"},
         at + "6: a blank element in a line of the orientation matrix"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        rt::units_close_all();
        wl::script::load_lines({});
        EXPECT_EQ(load(c.data, c.header), kvtest::DAMAGED);
        EXPECT_TRUE(boxes().empty());
        EXPECT_EQ(kvtest::damaged_message(), c.damaged);
    }
}

TEST_F(FeboReader, WithoutAWavelengthTheMatrixCannotBeRead) {
    WAVES.WAVE(1) = 0.0f;
    EXPECT_EQ(load({"0 1 0 0 0 0 0 1 100", "1"}), kvtest::DAMAGED);
    EXPECT_EQ(kvtest::damaged_message(),
              "Error reading scans.feb at line 7: no positive wavelength in force to scale the orientation matrix");
}

TEST_F(FeboReader, StandardListHoldsTenAndRefusesTheEleventh) {
    auto match = [](int h, int k, int l) {
        REFLN.IH = {{h, k, l}};
        REFLN.ISTD = 5;
        int ierr = 9;
        MATCH_STANDARD(ierr);
        EXPECT_EQ(ierr, 0);
        return REFLN.ISTD;
    };
    for (int i = 1; i <= 10; ++i) EXPECT_EQ(match(i, 0, 0), i);
    EXPECT_EQ(boxes().size(), 0u);
    EXPECT_EQ(match(11, 0, 0), 0);  // measured as an ordinary reflection
    EXPECT_EQ(boxes(), std::vector<std::string>{BOX + "Too many standards"});
    EXPECT_EQ(STDREF.NSTD, 10);
    EXPECT_EQ(match(3, 0, 0), 3);
    EXPECT_EQ(match(11, 0, 0), 0);
    EXPECT_EQ(boxes().size(), 2u);
}

}  // namespace
