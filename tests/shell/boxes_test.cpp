// The small modal boxes: the kind of cell refinement, its results, the step width, and the two
// boxes that offer to open a missing file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "include/shell_services.h"
#include "main_ui.h"
#include "shell/small_boxes.h"

namespace {

class SmallBoxes : public kvtest::ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        build_ui();
    }
};

TEST_F(SmallBoxes, RefinementBoxReturnsTheChoicesAndKeepsThemForTheNextRun) {
    struct Case {
        const char* name;
        std::vector<std::string> actions;
        int go, offsets, zero, system;
    };
    const Case cases[] = {
        {"symmetry on, cubic", {"toggle 6 21 1", "select 6 24 6", "toggle 6 22 1", "press 626"}, 1, 1, 0, 6},
        {"symmetry off with a selection", {"toggle 6 21 0", "toggle 6 23 1", "press 626"}, 1, 1, 1, 0},
        {"choices kept", {"press 626"}, 1, 1, 1, 0},
        {"quit leaves the caller's values", {"toggle 6 21 1", "press 623", "press -1", "press 625"}, 0, -7, -8, -9},
        {"symmetry still on, still cubic", {"press 626"}, 1, 1, 1, 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        script(c.actions);
        int go = -6, offsets = -7, zero = -8, system = -9;
        RUN_REFINEMENT_BOX(go, offsets, zero, system);
        EXPECT_EQ(go, c.go);
        EXPECT_EQ(offsets, c.offsets);
        EXPECT_EQ(zero, c.zero);
        EXPECT_EQ(system, c.system);
        EXPECT_FALSE(wl::model().find(GRAPHICS.IWID(6, 20))->shown);
    }
}

// "Symmetry constrained" with no system selected: "Refine" shows the box and keeps the dialog
// open, until a system is chosen or the toggle is switched off.
TEST_F(SmallBoxes, RefinementBoxAsksForACrystalSystemBeforeRefiningWithSymmetry) {
    const std::string box = "box " + kvtest::TITLE + " | Choose a crystal system, or switch Symmetry constrained off";
    const std::string dialog = kvtest::TITLE + ": Unit Cell Refinement";
    struct Case {
        const char* name;
        std::vector<std::string> actions;
        int system;
    };
    const Case cases[] = {
        {"then a system chosen", {"toggle 6 21 1", "press 626", "press 626", "select 6 24 3", "press 626"}, 3},
        {"then the toggle switched off", {"toggle 6 21 1", "toggle 6 22 1", "press 626", "toggle 6 21 0", "press 626"}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        w(6, 21).toggle = 0;
        w(6, 24).selection = 0;
        script(c.actions);
        int go = -6, offsets = -7, zero = -8, system = -9;
        RUN_REFINEMENT_BOX(go, offsets, zero, system);
        EXPECT_EQ(go, 1);
        EXPECT_EQ(system, c.system);
        const int asked = c.system == 3 ? 2 : 1;
        std::vector<std::string> expected = {"show " + dialog};
        for (int k = 0; k < asked; ++k) expected.push_back(box);
        expected.push_back("hide " + dialog);
        EXPECT_EQ(transcript(), expected);
    }
}

TEST_F(SmallBoxes, RefinementBoxShowsTheCrystalSystemsOnlyWithSymmetry) {
    w(6, 21).toggle = 0;
    script({"toggle 6 21 1", "select 6 24 2", "toggle 6 21 0", "select 6 24 3"});
    int go = 0, offsets = 0, zero = 0, system = 0;
    EXPECT_EQ(exit_status([&] { RUN_REFINEMENT_BOX(go, offsets, zero, system); }), wl::script::EXIT_SCRIPT_ERROR);
    EXPECT_EQ(w(6, 24).state, wl::STATE_HIDDEN);
    EXPECT_EQ(w(6, 24).selection, 2);
}

TEST_F(SmallBoxes, ResultsBoxShowsTheRefinedValuesUntilOk) {
    for (int k = 1; k <= 7; ++k) {
        UNITCELL.CELL(k) = 10.0f * k;
        UNITCELL.ESD(k) = 0.001f * k;
    }
    UNITCELL.ESD(1) = 0.00037f;
    UNITCELL.ESD(2) = 0.00123f;
    UNITCELL.ESD(4) = 0.0f;
    UNITCELL.ESD(7) = 2.5f;
    XTALOFF.DELX(1) = 0.01f;
    XTALOFF.DELX(3) = -0.03f;
    XTALOFF.OMZERO = 0.125f;
    script({"press -1", "press 631"});
    RUN_RESULTS_BOX(42);
    // Each value to its esd's last digit; a held value with its row's decimals.
    const std::vector<std::string> values = {"10.0000", "20.0000", "30.000", "40.000", "50.000", "60.000", "70"};
    for (int k = 1; k <= 7; ++k) EXPECT_EQ(w(6, 31 + k).text, values[std::size_t(k - 1)]) << k;
    // Each esd by its first significant digit (two while they read 19 or less), rounded up as
    // the CIF rounds it; a value the refinement held is "fixed".
    EXPECT_EQ(w(6, 39).text, "0.0004");
    EXPECT_EQ(w(6, 40).text, "0.0013");
    EXPECT_EQ(w(6, 42).text, "fixed");
    EXPECT_EQ(w(6, 45).text, "3");
    EXPECT_DOUBLE_EQ(w(6, 48).value, double(-0.03f));
    EXPECT_DOUBLE_EQ(w(6, 49).value, 0.125);
    EXPECT_DOUBLE_EQ(w(6, 50).value, 42.0);
    const std::vector<std::string> expected = {"show " + kvtest::TITLE + ": Cell Refinement Results",
                                               "hide " + kvtest::TITLE + ": Cell Refinement Results"};
    EXPECT_EQ(transcript(), expected);
}

TEST_F(SmallBoxes, StepWidthBelowOneThousandthIsRefusedAndReplaced) {
    script({"set 6 71 0.0009", "press 672", "press 672"});
    float step = 0;
    GET_STEP_SIZE(step);
    EXPECT_EQ(step, 0.001f);
    EXPECT_EQ(transcript(), (std::vector<std::string>{"show " + kvtest::TITLE,
                                                      "box " + kvtest::TITLE + " |   Step size too small",
                                                      "hide " + kvtest::TITLE}));
    // A typed 0.001 is accepted, and the next call offers the value of this one.
    script({"set 6 71 0.001", "press 672", "press 672"});
    GET_STEP_SIZE(step);
    EXPECT_EQ(step, 0.001f);
    GET_STEP_SIZE(step);
    EXPECT_EQ(step, 0.001f);
    EXPECT_EQ(transcript().size(), 4u);  // no box
}

// The step box names the unit of the step and says which file holds none: the pre-filled 0.02
// is no value read from the data.
TEST_F(SmallBoxes, StepBoxNamesItsUnitAndTheFormatThatHoldsNoStep) {
    const struct {
        int format;
        const char* says;
    } cases[] = {{2, "Old Vosket files hold no step width"}, {6, "Phillips Febo files hold no step width"}};
    for (const auto& c : cases) {
        FILEINFO.IFORMAT = c.format;
        script({"press 672"});
        float step = 0;
        GET_STEP_SIZE(step);
        EXPECT_EQ(w(6, 73).text, c.says);
    }
    bool unit = false;
    for (const auto& [id, x] : wl::model().widgets) unit |= x.parent == GRAPHICS.IWID(6, 70) && x.text == "Omega step size, degrees:";
    EXPECT_TRUE(unit);
}

// What the step box cannot use is refused with a box and the dialog stays for a new number: a
// text that is no number (a decimal comma included) or beyond a 32-bit real, refused by the
// entry with the text typed; a step so large that the standard data file cannot hold it, refused
// by the dialog. The step then typed is the one returned.
TEST_F(SmallBoxes, StepWidthThatCannotBeUsedIsRefusedAndTheNextOneTaken) {
    const std::string not_a_number = "\" is not a number: type digits with a decimal point, for example 0.025 or 2.5E-2";
    const struct {
        const char* typed;
        std::string box;
    } cases[] = {{"0,03", "\"0,03" + not_a_number},
                 {"abc", "\"abc" + not_a_number},
                 {"1e400", "\"1e400\" is too large: type a number between -3.4E+38 and 3.4E+38"},
                 {"1e38", "  Step size too large: at most 9999.999"},
                 {"10000", "  Step size too large: at most 9999.999"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        script({std::string("set 6 71 ") + c.typed, "press 672", "set 6 71 0.03", "press 672"});
        float step = 0.02f;
        GET_STEP_SIZE(step);
        EXPECT_EQ(step, 0.03f);
        EXPECT_EQ(transcript(), (std::vector<std::string>{"show " + kvtest::TITLE, "box " + kvtest::TITLE + " | " + c.box,
                                                          "hide " + kvtest::TITLE}));
    }
    script({"set 6 71 9999.999", "press 672"});
    float step = 0.0f;
    GET_STEP_SIZE(step);
    EXPECT_EQ(step, 9999.999f);
}

TEST_F(SmallBoxes, NoParameterFileBoxWaitsThroughCancelledChoices) {
    kvtest::write_bytes(dir / "inst.par", kvtest::join(kvtest::PARAMETERS));
    script({"press 811", "cancel", "press -1", "press 811", "cancel", "press 811", "file " + (dir / "inst.par").string()});
    int flag = -1;
    NOPARFILE(flag);
    EXPECT_EQ(flag, 0);
    EXPECT_TRUE(rt::unit_connected(3));
    EXPECT_FALSE(wl::model().find(GRAPHICS.IWID(8, 10))->shown);

    script({"press 812"});
    NOPARFILE(flag);
    EXPECT_EQ(flag, 1);
}

TEST_F(SmallBoxes, NoOutputBoxContinuesExitsOrOpensAFile) {
    struct Case {
        std::vector<std::string> actions;
        int flag, outopen;
    };
    const Case cases[] = {
        {{"press 82", "cancel", "press 83"}, 0, 0},
        {{"press 84"}, 1, 0},
        {{"press 82", "file " + (dir / "out.int").string()}, 0, 1},
    };
    for (const Case& c : cases) {
        script(c.actions);
        int flag = -1;
        RUN_NOOUTPUT(flag);
        EXPECT_EQ(flag, c.flag);
        EXPECT_EQ(FILEINFO.OUTOPEN, c.outopen);
    }
}

}  // namespace
