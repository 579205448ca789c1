// "Create Exp file": the experiment file chosen in the toolkit's file browser, line by line on
// a small state: header, the two report blocks, the cell and matrix, the diffractometer lines.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "params_ui.h"

namespace {

const std::string ASK_EXP = "file " + kvtest::TITLE + "   Create Experiment File -> ";

class ExpFile : public kvtest::ReportFileTest {
protected:
    void SetUp() override {
        ReportFileTest::SetUp();
        TOTALS.INUM(3) = 5;
        TOTALS.IC(1) = 4;
        WAVES.NWAVE = 1;
        WAVES.WAVE(1) = 0.71073f;
        FITPAR.PKVALS(6, 1) = 0.5f;
        MONOCH.MONO_TYPE = 1;
        MONOCH.MONO_2THETA = 13.1f;
        MONOCH.MONO_DIHEDRAL = 90.0f;
        MONOCH.MONO_SENSE = -1;
        GONIO.PARITY(2) = -1;  // the data are on Busing-Levy axes whatever the instrument's senses
    }

    // The two report blocks as they stand in a plain file.
    std::string blocks() {
        EXPECT_EQ(kvtest::open_write(27, dir / "blocks"), rt::IOS_OK);
        WRITE_INPUT(27);
        WRITE_FIT_SUMMARY(27);
        rt::unit_close(27);
        return kvtest::read_bytes(dir / "blocks");
    }
    // The file with its creation date checked and replaced by <date>.
    std::string written(const std::string& name) {
        return kvtest::undated(kvtest::read_bytes(dir / name), 1);
    }
};

// Header with the input and output names on one record, the input by its name alone.
std::string header(const std::string& out_name) {
    return kvtest::join({
        "      THIS FILE CREATED BY KELVO-RANTIDE v3.72 ON  <date>",
        "",
        "      INPUT DATA FILE WAS: scan.dat      OUTPUT DATA FILE WAS: " + out_name,
        "TITLE TEST CRYSTAL" + std::string(48, ' '),
        "",
        "",
    });
}

const std::vector<std::string> DIFFRACTOMETER = {
    "",
    "",
    "      Diffractometer parameters: ",
    "      Note: Data file has angles in Busing-Levy, UB is on Busing Levy Axes",
    "",
    "WAVEL     1  0.710730  0.000000  0.500000",
    "MONO      1   13.1000   90.0000   -1",
    "PARITY 1,1,1,1",
    "BLAXES 1,2,3",
    "",
    "",
};

TEST_F(ExpFile, WithoutMatrixNoCellRecordsAtAll) {
    kvtest::write_bytes(dir / "run.exp", std::string(20000, 'x') + "\r\n");  // an older, longer file
    script({"file " + path("run"), "answer 6"});
    CREATE_EXP();
    EXPECT_EQ(transcript(), (std::vector<std::string>{ASK_EXP + path("run"),
                                                      "ask " + kvtest::TITLE + ": Create Experiment File | run.exp already "
                                                      "exists: Replace it (Yes), choose another file (No) or write "
                                                      "nothing (Cancel) -> 6"}));
    EXPECT_FALSE(rt::unit_connected(26));
    const std::string text = written("run.exp");
    EXPECT_EQ(text, header("") + blocks() + kvtest::join(DIFFRACTOMETER));
    EXPECT_EQ(text.find("CELL"), std::string::npos);
}

TEST_F(ExpFile, WithMatrixCellAndUbTwiceIndentedThenFromColumnOne) {
    FILEINFO.OUT_NAME = "scan.hkl";
    FILEINFO.OUTOPEN = 1;
    UNITCELL.UBOK = 1;
    const float cell[7] = {5.4321f, 6.5f, 7.25f, 90.0f, 101.5f, 90.0f, 254.125f};
    for (int i = 1; i <= 7; ++i) UNITCELL.CELL(i) = cell[i - 1];
    for (int i = 1; i <= 3; ++i) UNITCELL.UB(i, i) = 0.1f * float(i);
    UNITCELL.UB(1, 3) = -0.012345f;
    script({"file " + path("run.exp")});
    CREATE_EXP();
    const std::vector<std::string> cell_ub = {
        "CELL      5.4321    6.5000    7.2500   90.0000  101.5000   90.0000  254.1250",
        "UB      0.100000  0.000000 -0.012345",
        "UB      0.000000  0.200000  0.000000",
        "UB      0.000000  0.000000  0.300000",
    };
    const std::string text = written("run.exp");
    const std::string fit = blocks();
    EXPECT_EQ(text, header("scan.hkl") + fit + kvtest::join(cell_ub) + kvtest::join(DIFFRACTOMETER));
    EXPECT_NE(fit.find("        CELL      5.4321"), std::string::npos);  // the indented copy
}

TEST_F(ExpFile, CancelWritesNothingAndLeavesNoFileOpen) {
    script({"cancel"});
    CREATE_EXP();
    EXPECT_FALSE(rt::unit_connected(26));
    EXPECT_FALSE(std::filesystem::exists(dir / "run.exp"));
    EXPECT_EQ(transcript(), std::vector<std::string>{ASK_EXP + "cancel"});
}

}  // namespace
