// The fit summary block as the experiment file holds it (columns as built).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../scan_input/test_files.h"
#include "include/shared.h"
#include "include/shell_services.h"

namespace {

class FitSummary : public kvtest::FileTest {
protected:
    void SetUp() override {
        FileTest::SetUp();
        FILEINFO.IN_NAME = "scan.dat";
        for (int i = 1; i <= 6; ++i) FITPAR.IREF(i) = 1;
    }
    std::string block() {
        EXPECT_EQ(kvtest::open_write(26, dir / "exp"), rt::IOS_OK);
        WRITE_FIT_SUMMARY(26);
        rt::unit_close(26);
        return kvtest::read_bytes(dir / "exp");
    }
    // The treatment wording of parameter i, as its record shows it.
    std::string label(int i) {
        const std::string text = block();
        std::size_t at = 0;
        for (int k = 0; k < 2 + i; ++k) at = text.find("\r\n", at) + 2;
        const std::string rec = text.substr(at, text.find("\r\n", at) - at);
        EXPECT_EQ(rec.size(), 69u) << rec;
        return std::string(rt::trim_right(rec.substr(19)));
    }
};

TEST_F(FitSummary, WholeBlockWithCellOutputFileAndCounts) {
    FITPAR.IREF(5) = 0;
    FITPAR.VALS(5) = 0.5f;
    UNITCELL.UBOK = 1;
    const float cell[7] = {5.4321f, 7.1234f, 9.8765f, 90.0f, 90.0f, 90.0f, 382.17f};
    for (int k = 1; k <= 7; ++k) UNITCELL.CELL(k) = cell[k - 1];
    UNITCELL.UB(1, 1) = 0.0702552f;
    UNITCELL.UB(2, 2) = -0.1031201f;
    UNITCELL.UB(3, 3) = 0.0829395f;
    for (int k = 1; k <= 11; ++k) TOTALS.IC(k) = k == 1 ? 40 : k;
    TOTALS.NPASS2 = 7;
    TOTALS.NPASS2OK = 3;
    FITOPT.SKIP_WEAK = 1;
    FILEINFO.OUTOPEN = 1;
    FILEINFO.OUT_NAME = "scan.hkl";
    auto param = [&](const char* name, const std::string& lab) {
        std::string n(name);
        n.resize(10, ' ');
        std::string l = lab;
        l.resize(50, ' ');
        return "        " + n + " " + l;
    };
    const std::vector<std::string> expected = {
        "",
        "        PROFILE PARAMETER REFINEMENT SETTINGS:",
        "",
        param("BACKGROUND", "REFINED"),
        param("FWHM", "REFINED"),
        param("INTENSITY", "REFINED"),
        param("POSITION", "REFINED"),
        param("ETA", "FIXED AT 0.50"),
        param("IRATIO", "REFINED"),
        "",
        "        CELL      5.4321    7.1234    9.8765   90.0000   90.0000   90.0000  382.1700",
        "        UB      0.070255  0.000000  0.000000",
        "        UB      0.000000 -0.103120  0.000000",
        "        UB      0.000000  0.000000  0.082939",
        "",
        "        REFLECTIONS AS CLASSIFIED BY INTEGRATION",
        "        FILE: scan.dat",
        "",
        "        PASSED                            40",
        "        ERROR IN LEAST SQUARES             2",
        "        NO CONVERGENCE IN LEAST-SQUARES    3",
        "        DATA ERROR                         4",
        "        BACKGROUND OUT OF BOUNDS           5",
        "        INTENSITY REFINED < 0              6",
        "        POSITION OUT OF RANGE              7",
        "        WIDTH OUT OF RANGE                 8",
        "        ALPHA1/2 RATIO OUT OF RANGE        9",
        "        RWP EXCEEDS SET LIMIT             10",
        "        ETA PARAMETER OUT OF RANGE        11",
        "",
        "        WEAK REFLECTIONS EXCLUDED FROM THESE TOTALS",
        "",
        "               7 REFLECTIONS REFITTED,     3 RECOVERED",
        "              43 TOTAL REFLECTIONS PASSED",
        "",
        "           THESE REFLECTIONS WRITTEN TO: scan.hkl",
        "",
        " " + std::string(60, '*'),
        "",
        "",
    };
    EXPECT_EQ(block(), kvtest::join(expected));
}

TEST_F(FitSummary, WithoutCellOrOutputFileThoseRecordsAreLeftOut) {
    const std::string text = block();
    EXPECT_EQ(text.find("CELL"), std::string::npos);
    EXPECT_EQ(text.find("WRITTEN TO"), std::string::npos);
    EXPECT_NE(text.find("REFINED" + std::string(43, ' ') + "\r\n\r\n        REFLECTIONS AS CLASSIFIED BY INTEGRATION"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("WEAK REFLECTIONS INCLUDED IN THESE TOTALS"), std::string::npos);
    EXPECT_NE(text.find("               0 TOTAL REFLECTIONS PASSED\r\n\r\n " + std::string(60, '*')),
              std::string::npos);
}

TEST_F(FitSummary, ParameterWordingFollowsTheRefineAndDefaultFlags) {
    struct Case {
        int i;
        int iref, idef;
        int bgtype;
        const char* label;
    };
    FITPAR.PKVALS(1, 1) = 1.5f;
    FITPAR.PKVALS(1, 2) = 0.05f;
    FITPAR.PKVALS(1, 3) = 3.2f;
    FITPAR.PKVALS(2, 1) = 0.1f;
    FITPAR.PKVALS(2, 2) = 0.02f;
    FITPAR.VALS(5) = 0.123f;
    FITPAR.VALS(6) = 0.5f;
    FIXEDBG.NSTEP_BG = 5;
    const Case cases[] = {
        {1, 1, 1, 2, "REFINED"},
        {1, 0, 1, 0, "FIXED TO AVERAGE OF END STEPS"},
        {1, 0, 1, 1, "FIXED TO AVERAGE VALUE FOR 2THETA"},
        {1, 0, 1, 2, "FIXED AT 1.50EXP(-0.05*TTH) + 3.20"},
        {1, 0, 1, 3, "FIXED TO AVERAGE OF   5 END STEPS"},
        {1, 0, 0, 3, "FIXED TO AVERAGE OF END STEPS"},
        {1, 0, 1, 7, "FIXED TO AVERAGE OF END STEPS"},  // a model number the program does not know
        {2, 0, 1, 0, "FIXED AT 0.100+0.020TAN(THETA)"},
        {2, 0, 0, 0, "FIXED AT VALUE DETERMINED FROM PROFILE"},
        {3, 0, 1, 0, "FIXED"},
        {4, 1, 1, 0, "REFINED, BUT FIXED FROM UB IF FAIL ON PASS 1"},
        {4, 0, 1, 0, "FIXED TO POSITION CALCULATED FROM UB"},
        {4, 0, 0, 0, "FIXED AT PEAK MAXIMUM"},
        {4, 1, 0, 0, "REFINED"},
        {5, 0, 0, 0, "FIXED AT 0.12"},
        {6, 0, 1, 0, "FIXED AT 0.50"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        FITPAR.IREF(c.i) = c.iref;
        FITPAR.IDEF(c.i) = c.idef;
        FIXEDBG.IBGTYPE = c.bgtype;
        EXPECT_EQ(label(c.i), c.label);
        FITPAR.IREF(c.i) = 1;
        FITPAR.IDEF(c.i) = 0;
    }
    // A coefficient of 10 or more does not fit its field.
    FITPAR.IREF(1) = 0;
    FITPAR.IDEF(1) = 1;
    FIXEDBG.IBGTYPE = 2;
    FITPAR.PKVALS(1, 1) = 12.0f;
    EXPECT_EQ(label(1), "FIXED AT ****EXP(-0.05*TTH) + 3.20");
}

}  // namespace
