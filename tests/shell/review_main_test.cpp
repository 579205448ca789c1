// The main program after a cancelled "Open data file": the data set in use stays the one the
// fit modes step through.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "main_ui.h"
#include "shell/config_file.h"
#include "shell/kelvor_main.h"

namespace {

class MainAfterCancel : public kvtest::ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        SET_PROGRAM_DIRECTORY(dir.string());
        kvtest::copy_data_set("small", dir);
    }
    void TearDown() override {
        SET_PROGRAM_DIRECTORY("");
        ShellTest::TearDown();
    }
};

TEST_F(MainAfterCancel, ManualFitStillStepsThroughThePreviousDataSet) {
    rt::units_close_all();
    reset_toolkit();
    reset_shared_records();
    script({"file " + (dir / "small.rfl").string(), "press 470", "file " + (dir / "small.par").string(),
            "press 312", "cancel", "press 321", "press 103", "press 103", "press 101", "press 101", "answer 2"});
    EXPECT_EQ(rt::run_program([] { MAIN__(); }), 0);
    EXPECT_EQ(REFLN.ISEQ, 3);
    for (const std::string& l : transcript()) EXPECT_EQ(l.find("No reflection loaded"), std::string::npos) << l;
}

}  // namespace
