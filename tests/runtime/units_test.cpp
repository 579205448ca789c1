// File units: open statuses, record ends, positioning, scratch files and the one-file-one-unit rule.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "runtime/fatal.h"
#include "runtime/format.h"
#include "runtime/units.h"

namespace {

class Units : public ::testing::Test {
protected:
    std::string dir;
    void SetUp() override {
        char tmpl[] = "/tmp/kvunitsXXXXXX";
        dir = mkdtemp(tmpl);
    }
    void TearDown() override {
        rt::units_close_all();
        std::string cmd = "rm -rf " + dir;
        (void)std::system(cmd.c_str());
    }
    std::string path(const char* name) const { return dir + "/" + name; }
    static std::string slurp(const std::string& p) {
        std::ifstream in(p, std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }
    static void spit(const std::string& p, const std::string& s) {
        std::ofstream out(p, std::ios::binary);
        out << s;
    }
    static rt::OpenSpec spec(rt::FileStatus st, rt::FileAction a = rt::FileAction::ReadWrite) {
        rt::OpenSpec s;
        s.status = st;
        s.action = a;
        return s;
    }
};

TEST_F(Units, OpenStatusesReportMissingAndExistingFiles) {
    EXPECT_EQ(rt::unit_open(1, path("none"), spec(rt::FileStatus::Old)), rt::IOS_NOT_FOUND);
    EXPECT_FALSE(rt::unit_connected(1));
    EXPECT_EQ(rt::unit_open(1, path("none"), spec(rt::FileStatus::Unknown, rt::FileAction::Read)), rt::IOS_NOT_FOUND);
    spit(path("a"), "x\n");
    EXPECT_EQ(rt::unit_open(2, path("a"), spec(rt::FileStatus::New)), rt::IOS_EXISTS);
    EXPECT_EQ(slurp(path("a")), "x\n");
    EXPECT_EQ(rt::unit_open(2, path("b"), spec(rt::FileStatus::New)), rt::IOS_OK);
    EXPECT_EQ(rt::unit_path(2), path("b"));
    EXPECT_EQ(rt::unit_open(3, path("a"), spec(rt::FileStatus::Replace)), rt::IOS_OK);
    rt::unit_close(3);
    EXPECT_EQ(slurp(path("a")), "");
    EXPECT_EQ(rt::unit_open(4, dir, spec(rt::FileStatus::Old, rt::FileAction::Read)), rt::IOS_OPEN_FAILED);
    // An existing file opened for writing is written from its start; the old tail goes.
    spit(path("c"), "line one\r\nline two\r\n");
    ASSERT_EQ(rt::unit_open(5, path("c"), spec(rt::FileStatus::Old, rt::FileAction::Write)), rt::IOS_OK);
    std::string rec;
    EXPECT_EQ(rt::unit_read_record(5, rec), rt::IOS_NOT_PERMITTED);
    rt::unit_write_record(5, "new");
    rt::unit_close(5);
    EXPECT_EQ(slurp(path("c")), "new\r\n");
    EXPECT_EQ(rt::unit_open(7, path("nodir/x"), spec(rt::FileStatus::Unknown)), rt::IOS_OPEN_FAILED);
}

TEST_F(Units, WritesCrLfAndReadsWithOneCrStripped) {
    ASSERT_EQ(rt::unit_open(1, path("w"), spec(rt::FileStatus::Replace)), rt::IOS_OK);
    EXPECT_EQ(rt::unit_write_record(1, "R     1"), rt::IOS_OK);
    EXPECT_EQ(rt::unit_write_record(1, ""), rt::IOS_OK);
    rt::unit_close(1);
    EXPECT_EQ(slurp(path("w")), "R     1\r\n\r\n");

    spit(path("r"), "one\r\ntwo\r\r\nthree\nlast");
    ASSERT_EQ(rt::unit_open(1, path("r"), spec(rt::FileStatus::Old, rt::FileAction::Read)), rt::IOS_OK);
    std::string rec;
    const char* want[] = {"one", "two\r", "three", "last"};
    for (const char* w : want) {
        ASSERT_EQ(rt::unit_read_record(1, rec), rt::IOS_OK);
        EXPECT_EQ(rec, w);
    }
    EXPECT_EQ(rt::unit_read_record(1, rec), rt::IOS_END);
    EXPECT_EQ(rt::unit_read_record(1, rec), rt::IOS_END);
    EXPECT_EQ(rt::unit_write_record(1, "x"), rt::IOS_NOT_PERMITTED);
}

// A user's text file: a line holding a NUL or another control character is no line of text, and
// a file without line ends is refused at the record limit instead of being read whole. The line
// still counts, so that the record number names it; a last line without its line feed says so.
TEST_F(Units, UserTextRefusesControlCharactersAndOverlongRecordsAndTellsAnUnendedLastLine) {
    const std::string text = std::string("ok\ttab\r\nnul\0here\r\nesc\x1b\r\nmid\rcr\r\ndel\x7f\r\nlast", 42);
    spit(path("t"), text);
    std::string rec;
    // Not marked: every line reads as it stands (the program's own files).
    ASSERT_EQ(rt::unit_open(1, path("t"), spec(rt::FileStatus::Old, rt::FileAction::Read)), rt::IOS_OK);
    for (int k = 0; k < 6; ++k) EXPECT_EQ(rt::unit_read_record(1, rec), rt::IOS_OK) << k;
    EXPECT_EQ(rec, "last");
    EXPECT_TRUE(rt::unit_record_unended(1));
    ASSERT_EQ(rt::unit_open(1, path("t"), spec(rt::FileStatus::Old, rt::FileAction::Read)), rt::IOS_OK);
    rt::unit_mark_user_text(1);
    const int want[] = {rt::IOS_OK, rt::IOS_BAD_RECORD, rt::IOS_BAD_RECORD, rt::IOS_BAD_RECORD, rt::IOS_BAD_RECORD,
                        rt::IOS_OK, rt::IOS_END};
    for (int k = 0; k < 7; ++k) {
        EXPECT_EQ(rt::unit_read_record(1, rec), want[k]) << k;
        if (k < 6) {
            EXPECT_EQ(rt::unit_record_number(1), k + 1) << k;
        }
        EXPECT_EQ(rt::unit_record_unended(1), k == 5) << k;
    }
    // A line ended by its line feed is not taken for a cut one.
    spit(path("e"), "whole\r\n");
    ASSERT_EQ(rt::unit_open(2, path("e"), spec(rt::FileStatus::Old, rt::FileAction::Read)), rt::IOS_OK);
    EXPECT_EQ(rt::unit_read_record(2, rec), rt::IOS_OK);
    EXPECT_FALSE(rt::unit_record_unended(2));

    // Twice the record limit without a line end: refused after the limit, on any unit.
    spit(path("bin"), std::string(2 * rt::kMaxRecordLength, 'x'));
    ASSERT_EQ(rt::unit_open(3, path("bin"), spec(rt::FileStatus::Old, rt::FileAction::Read)), rt::IOS_OK);
    EXPECT_EQ(rt::unit_read_record(3, rec), rt::IOS_BAD_RECORD);
    EXPECT_LE(rec.size(), rt::kMaxRecordLength);
    EXPECT_EQ(rt::unit_record_number(3), 1);
    EXPECT_TRUE(rt::unit_record_too_long(3));  // told apart from a control character
    EXPECT_FALSE(rt::unit_record_too_long(1));
    // The longest record still reads.
    spit(path("long"), std::string(rt::kMaxRecordLength, 'y') + "\n");
    ASSERT_EQ(rt::unit_open(4, path("long"), spec(rt::FileStatus::Old, rt::FileAction::Read)), rt::IOS_OK);
    EXPECT_EQ(rt::unit_read_record(4, rec), rt::IOS_OK);
    EXPECT_EQ(rec.size(), rt::kMaxRecordLength);
    EXPECT_FALSE(rt::unit_record_too_long(4));
}

TEST_F(Units, BackspaceStepsBackOneRecordAndAfterEndStandsAfterLastRecord) {
    spit(path("r"), "a\r\nbb\r\nccc\r\n");
    ASSERT_EQ(rt::unit_open(1, path("r"), spec(rt::FileStatus::Old)), rt::IOS_OK);
    std::string rec;
    EXPECT_EQ(rt::unit_backspace(1), rt::IOS_OK);  // at the start: nothing happens
    rt::unit_read_record(1, rec);
    rt::unit_read_record(1, rec);
    EXPECT_EQ(rt::unit_backspace(1), rt::IOS_OK);
    rt::unit_read_record(1, rec);
    EXPECT_EQ(rec, "bb");
    rt::unit_read_record(1, rec);
    EXPECT_EQ(rt::unit_read_record(1, rec), rt::IOS_END);
    rt::unit_backspace(1);  // back over the end of file only
    EXPECT_EQ(rt::unit_read_record(1, rec), rt::IOS_END);
    rt::unit_backspace(1);
    rt::unit_backspace(1);
    rt::unit_read_record(1, rec);
    EXPECT_EQ(rec, "ccc");
    rt::unit_rewind(1);
    rt::unit_read_record(1, rec);
    EXPECT_EQ(rec, "a");
}

TEST_F(Units, WritingAfterReadingEndsTheFileThere) {
    spit(path("r"), "a\r\nb\r\nc\r\n");
    ASSERT_EQ(rt::unit_open(1, path("r"), spec(rt::FileStatus::Old)), rt::IOS_OK);
    std::string rec;
    rt::unit_read_record(1, rec);
    rt::unit_write_record(1, "X");
    rt::unit_close(1);
    EXPECT_EQ(slurp(path("r")), "a\r\nX\r\n");
}

TEST_F(Units, AppendAddsAfterLastRecord) {
    spit(path("log"), "old\r\n");
    rt::OpenSpec s = spec(rt::FileStatus::Unknown);
    s.append = true;
    ASSERT_EQ(rt::unit_open(20, path("log"), s), rt::IOS_OK);
    rt::unit_write_record(20, "new");
    rt::unit_close(20);
    EXPECT_EQ(slurp(path("log")), "old\r\nnew\r\n");
}

TEST_F(Units, CarriageControlDropsColumnOne) {
    rt::OpenSpec s = spec(rt::FileStatus::Replace);
    s.carriage_control = true;
    ASSERT_EQ(rt::unit_open(20, path("log"), s), rt::IOS_OK);
    rt::write_unit(20, "(/ ' ****END****' / /)");
    rt::write_unit(20, "(TR1 A5)", rt::FText<5>("ab"));
    rt::unit_close(20);
    EXPECT_EQ(slurp(path("log")), "\r\n****END****\r\n\r\n\r\nab   \r\n");
}

TEST_F(Units, RefusesSecondConnectionOfOneFile) {
    spit(path("data.rfl"), "H\r\nDATA\r\n");
    ASSERT_EQ(rt::unit_open(25, path("data.rfl"), spec(rt::FileStatus::Old)), rt::IOS_OK);
    // The same file under another name (a hard link) is still the same file.
    ASSERT_EQ(link(path("data.rfl").c_str(), path("alias.rfl").c_str()), 0);
    for (auto st : {rt::FileStatus::Replace, rt::FileStatus::Unknown, rt::FileStatus::Old}) {
        EXPECT_EQ(rt::unit_open(26, path("alias.rfl"), spec(st)), rt::IOS_IN_USE);
    }
    EXPECT_FALSE(rt::unit_connected(26));
    EXPECT_EQ(slurp(path("data.rfl")), "H\r\nDATA\r\n");
    std::string rec;
    EXPECT_EQ(rt::unit_read_record(25, rec), rt::IOS_OK);
    EXPECT_EQ(rec, "H");
    // Two readers do each other no harm (the data file in use chosen again as the input) ...
    ASSERT_EQ(rt::unit_open(25, path("data.rfl"), spec(rt::FileStatus::Old, rt::FileAction::Read)), rt::IOS_OK);
    ASSERT_EQ(rt::unit_open(1, path("alias.rfl"), spec(rt::FileStatus::Old, rt::FileAction::Read)), rt::IOS_OK);
    EXPECT_EQ(rt::unit_read_record(1, rec), rt::IOS_OK);
    EXPECT_EQ(rec, "H");
    // ... but no writer joins them.
    rt::OpenSpec app = spec(rt::FileStatus::Unknown, rt::FileAction::Write);
    app.append = true;
    EXPECT_EQ(rt::unit_open(20, path("data.rfl"), app), rt::IOS_IN_USE);
    EXPECT_EQ(slurp(path("data.rfl")), "H\r\nDATA\r\n");
    rt::unit_close(1);
    // Reopening on the unit that holds it is allowed (the unit is closed first).
    EXPECT_EQ(rt::unit_open(25, path("data.rfl"), spec(rt::FileStatus::Old)), rt::IOS_OK);
}

TEST_F(Units, ScratchFileLeavesNothingBehind) {
    setenv("TMPDIR", dir.c_str(), 1);
    ASSERT_EQ(rt::unit_open(25, "", spec(rt::FileStatus::Scratch)), rt::IOS_OK);
    unsetenv("TMPDIR");
    rt::write_unit(25, "('S' 10I8)", 1, 2, 3);
    rt::unit_rewind(25);
    std::string rec;
    ASSERT_EQ(rt::unit_read_record(25, rec), rt::IOS_OK);
    EXPECT_EQ(rec, "S       1       2       3");
    std::string ls = "ls -A " + dir + " | wc -l";
    FILE* p = popen(ls.c_str(), "r");
    int n = -1;
    ASSERT_EQ(fscanf(p, "%d", &n), 1);
    pclose(p);
    EXPECT_EQ(n, 0);
    // A name given with a scratch open is ignored, also when the unit is closed with delete.
    spit(path("keep"), "k\n");
    ASSERT_EQ(rt::unit_open(25, path("keep"), spec(rt::FileStatus::Scratch)), rt::IOS_OK);
    rt::unit_close(25, true);
    EXPECT_EQ(slurp(path("keep")), "k\n");
}

// A file kept aside on another unit while its own unit takes another file: it keeps its position
// and its path, and comes back the same way. Only a connected unit moves, and only to a free one.
TEST_F(Units, MovedUnitKeepsItsFileAndPosition) {
    spit(path("a.dat"), "1\r\n2\r\n3\r\n");
    spit(path("b.dat"), "x\r\n");
    ASSERT_EQ(rt::unit_open(3, path("a.dat"), spec(rt::FileStatus::Old, rt::FileAction::Read)), rt::IOS_OK);
    std::string rec;
    ASSERT_EQ(rt::unit_read_record(3, rec), rt::IOS_OK);
    EXPECT_EQ(rt::unit_move(3, 53), rt::IOS_OK);
    EXPECT_FALSE(rt::unit_connected(3));
    ASSERT_EQ(rt::unit_open(3, path("b.dat"), spec(rt::FileStatus::Old, rt::FileAction::Read)), rt::IOS_OK);
    EXPECT_EQ(rt::unit_move(53, 3), rt::IOS_IN_USE);
    EXPECT_EQ(rt::unit_move(54, 4), rt::IOS_NOT_CONNECTED);
    rt::unit_close(3);
    EXPECT_EQ(rt::unit_move(53, 3), rt::IOS_OK);
    ASSERT_EQ(rt::unit_read_record(3, rec), rt::IOS_OK);
    EXPECT_EQ(rec, "2");
    EXPECT_EQ(rt::unit_record_number(3), 2);
    EXPECT_EQ(rt::unit_path(3), path("a.dat"));

    // The absolute path stays right after the current directory has changed.
    char here[4096];
    ASSERT_NE(getcwd(here, sizeof here), nullptr);
    ASSERT_EQ(chdir(dir.c_str()), 0);
    ASSERT_EQ(rt::unit_open(20, "rel.log", spec(rt::FileStatus::Unknown, rt::FileAction::Write)), rt::IOS_OK);
    ASSERT_EQ(chdir("/"), 0);
    char real[4096];
    ASSERT_NE(realpath(dir.c_str(), real), nullptr);
    EXPECT_EQ(rt::unit_file_path(20), std::string(real) + "/rel.log");
    EXPECT_EQ(rt::unit_file_path(21), "");
    ASSERT_EQ(chdir(here), 0);
}

// The line a damaged-file error names follows the reads, step backs and rewinds of its unit;
// the error ends nothing and leaves every unit as it was.
TEST_F(Units, DamagedFileErrorNamesTheFileAndTheLineReached) {
    spit(path("m.dat"), "a\r\nbb\r\nccc\r\n");
    ASSERT_EQ(rt::unit_open(1, path("m.dat"), spec(rt::FileStatus::Old, rt::FileAction::Read)), rt::IOS_OK);
    auto message = [](bool at_end) {
        try {
            rt::input_error(1, "what could not be read", at_end);
        } catch (const rt::InputError& e) {
            return e.message();
        }
        return std::string();
    };
    std::string rec;
    EXPECT_EQ(message(false), "Error reading m.dat: what could not be read");
    rt::unit_read_record(1, rec);
    rt::unit_read_record(1, rec);
    EXPECT_EQ(message(false), "Error reading m.dat at line 2: what could not be read");
    rt::unit_backspace(1);
    EXPECT_EQ(rt::unit_record_number(1), 1);
    rt::unit_read_record(1, rec);
    rt::unit_read_record(1, rec);
    EXPECT_EQ(rt::unit_read_record(1, rec), rt::IOS_END);
    EXPECT_EQ(message(true), "Error reading m.dat at line 4: what could not be read");
    rt::unit_backspace(1);  // back over the end of file only
    EXPECT_EQ(rt::unit_record_number(1), 3);
    rt::unit_rewind(1);
    EXPECT_EQ(rt::unit_record_number(1), 0);
    EXPECT_TRUE(rt::unit_connected(1));
    EXPECT_EQ(rt::unit_record_number(7), 0);  // not connected
}

TEST_F(Units, FatalPathsCloseUnitsAndUnwindWithStatus) {
    ASSERT_EQ(rt::unit_open(26, path("out"), spec(rt::FileStatus::Replace)), rt::IOS_OK);
    rt::unit_write_record(26, "kept");
    int st = rt::run_program([] { rt::io_fatal_unit(3, rt::IOS_BAD_VALUE); });
    EXPECT_NE(st, 0);
    EXPECT_FALSE(rt::unit_connected(26));
    EXPECT_EQ(slurp(path("out")), "kept\r\n");
    try {
        rt::io_fatal(3, "bad value during read");
        FAIL();
    } catch (const rt::ProgramExit& e) {
        EXPECT_NE(e.status, 0);
        EXPECT_NE(e.message.find("unit 3"), std::string::npos);
    }
    EXPECT_EQ(rt::run_program([] { rt::program_exit(0); }), 0);
    EXPECT_EQ(rt::run_program([] {}), 0);
}

// A full disk (/dev/full): records go into the buffer and the loss shows only when it goes
// out. Whatever operation meets the failure first, the unit keeps it: every later write, flush,
// rewind and read and the close report it.
TEST_F(Units, WriteFailureOnAFullDiskStaysWithTheUnitUntilItsClose) {
    ASSERT_EQ(access("/dev/full", W_OK), 0);
    struct Case {
        const char* what;
        int (*meets)(int unit);  // the first operation after the buffered records
    };
    const Case cases[] = {
        {"flush", [](int u) { return rt::unit_flush(u); }},
        {"rewind", [](int u) { return rt::unit_rewind(u); }},
        {"step back", [](int u) { return rt::unit_backspace(u); }},
        {"turn to reading", [](int u) { std::string r; return rt::unit_read_record(u, r); }},
        {"close", [](int u) { return rt::unit_close(u); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(rt::unit_open(9, "/dev/full", spec(rt::FileStatus::Unknown)), rt::IOS_OK);
        EXPECT_EQ(rt::unit_write_record(9, "a short record"), rt::IOS_OK);  // only buffered
        EXPECT_EQ(c.meets(9), rt::IOS_WRITE_FAILED);
        EXPECT_EQ(rt::write_failure_reason(), std::strerror(ENOSPC));
        if (!rt::unit_connected(9)) continue;
        std::string rec;
        EXPECT_EQ(rt::unit_write_record(9, "more"), rt::IOS_WRITE_FAILED);
        EXPECT_EQ(rt::unit_flush(9), rt::IOS_WRITE_FAILED);
        EXPECT_EQ(rt::unit_rewind(9), rt::IOS_WRITE_FAILED);
        EXPECT_EQ(rt::unit_read_record(9, rec), rt::IOS_WRITE_FAILED);
        EXPECT_EQ(rt::unit_close(9), rt::IOS_WRITE_FAILED);
    }

    // More than a buffer: the write that overflows it fails at once.
    ASSERT_EQ(rt::unit_open(9, "/dev/full", spec(rt::FileStatus::Replace, rt::FileAction::Write)), rt::IOS_OK);
    int ios = rt::IOS_OK;
    for (int k = 0; k < 10000 && ios == rt::IOS_OK; ++k) ios = rt::unit_write_record(9, std::string(80, 'x'));
    EXPECT_EQ(ios, rt::IOS_WRITE_FAILED);
    EXPECT_EQ(rt::unit_close(9), rt::IOS_WRITE_FAILED);

    // Closing everything reports the first unit that lost records; the others close cleanly.
    ASSERT_EQ(rt::unit_open(8, path("fine"), spec(rt::FileStatus::Replace)), rt::IOS_OK);
    ASSERT_EQ(rt::unit_open(9, "/dev/full", spec(rt::FileStatus::Replace, rt::FileAction::Write)), rt::IOS_OK);
    rt::unit_write_record(8, "kept");
    rt::unit_write_record(9, "lost");
    EXPECT_EQ(rt::units_close_all(), rt::IOS_WRITE_FAILED);
    EXPECT_EQ(slurp(path("fine")), "kept\r\n");
    EXPECT_EQ(rt::units_close_all(), rt::IOS_OK);
}

// A scratch file that was written and read back cleanly reports nothing.
TEST_F(Units, CleanWritesReportNoFailureAtRewindFlushOrClose) {
    ASSERT_EQ(rt::unit_open(25, "", spec(rt::FileStatus::Scratch)), rt::IOS_OK);
    EXPECT_EQ(rt::unit_write_record(25, "one"), rt::IOS_OK);
    EXPECT_EQ(rt::unit_flush(25), rt::IOS_OK);
    EXPECT_EQ(rt::unit_rewind(25), rt::IOS_OK);
    std::string rec;
    EXPECT_EQ(rt::unit_read_record(25, rec), rt::IOS_OK);
    EXPECT_EQ(rec, "one");
    EXPECT_EQ(rt::unit_close(25), rt::IOS_OK);
}

TEST_F(Units, NotConnectedUnitReportsIt) {
    std::string rec;
    EXPECT_EQ(rt::unit_read_record(77, rec), rt::IOS_NOT_CONNECTED);
    EXPECT_EQ(rt::unit_write_record(77, "x"), rt::IOS_NOT_CONNECTED);
    EXPECT_EQ(rt::unit_close(77), rt::IOS_OK);
    EXPECT_EQ(rt::unit_path(77), "");
}

TEST_F(Units, StandardOutputIsPreconnected) {
    testing::internal::CaptureStdout();
    EXPECT_EQ(rt::write_unit(rt::kStdOutUnit, "(/ ' ***SUBROUTINE REPORTED SIG > 1.0')"), rt::IOS_OK);
    rt::unit_flush(rt::kStdOutUnit);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "\n ***SUBROUTINE REPORTED SIG > 1.0\n");
    std::string rec;
    EXPECT_EQ(rt::unit_read_record(rt::kStdOutUnit, rec), rt::IOS_NOT_PERMITTED);
    rt::units_close_all();  // standard output stays open
    testing::internal::CaptureStdout();
    rt::write_unit(rt::kStdOutUnit, "(I3)", 5);
    rt::unit_flush(rt::kStdOutUnit);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "  5\n");
}

}  // namespace

namespace {

// Count lines read straight from the unit: format reversion takes as many records as the items
// need, and the next read starts on the record after the last one used.
TEST_F(Units, FormattedReadFromUnitTakesTheRecordsItNeeds) {
    spit(path("s"), "S       1       2       3       4       5       6       7       8       9      10\r\n"
                    "S      11      12      13      14      15      16      17      18      19      20\r\n"
                    "S      21      22      23      24      25\r\n"
                    "R next\r\n");
    ASSERT_EQ(rt::unit_open(25, path("s"), spec(rt::FileStatus::Old, rt::FileAction::Read)), rt::IOS_OK);
    rt::FArray<int, 500> c;
    ASSERT_EQ(rt::read_unit(25, "(TR1 10I8)", rt::in_slice(c, 1, 25)), rt::IOS_OK);
    for (int i = 1; i <= 25; ++i) EXPECT_EQ(c(i), i) << i;
    EXPECT_EQ(c(26), 0);
    rt::FText<6> r;
    ASSERT_EQ(rt::read_unit(25, "(A)", r), rt::IOS_OK);
    EXPECT_EQ(r, "R next");
    // Ending the file inside a read is the end of file; what was read stays.
    rt::unit_rewind(25);
    rt::FArray<int, 40> more;
    EXPECT_EQ(rt::read_unit(25, "(TR1 10I8)", more), rt::IOS_BAD_VALUE);  // the R line is no count line
    EXPECT_EQ(more(25), 25);
    rt::unit_rewind(25);
    int a = 0, b = 0;
    EXPECT_EQ(rt::read_unit(25, "(TR1 I8 ///// I8)", a, b), rt::IOS_END);
    EXPECT_EQ(a, 1);
}

}  // namespace
