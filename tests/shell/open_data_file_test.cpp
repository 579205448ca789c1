// A session that has loaded, preprocessed and refined its cell, then meets a damaged file: through
// "Open data file" (a damaged input file, then Cancel) and through "Open parameter file" (a
// damaged parameter file, then Cancel). Each time the program goes on with the data set in use:
// its working file, parameters, preprocessing table, refined cell, log and window exactly as a
// session that never met the damaged file.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "main_ui.h"
#include "shell/kelvor_main.h"

namespace {

namespace fs = std::filesystem;

const std::string BOX = "box " + kvtest::TITLE + " | ";

template <class A>
bool same(const A& a, const A& b) {
    for (int i = 1; i <= A::size(); ++i)
        if (!(a.data()[i - 1] == b.data()[i - 1])) return false;
    return true;
}

// What a session leaves: the records a data set consists of, its log (times blanked), the main
// window's file line and the "Utilities" entries.
struct Session {
    FITVALS_t table;
    UNITCELL_t cell;
    FITPAR_t fit;
    SCANHDR_t scan;
    WAVES_t waves;
    REFLN_t refln;
    TOTALS_t totals;
    FILEINFO_t files;
    std::string log;
    std::string input_field, title_field;
    std::vector<int> utilities;
};

class SessionMeetsDamagedFile : public kvtest::DataSetTest {
protected:
    SessionMeetsDamagedFile() : DataSetTest({"mainroad", "small"}) {}
    void SetUp() override {
        DataSetTest::SetUp();
        // An Xscans file that ends inside its header, and a parameter file with a letter in a value.
        kvtest::write_bytes(dir / "bad.p4t", kvtest::join({"TITLE A FILE WITHOUT ITS DATA LINE"}));
        kvtest::write_bytes(dir / "bad.par", kvtest::read_bytes(dir / "mainroad.par") + "GONCON 2x0 200\r\n");
        kvtest::write_bytes(dir / "old.int", "kept\r\n");
    }

    // Load, open an integrated data file (appended to), preprocess and refine the cell; then
    // `meanwhile`; then (with `refine_again`) refine the cell again from the table; end the run.
    Session run(const std::vector<std::string>& meanwhile, bool refine_again = true) {
        std::vector<std::string> lines = {"file " + path("mainroad.rfl") + " 1", "press 470", "file " + path("mainroad.par"),
                                          "press 314", "file " + path("old.int"), "answer 7",
                                          "press 331", "press 53", "run",
                                          "press 332", "press 626", "press 631"};
        lines.insert(lines.end(), meanwhile.begin(), meanwhile.end());
        if (refine_again)
            for (const char* l : {"press 332", "press 626", "press 631"}) lines.push_back(l);
        lines.insert(lines.end(), {"press 101", "answer 2"});
        rt::units_close_all();
        reset_toolkit();
        reset_shared_records();
        script(lines);
        EXPECT_EQ(rt::run_program([] { MAIN__(); }), 0);
        Session s;
        s.table = FITVALS;
        s.cell = UNITCELL;
        s.fit = FITPAR;
        s.scan = SCANHDR;
        s.waves = WAVES;
        s.refln = REFLN;
        s.totals = TOTALS;
        s.files = FILEINFO;
        s.log = std::regex_replace(kvtest::read_bytes(dir / "mainroad_Kelvor.log"), std::regex("[0-9]+:[0-9]+:[0-9]+"),
                                   "hh:mm:ss");
        s.input_field = w(1, 40).text;
        s.title_field = w(1, 41).text;
        for (int item = 32; item <= 36; ++item) s.utilities.push_back(w(3, item).state);
        fs::remove(dir / "mainroad_Kelvor.log");
        return s;
    }

    std::string path(const std::string& name) const { return (dir / name).string(); }

    // The session after the damaged file is the session that never met it.
    static void expect_same(const Session& got, const Session& want) {
        EXPECT_EQ(got.table.NFIT, want.table.NFIT);
        EXPECT_EQ(got.table.IPREPROC, 1);
        EXPECT_TRUE(same(got.table.ANGLESFIT, want.table.ANGLESFIT));
        EXPECT_TRUE(same(got.table.FWHMFIT, want.table.FWHMFIT));
        EXPECT_TRUE(same(got.table.IHFIT, want.table.IHFIT));
        EXPECT_EQ(got.cell.UBOK, 1);
        EXPECT_TRUE(same(got.cell.UB, want.cell.UB));
        EXPECT_TRUE(same(got.cell.CELL, want.cell.CELL));
        EXPECT_TRUE(same(got.cell.ESD, want.cell.ESD));
        EXPECT_TRUE(same(got.fit.PKVALS, want.fit.PKVALS));
        EXPECT_TRUE(same(got.fit.TFLAG, want.fit.TFLAG));
        EXPECT_EQ(got.scan.ATTEN, want.scan.ATTEN);
        EXPECT_TRUE(same(got.waves.WAVE, want.waves.WAVE));
        EXPECT_EQ(got.refln.ISEQ, want.refln.ISEQ);
        EXPECT_TRUE(same(got.refln.COUNTS, want.refln.COUNTS));
        EXPECT_TRUE(same(got.totals.INUM, want.totals.INUM));
        EXPECT_EQ(got.files.IN_NAME, want.files.IN_NAME);
        EXPECT_EQ(got.files.IN_DIR, want.files.IN_DIR);
        EXPECT_EQ(got.files.IFORMAT, want.files.IFORMAT);
        EXPECT_EQ(got.files.LOADED, 1);
        EXPECT_EQ(got.files.TITLE, want.files.TITLE);
        EXPECT_EQ(got.input_field, want.input_field);
        EXPECT_EQ(got.title_field, want.title_field);
        EXPECT_EQ(got.utilities, want.utilities);
    }

