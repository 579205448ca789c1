// The FWHM calibration ("Calc FWHM") on hand-made fitted-reflection tables: the precondition,
// the weighted straight line through the stored widths against tan(theta), what the dialog
// shows, what "Save values" and "Quit" leave in the FWHM default coefficients, a table without a
// refined width, and lines that cannot be determined or give no positive width.
#include <cmath>
#include <string>
#include <vector>

#include "include/fwhm_rule.h"
#include "manual_loaded_set.h"

namespace {

const std::string FWHM_DIALOG = kvtest::TITLE + ": FWHM values from dataset";
const std::vector<std::string> SHOWN_AND_HIDDEN = {"show " + FWHM_DIALOG, "hide " + FWHM_DIALOG};
const std::string NO_ROW = "No reflection could be used: no FWHM was refined";
const std::string NOT_POSITIVE = "FWHM not positive at every 2theta of the data: not saved";

struct Row {
    float tth, fwhm, esd;
};

class FwhmCalibration : public kvtest::LoadedSet {
protected:
    void SetUp() override {
        LoadedSet::SetUp();
        FITPAR.PKVALS(2, 1) = 0.18f;
        FITPAR.PKVALS(2, 2) = 0.06f;
    }
    static void table(const std::vector<Row>& rows) {
        FITVALS.NFIT = int(rows.size());
        for (int n = 1; n <= FITVALS.NFIT; ++n) {
            FITVALS.ANGLESFIT(n, 1) = rows[n - 1].tth;
            FITVALS.FWHMFIT(n, 1) = rows[n - 1].fwhm;
            FITVALS.FWHMFIT(n, 2) = rows[n - 1].esd;
        }
        FITVALS.IPREPROC = 1;
    }
    static void calibrate(const std::vector<std::string>& lines) {
        script(lines);
        FIT_GAMMA();
    }
    static double shown(int k) { return w(6, k).value; }
};

// Widths 0.10 at theta 10 and 0.12 at theta 20 (the second measured at negative 2theta), equal
// weights, and a row whose width was not refined (esd 0) that must not pull the line.
const std::vector<Row> TWO_POINTS = {{20.0f, 0.10f, 0.01f}, {-40.0f, 0.12f, 0.01f}, {30.0f, 0.5f, 0.0f}};

TEST_F(FwhmCalibration, TheLinePassesThroughTwoEquallyWeightedPoints) {
    table(TWO_POINTS);
    calibrate({"press 65"});
    const double t1 = std::tan(10.0 * M_PI / 180.0), t2 = std::tan(20.0 * M_PI / 180.0);
    const double slope = 0.02 / (t2 - t1);
    EXPECT_NEAR(shown(3), slope, 1e-4 * slope);
    EXPECT_NEAR(shown(2), 0.10 - slope * t1, 1e-5);
    // The esds, 0.01 sqrt(t1^2 + t2^2) / (t2 - t1) = 0.0216 and 0.01 sqrt(2) / (t2 - t1) = 0.0754,
    // as the program's esd rule shows them.
    EXPECT_EQ(w(6, 6).text, "0.03");
    EXPECT_EQ(w(6, 7).text, "0.08");
    // "Save values" stores what the entries hold.
    EXPECT_EQ(FITPAR.PKVALS(2, 1), float(shown(2)));
    EXPECT_EQ(FITPAR.PKVALS(2, 2), float(shown(3)));
    EXPECT_EQ(transcript(), SHOWN_AND_HIDDEN);
}

TEST_F(FwhmCalibration, QuitKeepsTheCoefficientsAndSaveTakesATypedValue) {
    table(TWO_POINTS);
    calibrate({"set 6 2 0.05", "press 64"});
    EXPECT_EQ(FITPAR.PKVALS(2, 1), 0.18f);
    EXPECT_EQ(FITPAR.PKVALS(2, 2), 0.06f);
    calibrate({"set 6 2 0.05", "press 65"});
    EXPECT_EQ(FITPAR.PKVALS(2, 1), 0.05f);
    EXPECT_EQ(FITPAR.PKVALS(2, 2), float(shown(3)));
}

TEST_F(FwhmCalibration, WithoutARefinedWidthItSaysSoAndShowsNoLine) {
    // Held widths (esd 0), and esds that are negative or not finite, are no refined widths; an
    // empty table (every reflection weak) has none either. No line of zeros is shown or saved.
    const std::vector<Row> tables[] = {
        {{20.0f, 0.10f, 0.0f}, {40.0f, 0.12f, -0.001f}, {50.0f, 0.13f, NAN}, {60.0f, 0.14f, INFINITY}},
        {},
    };
    for (const std::vector<Row>& rows : tables) {
        SCOPED_TRACE(rows.size());
        table(rows);
        calibrate({});
        EXPECT_EQ(transcript(), std::vector<std::string>{kvtest::BOX + NO_ROW});
        EXPECT_EQ(FITPAR.PKVALS(2, 1), 0.18f);
        EXPECT_EQ(FITPAR.PKVALS(2, 2), 0.06f);
    }
}

TEST_F(FwhmCalibration, ALineWhoseWidthIsNotPositiveOverTheTableIsNotSaved) {
    // Widths 0.05 at 2theta 20 and 0.20 at 2theta 40 give a fitted line below zero at 2theta 0:
    // it is refused, and a line typed in its place, positive over the table, is saved. (A typed
    // coefficient outside its range never gets this far.)
    table({{20.0f, 0.05f, 0.001f}, {40.0f, 0.20f, 0.001f}, {-60.0f, 0.30f, 0.0f}});
    calibrate({"press 65", "set 6 2 0.1", "set 6 3 0.1", "press 65"});
    EXPECT_EQ(count(kvtest::BOX + NOT_POSITIVE), 1);
    EXPECT_EQ(FITPAR.PKVALS(2, 1), 0.1f);
    EXPECT_EQ(FITPAR.PKVALS(2, 2), 0.1f);
}

// A pass with the width held stores rows without a refined width: "Calc FWHM" says so and keeps
// the width rule, and the next pass, its widths from that rule and refined, stores as many
// reflections as a pass before it.
TEST_F(FwhmCalibration, AfterAPassWithTheWidthHeldTheRuleInForceStillFitsEveryReflection) {
    load();
    script({"press 53", "run"});
    START_PREPROCESS();
    const int stored = FITVALS.NFIT;
    ASSERT_GT(stored, 0);
    const float a = FITPAR.PKVALS(2, 1), b = FITPAR.PKVALS(2, 2);
    read(STD_BY_NUMBER, 1);
    script({"toggle 4 32 0", "toggle 4 62 1", "press 53", "run"});
    START_PREPROCESS();
    ASSERT_EQ(FITVALS.NFIT, stored);
    for (int n = 1; n <= stored; ++n) ASSERT_EQ(FITVALS.FWHMFIT(n, 2), 0.0f) << n;
    calibrate({});
    EXPECT_EQ(transcript().back(), kvtest::BOX + NO_ROW);
    EXPECT_EQ(FITPAR.PKVALS(2, 1), a);
    EXPECT_EQ(FITPAR.PKVALS(2, 2), b);
    read(STD_BY_NUMBER, 1);
    script({"toggle 4 32 1", "press 53", "run"});
    START_PREPROCESS();
    EXPECT_EQ(FITVALS.NFIT, stored);
}

// A coefficient typed outside its range is refused as in "Pkvals"; the dialog stays and the
// entry shows the fitted coefficient again, which the next "Save values" stores.
TEST_F(FwhmCalibration, ATypedCoefficientOutsideItsRangeIsRefused) {
    table(TWO_POINTS);
    calibrate({"set 6 2 -0.05", "press 65", "press 65"});
    EXPECT_EQ(FITPAR.PKVALS(2, 1), float(shown(2)));
    EXPECT_GT(shown(2), 0.0);
    EXPECT_EQ(transcript(),
              (std::vector<std::string>{"show " + FWHM_DIALOG,
                                        kvtest::BOX + "The FWHM coefficient a must be at least 0.001 and at most 10 "
                                                      "degrees; -0.05 is not taken",
                                        "hide " + FWHM_DIALOG}));
}

TEST_F(FwhmCalibration, WidthsOfStrongReflectionsWithTinyEsdsAllCount) {
    // Widths exactly on FWHM = 0.08 + 0.12 tan(theta), with esds from 1E-4 down to 1E-6: every
    // row is used, so the line comes back with esds of the same order.
    std::vector<Row> rows;
    for (int n = 0; n < 40; ++n) {
        const float tth = 5.0f + 2.5f * float(n);
        const float esd = n % 3 == 0 ? 1e-6f : n % 3 == 1 ? 1e-5f : 1e-4f;
        rows.push_back({tth, float(0.08 + 0.12 * std::tan(tth / 2 * M_PI / 180)), esd});
    }
    table(rows);
    calibrate({"press 65"});
    EXPECT_NEAR(shown(2), 0.08, 1e-6);
    EXPECT_NEAR(shown(3), 0.12, 1e-5);
    // The esds, rounded up to their first significant digit, of the order of the smallest.
    const double esd0 = std::stod(w(6, 6).text), esd1 = std::stod(w(6, 7).text);
    EXPECT_GT(esd0, 0.0);
    EXPECT_LT(esd0, 1e-6);
    EXPECT_GT(esd1, 0.0);
    EXPECT_LT(esd1, 1e-5);
    EXPECT_EQ(FITPAR.PKVALS(2, 1), float(shown(2)));
}

TEST_F(FwhmCalibration, WithoutAPreprocessingPassItAsksForOne) {
    table(TWO_POINTS);
    FITVALS.IPREPROC = 0;
    calibrate({});
    EXPECT_EQ(transcript(), std::vector<std::string>{"box Kelvorantid | Run PreProcess first"});
    EXPECT_EQ(FITPAR.PKVALS(2, 1), 0.18f);
}

TEST_F(FwhmCalibration, AnUndeterminedLineIsShownAsNotANumberAndNotSaved) {
    // One row, or rows at the same |2theta| (a row with esd 0 does not count): no slope can be
    // fitted. In floats D is left with a rounding residue that would give finite, fitted-looking
    // values; they are shown as not a number, and "Save values" refuses them.
    const std::vector<Row> tables[] = {
        {{30.0f, 0.10f, 0.01f}, {-30.0f, 0.12f, 0.02f}},
        {{25.0f, 0.11f, 0.013f}, {40.0f, 0.12f, 0.0f}},
    };
    for (const std::vector<Row>& rows : tables) {
        SCOPED_TRACE(rows.size());
        table(rows);
        calibrate({"press 65", "press 64"});
        for (int k : {2, 3}) EXPECT_TRUE(std::isnan(shown(k))) << k;
        for (int k : {6, 7}) EXPECT_EQ(w(6, k).text, "none") << k;
        EXPECT_EQ(count(kvtest::BOX + "FWHM values are not finite: not saved"), 1);
        EXPECT_EQ(FITPAR.PKVALS(2, 1), 0.18f);
        EXPECT_EQ(FITPAR.PKVALS(2, 2), 0.06f);
    }
    // Numbers typed over them are saved.
    calibrate({"press 65", "set 6 2 0.15", "set 6 3 0.07", "press 65"});
    EXPECT_EQ(FITPAR.PKVALS(2, 1), 0.15f);
    EXPECT_EQ(FITPAR.PKVALS(2, 2), 0.07f);
    EXPECT_EQ(transcript().back(), "hide " + FWHM_DIALOG);
}

// The dialog's close box asks the main loop's question: "No" leaves the dialog open as it was.
TEST_F(FwhmCalibration, ExitRequestInTheDialogAsksAndNoKeepsTheDialog) {
    const std::string question = "ask " + kvtest::TITLE + " | Are you sure you want to exit the program? -> ";
    table(TWO_POINTS);
    calibrate({"set 6 2 0.05", "press -1", "answer 3", "press 65"});
    EXPECT_EQ(FITPAR.PKVALS(2, 1), 0.05f);
    EXPECT_EQ(count(question + "3"), 1);
    script({"press -1", "answer 2"});
    EXPECT_EQ(exit_status([] { FIT_GAMMA(); }), 0);
    EXPECT_EQ(FITPAR.PKVALS(2, 1), 0.05f);
}

TEST_F(FwhmCalibration, TheSavedWidthRuleStartsTheNextFit) {
    load();
    table(TWO_POINTS);
    calibrate({"press 65"});
    WRITE_FIT_PARAMETERS();
    gmSetToggleSwitch(GRAPHICS.IWID(4, 62), 1);  // FWHM from its default rule
    SET_FIT_PARAMETERS();
    const float a = FITPAR.PKVALS(2, 1), b = FITPAR.PKVALS(2, 2);
    EXPECT_NEAR(FITPAR.VALS(2), a + b * std::tan(std::fabs(0.5f * REFLN.ANGL(1)) / 57.29578f), 1e-6f);
    EXPECT_NE(a, 0.18f);
}

}  // namespace

