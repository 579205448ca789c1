// Loading a data set: a standard data file used in place, an instrument file converted through
// the reader contract into a scratch file (with a small test format and its two readers), the
// axis mapping of a header's matrix, the scan-code counters, and "Write Std datafile".
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "include/fwhm_rule.h"
#include "include/geometry.h"
#include "include/scan_input.h"
#include "include/shared.h"
#include "include/shell_services.h"
#include "runtime/fatal.h"
#include "runtime/units.h"
#include "shell/small_boxes.h"
#include "test_files.h"

namespace {

constexpr int STD = kvtest::WORKING_UNIT;
const std::string BOX = "box Kelvorantide v3.72 | ";
const std::string FIXTURE = std::string(KV_BINARY_DIR) + "/fixtures/small.rfl";

// ---- A test format that follows the reader contract ----------------------------------------
// Header lines up to "END": "TITLE text", "MATRIX r11 r12 r13 r21 ... r33", "WAVE w1 w2",
// "FAIL" (the header cannot be read). Then one line per reflection:
//   "SCAN seq h k l 2theta omega chi phi nstep step scale istd code count..."
// or "SKIP" (reflection unusable, 13), "BAD" (read error, 11) or "DAMAGED" (a value the format
// takes on trust); the end of the file is 12.
std::vector<std::string> split(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> w;
    for (std::string s; in >> s;) w.push_back(s);
    return w;
}

void test_header(int& status) {
    for (;;) {
        std::string line;
        if (rt::unit_read_record(1, line) != rt::IOS_OK) {
            status = 1;
            return;
        }
        const std::vector<std::string> w = split(line);
        if (w.empty()) continue;
        if (w[0] == "END") break;
        if (w[0] == "FAIL") {
            status = 1;
            return;
        }
        if (w[0] == "TITLE") FILEINFO.TITLE = line.substr(6);
        if (w[0] == "WAVE") {
            WAVES.WAVE(1) = std::stof(w[1]);
            WAVES.WAVE(2) = std::stof(w[2]);
        }
        if (w[0] == "MATRIX") {
            for (int r = 1; r <= 3; ++r)
                for (int c = 1; c <= 3; ++c) UNITCELL.UB(r, c) = std::stof(w[std::size_t(3 * (r - 1) + c)]);
            UNITCELL.UBOK = 1;
            MATRIX_READ = 1;
        }
    }
    status = 0;
}

void test_scan(int& status) {
    std::string line;
    const int ios = rt::unit_read_record(1, line);
    if (ios == rt::IOS_END) {
        status = 12;
        return;
    }
    const std::vector<std::string> w = split(line);
    if (ios != rt::IOS_OK || w.empty() || w[0] == "BAD") {
        status = 11;
        return;
    }
    if (w[0] == "SKIP") {
        status = 13;
        return;
    }
    if (w[0] == "DAMAGED") rt::input_error(1, "a value of the test format");
    REFLN_t& r = REFLN;
    r.ISEQ = std::stoi(w[1]);
    for (int k = 1; k <= 3; ++k) r.IH(k) = std::stoi(w[std::size_t(1 + k)]);
    for (int k = 1; k <= 4; ++k) r.ANGL(k) = std::stof(w[std::size_t(4 + k)]);
    r.NSTEP = std::stoi(w[9]);
    r.STEP = std::stof(w[10]);
    r.SCALE = std::stof(w[11]);
    r.ISTD = std::stoi(w[12]);
    r.SCANCODE = w[13];
    for (std::size_t i = 14; i < w.size() && i - 13 <= std::size_t(MAXSTEP); ++i)
        r.COUNTS(int(i - 13)) = std::stof(w[i]);
    status = 0;
}

// A scan line of the test format with nstep counts, the first ones given.
std::string scan_line(int seq, const std::string& code, std::vector<std::string> counts, int nstep = 3) {
    char buf[160];
    std::snprintf(buf, sizeof buf, "SCAN %d 1 -2 3 20.5 0.25 30.0 -45.0 %d 0.02 1.5 0 %s", seq, nstep, code.c_str());
    std::string s = buf;
    while (int(counts.size()) < nstep) counts.push_back("10");
    for (const auto& c : counts) s += " " + c;
    return s;
}

class Loading : public kvtest::ReaderTest {
protected:
    void SetUp() override {
        ReaderTest::SetUp();
        saved_readers = INSTRUMENT_READERS;
        MATRIX_READ = 0;
        for (int i = 1; i <= 3; ++i) UNITCELL.IBL(i) = i;
    }
    void TearDown() override {
        INSTRUMENT_READERS = saved_readers;
        ReaderTest::TearDown();
    }
    rt::FArray<InstrumentReader, 7> saved_readers;

    // Opens path as the input data file on unit 1, as the file chooser does.
    void open_input(const std::filesystem::path& path, int format) {
        ASSERT_EQ(kvtest::open_read(1, path), rt::IOS_OK);
        FILEINFO.IN_FULLNAME = path.string();
        FILEINFO.IN_NAME = path.filename().string();
        FILEINFO.IFORMAT = format;
    }

