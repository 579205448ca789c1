// "Calc Background" over a small standard data file written by the program's own writer.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "gui_toolkit/f77gui.h"
#include "include/profile_fit.h"
#include "include/scan_input.h"
#include "include/shared.h"
#include "include/shell_services.h"
#include "platform/script.h"
#include "runtime/units.h"

namespace {

struct Scan {
    float tth;
    int left, right;  // end counts
    float scale;
    char code;
};

class CalcBackground : public ::testing::Test {
protected:
    void SetUp() override {
        reset_shared_records();
        reset_toolkit();
        GRAPHICS_SETUP();  // "Calc Background" ends in the background dialog
        // The user leaves the background dialog with "Quit" after each build.
        wl::script::load_lines({"press 578", "press 578"});
        namespace fs = std::filesystem;
        const fs::path dir = fs::path(KV_BINARY_DIR) / "process_background_tmp";
        fs::create_directories(dir);
        path = (dir / (std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + ".rfl")).string();
    }
    void TearDown() override { rt::unit_close(25); }

    // Writes the scans as a standard data file and opens it as the file in use.
    void write(const std::vector<Scan>& scans) {
        rt::OpenSpec out;
        out.status = rt::FileStatus::Replace;
        out.action = rt::FileAction::Write;
        ASSERT_EQ(rt::unit_open(26, path, out), rt::IOS_OK);
        WRITE_HEADER_STDDATA(26);
        int seq = 0;
        for (const Scan& s : scans) {
            rt::FArray<int, 3> ih;
            ih(1) = ++seq;
            rt::FArray<float, 4> angl;
            angl(1) = s.tth;
            rt::FArray<int, MAXSTEP> counts;
            for (int i = 1; i <= 10; ++i) counts(i) = 400;
            counts(1) = s.left;
            counts(10) = s.right;
            int status = 0;
            WRITE_REF_STDDATA(26, status, seq, ih, 0.0f, angl, 10, 0.02f, s.scale, 0, rt::FText<1>(std::string(1, s.code)),
                              counts, MAXSTEP);
            ASSERT_EQ(status, 0);
        }
        rt::unit_close(26);
        rt::OpenSpec in;
        in.status = rt::FileStatus::Old;
        in.action = rt::FileAction::Read;
        ASSERT_EQ(rt::unit_open(25, path, in), rt::IOS_OK);
        FILEINFO.LUNSTD = 25;
    }

    std::string path;
};

}  // namespace

TEST_F(CalcBackground, BuildsBothModelsFromEveryScanAndRewinds) {
    // Normalised end backgrounds (mean of the end counts x SCALE): 100 at 10 and 20 degrees,
    // 60 at 30 and 50 at 60 degrees.
    write({{10.0f, 40, 60, 2.0f, 'N'}, {-20.0f, 100, 100, 1.0f, 'N'}, {30.0f, 60, 60, 1.0f, 'N'},
           {60.0f, 25, 25, 2.0f, 'N'}});
    FIXEDBG.BGS(50) = 999.0f;  // from an earlier data set
    PROCESS_BACKGROUND();
    auto& B = FIXEDBG.BGS;
    EXPECT_FLOAT_EQ(B(5), 5.0f * 10.0f);             // ramp below the first bin
    EXPECT_FLOAT_EQ(B(15), 100.0f);                   // between 10 and the negative -20 degrees
    EXPECT_FLOAT_EQ(B(70), 50.0f);                    // repeated beyond the last scan
    EXPECT_LT(B(50), 60.0f);                          // nothing of the earlier table
    EXPECT_FLOAT_EQ(FITPAR.PKVALS(1, 3), 50.0f);      // mean above 45 degrees
    // The current reflection is the last one read; the next read gives the first again.
    EXPECT_EQ(REFLN.ISEQ, 4);
    int status = 0;
    READ_SCAN_STDDATA(25, 0, 0, rt::FArray<int, 3>{}, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(REFLN.ISEQ, 1);
}

TEST_F(CalcBackground, WeakScansStayOutWhenSkipped) {
    // A weak scan at 40 degrees with a high background: it enters the table only when weak
    // scans are not skipped.
    write({{20.0f, 100, 100, 1.0f, 'N'}, {40.0f, 900, 900, 1.0f, 'W'}, {60.0f, 100, 100, 1.0f, 'N'}});
    for (int skip : {0, 1}) {
        FITOPT.SKIP_WEAK = skip;
        PROCESS_BACKGROUND();
        if (skip)
            EXPECT_FLOAT_EQ(FIXEDBG.BGS(40), 100.0f);
        else
            EXPECT_GT(FIXEDBG.BGS(40), 800.0f);
    }
    // The end of the data is announced by the reader's notice at each pass.
    int eof = 0;
    for (const auto& l : wl::script::transcript())
        if (l.find("End of File") != std::string::npos) ++eof;
    EXPECT_EQ(eof, 2);
}

TEST_F(CalcBackground, EmptyDataSetLeavesTheModelsAsTheyWere) {
    write({});
    FIXEDBG.BGS(40) = 12.0f;
    FITPAR.PKVALS(1, 1) = 3.0f;
    PROCESS_BACKGROUND();
    EXPECT_EQ(FIXEDBG.BGS(40), 12.0f);
    EXPECT_EQ(FITPAR.PKVALS(1, 1), 3.0f);
}
