// The integrated data file: the format from the extension and the filter, the question for an
// existing file, the main window's output fields, and the file in use refused.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "include/shell_services.h"
#include "main_ui.h"

namespace {

const std::string ASK_OUT = "file " + kvtest::TITLE + ": Open Output Data File -> ";
const std::string EXISTS = "ask " + kvtest::TITLE +
                           ": Open output file | Output file already exists: Overwrite (YES) or Append (No) -> ";

class OutputFile : public kvtest::ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        build_ui();
        FILEINFO.IN_DIR = dir.string() + "/";
    }
    std::string path(const std::string& name) const { return (dir / name).string(); }
};

TEST_F(OutputFile, FormatFollowsTheExtensionOnlyUnderAMatchingFilter) {
    struct Case {
        const char* name;
        int filter;  // 1 "Rfine", 2 "Shelx", 3 "All Formats"
        int out_format;
        const char* shown;
    };
    const Case cases[] = {
        {"a.hkl", 2, 3, "Shelx"}, {"b.hkl", 3, 3, "Shelx"}, {"c.HKL", 2, 3, "Shelx"},
        {"d.hkl", 1, 0, "Rfine"}, {"e.int", 1, 1, "Rfine"}, {"f.INT", 3, 1, "Rfine"},
        {"g.int", 2, 0, "Rfine"}, {"h.Hkl", 2, 0, "Rfine"}, {"i.txt", 3, 0, "Rfine"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> lines = {"file " + path(c.name) + " " + std::to_string(c.filter)};
        if (c.out_format == 0) lines.push_back("press 592");  // "Quit" in the output-format dialog
        script(lines);
        OPEN_OUT();
        const bool asked = transcript().size() == 3 && transcript()[1] == "show " + kvtest::TITLE + ": Output Format";
        EXPECT_EQ(asked, c.out_format == 0);
        EXPECT_EQ(FILEINFO.OUTOPEN, 1);
        EXPECT_EQ(FILEINFO.OUT_FORMAT, c.out_format);
        EXPECT_EQ(FILEINFO.OUT_NAME, c.name);
        EXPECT_EQ(FILEINFO.OUT_DIR, dir.string() + "/");
        EXPECT_EQ(rt::unit_path(2), path(c.name));
        EXPECT_EQ(w(1, 43).text, c.name);
        EXPECT_EQ(w(1, 45).text, c.shown);
        EXPECT_EQ(w(1, 42).state, wl::STATE_ACTIVE);
        EXPECT_EQ(w(1, 44).state, wl::STATE_ACTIVE);
        EXPECT_EQ(w(3, 44).state, wl::STATE_ACTIVE);
    }
}

TEST_F(OutputFile, ANameTypedWithoutExtensionTakesTheDefaultUnlessItExists) {
    // "outnoext" names no file: it becomes outnoext.int, an "Rfine" file, with no question.
    script({"file " + path("outnoext")});
    OPEN_OUT();
    EXPECT_EQ(FILEINFO.OUT_NAME, "outnoext.int");
    EXPECT_EQ(FILEINFO.OUT_FORMAT, 1);
    EXPECT_EQ(rt::unit_path(2), path("outnoext.int"));
    EXPECT_EQ(transcript(), std::vector<std::string>{ASK_OUT + path("outnoext")});

    // An existing file without extension is taken as it is; the format is asked for.
    kvtest::write_bytes(dir / "plain", "");
    script({"file " + path("plain"), "answer 6", "toggle 5 96 1", "press 593"});
    OPEN_OUT();
    EXPECT_EQ(FILEINFO.OUT_NAME, "plain");
    EXPECT_EQ(FILEINFO.OUT_FORMAT, 3);
}

TEST_F(OutputFile, ExistingFileIsReplacedAppendedOrLeftAlone) {
    struct Case {
        std::string typed;
        int answer;
        bool open;
        std::string content;
    };
    // Enter presses "No": the file keeps what it holds.
    const Case cases[] = {{"6", 6, true, "new\r\n"},
                          {"7", 7, true, "old\r\nnew\r\n"},
                          {"enter", 7, true, "old\r\nnew\r\n"},
                          {"1", 1, false, "old\r\n"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        kvtest::write_bytes(dir / "out.int", "old\r\n");
        script({"file " + path("out.int"), "answer " + c.typed});
        OPEN_OUT();
        EXPECT_EQ(FILEINFO.OUTOPEN, c.open ? 1 : 0);
        EXPECT_EQ(transcript().back(), EXISTS + std::to_string(c.answer));
        if (c.open) {
            EXPECT_EQ(rt::unit_write_record(2, "new"), rt::IOS_OK);
        }
        rt::unit_close(2);
        EXPECT_EQ(kvtest::read_bytes(dir / "out.int"), c.content);
    }
    // After Cancel the main window shows no output file.
    EXPECT_EQ(w(1, 43).text, "");
    EXPECT_EQ(w(1, 45).text, "");
    EXPECT_EQ(w(1, 42).state, wl::STATE_HIDDEN);
    EXPECT_EQ(w(1, 44).state, wl::STATE_HIDDEN);
}

TEST_F(OutputFile, ASecondChoiceClosesTheFirstEvenWhenCancelled) {
    script({"file " + path("one.hkl") + " 2", "cancel"});
    OPEN_OUT();
    ASSERT_EQ(FILEINFO.OUTOPEN, 1);
    OPEN_OUT();
    EXPECT_EQ(FILEINFO.OUTOPEN, 0);
    EXPECT_FALSE(rt::unit_connected(2));
    EXPECT_EQ(w(3, 44).state, wl::STATE_GREYED);
    EXPECT_EQ(w(1, 42).state, wl::STATE_HIDDEN);
    EXPECT_EQ(w(1, 43).text, "");
}

TEST_F(OutputFile, TheInputFileInUseIsRefusedAndTheChoiceOfferedAgain) {
    kvtest::write_bytes(dir / "scan.hkl", "H\r\n");
    ASSERT_EQ(kvtest::open_read(1, dir / "scan.hkl"), rt::IOS_OK);
    ASSERT_EQ(kvtest::open_log(dir / "scan_Kelvor.log"), rt::IOS_OK);
    FILEINFO.LOGOPEN = 1;
    script({"file " + path("scan.hkl") + " 2", "file " + path("out.hkl") + " 2"});
    OPEN_OUT();
    EXPECT_EQ(FILEINFO.OUTOPEN, 1);
    EXPECT_EQ(FILEINFO.OUT_NAME, "out.hkl");
    EXPECT_EQ(kvtest::read_bytes(dir / "scan.hkl"), "H\r\n");
    const std::vector<std::string> expected = {
        ASK_OUT + path("scan.hkl"),
        "box " + kvtest::TITLE + " | Error opening file: Try again",
        ASK_OUT + path("out.hkl"),
    };
    EXPECT_EQ(transcript(), expected);
    rt::unit_close(20);
    EXPECT_EQ(kvtest::read_bytes(dir / "scan_Kelvor.log"), "\r\n\r\n INTEGRATED DATA FILE OPENED: out.hkl\r\n");
}

}  // namespace