    // Writes an input file of the test format and opens it as format 3.
    void test_file(const std::vector<std::string>& lines) {
        kvtest::write_bytes(dir / "scans.tst", kvtest::join(lines));
        open_input(dir / "scans.tst", 3);
        INSTRUMENT_READERS(3) = {test_header, test_scan};
    }

    // Runs CONVERT_FILE; returns -1 when it returned, else the exit status it ended with.
    static int load(int& status) {
        return kvtest::exit_status([&] { CONVERT_FILE(status); });
    }

    // Every record of the working file, from its first line.
    static std::vector<std::string> working_file() { return ReaderTest::working_file(STD); }
    // The working file's records, the unit then read to its first record: a failed load must
    // leave it there.
    static std::vector<std::string> working_file_read_to_first() {
        const std::vector<std::string> lines = working_file();
        std::string first;
        EXPECT_EQ(rt::unit_rewind(STD), rt::IOS_OK);
        EXPECT_EQ(rt::unit_read_record(STD, first), rt::IOS_OK);
        return lines;
    }

    static std::vector<int> counters() { return std::vector<int>(TOTALS.INUM.begin(), TOTALS.INUM.end()); }
};

// ---- Format 1 ---------------------------------------------------------------------------------

TEST_F(Loading, StandardFileIsUsedInPlaceAndCounted) {
    ASSERT_EQ(kvtest::open_log(dir / "run_Kelvor.log"), rt::IOS_OK);
    FILEINFO.LOGOPEN = 1;
    UNITCELL.IBL = {{2, -1, 3}};  // not applied to a standard data file's matrix
    open_input(FIXTURE, 1);
    int status = 7;
    EXPECT_EQ(load(status), -1);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(FILEINFO.LOADED, 1);
    EXPECT_FALSE(rt::unit_connected(1));
    EXPECT_EQ(rt::unit_path(STD), FIXTURE);
    EXPECT_EQ(counters(), (std::vector<int>{1, 0, 1, 1, 0, 2, 8}));  // W M R S F I N
    EXPECT_FALSE(waitbox_shown());
    EXPECT_EQ(boxes(), std::vector<std::string>{BOX + "Data File read in successfully"});
    EXPECT_EQ(FILEINFO.TITLE, "SYNTHETIC ORTHORHOMBIC TEST CRYSTAL");

    // The matrix as the file holds it, with its cell and reciprocal cell.
    EXPECT_EQ(UNITCELL.UBOK, 1);
    EXPECT_FLOAT_EQ(UNITCELL.UB(1, 1), 0.0702552f);
    EXPECT_FLOAT_EQ(UNITCELL.UB(2, 3), -0.0120744f);
    EXPECT_NEAR(UNITCELL.CELL(1), 5.4321f, 2e-4f);
    EXPECT_NEAR(UNITCELL.CELL(3), 9.8765f, 2e-4f);
    EXPECT_NEAR(UNITCELL.RECELL(1), 1.0f / 5.4321f, 1e-5f);
    EXPECT_EQ(UNITCELL.UBT(1, 2), UNITCELL.UB(2, 1));

    // The read position stands at the end: the caller rewinds and reads the first reflection.
    std::string rec;
    EXPECT_EQ(rt::unit_read_record(STD, rec), rt::IOS_END);
    rt::unit_close(20);
    const std::string log = kvtest::read_bytes(dir / "run_Kelvor.log");
    const auto line = [](std::string label, const std::string& count) {
        label.resize(40, ' ');
        return label + count + "\r\n";
    };
    // The data set's title, then its classes: the weak, rescanned and strong scans beside the
    // normal ones, all adding up to the total.
    EXPECT_NE(log.find(" TITLE SYNTHETIC ORTHORHOMBIC TEST CRYSTAL"), std::string::npos) << log;
    EXPECT_NE(log.find("REFLECTIONS AS CLASSIFIED IN INPUT FILE: small.rfl"), std::string::npos) << log;
    EXPECT_NE(log.find(line("WEAK REFLECTIONS NOT RESCANNED:", "    1") + "       " +
                       line("WEAK REFLECTIONS RESCANNED, MIN SPEED:", "    0") + "       " +
                       line("NORMAL REFLECTIONS RESCANNED:", "    1") + "       " +
                       line("STRONG REFLECTIONS NOT RESCANNED:", "    1") + "       " +
                       line("FILTERED REFLECTIONS:", "    0") + "       " + line("NORMAL REFLECTIONS:", "    8") +
                       "       " + line("STANDARDS:", "    2") + "\r\n       " +
                       line("TOTAL NUMBER OF REFLECTIONS:", "   13")),
              std::string::npos)
        << log;
    // One standard reflection, measured twice.
    EXPECT_EQ(STDREF.NSTD, 1);
    EXPECT_EQ(STDREF.IHSTD(1, 3), 2);
}

TEST_F(Loading, StandardFileSkippingWeakScansDoesNotCountThem) {
    FITOPT.SKIP_WEAK = 1;
    open_input(FIXTURE, 1);
    int status = 0;
    EXPECT_EQ(load(status), -1);
    EXPECT_EQ(counters(), (std::vector<int>{0, 0, 1, 1, 0, 2, 8}));
    EXPECT_EQ(FITOPT.SKIP_WEAK, 1);
    // The data set's angles are those of every reflection of the file, the weak one included:
    // the width rule must make a peak at each, whatever a pass passes over.
    float low = INFINITY, high = -INFINITY;
    int n = 0;
    std::istringstream in(kvtest::read_bytes(FIXTURE));
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] != 'R') continue;
        const float t = FWHM_RULE_TAN(std::stof(line.substr(29, 10)));
        low = std::min(low, t);
        high = std::max(high, t);
        ++n;
    }
    EXPECT_EQ(n, 13);
    EXPECT_EQ(TOTALS.NREFL, n);
    EXPECT_EQ(TOTALS.TANLOW, low);
    EXPECT_EQ(TOTALS.TANHIGH, high);
}

