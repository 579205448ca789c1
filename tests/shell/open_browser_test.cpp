// The openers that use the toolkit's file browser: parameter file, log, experiment file and
// scan export, with their captions, extensions, retries and log lines.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "include/shell_services.h"
#include "main_ui.h"
#include "shell/config_file.h"

namespace {


class BrowserOpeners : public kvtest::ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        build_ui();
    }
    std::string path(const std::string& name) const { return (dir / name).string(); }
};

TEST_F(BrowserOpeners, ParameterFileIsOfferedAgainUntilItOpensThenReadAndLogged) {
    kvtest::write_bytes(dir / "inst.par", kvtest::join(kvtest::PARAMETERS));
    ASSERT_EQ(kvtest::open_log(dir / "run_Kelvor.log"), rt::IOS_OK);
    FILEINFO.LOGOPEN = 1;
    script({"file " + path("missing.par"), "file " + path("inst.par")});
    int status = -1;
    OPEN_PAR(status);
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(rt::unit_connected(3));
    EXPECT_FLOAT_EQ(SCANHDR.ATTEN, 12.5f);  // read at once
    const std::string caption = "file " + kvtest::TITLE + "  Open Instrument Parameter File -> ";
    const std::vector<std::string> expected = {
        caption + path("missing.par"),
        "box ERROR | Error opening file: Try again",
        caption + path("inst.par"),
    };
    EXPECT_EQ(transcript(), expected);
    rt::unit_close(20);
    const std::string log = kvtest::read_bytes(dir / "run_Kelvor.log");
    const std::string head = "\r\n\r\n INSTRUMENT PARAMETER FILE OPENED: inst.par                      \r\n"
                             " CONTENTS ARE:\r\n\r\nPKPAR  0.05";
    EXPECT_EQ(log.substr(0, head.size()), head) << log;
}

TEST_F(BrowserOpeners, CancelledParameterFileLeavesNoneConnected) {
    kvtest::write_bytes(dir / "inst.par", kvtest::join(kvtest::PARAMETERS));
    ASSERT_EQ(kvtest::open_read(3, dir / "inst.par"), rt::IOS_OK);
    script({"cancel"});
    int status = 0;
    OPEN_PAR(status);
    EXPECT_EQ(status, 1);
    EXPECT_FALSE(rt::unit_connected(3));
}

