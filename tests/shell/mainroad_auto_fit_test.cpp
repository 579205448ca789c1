// The automatic fit pass driven through the scripted front end on a generated data set: the
// output-file question, Start and Stop under the timer, the two searches, the end of the data
// with the summary in the log, a read error of the standard data file, and FIT_REFLECTION's
// outcome counting and second pass at the predicted position.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "gui_toolkit/menu_f90.h"
#include "include/geometry.h"
#include "include/profile_fit.h"
#include "include/scan_input.h"
#include "include/shell_services.h"
#include "include/toolkit_services.h"
#include "../profile_fit/manual_loaded_set.h"
#include "main_ui.h"
#include "shell/config_file.h"

namespace {

namespace fs = std::filesystem;

using kvtest::BOX;
const std::string OUT_QUESTION =
    "ask " + kvtest::TITLE + " | No output datafile is open. Do you want to open a file? -> ";
const std::string READ_ERROR = BOX + "Read error in standard data file: automatic fit ended";
const std::string HEADING = "\r\n\r\n" + std::string(60, '*') + "\r\n" + std::string(10, ' ') +
                            "SUMMARY OF REFLECTIONS FIT WITH AUTOFIT UTILITY\r\n";
constexpr int NREFL = kvtest::MAINROAD_REFLECTIONS;
const std::string EXIT_QUESTION = "ask " + kvtest::TITLE + " | Are you sure you want to exit the program? -> ";

// The generated data set loaded as the manual fit and preprocessing tests load it.
class AutoFitPass : public kvtest::LoadedSet {
protected:
    // The data set with a letter in the h field of reflection 4.
    void load_broken() {
        write_broken(4, "broken.rfl");
        load("broken.rfl");
    }
    // One automatic pass with these user actions.
    static void pass(const std::vector<std::string>& lines) {
        script(lines);
        START_AUTO_FIT();
    }