// A standard data file that cannot be read to its end is the user's damaged file: it is named
// with its line, and the user chooses again.
TEST_F(Loading, StandardFileFaultsNameTheDamagedLine) {
    const std::string r1 =
        "R     1   1   0   0    0.0000    7.4868    0.0000   22.5691   65.5887   3   0.02500   1.00000   0N";
    struct Case {
        std::string bytes;
        std::string message;
    };
    const Case cases[] = {
        {kvtest::join({"H", "T NO DATA LINE"}), "at line 3: end of file inside the header"},
        {kvtest::join({"H", "DATA", r1, "S      18      1x      15"}), "at line 4: unreadable value in a count line"},
        {kvtest::join({"H", "DATA", "R     1   1   0   0    0.0000    7.4868    0.0000   2x.5691"}),
         "at line 3: unreadable value in the reflection line"},
        {kvtest::join({"H", "DATA", r1}), "at line 4: end of file inside the counts"},
        // Cut inside the last count line: its blanks would read as zeros.
        {kvtest::join({"H", "DATA", r1}) + "S      18      1", "at line 4: the count line is cut short"},
        {kvtest::join({"H", "DATA", r1, std::string("S      18\0\0\0\0\0\0\0\0      15", 25)}),
         "at line 4: the line holds control characters"},
        // A line of more than 1 MiB without a line end is no line of text.
        {kvtest::join({"H", "DATA", r1}) + std::string(rt::kMaxRecordLength + 10, '7'),
         "at line 4: the line is too long (more than 1 MiB without a line end)"},
        // Count lines by their mark, their width and their counts; lines out of their place.
        {kvtest::join({"H", "DATA", r1, "S      18      11"}), "at line 4: the count line is cut short"},
        {kvtest::join({"H", "DATA", r1, ""}), "at line 4: a count line expected"},
        {kvtest::join({"H", "DATA", r1, "S      18     -11      15"}), "at line 4: unreadable value in a count line"},
        {kvtest::join({"H", "DATA", r1, "S      18      11      15      16"}),
         "at line 4: more than 3 counts in a count line"},
        {kvtest::join({"H", "DATA", r1, "S      18      11      15", "S      18      11      15"}),
         "at line 5: a count line where a reflection line belongs"},
        {kvtest::join({"H", "DATA", r1.substr(0, 60), "S      18      11      15"}),
         "at line 3: the reflection line is cut short"},
        {kvtest::join({"H", "DATA", std::string(r1).replace(31, 2, "99"), "S      18      11      15"}),
         "at line 3: an angle beyond its circle's range in the reflection line"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        rt::units_close_all();
        wl::script::load_lines({});
        kvtest::write_bytes(dir / "bad.rfl", c.bytes);
        open_input(dir / "bad.rfl", 1);
        int status = 0;
        EXPECT_EQ(load(status), kvtest::DAMAGED);
        EXPECT_TRUE(boxes().empty());
        EXPECT_EQ(kvtest::damaged_message(), "Error reading bad.rfl " + c.message);
        EXPECT_FALSE(waitbox_shown());
        EXPECT_FALSE(rt::unit_connected(STD));
    }
}

// A load that delivers no reflection is no data set: an empty file, one of another format, one
// whose every reflection was left out.
TEST_F(Loading, ALoadWithoutAReflectionEndsInTheBox) {
    kvtest::write_bytes(dir / "empty.rfl", kvtest::join({"H", "T A HEADER ALONE", "DATA"}));
    open_input(dir / "empty.rfl", 1);
    int status = 0;
    EXPECT_EQ(load(status), kvtest::DAMAGED);
    EXPECT_EQ(kvtest::damaged_message(), "Error reading empty.rfl: empty.rfl holds no reflection of the Standard format");
    for (const std::vector<std::string>& lines :
         {std::vector<std::string>{"END"}, std::vector<std::string>{"END", "SKIP", "SKIP"}}) {
        test_file(lines);
        EXPECT_EQ(load(status), kvtest::DAMAGED);
        EXPECT_EQ(kvtest::damaged_message(),
                  "Error reading scans.tst: scans.tst holds no reflection of the Xcalibur Ascii format");
        EXPECT_TRUE(boxes().empty());
        EXPECT_FALSE(waitbox_shown());
        EXPECT_FALSE(rt::unit_connected(27));
    }
}

TEST_F(Loading, StandardFileWhoseMatrixCannotBeReadSaysSoNamingTheLine) {
    const std::string r1 =
        "R     1   1   0   0    0.0000    7.4868    0.0000   22.5691   65.5887   3   0.02500   1.00000   0N";
    struct Case {
        std::vector<std::string> header;
        int line;
    };
    const Case cases[] = {
        {{"H", "U   0.1000000   0.0000000   0.0000000", "U   0.0000000   0.1x00000   0.0000000",
          "U   0.0000000   0.0000000   0.1000000", "DATA"},
         3},
        {{"H", "U   0.1000000   0.0000000   0.0000000", "U   0.0000000   0.1000000   0.0000000", "DATA"}, 4},
    };
    for (const Case& c : cases) {
        rt::units_close_all();
        wl::script::load_lines({});
        UNITCELL.UBOK = 1;
        std::vector<std::string> lines = c.header;
        lines.insert(lines.end(), {r1, "S      18      11      15"});
        kvtest::write_bytes(dir / "nomatrix.rfl", kvtest::join(lines));
        open_input(dir / "nomatrix.rfl", 1);
        int status = 0;
        EXPECT_EQ(load(status), -1) << kvtest::damaged_message();
        const std::string notice = BOX + "The orientation matrix of nomatrix.rfl could not be read at line " +
                                   std::to_string(c.line) + ": the data set has no orientation matrix";
        EXPECT_EQ(boxes(), (std::vector<std::string>{notice, BOX + "Data File read in successfully"}));
        EXPECT_EQ(UNITCELL.UBOK, 0);
    }
}

// ---- Formats 2..7 through the reader contract --------------------------------------------------

TEST_F(Loading, InstrumentFileIsConvertedIntoAScratchFile) {
    test_file({"TITLE A CONVERTED TEST SET", "WAVE 1.54056 1.54439", "END",
               scan_line(1, "N", {"7.9", "-0.5", "12"}),
               scan_line(2, "W", {"3", "4", "5"}),
               scan_line(3, "X", {"1", "2", "3"}),  // codes outside W M R S F I N are written, not counted
               scan_line(4, "n", {"1", "2", "3"}),
               scan_line(5, "I", {"100", "250", "90"}, 12)});
    int status = 5;
    EXPECT_EQ(load(status), -1);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(FILEINFO.LOADED, 1);
    EXPECT_EQ(counters(), (std::vector<int>{1, 0, 0, 0, 0, 1, 1}));
    EXPECT_EQ(TOTALS.NREFL, 5);  // every reflection written, whatever its code
    EXPECT_EQ(TOTALS.TANLOW, FWHM_RULE_TAN(20.5f));
    EXPECT_EQ(TOTALS.TANHIGH, FWHM_RULE_TAN(20.5f));
    EXPECT_EQ(boxes(), std::vector<std::string>{BOX + "Data File read in successfully"});
    EXPECT_FALSE(waitbox_shown());
    EXPECT_EQ(WAVES.WAVE(1), 1.54056f);
    // The last reflection converted is in hand, with its maximum.
    EXPECT_EQ(REFLN.CMAX, 250.0f);
    EXPECT_EQ(REFLN.IMAX, 2);

    const std::vector<std::string> f = working_file();
    ASSERT_EQ(f.size(), 10u + 5u * 2u + 1u);
    EXPECT_EQ(f[1], "T A CONVERTED TEST SET" + std::string(40, ' '));
    EXPECT_EQ(f[9], "DATA");
    EXPECT_EQ(f[10],
              "R     1   1  -2   3    0.0000   20.5000    0.2500   30.0000  -45.0000   3   0.02000   1.50000   0N");
    EXPECT_EQ(f[11], "S       7       0      12");  // counts truncated toward zero
    EXPECT_EQ(f[14].substr(97), "X");
    EXPECT_EQ(f[16].substr(97), "n");
    EXPECT_EQ(f[20], "S      10      10");

    // The main program then rewinds and reads the first reflection back.
    int st = 0;
    SKIP_HEADER_STDDATA(STD, st);
    READ_SCAN_STDDATA(STD, STD_NEXT, 0, REFLN.IH, st);
    EXPECT_EQ(st, 0);
    EXPECT_EQ(REFLN.ISEQ, 1);
    EXPECT_EQ(REFLN.IH(2), -2);
    EXPECT_EQ(REFLN.SCALE, 1.5f);
    EXPECT_EQ(REFLN.COUNTS(1), 7.0f);
    EXPECT_EQ(REFLN.COUNTS(2), 0.0f);
}

TEST_F(Loading, SkippedReflectionChangesTheClosingNotice) {
    test_file({"END", scan_line(1, "N", {}), "SKIP", scan_line(3, "N", {})});
    int status = 0;
    EXPECT_EQ(load(status), -1);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(counters(), (std::vector<int>{0, 0, 0, 0, 0, 0, 2}));
    EXPECT_EQ(boxes(), std::vector<std::string>{BOX + "Error Reading at least 1 reflection in data file"});
    EXPECT_EQ(working_file().size(), 10u + 2u * 2u);
}

// A reflection the working file cannot hold (steps outside 1..500, a count that is no number, a
// field wider than its columns) is left out like an unusable one and not counted, instead of
// stopping the load or overrunning the scan.
TEST_F(Loading, ReflectionsTheWorkingFileCannotHoldAreSkipped) {
    test_file({"END", scan_line(1, "N", {}, 0), scan_line(2, "N", {"nan"}), scan_line(3, "N", {"3e12"}),
               scan_line(4, "N", {}, 501), scan_line(5, "N", {"1"}, 500),
               scan_line(1234567, "S", {}),                                      // seven-digit sequence number
               "SCAN 7 -1000 0 0 20.5 0.25 30.0 -45.0 3 0.02 1.5 0 S 10 10 10",  // index of five characters
               "SCAN 8 1 0 0 20.5 0.25 30.0 -45.0 3 0.02 10000 0 S 10 10 10",    // scale of 10000
               "SCAN 9 1 0 0 20.5 0.25 30.0 -45.0 3 0.02 12345.00 0 S 10 10 10", // a scan rate as scale
               "SCAN 10 1 0 0 123456.0 0.25 30.0 -45.0 3 0.02 1.5 0 S 10 10 10"});
    int status = 0;
    EXPECT_EQ(load(status), -1);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(FILEINFO.LOADED, 1);
    EXPECT_EQ(counters(), (std::vector<int>{0, 0, 0, 0, 0, 0, 1}));
    EXPECT_EQ(boxes(), std::vector<std::string>{BOX + "Error Reading at least 1 reflection in data file"});
    const std::vector<std::string> f = working_file();
    ASSERT_EQ(f.size(), 10u + 1u + 50u);
    EXPECT_EQ(f[10].substr(0, 7), "R     5");
}

// The scratch working file cannot be written (here: a file size limit) while a file is loaded,
// the records either still buffered at the end or failing on the way: the load is given up as
// for a damaged file, its reason named, never reported a success. The working file in use stays
// on its unit where it was read to, and the records the load changed are as they were.
TEST_F(Loading, WorkingFileThatCannotBeWrittenGivesUpTheLoad) {
    test_file({"TITLE IN USE", "MATRIX 0.1 0 0 0 0.1 0 0 0 0.1", "WAVE 1.5 1.6", "END", scan_line(1, "N", {}),
               scan_line(2, "S", {})});
    int status = 0;
    ASSERT_EQ(load(status), -1);
    const std::vector<std::string> in_use = working_file_read_to_first();
    const FILEINFO_t files = FILEINFO;
    const UNITCELL_t cell = UNITCELL;
    const WAVES_t waves = WAVES;
    const TOTALS_t totals = TOTALS;
    const REFLN_t refln = REFLN;
    const std::size_t shown = boxes().size();

    struct Case {
        const char* where;
        int reflections;
    };
    const Case cases[] = {
        {"still buffered at the end", 8},    // the header and a few records, less than one buffer
        {"failing on the way", 400},         // the buffer fills and its write fails
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.where);
        std::vector<std::string> lines = {"TITLE NEW", "MATRIX 0.2 0 0 0 0.2 0 0 0 0.2", "WAVE 0.7 0.71", "END"};
        for (int k = 1; k <= c.reflections; ++k) lines.push_back(scan_line(k, "W", {}));
        test_file(lines);
        struct rlimit before;
        ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &before), 0);
        struct rlimit small = before;
        small.rlim_cur = 600;
        void (*old_handler)(int) = std::signal(SIGXFSZ, SIG_IGN);
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
        status = 0;
        const int ended = load(status);
        setrlimit(RLIMIT_FSIZE, &before);
        std::signal(SIGXFSZ, old_handler);

        EXPECT_EQ(ended, kvtest::WORKING_FILE_UNWRITABLE);
        EXPECT_EQ(kvtest::damaged_message(),
                  "WRITE ERROR ON SCRATCH FILE: the working file for scans.tst could not be written: File too large");
        EXPECT_EQ(boxes().size(), shown);  // no notice of the load
        EXPECT_FALSE(waitbox_shown());
        EXPECT_FALSE(rt::unit_connected(1));
        EXPECT_FALSE(rt::unit_connected(27));  // the new scratch file is gone with its unit
        EXPECT_EQ(FILEINFO.LOADED, 0);
        EXPECT_EQ(FILEINFO.TITLE, files.TITLE);
        EXPECT_EQ(UNITCELL.UB(1, 1), cell.UB(1, 1));
        EXPECT_EQ(UNITCELL.CELL(1), cell.CELL(1));
        EXPECT_EQ(WAVES.WAVE(1), waves.WAVE(1));
        EXPECT_EQ(std::vector<int>(TOTALS.INUM.begin(), TOTALS.INUM.end()),
                  std::vector<int>(totals.INUM.begin(), totals.INUM.end()));
        EXPECT_EQ(REFLN.ISEQ, refln.ISEQ);
        EXPECT_EQ(REFLN.SCANCODE, refln.SCANCODE);
        EXPECT_EQ(rt::unit_record_number(STD), 1);  // still where it was read to
        EXPECT_EQ(working_file_read_to_first(), in_use);
        FILEINFO.LOADED = 1;
    }

    // No working file can be made at all (its folder is gone): the same, naming why.
    std::vector<std::string> lines = {"TITLE NEW", "END"};
    for (int k = 1; k <= 8; ++k) lines.push_back(scan_line(k, "W", {}));
    test_file(lines);
    {
        kvtest::ScratchFilesIn nowhere(dir / "no-such-folder");
        status = 0;
        EXPECT_EQ(load(status), kvtest::WORKING_FILE_UNWRITABLE);
    }
    EXPECT_EQ(kvtest::damaged_message(),
              "WRITE ERROR ON SCRATCH FILE: the working file for scans.tst could not be made: No such file or directory");
    EXPECT_FALSE(rt::unit_connected(27));
    EXPECT_EQ(FILEINFO.TITLE, files.TITLE);
    EXPECT_EQ(working_file(), in_use);
}