namespace {

// The reflections of a data set as the load counts them.
void data_set_at(const std::vector<float>& twothetas) {
    SET_SCANCODES_ZERO();
    for (float tth : twothetas) NOTE_REFLECTION_ANGLE(tth);
}

}  // namespace

// The width rule is judged over every reflection of the data set in use, not only the rows the
// pass stored: a table over rules, with the stored rows at 2theta 11 to 57 and the file's
// reflections from 11 up to 136 (the weak ones, never stored, at the high angles).
TEST_F(FwhmCalibration, ARuleIsSavedOnlyWhenPositiveAtEveryReflectionOfTheFile) {
    std::vector<Row> rows;
    std::vector<float> file;
    for (int n = 0; n < 40; ++n) {
        const float tth = 11.0f + 46.0f * float(n) / 39.0f;
        rows.push_back({tth, 0.2f, 0.001f});
        file.push_back(tth);
    }
    for (int n = 0; n < 20; ++n) file.push_back((n % 2 == 0 ? 1.0f : -1.0f) * (101.0f + 35.0f * float(n) / 19.0f));
    table(rows);
    data_set_at(file);
    const float t_high = FWHM_RULE_TAN(136.0f);
    const float t_88 = FWHM_RULE_TAN(88.0f);
    struct Rule {
        const char* what;
        float a, b;
        bool saved;
    };
    const Rule rules[] = {
        {"positive everywhere", 0.10f, 0.10f, true},
        {"falling, still positive at the highest reflection", 0.32f, -0.99f * 0.32f / t_high, true},
        {"negative beyond the stored rows, from 2theta 88", 0.32f, -0.32f / t_88, false},
        {"negative inside the stored rows", 0.30f, -0.30f / FWHM_RULE_TAN(40.0f), false},
        {"negative below the lowest reflection only (at 2theta 0)", -0.01f, 0.5f, false},
        {"zero at the highest reflection", t_high, -1.0f, false},
        {"zero everywhere", 0.0f, 0.0f, false},
    };
    for (const Rule& r : rules) {
        SCOPED_TRACE(r.what);
        EXPECT_EQ(FWHM_RULE_MAKES_PEAKS(r.a, r.b), r.saved);
    }
    // Without the reflections beyond the stored rows, the rule negative from 2theta 88 makes a
    // peak at every reflection of that data set.
    data_set_at(std::vector<float>(file.begin(), file.begin() + 40));
    EXPECT_TRUE(FWHM_RULE_MAKES_PEAKS(0.32f, -0.32f / t_88));
}

