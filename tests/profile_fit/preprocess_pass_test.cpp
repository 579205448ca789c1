// The preprocessing pass driven through the scripted front end on a generated data set: the
// preprocessing dialog, the pass under the timer with Stop, Start and Exit, which reflections
// reach the fitted-reflection table and what a row holds, the threshold, the full table, a read
// error, the closing box and log summary, and the menu entries that SET_PREPROCESS governs.
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "manual_loaded_set.h"

namespace {

using kvtest::BOX;

const std::string HEADING = "\r\n\r\n" + std::string(60, '*') + "\r\n" + std::string(10, ' ') +
                            "SUMMARY OF REFLECTIONS FIT WITH PREPROCESS UTILITY\r\n";
const std::string FITTING_DIALOG = kvtest::TITLE + ": Fitting Controls & Results";
const std::string PREPROCESS_DIALOG = kvtest::TITLE + ": Preprocessing Control";
const std::string TOO_MANY = BOX + "Too many reflections: Increase I/sig";
std::string stored_box(const std::string& count) { return BOX + count + " Reflections stored for fitting"; }

// The accepted reflections of the data set that are not standards, in file order: the weak
// one skipped, the two set off their peaks and the one without a peak rejected for position.
const std::vector<std::string> STRONG = {"1 1 0", "0 2 0", "1 1 1",  "2 0 0", "1 2 1", "2 2 0", "1 0 -2",
                                         "3 1 0", "2 0 2", "0 3 1", "1 2 -3", "2 3 1", "4 0 0"};

class Preprocess : public kvtest::LoadedSet {
protected:
    static void pass(const std::vector<std::string>& lines) {
        script(lines);
        START_PREPROCESS();
    }
    // h k l of the rows of the table.
    static std::vector<std::string> rows() {
        std::vector<std::string> r;
        for (int n = 1; n <= FITVALS.NFIT; ++n)
            r.push_back(std::to_string(FITVALS.IHFIT(n, 1)) + " " + std::to_string(FITVALS.IHFIT(n, 2)) + " " +
                        std::to_string(FITVALS.IHFIT(n, 3)));
        return r;
    }
    static void expect_menus(const std::vector<int>& states) {
        for (int k = 32; k <= 36; ++k) EXPECT_EQ(state_of(3, k), states[k - 32]) << "menu entry " << k;
    }
};

TEST_F(Preprocess, APassStoresTheStrongAcceptedReflectionsThatAreNotStandards) {
    load();
    SET_PREPROCESS(0, 0);
    TOTALS.NPASS2 = 4;
    FITVALS.NFIT = 999;
    pass({"toggle 4 28 1", "press 53", "run"});
    EXPECT_EQ(rows(), STRONG);
    // Every reflection but the weak one fitted and counted: 16 accepted (3 standards), 3 rejected
    // with P; the counters of an earlier pass cleared.
    EXPECT_EQ(TOTALS.IC(1), 16);
    EXPECT_EQ(TOTALS.IC(7), 3);
    EXPECT_EQ(fits_counted(), 19);
    EXPECT_EQ(TOTALS.NPASS2, 0);
    EXPECT_EQ(REFLN.ISEQ, kvtest::MAINROAD_REFLECTIONS);

    // The last row is the reflection still on display, as its fit left it.
    const int n = FITVALS.NFIT;
    EXPECT_EQ(FITVALS.ANGLESFIT(n, 1), REFLN.ANGL(1));
    EXPECT_EQ(FITVALS.ANGLESFIT(n, 2), FITPAR.VALS(4));
    EXPECT_EQ(FITVALS.ANGLESFIT(n, 3), REFLN.ANGL(3));
    EXPECT_EQ(FITVALS.ANGLESFIT(n, 4), REFLN.ANGL(4));
    EXPECT_EQ(FITVALS.FWHMFIT(n, 1), FITPAR.VALS(2));
    EXPECT_EQ(FITVALS.FWHMFIT(n, 2), FITPAR.SIGVAL(2));
    EXPECT_EQ(FITVALS.BACKFIT(n), FITPAR.VALS(1));
    // The first row against what its scan was built from (1 1 0: 2theta 7.2565, peak at omega 0,
    // FWHM 0.1838, background 20).
    EXPECT_EQ(FITVALS.ANGLESFIT(1, 1), 7.2565f);
    EXPECT_NEAR(FITVALS.ANGLESFIT(1, 2), 0.0f, 0.005f);
    EXPECT_EQ(FITVALS.ANGLESFIT(1, 3), -23.0991f);
    EXPECT_EQ(FITVALS.ANGLESFIT(1, 4), 34.4490f);
    EXPECT_NEAR(FITVALS.FWHMFIT(1, 1), 0.1838f, 0.01f);
    EXPECT_GT(FITVALS.FWHMFIT(1, 2), 0.0f);
    EXPECT_NEAR(FITVALS.BACKFIT(1), 20.0f, 2.0f);

    // End of the data: the count box, the table offered, the summary in the log.
    const std::vector<std::string> expected = {
        "show " + FITTING_DIALOG, "show " + PREPROCESS_DIALOG, "hide " + PREPROCESS_DIALOG,
        BOX + "End of File",      "hide " + FITTING_DIALOG,    stored_box("   13")};
    EXPECT_EQ(transcript(), expected);
    EXPECT_EQ(FITVALS.IPREPROC, 1);
    expect_menus({1, 1, 1, 1, 1});
    EXPECT_EQ(wl::model().timer_callback, 0);
    EXPECT_EQ(state_of(1, 1), STATUS_ACTIVE);
    for (int k = 1; k <= 4; ++k) EXPECT_EQ(state_of(3, k), STATUS_ACTIVE) << k;
    const std::string text = log();
    EXPECT_EQ(text.rfind(HEADING, 0), 0u) << text;
    EXPECT_NE(text.find("PROFILE PARAMETER REFINEMENT SETTINGS:"), std::string::npos);
}

TEST_F(Preprocess, AReflectionExactlyAtTheThresholdIsNotStored) {
    load();
    // FWHM, eta and Iratio start from their default rules, so that every pass fits reflection 20
    // alike (typed start values would carry the last fit of one pass into the next).
    pass({"toggle 4 62 1", "toggle 4 65 1", "toggle 4 66 1", "press 53", "run"});
    ASSERT_EQ(rows().back(), "4 0 0");
    // The last reflection's I/sigma, typed as the threshold, keeps it out; the next float below
    // lets it in.
    const float ratio = INTRES.PEAK / INTRES.SIGPEAK;
    char typed[40];
    std::snprintf(typed, sizeof typed, "%.9g", double(ratio));
    read(STD_BY_NUMBER, 1);
    pass({"set 5 2 " + std::string(typed), "press 53", "run"});
    EXPECT_NE(rows().back(), "4 0 0");
    std::snprintf(typed, sizeof typed, "%.9g", double(std::nextafter(ratio, 0.0f)));
    pass({"set 5 2 " + std::string(typed), "press 53", "run"});
    EXPECT_EQ(rows().back(), "4 0 0");
}

TEST_F(Preprocess, StopThenExitKeepsTheRowsStoredSoFarAsAFinishedPass) {
    load();
    SET_PREPROCESS(0, 0);
    // Three ticks (1, 2 and the standard 3), Stop, Start, one more (4), Stop, Exit.
    pass({"press 53", "ticks 3", "press 119", "press 118", "ticks 1", "press 119", "press 101"});
    EXPECT_EQ(rows(), (std::vector<std::string>{"1 1 0", "0 2 0", "1 1 1"}));
    EXPECT_EQ(transcript().back(), stored_box("    3"));
    EXPECT_EQ(FITVALS.IPREPROC, 1);
    expect_menus({1, 1, 1, 1, 1});
    EXPECT_EQ(log().rfind(HEADING, 0), 0u);

    // While the ticks run "Exit" is greyed.
    wl::script::load_lines({"press 53", "ticks 1", "press 101"});
    EXPECT_EQ(exit_status([] { START_PREPROCESS(); }), wl::script::EXIT_SCRIPT_ERROR);
}

TEST_F(Preprocess, QuitLeavesTheTableAndEditsBeforeGoReachTheRecord) {
    load();
    FITVALS.NFIT = 7;
    SET_PREPROCESS(0, 0);
    pass({"toggle 4 64 1", "press 54"});
    EXPECT_EQ(FITPAR.IDEF(4), 1);
    EXPECT_EQ(FITVALS.NFIT, 7);
    EXPECT_EQ(FITVALS.IPREPROC, 0);
    EXPECT_EQ(transcript().back(), "hide " + FITTING_DIALOG);
    EXPECT_EQ(count("hide " + PREPROCESS_DIALOG), 1);
    pass({"press 429", "press 101"});  // the parameter file clears the default flags again
    EXPECT_EQ(FITPAR.IDEF(4), 0);
    EXPECT_EQ(log().find("SUMMARY"), std::string::npos);
}

TEST_F(Preprocess, AFullTableStopsThePassWithoutMarkingItFinished) {
    // 1001 copies of the first reflection, each strong enough to be stored.
    const std::string text = kvtest::read_bytes(dir / "mainroad.rfl");
    const std::size_t first = text.find("\r\nR") + 2;
    const std::size_t second = text.find("\r\nR", first) + 2;
    std::string big = text.substr(0, first);
    for (int n = 0; n < 1001; ++n) big += text.substr(first, second - first);
    kvtest::write_bytes(dir / "big.rfl", big);
    load("big.rfl");
    SET_PREPROCESS(0, 0);
    pass({"press 53", "run"});
    EXPECT_EQ(FITVALS.NFIT, MAXFIT);
    EXPECT_EQ(count(TOO_MANY), 1);
    EXPECT_EQ(transcript().back(), "hide " + FITTING_DIALOG);
    EXPECT_EQ(TOTALS.IC(1), 1001);
    EXPECT_EQ(FITVALS.IPREPROC, 0);
    expect_menus({0, 1, 0, 0, 0});
    EXPECT_EQ(wl::model().timer_callback, 0);
    EXPECT_EQ(state_of(1, 1), STATUS_ACTIVE);
    EXPECT_EQ(log(), "");
}

TEST_F(Preprocess, AReadErrorEndsThePassWithABoxAndTheRowsSoFar) {
    write_broken(5, "broken.rfl");
    load("broken.rfl");
    pass({"press 53", "run"});
    EXPECT_EQ(rows(), (std::vector<std::string>{"1 1 0", "0 2 0", "1 1 1"}));
    EXPECT_EQ(fits_counted(), 4);
    EXPECT_EQ(count(BOX + "Read error in standard data file: preprocessing ended"), 1);
    EXPECT_EQ(count(BOX + "End of File"), 0);
    EXPECT_EQ(transcript().back(), stored_box("    3"));
    EXPECT_EQ(wl::model().timer_callback, 0);
    EXPECT_EQ(FITVALS.IPREPROC, 1);
}

// In the preprocessing dialog and in the pass, the exit request asks the main loop's question;
// "No" goes on where the user was.
TEST_F(Preprocess, ExitRequestAsksAndNoGoesOnWhereTheUserWas) {
    const std::string question = "ask " + kvtest::TITLE + " | Are you sure you want to exit the program? -> ";
    for (const std::vector<std::string>& lines :
         {std::vector<std::string>{"press -1", "answer 3", "press 53", "ticks 2", "press -1", "answer 3", "ticks 1",
                                   "press -1", "answer 2"}}) {
        load();
        wl::script::load_lines(lines);
        EXPECT_EQ(exit_status([] { START_PREPROCESS(); }), 0);
        EXPECT_EQ(count(question + "3"), 2);
        EXPECT_EQ(count(question + "2"), 1);
        EXPECT_EQ(REFLN.ISEQ, 3);
    }
}

TEST_F(Preprocess, MenuEntriesFollowTheTableAndTheOrientationMatrix) {
    struct Case {
        int iset, nozref, ubok;
        std::vector<int> before, after;  // "Calc Unit Cell" .. "Delta-d/d"
        int ipreproc;
    };
    const Case cases[] = {
        // A new data file greys the table's users; "Calc Background" keeps its state.
        {0, 0, 1, {1, 1, 1, 1, 1}, {0, 1, 0, 0, 0}, 0},
        {0, 0, 1, {1, 0, 1, 1, 1}, {0, 0, 0, 0, 0}, 0},
        // A finished pass enables them; "Delta-d/d" only with a valid matrix, else unchanged.
        {1, 0, 1, {0, 0, 0, 0, 0}, {1, 1, 1, 1, 1}, 1},
        {1, 0, 0, {0, 0, 0, 0, 0}, {1, 1, 1, 1, 0}, 1},
        {1, 0, 0, {0, 0, 0, 0, 1}, {1, 1, 1, 1, 1}, 1},
        // The centring marks the table filled but greys itself.
        {1, 1, 1, {0, 0, 0, 1, 0}, {1, 1, 1, 0, 1}, 1},
        {0, 1, 1, {1, 1, 1, 1, 1}, {0, 1, 0, 0, 0}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("SET_PREPROCESS(" + std::to_string(c.iset) + ", " + std::to_string(c.nozref) + "), UBOK " +
                     std::to_string(c.ubok));
        for (int k = 32; k <= 36; ++k) gmSetWidgetStatus(GRAPHICS.IWID(3, k), c.before[k - 32]);
        UNITCELL.UBOK = c.ubok;
        FITVALS.IPREPROC = 1 - c.ipreproc;
        FITVALS.NFIT = 12;
        SET_PREPROCESS(c.iset, c.nozref);
        expect_menus(c.after);
        EXPECT_EQ(FITVALS.IPREPROC, c.ipreproc);
        EXPECT_EQ(FITVALS.NFIT, 12);
    }
}

// A preprocessing pass whose first read already meets the end of the data (every reflection of
// the set is weak and skipped) ends with a count of 0 and still counts as a finished pass.
TEST_F(Preprocess, OnlyWeakReflectionsGiveACountOfZeroAndAFinishedPass) {
    // The data set's header and its weak reflection 8 alone.
    const std::string text = kvtest::read_bytes(dir / "mainroad.rfl");
    const std::size_t first = text.find("\r\nR") + 2;
    const std::size_t at = text.find("\r\nR     8   ") + 2;
    const std::size_t next = text.find("\r\nR", at);
    kvtest::write_bytes(dir / "weak.rfl", text.substr(0, first) + text.substr(at, next + 2 - at));
    load("weak.rfl");
    ASSERT_EQ(REFLN.SCANCODE(1), 'W');
    SET_PREPROCESS(0, 0);
    FITVALS.NFIT = 5;

    script({"press 53", "run"});
    START_PREPROCESS();
    EXPECT_EQ(FITVALS.NFIT, 0);
    EXPECT_EQ(fits_counted(), 0);
    EXPECT_EQ(count(kvtest::BOX + "End of File"), 1);
    EXPECT_EQ(transcript().back(), kvtest::BOX + "    0 Reflections stored for fitting");
    EXPECT_EQ(FITVALS.IPREPROC, 1);
    for (int k : {32, 33, 34, 35}) EXPECT_EQ(state_of(3, k), STATUS_ACTIVE) << k;
    EXPECT_NE(log().find("SUMMARY OF REFLECTIONS FIT WITH PREPROCESS UTILITY"), std::string::npos);
}

// A fit whose intensity has no esd (the intensity held at its start value) is no measurement:
// in the preprocessing pass it is rejected as an error of the least squares and never stored,
// whatever the threshold.
TEST_F(Preprocess, AnIntensityWithoutEsdIsNeverStored) {
    load();
    // Intensity not refined; the highest threshold the dialog takes.
    script({"toggle 4 33 0", "set 5 2 1000", "press 53", "run"});
    START_PREPROCESS();
    EXPECT_EQ(FITPAR.IREF(3), 0);
    EXPECT_EQ(INTRES.SIGPEAK, 0.0f);
    EXPECT_EQ(TOTALS.IC(1), 0);
    EXPECT_GT(TOTALS.IC(2), 3);  // "ERROR IN LEAST SQUARES"
    EXPECT_EQ(FITVALS.NFIT, 0);
}

// The I/sigma threshold of the preprocessing pass never falls below 3: an entry of 1.0 keeps out
// an accepted reflection whose I/sigma lies between 1 and 3.
TEST_F(Preprocess, AnEntryBelowThreeWorksAsThree) {
    load();
    // Reflection 13 has no peak: with the position test off it is accepted with an I/sigma
    // below 3 (checked here on its own fit).
    WRITE_FIT_PARAMETERS();
    gmSetToggleSwitch(GRAPHICS.IWID(4, 74), 0);
    READ_FIT_PARAMETERS();
    read(STD_BY_NUMBER, 13);
    SET_FIT_PARAMETERS();
    READ_FIT_PARAMETERS();
    int ierr = 0;
    FITSCAN(0, ierr);
    ASSERT_EQ(REFLN.FLAG(2), 'F');
    const float ratio = INTRES.PEAK / INTRES.SIGPEAK;
    ASSERT_GT(ratio, 1.0f);
    ASSERT_LT(ratio, 3.0f);
    const std::vector<int> h13 = {REFLN.IH(1), REFLN.IH(2), REFLN.IH(3)};

    read(STD_BY_NUMBER, 1);
    script({"toggle 4 28 0", "set 5 2 1.0", "press 53", "run"});
    START_PREPROCESS();
    bool stored13 = false;
    for (int n = 1; n <= FITVALS.NFIT; ++n)
        if (FITVALS.IHFIT(n, 1) == h13[0] && FITVALS.IHFIT(n, 2) == h13[1] && FITVALS.IHFIT(n, 3) == h13[2])
            stored13 = true;
    EXPECT_FALSE(stored13);
    EXPECT_EQ(TOTALS.IC(7), 0);  // no position rejections: 13 was accepted in the pass too
    EXPECT_GT(FITVALS.NFIT, 0);
}

}  // namespace