TEST_F(Loading, InstrumentFileFaultsEndTheLoadNamingTheFile) {
    struct Case {
        int format;
        std::vector<std::string> lines;
        std::vector<std::string> boxes;
        std::string damaged;
    };
    const std::string header_error = BOX + "Error Reading File Header";
    const std::string no_header = ": the file header cannot be read";
    const Case cases[] = {
        {3, {"FAIL"}, {header_error}, no_header},
        {5, {"END"}, {header_error}, no_header},  // no reader yet
        {9, {"END"}, {header_error}, no_header},  // no such format
        {3, {"END", scan_line(1, "N", {}), "BAD"}, {}, " at line 3: a reflection cannot be read"},
    };
    INSTRUMENT_READERS(5) = {};
    for (const Case& c : cases) {
        rt::units_close_all();
        wl::script::load_lines({});
        FILEINFO.LOADED = 1;
        test_file(c.lines);
        FILEINFO.IFORMAT = c.format;
        int status = 0;
        EXPECT_EQ(load(status), kvtest::DAMAGED) << c.format;
        EXPECT_EQ(boxes(), c.boxes) << c.format;
        EXPECT_EQ(kvtest::damaged_message(), "Error reading " + FILEINFO.IN_NAME.str() + c.damaged);
        EXPECT_FALSE(waitbox_shown()) << c.damaged;
        EXPECT_EQ(FILEINFO.LOADED, 0);
    }
}