// The fitted line of widths that fall with the angle, measured at 2theta 11 to 57, is negative
// from about 2theta 94: with weak reflections of the file at 101 to 136 it is not saved, and the
// rule in force stays; a data set that ends at 60 degrees takes it.
TEST_F(FwhmCalibration, AFallingLineNegativeBeyondTheStoredRowsIsNotSaved) {
    std::vector<Row> rows;
    std::vector<float> file;
    for (int n = 0; n < 40; ++n) {
        const float tth = 11.0f + 46.0f * float(n) / 39.0f;
        rows.push_back({tth, 0.32f - 0.30f * FWHM_RULE_TAN(tth), 0.001f});
        file.push_back(tth);
    }
    table(rows);
    file.push_back(101.0f);
    file.push_back(136.0f);
    data_set_at(file);
    calibrate({"press 65", "press 64"});
    EXPECT_EQ(count(kvtest::BOX + NOT_POSITIVE), 1);
    EXPECT_EQ(FITPAR.PKVALS(2, 1), 0.18f);
    EXPECT_EQ(FITPAR.PKVALS(2, 2), 0.06f);
    data_set_at(std::vector<float>(file.begin(), file.begin() + 40));
    calibrate({"press 65"});
    EXPECT_NEAR(FITPAR.PKVALS(2, 1), 0.32f, 1e-3);
    EXPECT_NEAR(FITPAR.PKVALS(2, 2), -0.30f, 1e-3);
}
