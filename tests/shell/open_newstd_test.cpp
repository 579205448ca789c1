// Opening a new standard data file for "Write Std datafile".
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../scan_input/test_files.h"
#include "include/shared.h"
#include "include/shell_services.h"

namespace {

class NewStandardDataFile : public kvtest::FileTest {
protected:
    void SetUp() override {
        FileTest::SetUp();
        PROGID.PROG_TITLE = "Kelvorantide v3.72";
    }
};

TEST_F(NewStandardDataFile, ReplacesAnExistingFileOnceTheUserSaysSoAndLogsItsName) {
    kvtest::write_bytes(dir / "copy.rfl", "old contents\r\n");
    ASSERT_EQ(kvtest::open_log(dir / "run_Kelvor.log"), rt::IOS_OK);
    FILEINFO.LOGOPEN = 1;
    wl::script::load_lines({"file " + (dir / "copy.rfl").string(), "answer 6"});
    int status = 0;
    OPEN_NEWSTD(status, 26);
    EXPECT_EQ(status, 0);
    ASSERT_TRUE(rt::unit_connected(26));
    rt::unit_write_record(26, "H");
    rt::units_close_all();
    EXPECT_EQ(kvtest::read_bytes(dir / "copy.rfl"), "H\r\n");
    std::string name = (dir / "copy.rfl").string().substr(0, 60);
    name.resize(60, ' ');
    EXPECT_EQ(kvtest::read_bytes(dir / "run_Kelvor.log"), "\r\n\r\n STANDARD DATA FILE OPENED: " + name + "\r\n");
    EXPECT_EQ(wl::script::transcript(),
              (std::vector<std::string>{"file Kelvorantide v3.72: Create Standard Data File -> " + (dir / "copy.rfl").string(),
                                        "ask Kelvorantide v3.72: Create Standard Data File | copy.rfl already exists: "
                                        "Replace it (Yes), choose another file (No) or write nothing (Cancel) -> 6"}));
}

TEST_F(NewStandardDataFile, AddsTheDefaultExtensionToABareName) {
    wl::script::load_lines({"file " + (dir / "copy").string()});
    int status = 0;
    OPEN_NEWSTD(status, 26);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(rt::unit_path(26), (dir / "copy.rfl").string());
}

TEST_F(NewStandardDataFile, CancelOrAFileInUseOpensNothing) {
    wl::script::load_lines({"cancel"});
    int status = 0;
    OPEN_NEWSTD(status, 26);
    EXPECT_EQ(status, 1);
    EXPECT_FALSE(rt::unit_connected(26));

    // The working data file itself is refused, never truncated.
    kvtest::write_bytes(dir / "work.rfl", "H\r\nDATA\r\n");
    ASSERT_EQ(kvtest::open_read(25, dir / "work.rfl"), rt::IOS_OK);
    wl::script::load_lines({"file " + (dir / "work.rfl").string()});
    status = 0;
    OPEN_NEWSTD(status, 26);
    EXPECT_EQ(status, 1);
    EXPECT_FALSE(rt::unit_connected(26));
    EXPECT_EQ(kvtest::read_bytes(dir / "work.rfl"), "H\r\nDATA\r\n");
}

}  // namespace