// A damaged file: the input file and the working file are closed (the scratch file is deleted),
// the wait box is down, and the error goes on to the caller, which shows it.
TEST_F(Loading, DamagedFileLeavesNothingOpenAndPassesTheErrorOn) {
    test_file({"END", scan_line(1, "N", {}), "DAMAGED"});
    FILEINFO.LOADED = 1;
    int status = 0;
    EXPECT_EQ(load(status), kvtest::DAMAGED);
    EXPECT_EQ(kvtest::damaged_message(), "Error reading scans.tst at line 3: a value of the test format");
    EXPECT_TRUE(boxes().empty());
    EXPECT_FALSE(waitbox_shown());
    EXPECT_FALSE(rt::unit_connected(1));
    EXPECT_FALSE(rt::unit_connected(STD));
    EXPECT_EQ(FILEINFO.LOADED, 0);

    // A standard data file gone between its choice and its load.
    rt::units_close_all();
    FILEINFO.IFORMAT = 1;
    FILEINFO.IN_FULLNAME = (dir / "gone.rfl").string();
    FILEINFO.IN_NAME = "gone.rfl";
    EXPECT_EQ(load(status), kvtest::DAMAGED);
    EXPECT_EQ(kvtest::damaged_message(), "Error reading gone.rfl: the file cannot be opened");
}