TEST_F(BrowserOpeners, ExtensionIsAddedOnlyToANameWithoutADot) {
    struct Case {
        std::string typed, opened;
    };
    const Case cases[] = {{"mylog", "mylog.log"}, {"my.txt", "my.txt"}, {std::string(30, 'L'), std::string(30, 'L') + ".log"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        script({"file " + path(c.typed)});
        OPEN_LOG();
        EXPECT_EQ(FILEINFO.LOGOPEN, 1);
        EXPECT_EQ(rt::unit_path(20), c.opened);  // the bare name, in the folder browsed to
        EXPECT_EQ(std::filesystem::current_path(), dir);
        EXPECT_EQ(transcript(), std::vector<std::string>{"file " + kvtest::TITLE + "  Open Log File -> " + path(c.typed)});
    }

    script({"cancel"});
    OPEN_LOG();
    EXPECT_EQ(FILEINFO.LOGOPEN, 0);
    EXPECT_FALSE(rt::unit_connected(20));
}

TEST_F(BrowserOpeners, ExperimentAndExportFilesRefuseTheFileInUse) {
    kvtest::write_bytes(dir / "run.exp", "old\r\n");
    kvtest::write_bytes(dir / "scan.dat", "H\r\n");
    ASSERT_EQ(kvtest::open_read(25, dir / "scan.dat"), rt::IOS_OK);
    script({"file " + path("scan.dat"), "file " + path("run"), "answer 6"});
    OPEN_EXP();
    ASSERT_TRUE(rt::unit_connected(26));
    EXPECT_EQ(rt::unit_path(26), "run.exp");
    EXPECT_EQ(rt::unit_write_record(26, "new"), rt::IOS_OK);
    rt::unit_close(26);
    EXPECT_EQ(kvtest::read_bytes(dir / "run.exp"), "new\r\n");
    EXPECT_EQ(kvtest::read_bytes(dir / "scan.dat"), "H\r\n");
    EXPECT_EQ(transcript()[1], "box ERROR | Error opening exp file: Try again");

    script({"file " + path("scan.dat"), "file " + path("profile")});
    int status = 1;
    OPEN_SCANDATA(status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(rt::unit_path(SCANDATA_UNIT()), "profile.dat");
    const std::vector<std::string> expected = {
        "file Open Data File -> " + path("scan.dat"),
        "box ERROR | Error opening datafile: Try again",
        "file Open Data File -> " + path("profile"),
    };
    EXPECT_EQ(transcript(), expected);

    script({"cancel"});
    status = 0;
    OPEN_SCANDATA(status);
    EXPECT_EQ(status, 1);
}

TEST_F(BrowserOpeners, ExportAsksBeforeAppendingToAFileThatHoldsNoExports) {
    const std::string data = "* 12 15 19\r\n 1 2 3 45.10 12.00 0.00 1.0\r\n";
    const std::string exported = " PROFILE FOR REFLECTION HKL =     1    0    0\r\n";
    const std::string ask = "ask " + kvtest::TITLE + ": Export scan profile | ";
    const std::string question =
        " does not begin as a scan export: Append to it (Yes), choose another file (No) or export nothing (Cancel) -> ";
    struct Case {
        const char* name;
        std::string content;      // what the chosen file holds; "-" none
        std::string answer;       // "" no question expected
        int status;
        std::string opened;       // the file open on the export unit afterwards
    };
    const Case cases[] = {
        {"a new file", "-", "", 0, "new.dat"},
        {"an empty file", "", "", 0, "crystal.dat"},
        {"earlier exports", exported, "", 0, "crystal.dat"},
        {"a data file, Enter", data, "enter", 0, "new.dat"},  // No: the browser again
        {"a data file, No", data, "7", 0, "new.dat"},
        {"a data file, Yes", data, "6", 0, "crystal.dat"},
        {"a data file, Cancel", data, "1", 1, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(dir / "new.dat");
        if (c.content != "-") kvtest::write_bytes(dir / "crystal.dat", c.content);
        std::vector<std::string> lines = {"file " + path(c.content == "-" ? "new" : "crystal.dat")};
        if (!c.answer.empty()) lines.push_back("answer " + c.answer);
        if (c.answer == "enter" || c.answer == "7") lines.push_back("file " + path("new"));
        script(lines);
        int status = -1;
        OPEN_SCANDATA(status);
        EXPECT_EQ(status, c.status);
        if (c.answer.empty())
            EXPECT_EQ(transcript().size(), 1u);
        else
            EXPECT_EQ(transcript()[1], ask + "crystal.dat" + question + (c.answer == "enter" ? "7" : c.answer));
        EXPECT_EQ(rt::unit_connected(SCANDATA_UNIT()), !c.opened.empty());
        if (c.opened.empty()) continue;
        EXPECT_EQ(rt::unit_path(SCANDATA_UNIT()), c.opened);
        EXPECT_EQ(rt::unit_write_record(SCANDATA_UNIT(), " PROFILE"), rt::IOS_OK);
        rt::unit_close(SCANDATA_UNIT());
        // A file the user did not agree to extend is as it was.
        if (c.opened == "crystal.dat") {
            EXPECT_EQ(kvtest::read_bytes(dir / "crystal.dat"), c.content + "PROFILE\r\n");
        } else if (c.content != "-") {
            EXPECT_EQ(kvtest::read_bytes(dir / "crystal.dat"), c.content);
        }
    }
}

TEST_F(BrowserOpeners, LogOntoTheFileInUseIsRefusedAndOfferedAgain) {
    kvtest::write_bytes(dir / "scan.log", "data\r\n");
    ASSERT_EQ(kvtest::open_read(1, dir / "scan.log"), rt::IOS_OK);
    script({"file " + path("scan.log"), "file " + path("mine")});
    OPEN_LOG();
    EXPECT_EQ(FILEINFO.LOGOPEN, 1);
    EXPECT_EQ(rt::unit_path(20), "mine.log");
    EXPECT_EQ(transcript()[1], "box ERROR | Error opening LOG file: Try again");
    EXPECT_EQ(kvtest::read_bytes(dir / "scan.log"), "data\r\n");
}

// Every opener of the browser family refuses a name longer than its field with a box, never
// cuts it, and offers the browser again (a refused name is no cancel); a name that fits opens.
TEST_F(BrowserOpeners, ANameLongerThanTheBrowserCanHoldIsRefusedNotCutAndTheBrowserOfferedAgain) {
    kvtest::write_bytes(dir / "inst.par", kvtest::join(kvtest::PARAMETERS));
    const std::string too_long = std::string(31, 'x') + ".par";  // a 31-character stem
    kvtest::write_bytes(dir / too_long, kvtest::join(kvtest::PARAMETERS));
    struct Road {
        const char* name;
        std::string too_long, fits;  // the names typed
        std::function<bool()> open;  // the opener; whether a file is open after it
        int unit;
    };
    const Road roads[] = {
        {"parameter file", too_long, "inst.par", [] { int st = 1; OPEN_PAR(st); return st == 0; }, 3},
        {"log", std::string(27, 'l') + ".log", "fits.log", [] { OPEN_LOG(); return FILEINFO.LOGOPEN == 1; }, 20},
        {"experiment file", std::string(31, 'e'), "fits.exp", [] { OPEN_EXP(); return rt::unit_connected(26); }, 26},
        {"scan export", std::string(40, 'd'), "fits.dat", [] { int st = 1; OPEN_SCANDATA(st); return st == 0; },
         SCANDATA_UNIT()},
    };
    for (const Road& r : roads) {
        SCOPED_TRACE(r.name);
        for (const bool then_cancel : {false, true}) {
            script({"file " + path(r.too_long), then_cancel ? std::string("cancel") : "file " + path(r.fits)});
            EXPECT_EQ(r.open(), !then_cancel);
            ASSERT_EQ(transcript().size(), 3u);
            EXPECT_EQ(transcript()[1], "box ERROR | File name too long (at most 30 characters): " + r.too_long);
            EXPECT_EQ(transcript()[2].rfind("file ", 0), 0u) << transcript()[2];  // offered again
            if (!then_cancel) {
                EXPECT_EQ(rt::unit_path(r.unit), r.fits);
            }
            rt::unit_close(r.unit);
            FILEINFO.LOGOPEN = 0;
        }
        if (r.unit == 3) continue;  // the too long parameter file is ours; nothing else begins so
        for (const auto& e : std::filesystem::directory_iterator(dir))
            EXPECT_NE(e.path().filename().string().rfind(std::string(30, r.too_long[0]), 0), 0u)
                << e.path() << " was made from a cut name";
    }
}

TEST_F(BrowserOpeners, ScanExportLeavesTheConfigurationFileToBeRewritten) {
    SET_PROGRAM_DIRECTORY(dir.string());
    READ_DEFAULTS_FROM_FILE();
    script({"file " + path("profile.dat")});
    int status = 1;
    OPEN_SCANDATA(status);
    SET_PROGRAM_DIRECTORY("");
    ASSERT_EQ(status, 0);
    EXPECT_EQ(rt::unit_write_record(SCANDATA_UNIT(), " 1 2 3"), rt::IOS_OK);
    rt::unit_close(SCANDATA_UNIT());
    WRITE_DEFAULTS_TO_FILE();
    EXPECT_EQ(kvtest::read_bytes(dir / "profile.dat"), "1 2 3\r\n");
    EXPECT_NE(kvtest::read_bytes(dir / "Kelvor_defaults.dat").find("FORMATS:     1    1"), std::string::npos);
}

}  // namespace