    // The transcript from the first line that starts with `from`.
    // The transcript's lines from the first that begins as expected[0], as many as expected has.
    static std::vector<std::string> shown_from(const std::vector<std::string>& expected) {
        const std::vector<std::string> t = transcript();
        for (std::size_t i = 0; i < t.size(); ++i)
            if (t[i].starts_with(expected.front()))
                return {t.begin() + long(i), t.begin() + long(std::min(t.size(), i + expected.size()))};
        return {};
    }
};

// "Open data file" with a damaged file, chosen with another parameter file; Cancel after the box.
// The data set in use goes on with the parameters it had, and its log takes the second
// refinement as if nothing had happened between.
TEST_F(SessionMeetsDamagedFile, ADamagedDataFileThenCancelGoesOnWithTheDataSetInUse) {
    const Session plain = run({});
    ASSERT_GT(plain.table.NFIT, 0);
    const std::string bad = kvtest::read_bytes(dir / "bad.p4t");

    const Session met = run({"press 312", "file " + path("bad.p4t"), "press 470", "file " + path("small.par"), "cancel"});
    const std::vector<std::string> expected = {
        "file " + kvtest::TITLE + ": Open Input Data File -> " + path("bad.p4t"),
        "show Input Data file Format",
        "hide Input Data file Format",
        "file " + kvtest::TITLE + "  Open Instrument Parameter File -> " + path("small.par"),
        BOX + "Error reading bad.p4t at line 2: end of file inside the header",
        "file " + kvtest::TITLE + ": Open Input Data File -> cancel",
        BOX + "NO NEW INPUT DATA FILE SELECTED",
        "show " + kvtest::TITLE + ": Unit Cell Refinement",  // the session goes on
    };
    EXPECT_EQ(shown_from(expected), expected);
    expect_same(met, plain);
    EXPECT_EQ(met.log, plain.log);
    EXPECT_EQ(met.files.OUT_NAME, "old.int");
    EXPECT_EQ(kvtest::read_bytes(dir / "bad.p4t"), bad);
    EXPECT_TRUE(fs::exists(dir / "bad_Kelvor.log"));  // the attempt's own log

    // A second damaged choice in a row, then a good one: the new data set replaces the one in use.
    run({"press 312", "file " + path("bad.p4t"), "press 470", "file " + path("small.par"), "file " + path("bad.p4t"),
         "press 470", "file " + path("small.par"), "file " + path("small.rfl"), "press 470", "file " + path("small.par")},
        false);
    EXPECT_EQ(FILEINFO.IN_NAME, "small.rfl");
    EXPECT_EQ(w(1, 40).text, "small.rfl");
    EXPECT_EQ(SCANHDR.ATTEN, 15.5f);
    EXPECT_EQ(FITVALS.IPREPROC, 0);
}

// "Open data file" with an instrument file whose scratch working file fills its disk (a small
// tmpfs), then Cancel: the box says the working file could not be written and why, nothing of it
// stays on that disk, and the session goes on with the data set in use, its table and cell.
TEST_F(SessionMeetsDamagedFile, AScratchFileOnAFullDiskThenCancelGoesOnWithTheDataSetInUse) {
    kvtest::write_bytes(dir / "big.p4t", kvtest::join(kvtest::xscans_lines(1000)));
    const kvtest::SmallTmpfs disk(dir / "scratch");
    if (!disk.mounted()) GTEST_SKIP() << "cannot mount a small tmpfs for the scratch file (needs root): " << disk.reason();
    const kvtest::ScratchFilesIn scratch(dir / "scratch");
    const unsigned long used = disk.used_blocks();
    const Session plain = run({});
    ASSERT_GT(plain.table.NFIT, 0);

    const Session met = run({"press 312", "file " + path("big.p4t"), "press 470", "file " + path("small.par"), "cancel"});
    const std::vector<std::string> expected = {
        "file " + kvtest::TITLE + ": Open Input Data File -> " + path("big.p4t"),
        "show Input Data file Format",
        "hide Input Data file Format",
        "file " + kvtest::TITLE + "  Open Instrument Parameter File -> " + path("small.par"),
        "show " + kvtest::TITLE,  // the wait box, taken down before the error box
        "hide " + kvtest::TITLE,
        BOX + "WRITE ERROR ON SCRATCH FILE: the working file for big.p4t could not be written: No space left on device",
        "file " + kvtest::TITLE + ": Open Input Data File -> cancel",
        BOX + "NO NEW INPUT DATA FILE SELECTED",
        "show " + kvtest::TITLE + ": Unit Cell Refinement",  // the session goes on
    };
    EXPECT_EQ(shown_from(expected), expected);
    expect_same(met, plain);
    EXPECT_EQ(met.log, plain.log);
    EXPECT_TRUE(fs::is_empty(dir / "scratch"));
    EXPECT_EQ(disk.used_blocks(), used);
}

// "Open parameter file" with a damaged file, Cancel after the box: the parameters in force stay,
// and the data set, its table and its cell with them.
TEST_F(SessionMeetsDamagedFile, ADamagedParameterFileThenCancelLeavesTheParametersInForce) {
    const Session plain = run({});
    const Session met = run({"press 313", "file " + path("bad.par"), "cancel"});
    const std::vector<std::string> expected = {
        "file " + kvtest::TITLE + "  Open Instrument Parameter File -> " + path("bad.par"),
        BOX + "Error reading bad.par at line 13: unreadable value in the GONCON line",
        "file " + kvtest::TITLE + "  Open Instrument Parameter File -> cancel",
        "show " + kvtest::TITLE + ": Unit Cell Refinement",
    };
    EXPECT_EQ(shown_from(expected), expected);
    expect_same(met, plain);
}

}  // namespace