TEST_F(Loading, HeaderMatrixIsMappedOntoBusingLevyAxes) {
    // Rows r1, r2, r3 with BLAXES 2 -1 3 become -r2, r1, r3.
    UNITCELL.IBL = {{2, -1, 3}};
    test_file({"MATRIX 0.1 0.01 0.0  -0.02 0.125 0.0  0.0 0.0 0.08", "END", scan_line(1, "N", {})});
    int status = 0;
    ASSERT_EQ(load(status), -1);
    const float expected[3][3] = {{0.02f, -0.125f, -0.0f}, {0.1f, 0.01f, 0.0f}, {0.0f, 0.0f, 0.08f}};
    for (int r = 1; r <= 3; ++r)
        for (int c = 1; c <= 3; ++c) EXPECT_EQ(UNITCELL.UB(r, c), expected[r - 1][c - 1]) << r << c;
    EXPECT_EQ(UNITCELL.UBT(1, 2), UNITCELL.UB(2, 1));
    // The cell of the mapped matrix: c = 1 / 0.08, gamma from the a* b* angle.
    EXPECT_NEAR(UNITCELL.CELL(3), 12.5f, 1e-4f);
    EXPECT_NEAR(UNITCELL.RECELL(3), 0.08f, 1e-6f);

    // The header U lines of the working file hold the mapped matrix.
    const std::vector<std::string> f = working_file();
    EXPECT_EQ(f[5], "U   0.0200000  -0.1250000   0.0000000");
}

