// The input data file: the dialog, the retries, the automatic log and its banner, and the
// format dialog that follows every successful open.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "include/shell_services.h"
#include "main_ui.h"
#include "shell/open_files.h"

namespace {

const std::string ASK_IN = "file " + kvtest::TITLE + ": Open Input Data File -> ";
const std::string FORMAT_SHOWN = "show Input Data file Format";
const std::string FORMAT_HIDDEN = "hide Input Data file Format";

class InputFile : public kvtest::ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        build_ui();
    }
};

TEST_F(InputFile, OpensTheFileSetsTheNamesAndStartsTheAutomaticLog) {
    const std::string path = (dir / "scan.dat").string();
    kvtest::write_bytes(dir / "scan.dat", "data\r\n");
    kvtest::write_bytes(dir / "scan_Kelvor.log", "earlier run\r\n");
    script({"file " + path, "press 470"});
    OPEN_IN();
    EXPECT_EQ(FILEINFO.LOADED, 1);
    EXPECT_EQ(FILEINFO.IN_NAME, "scan.dat");
    EXPECT_EQ(FILEINFO.IN_FULLNAME, path);
    EXPECT_EQ(FILEINFO.IN_DIR, dir.string() + "/");
    EXPECT_EQ(FILEINFO.IFORMAT, 7);  // ".dat" preselects "Enraf CAD4"
    EXPECT_EQ(FILEINFO.LOGOPEN, 1);
    EXPECT_EQ(rt::unit_path(1), path);
    EXPECT_EQ(w(1, 40).text, "scan.dat");
    EXPECT_EQ(transcript(), (std::vector<std::string>{ASK_IN + path, FORMAT_SHOWN, FORMAT_HIDDEN}));

    rt::unit_close(20);
    const std::string log = kvtest::read_bytes(dir / "scan_Kelvor.log");
    const std::regex banner(
        "earlier run\r\n\r\n\r\n\\*{79}\r\n\r\n"
        "     THIS FILE CREATED BY KELVO-RANTIDE v3\\.72 ON  [A-Z][a-z]{2} [A-Z][a-z]{2} [ 123][0-9] "
        "[0-9:]{8} [0-9]{4}\r\n\r\n"
        "     INPUT DATA FILE WAS: scan\\.dat\r\n\r\n\r\n");
    EXPECT_TRUE(std::regex_match(log, banner)) << log;
}

// The log lies beside the input file, named from the file name up to its first dot; a dot in a
// folder name neither names the log nor gives the format.
TEST_F(InputFile, LogNameIsThePathUpToTheFirstDotOfTheFileName) {
    struct Case {
        std::string input, log;
        int iformat;
    };
    std::filesystem::create_directories(dir / "run.d");
    std::filesystem::create_directories(dir / "run.dca/v.2");
    const Case cases[] = {
        {"scan", "scan_Kelvor.log", 3},  // no extension: the toggles stay as built
        {"scan.p4t", "scan_Kelvor.log", 4},
        {"two.dots.d00", "two_Kelvor.log", 4},  // "DOT": the last choice stays
        {"run.d/scan.feb", "run.d/scan_Kelvor.log", 6},
        {"run.dca/v.2/ds.rfl", "run.dca/v.2/ds_Kelvor.log", 1},
        {"run.dca/v.2/plain", "run.dca/v.2/plain_Kelvor.log", 1},  // the last choice stays
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input);
        kvtest::write_bytes(dir / c.input, "x\r\n");
        script({"file " + (dir / c.input).string(), "press 470"});
        OPEN_IN();
        EXPECT_EQ(FILEINFO.LOADED, 1);
        EXPECT_EQ(rt::unit_path(20), (dir / c.log).string());
        EXPECT_EQ(FILEINFO.IFORMAT, c.iformat);
    }
}

TEST_F(InputFile, AFailedOpenOrAnOverlongPathOffersTheDialogAgain) {
    const std::string good = (dir / "scan.rfl").string();
    kvtest::write_bytes(dir / "scan.rfl", "H\r\n");
    const std::string long_path = (dir / std::string(250, 'n')).string() + ".rfl";
    script({"file " + (dir / "missing.rfl").string(), "file " + long_path, "file " + good, "press 470"});
    OPEN_IN();
    EXPECT_EQ(FILEINFO.LOADED, 1);
    EXPECT_EQ(FILEINFO.IN_NAME, "scan.rfl");
    EXPECT_EQ(FILEINFO.IFORMAT, 1);
    const std::vector<std::string> expected = {
        ASK_IN + (dir / "missing.rfl").string(),
        "box " + kvtest::TITLE + " | Error opening file: Try again",
        ASK_IN + long_path,
        "box " + kvtest::TITLE + " | File path longer than 255 characters: Try again",
        ASK_IN + good,
        FORMAT_SHOWN,
        FORMAT_HIDDEN,
    };
    EXPECT_EQ(transcript(), expected);
}

TEST_F(InputFile, CancelClosesThePreviousInputAndKeepsTheLog) {
    kvtest::write_bytes(dir / "scan.dat", "x\r\n");
    script({"file " + (dir / "scan.dat").string(), "press 470", "cancel"});
    OPEN_IN();
    ASSERT_EQ(FILEINFO.LOADED, 1);
    OPEN_IN();
    EXPECT_EQ(FILEINFO.LOADED, 0);
    EXPECT_FALSE(rt::unit_connected(1));
    EXPECT_EQ(FILEINFO.LOGOPEN, 1);
    EXPECT_EQ(FILEINFO.IN_NAME, "scan.dat");
    EXPECT_EQ(transcript().back(), "file " + kvtest::TITLE + ": Open Input Data File -> cancel");
}

TEST_F(InputFile, FormatDialogPreselectsByExtensionAndKeepsTheLastChoice) {
    struct Case {
        std::vector<std::string> actions;  // what the user does in the dialog before "OK"
        const char* name;
        int iformat;
    };
    const Case cases[] = {
        {{}, "scan.dca", 3},
        {{}, "scan.p4t", 4},  // lower case is recognised
        {{}, "SCAN.D00", 5},
        {{}, "data.hkl", 5},  // unknown: the choice of the previous call stays
        {{}, "scan.feb", 6},
        {{}, "noext", 6},
        {{"toggle 4 4 1"}, "scan.dat", 2},  // an Old Vosket file with the CAD4 extension
        {{"press -1", "press 344"}, "scan.rfl", 1},  // only "OK" ends the dialog
        {{}, nullptr, 1},  // a dot at the very end of the name field: nothing read beyond it
    };
    const std::string at_end = std::string(253, 'a') + ".d";
    w(3, 44).state = wl::STATE_ACTIVE;  // a menu entry the user can choose meanwhile
    for (const Case& c : cases) {
        const std::string name = c.name ? c.name : at_end;
        SCOPED_TRACE(name.substr(0, 20));
        FILEINFO.IN_NAME = name;
        std::vector<std::string> lines = c.actions;
        lines.push_back("press 470");
        script(lines);
        GETFORMAT();
        EXPECT_EQ(FILEINFO.IFORMAT, c.iformat);
        EXPECT_FALSE(wl::model().find(GRAPHICS.IWID(4, 1))->shown);
    }
}

}  // namespace
