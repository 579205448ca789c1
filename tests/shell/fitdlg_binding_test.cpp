// The fitting dialog bound to the fit-parameter record: what the dialog shows of the record,
// what it gives back, the limit fields that follow their test toggles, and the fit result.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "include/profile_fit.h"
#include "params_ui.h"

namespace {

const std::string FITTING = kvtest::TITLE + ": Fitting Controls & Results";

class FittingDialog : public kvtest::BuiltUi {
protected:
    // The callback number of the next user action in the script.
    static int next_action() {
        int cb = 0;
        EXPECT_EQ(exit_status([&] { gmAction(cb); }), -1);
        return cb;
    }
};

TEST_F(FittingDialog, WriteShowsTheRecordAndReadGivesItBack) {
    FITPAR_t& fp = FITPAR;
    const float vals[6] = {35.25f, 0.123456f, 98765.4321f, -0.0123f, 0.4567f, 0.5f};
    const int iref[6] = {1, 2, 1, 0, 1, 0};
    const int idef[6] = {0, 1, 1, 2, 0, 1};
    const int tflag[7] = {1, 0, 2, 1, 0, 0, 1};
    for (int p = 1; p <= 6; ++p) {
        fp.VALS(p) = vals[p - 1];
        fp.IREF(p) = iref[p - 1];
        fp.IDEF(p) = idef[p - 1];
        fp.FITLIM(p, 1) = -1.5f * p;
        fp.FITLIM(p, 2) = 10.25f * p;
    }
    for (int p = 1; p <= 7; ++p) fp.TFLAG(p) = tflag[p - 1];
    fp.FITLIM(4, 1) = 0.3f;  // a lower limit above the upper one is shown and kept as it is
    fp.FITLIM(4, 2) = -0.2f;
    fp.RWPMAX = 25.5f;

    WRITE_FIT_PARAMETERS();
    EXPECT_TRUE(shown(4, 20));
    EXPECT_EQ(transcript(), std::vector<std::string>{"show " + FITTING});
    for (int p = 1; p <= 6; ++p) {
        SCOPED_TRACE(p);
        EXPECT_EQ(value(4, 20 + p), double(vals[p - 1]));  // the full number, not the 1 or 3 decimals shown
        EXPECT_EQ(toggle(4, 30 + p), iref[p - 1] == 1);
        EXPECT_EQ(toggle(4, 60 + p), idef[p - 1] == 1);
        const bool on = tflag[p - 1] != 0;
        EXPECT_EQ(toggle(4, 70 + p), on);
        EXPECT_EQ(state(4, 80 + p), on ? STATUS_ACTIVE : STATUS_HIDDEN);
        EXPECT_EQ(state(4, 90 + p), on ? STATUS_ACTIVE : STATUS_HIDDEN);
        EXPECT_EQ(value(4, 80 + p), on ? double(fp.FITLIM(p, 1)) : 0.0);
        EXPECT_EQ(value(4, 90 + p), on ? double(fp.FITLIM(p, 2)) : 0.0);
    }
    EXPECT_EQ(state(4, 63), STATUS_HIDDEN);  // the intensity row has no visible default toggle
    EXPECT_EQ(toggle(4, 77), 1);
    EXPECT_EQ(state(4, 97), STATUS_ACTIVE);
    EXPECT_EQ(value(4, 97), 25.5);

    // Read back over a record changed meanwhile: flags of 2 come back as 0 (refine, default) or
    // 1 (test); the limits of the tests that are off are not read.
    for (int p = 1; p <= 6; ++p) {
        fp.VALS(p) = 0.0f;
        fp.FITLIM(p, 1) = fp.FITLIM(p, 2) = 777.0f;
    }
    fp.RWPMAX = 0.0f;
    READ_FIT_PARAMETERS();
    const int iref_back[6] = {1, 0, 1, 0, 1, 0};
    const int idef_back[6] = {0, 1, 1, 0, 0, 1};
    const int tflag_back[7] = {1, 0, 1, 1, 0, 0, 1};
    for (int p = 1; p <= 6; ++p) {
        SCOPED_TRACE(p);
        EXPECT_EQ(fp.VALS(p), vals[p - 1]);
        EXPECT_EQ(fp.IREF(p), iref_back[p - 1]);
        EXPECT_EQ(fp.IDEF(p), idef_back[p - 1]);
        EXPECT_EQ(fp.TFLAG(p), tflag_back[p - 1]);
        const bool on = tflag_back[p - 1] == 1;
        EXPECT_EQ(fp.FITLIM(p, 1), on ? (p == 4 ? 0.3f : -1.5f * p) : 777.0f);
        EXPECT_EQ(fp.FITLIM(p, 2), on ? (p == 4 ? -0.2f : 10.25f * p) : 777.0f);
    }
    EXPECT_EQ(fp.TFLAG(7), 1);
    EXPECT_EQ(fp.RWPMAX, 25.5f);
}

TEST_F(FittingDialog, TestSwitchedOffAndOnAgainTakesTheLimitsItsFieldsLastShowed) {
    FITPAR_t& fp = FITPAR;
    fp.TFLAG(2) = 1;
    fp.FITLIM(2, 1) = 0.01f;
    fp.FITLIM(2, 2) = 0.5f;
    WRITE_FIT_PARAMETERS();

    script({"toggle 4 72 0"});
    EXPECT_EQ(next_action(), 472);
    READ_FIT_PARAMETERS();
    EXPECT_EQ(fp.TFLAG(2), 0);
    EXPECT_EQ(fp.FITLIM(2, 1), 0.01f);

    // New limits reach the record while the test is off (a re-read parameter file): the hidden
    // fields keep their numbers.
    fp.FITLIM(2, 1) = 9.0f;
    fp.FITLIM(2, 2) = 99.0f;
    WRITE_FIT_PARAMETERS();
    EXPECT_EQ(state(4, 82), STATUS_HIDDEN);
    EXPECT_EQ(state(4, 92), STATUS_HIDDEN);
    EXPECT_EQ(value(4, 82), double(0.01f));

    // Switched on again, this test takes 0.01 and 0.5 from its fields; the eta test, off since
    // start-up, takes the 0 and 0 its fields were created with.
    script({"toggle 4 72 1", "toggle 4 75 1"});
    EXPECT_EQ(next_action(), 472);
    EXPECT_EQ(next_action(), 475);
    READ_FIT_PARAMETERS();
    EXPECT_EQ(fp.FITLIM(2, 1), 0.01f);
    EXPECT_EQ(fp.FITLIM(2, 2), 0.5f);
    EXPECT_EQ(fp.FITLIM(5, 1), 0.0f);
    EXPECT_EQ(fp.FITLIM(5, 2), 0.0f);
    WRITE_FIT_PARAMETERS();
    EXPECT_EQ(state(4, 82), STATUS_ACTIVE);
    EXPECT_EQ(value(4, 92), double(0.5f));
}

TEST_F(FittingDialog, TypedNumbersReachTheRecordInFullWithoutChecks) {
    FITPAR.TFLAG(4) = 1;
    WRITE_FIT_PARAMETERS();
    script({"set 4 23 123456.789", "set 4 22 0.12345", "set 4 84 0.3", "set 4 94 -0.2", "toggle 4 28 1",
            "press 429"});
    EXPECT_EQ(next_action(), 428);  // "Skip weak reflns" reaches the record only when the dialog is read
    EXPECT_EQ(FITOPT.SKIP_WEAK, 0);
    EXPECT_EQ(next_action(), 429);
    READ_FIT_PARAMETERS();
    EXPECT_EQ(FITPAR.VALS(3), 123456.789f);  // the field shows 123456.8 (and a 6-wide field asterisks)
    EXPECT_EQ(FITPAR.VALS(2), 0.12345f);
    EXPECT_EQ(FITPAR.FITLIM(4, 1), 0.3f);
    EXPECT_EQ(FITPAR.FITLIM(4, 2), -0.2f);
    EXPECT_EQ(FITOPT.SKIP_WEAK, 1);
    EXPECT_TRUE(transcript().empty());  // no message
}

TEST_F(FittingDialog, RefinedResultShowsValuesEsdsRwpAndSixStatusCharacters) {
    struct Case {
        const char* flag;  // nullptr: never set (NUL characters)
        std::string shown;
    };
    const Case cases[] = {{nullptr, "      "}, {"NF 1U ", "NF 1U "}, {"WRE2", "WRE2  "}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shown);
        if (c.flag)
            REFLN.FLAG = c.flag;
        else
            REFLN.FLAG.clear();
        // Esds as the program's esd rule shows them: a refined FWHM's 0.00034 is 0.0004, an
        // intensity's 25 is 30, a parameter not refined has esd 0.
        const float esd[6] = {0.5f, 0.00034f, 25.0f, 0.0012f, 0.0f, 0.1f};
        const char* esd_text[6] = {"0.5", "0.0004", "30", "0.0012", "fixed", "0.10"};
        for (int p = 1; p <= 6; ++p) {
            FITPAR.VALS(p) = 1.125f * p;
            FITPAR.SIGVAL(p) = esd[p - 1];
            for (int k : {40 + p, 50 + p}) gmSetWidgetStatus(GRAPHICS.IWID(4, k), STATUS_GREYED);
        }
        gmSetValueSetting(GRAPHICS.IWID(4, 21), 7.0f);
        FITPAR.RWP = 12.75f;
        WRITE_REFINED_PARAMETERS();
        for (int p = 1; p <= 6; ++p) {
            EXPECT_EQ(value(4, 40 + p), double(1.125f * p));
            EXPECT_EQ(w(4, 50 + p).text, esd_text[p - 1]);
            EXPECT_EQ(state(4, 40 + p), STATUS_ACTIVE);
            EXPECT_EQ(state(4, 50 + p), STATUS_ACTIVE);
        }
        EXPECT_EQ(value(4, 47), 12.75);
        rt::FText<6> flags;
        gmEnqTextSetting(GRAPHICS.IWID(4, 48), flags);
        EXPECT_EQ(flags.view(), c.shown);
        EXPECT_EQ(value(4, 21), 7.0);  // the start values are not touched
        EXPECT_TRUE(shown(4, 20));
    }
}