TEST_F(Loading, MatrixKeptFromThePreviousDataSetIsNotMappedAgain) {
    UNITCELL.IBL = {{2, -1, 3}};
    UNITCELL.UBOK = 1;
    const float previous[3][3] = {{0.1f, 0.0f, 0.0f}, {0.0f, 0.125f, 0.0f}, {0.0f, 0.0f, 0.08f}};
    for (int r = 1; r <= 3; ++r)
        for (int c = 1; c <= 3; ++c) UNITCELL.UB(r, c) = previous[r - 1][c - 1];
    test_file({"END", scan_line(1, "N", {})});
    int status = 0;
    ASSERT_EQ(load(status), -1);
    EXPECT_EQ(UNITCELL.UBOK, 1);
    for (int r = 1; r <= 3; ++r)
        for (int c = 1; c <= 3; ++c) EXPECT_EQ(UNITCELL.UB(r, c), previous[r - 1][c - 1]) << r << c;
}

TEST_F(Loading, ANewLoadReplacesTheWorkingFile) {
    // A scratch file of a previous conversion goes; a standard file used in place is only closed.
    test_file({"END", scan_line(1, "N", {})});
    int status = 0;
    ASSERT_EQ(load(status), -1);
    open_input(FIXTURE, 1);
    ASSERT_EQ(load(status), -1);
    EXPECT_EQ(rt::unit_path(STD), FIXTURE);
    const std::string before = kvtest::read_bytes(FIXTURE);
    test_file({"END", scan_line(1, "N", {}), scan_line(2, "N", {})});
    ASSERT_EQ(load(status), -1);
    EXPECT_EQ(kvtest::read_bytes(FIXTURE), before);
    EXPECT_EQ(working_file().size(), 10u + 2u * 2u);
}

// A damaged file, of either kind, leaves the working file of the data set in use on its unit,
// where it was read to: the new working file takes the unit only once it has loaded.
TEST_F(Loading, ADamagedFileLeavesTheWorkingFileInUse) {
    test_file({"END", scan_line(1, "N", {}), scan_line(2, "N", {})});
    int status = 0;
    ASSERT_EQ(load(status), -1);
    const std::vector<std::string> in_use = working_file_read_to_first();

    test_file({"END", scan_line(1, "N", {}), "DAMAGED"});
    EXPECT_EQ(load(status), kvtest::DAMAGED);
    kvtest::write_bytes(dir / "bad.rfl", kvtest::join({"H", "T NO DATA LINE"}));
    open_input(dir / "bad.rfl", 1);
    EXPECT_EQ(load(status), kvtest::DAMAGED);

    EXPECT_EQ(rt::unit_record_number(STD), 1);  // still where it was read to
    EXPECT_EQ(working_file(), in_use);
}

// ---- Scan-code counting ------------------------------------------------------------------------

TEST(ScanCodes, EachKnownCodeCountsInItsOwnCounter) {
    reset_shared_records();
    TOTALS.INUM.fill(9);
    SET_SCANCODES_ZERO();
    for (const char* code : {"W", "M", "M", "R", "S", "F", "I", "N", "N", "N", "w", "n", "X", " "})
        SUM_SCANTYPES(rt::FText<1>(code));
    SUM_SCANTYPES(rt::FText<1>{});  // a code never set (NUL)
    EXPECT_EQ(std::vector<int>(TOTALS.INUM.begin(), TOTALS.INUM.end()), (std::vector<int>{1, 2, 1, 1, 1, 1, 3}));
}

// ---- "Write Std datafile" ------------------------------------------------------------------------

class WriteStdFile : public Loading {
protected:
    void SetUp() override {
        Loading::SetUp();
        open_input(FIXTURE, 1);
        int status = 0;
        ASSERT_EQ(load(status), -1);
        wl::script::load_lines({});
    }

    // Runs "Write Std datafile" with the file dialog answered by the script line.
    void write_copy(const std::string& answer) {
        wl::script::load_lines({answer});
        CONVERT_TO_STD();
    }

    static std::vector<std::string> lines_of(const std::string& bytes) {
        std::vector<std::string> out;
        std::size_t start = 0;
        while (start < bytes.size()) {
            const std::size_t end = bytes.find("\r\n", start);
            out.push_back(bytes.substr(start, end - start));
            start = end + 2;
        }
        return out;
    }
    static std::vector<std::string> data_part(const std::vector<std::string>& lines) {
        std::size_t k = 0;
        while (k < lines.size() && lines[k] != "DATA") ++k;
        return std::vector<std::string>(lines.begin() + long(k), lines.end());
    }
};

