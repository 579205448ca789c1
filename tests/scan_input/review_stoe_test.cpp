// "Stoe" header: the standards line gives the count, then, read again from its start, the count
// once more, a second integer and a real (both unused) and the h k l of every standard.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "include/scan_input.h"
#include "include/shared.h"
#include "runtime/units.h"
#include "test_files.h"

namespace {

class StoeStandardsLine : public kvtest::ReaderTest {
protected:
    void SetUp() override {
        ReaderTest::SetUp();
        PROGID.PROG_TITLE = "Kelvorantide v3.72";
        FILEINFO.LUNSTD = 25;
    }
};

TEST_F(StoeStandardsLine, StandardsFollowTheCountTheSecondIntegerAndTheReal) {
    struct Case {
        const char* line;
        int nstd;
        std::vector<int> hkl;  // h k l of every standard, in order
    };
    const Case cases[] = {
        {"STDS 2, 2, 0.0, 1, 0, 0, 0, 2, 0", 2, {1, 0, 0, 0, 2, 0}},
        {"stds 1 7 3.5 -1 2 -3", 1, {-1, 2, -3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        reset_shared_records();
        open_input("scans.d00", {c.line, "DATA"}, 5);
        int ierr = 99;
        const int ended = kvtest::exit_status([&] { READ_HEADER_STOE(ierr); });
        ASSERT_EQ(ended, -1);
        EXPECT_EQ(ierr, 0);
        ASSERT_EQ(STDREF.NSTD, c.nstd);
        for (int i = 1; i <= c.nstd; ++i)
            for (int j = 1; j <= 3; ++j) EXPECT_EQ(STDREF.IHSTD(i, j), c.hkl[std::size_t(3 * (i - 1) + j - 1)]);
    }
}

TEST_F(StoeStandardsLine, StandardOfTheHeaderIsRecognisedInTheData) {
    const std::vector<std::string> lines = {
        "STDS 2 2 0.0 1 0 0 0 2 0",
        "SCAN 0 0 0.02",  // a step width: a scan without one cannot be used
        "DATA",
        " 0 2 0 40 0.5 0.5 0 0 4 0 0.0 0 12.000 7.500 0.000 90.000",
        "P 2 5 6",
    };
    open_input("scans.d00", lines, 5);
    ASSERT_EQ(convert(), -1);
    const std::vector<REFLN_t> r = read_back(25);
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r[0].ISTD, 2);
    EXPECT_EQ(r[0].SCANCODE, "I");
    EXPECT_EQ(r[0].NSTEP, 2);
}

}  // namespace