TEST_F(FittingDialog, FlagChangeRecomputesStartValuesAndKeepsTypedWidthsWithDefaultsOff) {
    REFLN_t& r = REFLN;
    const float counts[7] = {30, 40, 200, 90, 300, 120, 50};
    r.NSTEP = 7;
    r.ANGL(1) = 20.0f;
    for (int i = 1; i <= 7; ++i) {
        r.COUNTS(i) = counts[i - 1];
        r.XPOS(i) = 0.02f * float(i - 4);
    }
    r.CMAX = 300.0f;
    r.IMAX = 5;
    WRITE_FIT_PARAMETERS();
    SET_FIT_PARAMETERS();

    // What a fit mode does on a refine toggle (431 to 499): read the dialog, then the start
    // values for the current scan. The typed background is replaced, the typed FWHM kept.
    script({"set 4 21 555", "set 4 22 0.1", "toggle 4 31 1"});
    const int cb = next_action();
    ASSERT_EQ(cb, 431);
    READ_FIT_PARAMETERS();
    SET_FIT_PARAMETERS();
    EXPECT_EQ(FITPAR.IREF(1), 1);
    EXPECT_EQ(FITPAR.VALS(1), 40.0f);  // mean of the two end counts
    EXPECT_EQ(value(4, 21), 40.0);
    EXPECT_EQ(FITPAR.VALS(2), 0.1f);
    EXPECT_EQ(FITPAR.VALS(3), (300.0f - 40.0f) * 0.1f);
    EXPECT_EQ(value(4, 23), double((300.0f - 40.0f) * 0.1f));
}

}  // namespace