TEST_F(WriteStdFile, CopiesEveryReflectionOfTheWorkingFile) {
    SCANHDR.ATTEN = 2.25f;  // the attenuator factor in force (a standard data file does not set it)
    write_copy("file " + (dir / "copy.rfl").string());
    EXPECT_EQ(boxes(), (std::vector<std::string>{"file Kelvorantide v3.72: Create Standard Data File -> " +
                                                     (dir / "copy.rfl").string(),
                                                 BOX + "End of File", BOX + "Standard data file written successfully"}));
    EXPECT_FALSE(rt::unit_connected(26));
    EXPECT_FALSE(waitbox_shown());
    const std::vector<std::string> original = lines_of(kvtest::read_bytes(FIXTURE));
    const std::vector<std::string> copy = lines_of(kvtest::read_bytes(dir / "copy.rfl"));
    EXPECT_EQ(data_part(copy), data_part(original));
    EXPECT_EQ(copy[1], original[1]);
    for (int k = 5; k <= 7; ++k) EXPECT_EQ(copy[std::size_t(k)], original[std::size_t(k)]);
    EXPECT_EQ(copy[8], "A  2.250000");
    // Afterwards the current reflection is the last of the file.
    EXPECT_EQ(REFLN.ISEQ, 13);
}

TEST_F(WriteStdFile, SkippingWeakScansLeavesThemOut) {
    FITOPT.SKIP_WEAK = 1;
    write_copy("file " + (dir / "copy.rfl").string());
    const std::vector<std::string> copy = lines_of(kvtest::read_bytes(dir / "copy.rfl"));
    int records = 0;
    for (const auto& l : copy)
        if (!l.empty() && l[0] == 'R') {
            ++records;
            EXPECT_NE(l.back(), 'W');
        }
    EXPECT_EQ(records, 12);
}

TEST_F(WriteStdFile, HeaderHoldsTheMatrixAndCellInForce) {
    for (int r = 1; r <= 3; ++r)
        for (int c = 1; c <= 3; ++c) UNITCELL.UB(r, c) = r == c ? 0.125f : 0.0f;
    UNITCELL.CELL = {{8.0f, 8.0f, 8.0f, 90.0f, 90.0f, 90.0f, 512.0f}};
    write_copy("file " + (dir / "copy.rfl").string());
    const std::vector<std::string> copy = lines_of(kvtest::read_bytes(dir / "copy.rfl"));
    EXPECT_EQ(copy[2], "H    8.0000    8.0000    8.0000   90.0000   90.0000   90.0000");
    EXPECT_EQ(copy[5], "U   0.1250000   0.0000000   0.0000000");
    EXPECT_EQ(copy[7], "U   0.0000000   0.0000000   0.1250000");
}

TEST_F(WriteStdFile, ReadErrorKeepsWhatWasCopied) {
    // The working file is damaged after the load: the third reflection's counts are unreadable.
    std::string text = kvtest::read_bytes(FIXTURE);
    std::filesystem::copy_file(FIXTURE, dir / "work.rfl");
    open_input(dir / "work.rfl", 1);
    int status = 0;
    ASSERT_EQ(load(status), -1);
    const std::size_t third = text.find("R     3");
    const std::size_t counts = text.find("\nS", third) + 5;
    text[counts] = 'x';
    kvtest::write_bytes(dir / "work.rfl", text);

    wl::script::load_lines({});
    write_copy("file " + (dir / "copy.rfl").string());
    EXPECT_EQ(boxes().back(), BOX + "Error reading scratch file");
    EXPECT_FALSE(rt::unit_connected(26));
    EXPECT_FALSE(waitbox_shown());
    const std::vector<std::string> copy = lines_of(kvtest::read_bytes(dir / "copy.rfl"));
    ASSERT_EQ(copy.size(), 10u + 2u * 6u);
    EXPECT_EQ(copy[16].substr(0, 7), "R     2");
}

// A full disk: the copy is short or empty, so the success notice never comes, whether the loss
// shows at a record or only at the close.
TEST_F(WriteStdFile, FullDiskIsAWriteErrorNeverASuccess) {
    std::filesystem::create_symlink("/dev/full", dir / "full.rfl");
    for (int skip_weak : {0, 1}) {
        FITOPT.SKIP_WEAK = skip_weak;
        write_copy("file " + (dir / "full.rfl").string());
        EXPECT_EQ(boxes().back(), BOX + "Error writing standard data file");
        for (const std::string& b : boxes()) EXPECT_EQ(b.find("successfully"), std::string::npos) << b;
        EXPECT_FALSE(rt::unit_connected(26));
        EXPECT_FALSE(waitbox_shown());
    }
}

TEST_F(WriteStdFile, NoFileOpenedWritesNothing) {
    const std::string before = kvtest::read_bytes(FIXTURE);
    for (const std::string& answer : {std::string("cancel"), "file " + FIXTURE}) {
        write_copy(answer);
        const std::vector<std::string> t = boxes();
        ASSERT_EQ(t.size(), 2u) << answer;
        EXPECT_EQ(t[1], BOX + "Error opening file: Try again");
        EXPECT_FALSE(rt::unit_connected(26));
        EXPECT_FALSE(waitbox_shown());
    }
    // The working file named as the copy is refused by the unit layer and stays as it was.
    EXPECT_EQ(kvtest::read_bytes(FIXTURE), before);
    EXPECT_EQ(rt::unit_path(STD), FIXTURE);
}

}  // namespace
