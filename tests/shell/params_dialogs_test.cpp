// The dialogs of the instrument and output settings: peak-parameter defaults, diffractometer
// constants, fixed-background model and output format. Each is modal: foreign callback numbers
// and the exit request are dropped while it waits.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "params_ui.h"
#include "shell/open_files.h"
#include "shell/parameter_dialogs.h"

namespace {

const std::string PKVALS_TITLE = kvtest::TITLE + ": Peak parameter default values";
const std::string FORMAT_TITLE = kvtest::TITLE + ": Output Format";
const std::string SHELX_WARNING =
    "box " + kvtest::TITLE + " | Warning: Refine UB to obtain direction cosines for SHELX output";

class ParameterDialogs : public kvtest::BuiltUi {};

TEST_F(ParameterDialogs, PeakParametersSavedBecomeDefaultsAndStartValues) {
    FITPAR_t& fp = FITPAR;
    fp.PKVALS(2, 1) = 0.05f;
    fp.PKVALS(2, 2) = 0.01f;
    fp.PKVALS(5, 1) = 0.5f;
    fp.PKVALS(6, 1) = 0.5f;
    WAVES.NWAVE = 2;
    WAVES.WAVE(1) = 1.54056f;
    WAVES.WAVE(2) = 1.54439f;
    int quit = -5;
    run({"press -1", "press 101", "set 5 32 0.0712345", "set 5 33 0.02", "set 5 37 0.25", "press 541"},
        [&] { RUN_PKVALS(quit); });
    EXPECT_EQ(quit, 0);
    EXPECT_EQ(transcript(), (std::vector<std::string>{"show " + PKVALS_TITLE, "hide " + PKVALS_TITLE}));
    EXPECT_EQ(value(5, 38), double(0.5f));
    EXPECT_EQ(value(5, 39), double(1.54056f));
    EXPECT_EQ(value(5, 40), double(1.54439f));
    EXPECT_EQ(fp.PKVALS(2, 1), 0.0712345f);
    EXPECT_EQ(fp.PKVALS(2, 2), 0.02f);
    EXPECT_EQ(fp.PKVALS(5, 1), 0.25f);
    EXPECT_EQ(WAVES.WAVE(2), 1.54439f);
    // The FWHM starts at the intercept alone, not at a + b tan(theta).
    EXPECT_EQ(fp.VALS(2), 0.0712345f);
    EXPECT_EQ(fp.VALS(5), 0.25f);
    EXPECT_EQ(fp.VALS(6), 0.5f);
    EXPECT_EQ(gmEnqActiveWindow(), GRAPHICS.IMASTER);

    // "Quit" changes nothing, whatever was typed.
    run({"set 5 32 9", "set 5 38 0.9", "press 531"}, [&] { RUN_PKVALS(quit); });
    EXPECT_EQ(quit, 1);
    EXPECT_EQ(fp.PKVALS(2, 1), 0.0712345f);
    EXPECT_EQ(fp.PKVALS(6, 1), 0.5f);
}

TEST_F(ParameterDialogs, OneWavelengthTakesTheSecondOnlyWithAnAlpha2Ratio) {
    struct Case {
        const char* name;
        std::vector<std::string> actions;
        float wave2;
    };
    const Case cases[] = {
        {"ratio 0.01 keeps it", {"set 5 38 0.01", "press 541"}, 0.5f},
        {"ratio above 0.01 stores the 0.0 shown", {"set 5 38 0.3", "press 541"}, 0.0f},
        {"or the wavelength typed", {"set 5 38 0.3", "set 5 40 0.71359", "press 541"}, 0.71359f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WAVES.NWAVE = 1;
        WAVES.WAVE(1) = 0.71073f;
        WAVES.WAVE(2) = 0.5f;
        FITPAR.PKVALS(6, 1) = 0.7f;
        int quit = 0;
        run(c.actions, [&] { RUN_PKVALS(quit); });
        EXPECT_EQ(WAVES.WAVE(2), c.wave2);
        EXPECT_EQ(WAVES.NWAVE, 1);
    }
    // With one wavelength the ratio field is not refilled: it shows what was typed last.
    int quit = 0;
    run({"press 531"}, [&] { RUN_PKVALS(quit); });
    EXPECT_EQ(value(5, 38), 0.3);
    EXPECT_EQ(value(5, 40), 0.0);
}

TEST_F(ParameterDialogs, DiffractometerShowsTheMonochromatorItHas) {
    GONIO.PARITY(1) = 1;
    GONIO.PARITY(2) = -1;
    GONIO.PARITY(3) = 1;
    GONIO.PARITY(4) = -1;
    SCANHDR.ATTEN = 12.5f;
    GONIO.GONCON1 = 173.5f;
    MONOCH.MONO_2THETA = 13.25f;
    MONOCH.MONO_DIHEDRAL = 90.0f;
    struct Case {
        int type, sense;
        const char* line;
        int angles;            // state of the angle fields 18 to 20
        int sense_state;       // state of the sense text 21
        const char* sense_text;
    };
    const Case cases[] = {
        {0, 1, "No Monochromator", STATUS_HIDDEN, STATUS_HIDDEN, "Parallel"},
        {1, 0, "Monochromator 2Theta", STATUS_ACTIVE, STATUS_HIDDEN, "Parallel"},
        {1, 1, "Monochromator 2Theta", STATUS_ACTIVE, STATUS_ACTIVE, "Parallel"},
        {2, -1, "Monochromator 2Theta", STATUS_ACTIVE, STATUS_ACTIVE, "Anti-parallel"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line + std::string(" ") + std::to_string(c.sense));
        MONOCH.MONO_TYPE = c.type;
        MONOCH.MONO_SENSE = c.sense;
        run({"press -1", "press 511"}, RUN_GENERAL_INFO);
        EXPECT_EQ(w(5, 17).text, c.line);
        for (int k = 18; k <= 20; ++k) EXPECT_EQ(state(5, k), c.angles) << k;
        EXPECT_EQ(state(5, 21), c.sense_state);
        EXPECT_EQ(w(5, 21).text, c.sense_text);
        EXPECT_FALSE(shown(5, 10));
    }
    EXPECT_EQ(value(5, 13), 1.0);
    EXPECT_EQ(value(5, 16), -1.0);
    EXPECT_EQ(value(5, 18), 13.25);
    EXPECT_EQ(value(5, 20), 90.0);
    EXPECT_EQ(value(5, 22), 12.5);
    EXPECT_EQ(value(5, 23), 173.5);
}

TEST_F(ParameterDialogs, BackgroundModelClickTakesEffectAtOnceAndRefillsTheNumbers) {
    FITPAR.PKVALS(1, 1) = 100.0f;
    FITPAR.PKVALS(1, 2) = 0.05f;
    FITPAR.PKVALS(1, 3) = 3.0f;
    FIXEDBG.NSTEP_BG = 5;
    run({"toggle 5 64 1", "set 5 70 1", "set 5 71 2", "set 5 72 3", "toggle 5 62 1", "toggle 5 64 1",
         "toggle 5 63 1", "press 578"},
        RUN_BACKGROUND_INFO);
    EXPECT_EQ(FIXEDBG.IBGTYPE, 1);  // the model last clicked, although the dialog was quit
    EXPECT_EQ(FITPAR.PKVALS(1, 1), 100.0f);
    EXPECT_EQ(value(5, 70), 100.0);  // the typed numbers are gone
    EXPECT_EQ(value(5, 72), 3.0);
    EXPECT_EQ(value(5, 73), 5.0);
}

TEST_F(ParameterDialogs, BackgroundSaveStoresTheNumbersOfTheChosenModel) {
    FITPAR.PKVALS(1, 1) = 100.0f;
    FIXEDBG.NSTEP_BG = 5;
    FIXEDBG.IBGTYPE = 3;
    run({"set 5 73 4", "press 579"}, RUN_BACKGROUND_INFO);
    EXPECT_EQ(FIXEDBG.IBGTYPE, 3);
    EXPECT_EQ(FIXEDBG.NSTEP_BG, 4);

    run({"toggle 5 64 1", "set 5 70 250.5", "set 5 71 0.125", "set 5 72 2", "press 579"},
        RUN_BACKGROUND_INFO);
    EXPECT_EQ(FIXEDBG.IBGTYPE, 2);
    EXPECT_EQ(FITPAR.PKVALS(1, 1), 250.5f);
    EXPECT_EQ(FITPAR.PKVALS(1, 2), 0.125f);
    EXPECT_EQ(FITPAR.PKVALS(1, 3), 2.0f);
    EXPECT_EQ(FIXEDBG.NSTEP_BG, 4);
}

TEST_F(ParameterDialogs, BackgroundFieldsFollowTheModel) {
    struct Case {
        int model;
        int abc, nstep, label;
        int toggle_on;  // slot of the model toggle on afterwards
    };
    // A code outside 0..3 (the parameter file reads it unchecked) has no toggle: the radio box
    // keeps its last choice and no number is shown.
    const Case cases[] = {
        {2, STATUS_ACTIVE, STATUS_HIDDEN, STATUS_ACTIVE, 64}, {3, STATUS_HIDDEN, STATUS_ACTIVE, STATUS_ACTIVE, 65},
        {0, STATUS_HIDDEN, STATUS_HIDDEN, STATUS_HIDDEN, 62}, {1, STATUS_HIDDEN, STATUS_HIDDEN, STATUS_HIDDEN, 63},
        {7, STATUS_HIDDEN, STATUS_HIDDEN, STATUS_HIDDEN, 63}, {-2, STATUS_HIDDEN, STATUS_HIDDEN, STATUS_HIDDEN, 63},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.model);
        FIXEDBG.IBGTYPE = c.model;
        WRITE_BGVALS();
        for (int k = 70; k <= 72; ++k) EXPECT_EQ(state(5, k), c.abc) << k;
        EXPECT_EQ(state(5, 73), c.nstep);
        EXPECT_EQ(state(5, 74), c.label);
        for (int k = 62; k <= 65; ++k) EXPECT_EQ(toggle(5, k), k == c.toggle_on) << k;
    }
}

TEST_F(ParameterDialogs, OutputFormatAndTheShelxWarning) {
    struct Case {
        const char* name;
        int format, ubok;
        std::vector<std::string> actions;
        int result;
        bool warned;
    };
    const Case cases[] = {
        {"quit with Shelx and no matrix still warns", 3, 0, {"press 592"}, 3, true},
        {"undecided and quit stays undecided", 0, 0, {"press -1", "press 341", "press 592"}, 0, false},
        {"undecided, saved with the last choice", 0, 0, {"press 593"}, 3, true},
        {"extended chosen and saved", 3, 0, {"toggle 5 95 1", "press 593"}, 2, false},
        {"Shelx with a valid matrix", 1, 1, {"toggle 5 96 1", "press 593"}, 3, false},
        // A click cannot leave the radio box without a choice: the format chosen stays on.
        {"the chosen toggle clicked off stays on", 1, 1, {"toggle 5 94 0", "press 593"}, 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FILEINFO.OUT_FORMAT = c.format;
        UNITCELL.UBOK = c.ubok;
        run(c.actions, RUN_INTFORMAT);
        EXPECT_EQ(FILEINFO.OUT_FORMAT, c.result);
        std::vector<std::string> expected = {"show " + FORMAT_TITLE, "hide " + FORMAT_TITLE};
        if (c.warned) expected.push_back(SHELX_WARNING);
        EXPECT_EQ(transcript(), expected);
        EXPECT_EQ(gmEnqActiveWindow(), GRAPHICS.IMASTER);
    }
}

// With an integrated data file open, the format in force is the file's: a file that holds nothing
// yet takes the new one at once, and the main window shows it; a file that holds reflections
// keeps its layout when the user answers Enter ("No"), and the new format waits for the next file.
TEST_F(ParameterDialogs, OutputFormatOfAnOpenFileIsTheOneItHolds) {
    ASSERT_EQ(kvtest::open_write(2, dir / "out.int"), rt::IOS_OK);
    FILEINFO.OUTOPEN = 1;
    FILEINFO.OUT_NAME = "out.int";
    FILEINFO.OUT_FORMAT = 1;
    UNITCELL.UBOK = 1;
    gmSetTextSetting(GRAPHICS.IWID(1, 45), "Rfine");
    run({"toggle 5 96 1", "press 593"}, RUN_INTFORMAT);
    EXPECT_EQ(FILEINFO.OUT_FORMAT, 3);
    EXPECT_EQ(w(1, 45).text, "Shelx");

    ASSERT_EQ(rt::unit_write_record(2, "   1   0   0   100.00    1.00   1"), rt::IOS_OK);
    run({"toggle 5 94 1", "press 593", "answer enter"}, RUN_INTFORMAT);
    EXPECT_EQ(FILEINFO.OUT_FORMAT, 3);
    EXPECT_EQ(w(1, 45).text, "Shelx");
    ASSERT_EQ(transcript().size(), 3u);
    EXPECT_EQ(transcript()[2],
              "ask " + kvtest::TITLE + ": Output format | out.int holds reflections in the Shelx hkl layout, and a file "
              "holds one layout: open a new output file for the Rfine layout now (Yes), or go on writing Shelx hkl to "
              "out.int and use Rfine for the next output file (No) -> 3");
    rt::unit_close(2);
    SET_NEXT_OUTPUT_FORMAT(0);
}

}  // namespace