    // Sequence numbers of the entries of the integrated data file, in order.
    // (Closes the file: nothing more is written to it.)
    std::vector<int> written() {
        rt::unit_close(2);
        FILEINFO.OUTOPEN = 0;
        std::vector<int> seqs;
        std::string text = kvtest::read_bytes(dir / "out.int");
        for (std::size_t at = 0; at < text.size();) {
            const std::size_t end = text.find("\r\n", at);
            const std::string line = text.substr(at, end - at);
            seqs.push_back(std::stoi(line.substr(61, 6)) / 10);  // 10 ISEQ + ISTD, F7.0
            at = end + 2;
        }
        return seqs;
    }
};

TEST_F(AutoFitPass, WithoutOutputFileThePassRunsToTheEndAndWritesTheSummary) {
    load();
    pass({"answer 7", "press 541", "press 118", "run"});
    EXPECT_EQ(transcript().front(), OUT_QUESTION + "7");
    EXPECT_EQ(count(BOX + "End of File"), 1);
    EXPECT_FALSE(fs::exists(dir / "out.int"));
    EXPECT_EQ(fits_counted(), NREFL);
    EXPECT_EQ(REFLN.ISEQ, NREFL);
    // The summary heading, then the fit summary, and nothing was logged before it.
    const std::string text = log();
    EXPECT_EQ(text.rfind(HEADING, 0), 0u) << text;
    EXPECT_NE(text.find("PROFILE PARAMETER REFINEMENT SETTINGS:"), std::string::npos);
    // The window is handed back: ticks stopped, controls hidden, menu titles and "Exit" active.
    EXPECT_EQ(wl::model().timer_callback, 0);
    for (int k = 2; k <= GRAPHICS.NWIDMAIN; ++k) EXPECT_EQ(state_of(1, k), STATUS_HIDDEN) << k;
    EXPECT_EQ(state_of(1, 1), STATUS_ACTIVE);
    for (int k = 1; k <= 4; ++k) EXPECT_EQ(state_of(3, k), STATUS_ACTIVE) << k;
}

TEST_F(AutoFitPass, CancelOrQuitLeavesBeforeThePassStarts) {
    load();
    TOTALS.IC(1) = 5;
    pass({"answer 1"});  // Cancel: nothing else happens
    EXPECT_EQ(transcript(), std::vector<std::string>{OUT_QUESTION + "1"});
    EXPECT_EQ(TOTALS.IC(1), 5);

    // Yes with the file dialog cancelled asks again; No goes on; Quit in the peak-parameter
    // dialog abandons the start with the counters already cleared.
    pass({"answer 6", "cancel", "answer 7", "press 531"});
    const std::vector<std::string> expected = {
        OUT_QUESTION + "6", "file " + kvtest::TITLE + ": Open Output Data File -> cancel", OUT_QUESTION + "7",
        "show " + kvtest::TITLE + ": Peak parameter default values",
        "hide " + kvtest::TITLE + ": Peak parameter default values"};
    EXPECT_EQ(transcript(), expected);
    EXPECT_EQ(TOTALS.IC(1), 0);
    EXPECT_EQ(state_of(3, 1), STATUS_ACTIVE);  // the menus were never taken over
    EXPECT_EQ(log(), "");
}

TEST_F(AutoFitPass, StartWritesTheReflectionOnDisplayAndEachTickTheNext) {
    load();
    open_output();
    // Stop and Start without a tick between: the reflection on display was written by the tick
    // that read it, so Start only restarts the ticks; nothing is written or counted twice.
    pass({"press 541", "press 118", "ticks 2", "press 119", "press 118", "ticks 1", "press 119", "press 101"});
    EXPECT_EQ(written(), (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(fits_counted(), 4);
    EXPECT_EQ(log().find("SUMMARY"), std::string::npos);  // "Exit" leaves without the summary
    EXPECT_EQ(state_of(1, 18), STATUS_HIDDEN);

    // While the ticks run, "Exit" is greyed: pressing it is a script error.
    wl::script::load_lines({"answer 7", "press 541", "press 118", "press 101"});
    EXPECT_EQ(exit_status([] { START_AUTO_FIT(); }), wl::script::EXIT_SCRIPT_ERROR);
}

TEST_F(AutoFitPass, StartingAtTheEndOfTheDataWritesTheLastReflectionOnce) {
    load();
    open_output();
    pass({"press 541", "press 118", "run"});
    ASSERT_EQ(REFLN.ISEQ, NREFL);
    pass({"press 541", "press 118", "run"});  // the output file is open: no question
    const std::vector<int> seqs = written();
    ASSERT_EQ(seqs.size(), std::size_t(NREFL + 1));
    EXPECT_EQ(seqs.back(), NREFL);
    EXPECT_EQ(fits_counted(), 1);
    EXPECT_EQ(count(BOX + "End of File"), 1);
    const std::string text = log();
    EXPECT_NE(text.find(HEADING, text.find(HEADING) + 1), std::string::npos);
}

TEST_F(AutoFitPass, SearchesShowTheFoundReflectionWithoutWritingIt) {
    load();
    open_output();
    pass({"press 541",
          "set 1 5 2 2 0", "press 106",       // found: reflection 9
          "set 1 5 4 0", "press 106",         // two numbers: the third index stays 0 -> 4 0 0, reflection 20
          "set 1 7 15.7", "press 108",        // truncated toward zero: reflection 15
          "press 118", "ticks 1", "press 119",  // 15 written, then 16
          "set 1 5 9 9 9", "press 106",       // not found: 16 comes back
          "set 1 5 a b c", "press 106",       // not numbers: nothing happens
          "press 118",                        // 16 already written: the ticks restart
          "set 1 7 3", "press 108",           // while running, from the entry: refused
          "ticks 1", "press 119",             // the ticks go on in file order: 17
          "press 101"});
    EXPECT_EQ(written(), (std::vector<int>{15, 16, 17}));
    EXPECT_EQ(REFLN.ISEQ, 17);
    EXPECT_EQ(count(BOX + "Reflection not found"), 1);
    EXPECT_EQ(count(BOX + "Press Stop before searching for a reflection"), 1);
    EXPECT_EQ(fits_counted(), 7);  // 9, 20, 15, Start, the tick, 16 again, the tick
}

// A search while the pass runs would move its read position: back to the first measurement of
// a standard, every reflection after it would be written a second time. It is refused with a
// box, and the pass writes every reflection once, as a pass without the search.
TEST_F(AutoFitPass, SearchWhileThePassRunsIsRefusedAndNothingIsWrittenTwice) {
    load();
    open_output();
    pass({"press 541", "press 118", "ticks 5", "set 1 5 1 0 0", "press 106", "set 1 7 2", "press 108", "run",
          "press 101"});
    std::vector<int> every(NREFL);
    for (int k = 0; k < NREFL; ++k) every[k] = k + 1;
    EXPECT_EQ(written(), every);
    EXPECT_EQ(count(BOX + "Press Stop before searching for a reflection"), 2);
}

TEST_F(AutoFitPass, ReadErrorAtATickEndsThePassWithABox) {
    load_broken();
    open_output();
    pass({"press 541", "press 118", "run"});
    EXPECT_EQ(written(), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(count(READ_ERROR), 1);
    EXPECT_EQ(count(BOX + "End of File"), 0);
    EXPECT_EQ(wl::model().timer_callback, 0);
    EXPECT_EQ(fits_counted(), 3);
    EXPECT_EQ(log().rfind(HEADING, 0), 0u);
    EXPECT_EQ(REFLN.ISEQ, 3);
}

TEST_F(AutoFitPass, ReadErrorInASearchEndsThePassWithABox) {
    load_broken();
    pass({"answer 7", "press 541", "set 1 7 5", "press 108"});  // the search meets reflection 4
    EXPECT_EQ(count(READ_ERROR), 1);
    EXPECT_EQ(fits_counted(), 0);
    EXPECT_EQ(REFLN.ISEQ, 1);
    EXPECT_EQ(log().rfind(HEADING, 0), 0u);
}

// Each entry of the integrated data file goes out with the log's lines so far: a pass cut short
// leaves a log that says what the file holds.
TEST_F(AutoFitPass, EachEntryWrittenTakesTheLogsLinesToTheDisk) {
    load();
    open_output();
    LOG_WRITE("(1X,A)", "A LINE OF THIS PASS");
    EXPECT_EQ(kvtest::read_bytes(dir / "run.log"), "");  // still in the log's buffer
    pass({"press 541", "press 118", "press 119", "press 101"});  // Start writes the reflection on display
    EXPECT_EQ(kvtest::read_bytes(dir / "run.log"), "A LINE OF THIS PASS\r\n");
}

// The close box of the fitting dialog asks the main loop's question: "No" goes on with the pass
// where it was, "Yes" ends the program.
TEST_F(AutoFitPass, ExitRequestAsksAndNoGoesOnWithThePass) {
    load();
    wl::script::load_lines({"answer 7", "press 541", "press 118", "ticks 1", "press -1", "answer 3", "ticks 1",
                            "press -1", "answer 2"});
    EXPECT_EQ(exit_status([] { START_AUTO_FIT(); }), 0);
    EXPECT_EQ(count(EXIT_QUESTION + "3"), 1);
    EXPECT_EQ(count(EXIT_QUESTION + "2"), 1);
    EXPECT_EQ(REFLN.ISEQ, 3);  // Start on 1, a tick, "No", a tick
    EXPECT_EQ(fits_counted(), 3);
}

TEST_F(AutoFitPass, DialogEditsReachTheRecordAndResetRestoresTheFileSettings) {
    load();
    const int idef4 = GRAPHICS.IWID(4, 64);
    pass({"answer 7", "press 541", "toggle 4 64 1", "press 101"});
    EXPECT_EQ(FITPAR.IDEF(4), 1);
    EXPECT_EQ(gmEnqToggleSwitch(idef4), 1);
    pass({"answer 7", "press 541", "press 429", "press 101"});  // the parameter file clears every default flag
    EXPECT_EQ(FITPAR.IDEF(4), 0);
    EXPECT_EQ(gmEnqToggleSwitch(idef4), 0);
}

// FIT_REFLECTION on single reflections of the data set, with the fitting dialog set as a user
// would set it.
class FitReflection : public AutoFitPass {
protected:
    void SetUp() override {
        AutoFitPass::SetUp();
        load();
        WRITE_FIT_PARAMETERS();
    }
    static void toggle(int item, int state) { gmSetToggleSwitch(GRAPHICS.IWID(4, item), state); }
    static void type(int item, float value) { gmSetValueSetting(GRAPHICS.IWID(4, item), double(value)); }
    // The dialog edits reach the record (as an edit's callback has them), then reflection iseq
    // is read and given its start values, as a tick prepares it; the counters start from zero.
    static void prepare(int iseq) {
        READ_FIT_PARAMETERS();
        read(STD_BY_NUMBER, iseq);
        SET_FIT_PARAMETERS();
        const rt::FText<11> table = TOTALS.F;
        TOTALS = TOTALS_t{};
        TOTALS.F = table;
    }
    // Every fit fails its intensity limit.
    static void intensity_limit_unreachable() {
        toggle(73, 1);
        type(83, 1.0e9f);
    }
};

TEST_F(FitReflection, SecondPassOnlyForARefinedDefaultPositionWithAValidMatrix) {
    struct Case {
        int iref4, idef4, ubok;
        bool second;
    };
    const Case cases[] = {{1, 1, 1, true}, {0, 1, 1, false}, {1, 0, 1, false}, {1, 1, 0, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE("IREF(4) " + std::to_string(c.iref4) + ", IDEF(4) " + std::to_string(c.idef4) + ", UBOK " +
                     std::to_string(c.ubok));
        toggle(34, c.iref4);
        toggle(64, c.idef4);
        intensity_limit_unreachable();
        UNITCELL.UBOK = c.ubok;
        prepare(2);
        FIT_REFLECTION();
        EXPECT_EQ(REFLN.FLAG(2), 'R');
        EXPECT_EQ(REFLN.FLAG(3), 'I');
        EXPECT_EQ(REFLN.FLAG(4), c.second ? '2' : '1');
        EXPECT_EQ(TOTALS.NPASS2, c.second ? 1 : 0);
        EXPECT_EQ(TOTALS.NPASS2OK, 0);
        EXPECT_EQ(TOTALS.IC(6), 1);
        UNITCELL.UBOK = 1;
    }
}

TEST_F(FitReflection, SecondPassHoldsThePredictedPositionAndCanRecoverTheReflection) {
    // Reflection 7 was measured 0.35 degrees above its peak, at omega 0: the refined position
    // leaves the window from 0.05 to 0.55 degrees. With an omega zero of 0.07 the predicted
    // position lies inside it, and only the position test is on.
    toggle(64, 1);
    for (int t : {71, 72, 73, 75, 76, 77}) toggle(t, 0);
    toggle(74, 1);
    type(84, 0.3f);
    XTALOFF.OMZERO = 0.07f;
    prepare(7);
    FIT_REFLECTION();
    float rom = 0.0f;
    geo::Angles off;
    CALOMEGA(REFLN.ANGL, REFLN.IH, rom);
    CALC_ANGOFF(REFLN.ANGL, off);
    EXPECT_EQ(FITPAR.VALS(4), rom + off(2));
    EXPECT_NEAR(FITPAR.VALS(4), 0.07f, 2e-3f);
    EXPECT_EQ(REFLN.FLAG(2), 'F');
    EXPECT_EQ(REFLN.FLAG(4), '2');
    EXPECT_EQ(TOTALS.NPASS2, 1);
    EXPECT_EQ(TOTALS.NPASS2OK, 1);
    EXPECT_EQ(TOTALS.IC(7), 1);  // counted under its first reject code
    EXPECT_EQ(TOTALS.IC(1), 0);
}

TEST_F(FitReflection, OutcomesAreCountedByTheirRejectCode) {
    struct Case {
        const char* what;
        int iseq;
        void (*set)();
        char flag3;
        int counter;
    };
    const Case cases[] = {
        {"accepted", 2, [] {}, ' ', 1},
        {"intensity below its limit", 2, intensity_limit_unreachable, 'I', 6},
        {"position out of its window", 7, [] {}, 'P', 7},
        {"eta out of its limits (S, after the table's end)", 9,
         [] {
             toggle(35, 1);
             toggle(75, 1);
             type(85, 0.9f);
             type(95, 1.0f);
         },
         'S', 11},
        {"a letter the table does not hold", 2,
         [] {
             intensity_limit_unreachable();
             TOTALS.F(6) = 'X';
         },
         'I', 11},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        READ_PARAMETERS(0);  // the file's settings, shown in the dialog
        WRITE_FIT_PARAMETERS();
        TOTALS.F = TOTALS_t{}.F;
        c.set();
        prepare(c.iseq);
        FIT_REFLECTION();
        EXPECT_EQ(REFLN.FLAG(3), c.flag3);
        EXPECT_EQ(REFLN.FLAG(4), '1');
        for (int k = 1; k <= 11; ++k) EXPECT_EQ(TOTALS.IC(k), k == c.counter ? 1 : 0) << k;
    }
}

}  // namespace
