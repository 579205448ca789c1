// "Open log file": a log of the user's choice, chosen in the toolkit's file browser, with its
// dated banner and the input classification summary; later log lines go there.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "params_ui.h"

namespace {

const std::string ASK_LOG = "file " + kvtest::TITLE + "  Open Log File -> ";

class LogFile : public kvtest::ReportFileTest {
protected:
    void SetUp() override {
        ReportFileTest::SetUp();
        TOTALS.INUM(7) = 3;
        TOTALS.INUM(6) = 1;
    }
};

TEST_F(LogFile, ChosenLogGetsBannerAndInputSummaryAndStaysOpen) {
    kvtest::write_bytes(dir / "mine.log", "earlier run\r\n");  // appended to
    script({"file " + path("mine")});
    CREATE_LOG();
    EXPECT_EQ(transcript(), std::vector<std::string>{ASK_LOG + path("mine")});
    EXPECT_EQ(FILEINFO.LOGOPEN, 1);
    ASSERT_TRUE(rt::unit_connected(20));
    EXPECT_EQ(rt::unit_write_record(20, " LATER LINE"), rt::IOS_OK);
    rt::unit_close(20);
    // Each record's first column is line control, so everything sits one column left of the
    // records as built; the output name was never set.
    const std::vector<std::string> expected = {
        "earlier run",
        "     THIS FILE CREATED BY KELVO-RANTIDE v3.72 ON  <date>",
        "",
        "     INPUT DATA FILE WAS: /data/run1/scan.dat",
        "     OUTPUT DATA FILE WAS: ",
        " TITLE TEST CRYSTAL" + std::string(48, ' '),
        "",
        "",
        "",
        "",
        "      REFLECTIONS AS CLASSIFIED IN INPUT FILE: scan.dat",
        "       NORMAL REFLECTIONS:              3",
        "       STANDARDS:                       1",
        "",
        "       TOTAL NUMBER OF REFLECTIONS:     4",
        "LATER LINE",
    };
    EXPECT_EQ(kvtest::undated(kvtest::read_bytes(dir / "mine.log")), kvtest::join(expected));
}

TEST_F(LogFile, SecondLogClosesTheFirstAndCancelLeavesNone) {
    FILEINFO.OUT_NAME = "out.hkl";
    FILEINFO.TITLE = rt::FText<60>();  // a title never set (NULs) goes out as blanks
    script({"file " + path("first.log"), "file " + path("second.log")});
    CREATE_LOG();
    CREATE_LOG();
    EXPECT_EQ(rt::unit_path(20), "second.log");
    EXPECT_EQ(rt::unit_write_record(20, " LATER LINE"), rt::IOS_OK);
    rt::unit_close(20);
    const std::string first = kvtest::read_bytes(dir / "first.log");
    const std::string second = kvtest::read_bytes(dir / "second.log");
    EXPECT_EQ(first.find("LATER LINE"), std::string::npos);
    const std::string head = kvtest::join({"     THIS FILE CREATED BY KELVO-RANTIDE v3.72 ON  <date>", ""});
    EXPECT_EQ(kvtest::undated(second).substr(0, head.size()), head);
    EXPECT_NE(second.find("\r\n     OUTPUT DATA FILE WAS: out.hkl\r\n TITLE " + std::string(60, ' ') + "\r\n"),
              std::string::npos)
        << second;
    EXPECT_EQ(second.substr(second.size() - 12), "LATER LINE\r\n");

    FILEINFO.LOGOPEN = 1;
    script({"cancel"});
    CREATE_LOG();
    EXPECT_EQ(FILEINFO.LOGOPEN, 0);
    EXPECT_FALSE(rt::unit_connected(20));
    EXPECT_EQ(kvtest::read_bytes(dir / "second.log"), second);  // nothing more written
}

}  // namespace
