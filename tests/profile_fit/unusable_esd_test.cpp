// Fits whose numbers would mislead what reads the integrated data file: an intensity without a
// usable esd never passes and a manual Accept refuses it with a box; an end-step background
// count above half the scan is held to half the scan, with a line in the log.
#include <string>

#include "manual_loaded_set.h"

namespace {

class UnusableFits : public kvtest::LoadedSet {};

TEST_F(UnusableFits, AnIntensityWithoutAnEsdIsNeverWrittenAsPassed) {
    load();
    open_output();
    // Intensity not refined: the fit gives it no esd. Refit, then Accept, then Exit.
    script({"toggle 4 33 0", "press 104", "press 111", "press 101"});
    START_MANUAL_FIT();
    EXPECT_EQ(REFLN.ISEQ, 1);  // Accept did not move on
    EXPECT_EQ(REFLN.FLAG(2), 'R');
    EXPECT_EQ(REFLN.FLAG(3), 'E');
    EXPECT_EQ(TOTALS.IC(1), 1);  // the fit made on entry, with the intensity refined
    EXPECT_EQ(TOTALS.IC(2), 1);  // the refit: an error of the least squares
    EXPECT_EQ(count(kvtest::BOX + "Not accepted: the intensity of this fit has an esd of 0 or none; refit it or move on"),
              1);
    EXPECT_TRUE(written().empty());
}

TEST_F(UnusableFits, EndStepsAboveHalfTheScanAreHeldToHalfAndLogged) {
    load();
    ASSERT_EQ(REFLN.NSTEP, 51);
    FIXEDBG.IBGTYPE = 3;
    float sum = 0.0f;
    for (int i = 1; i <= 25; ++i) sum += REFLN.COUNTS(i) + REFLN.COUNTS(52 - i);
    for (int asked : {26, 99, 2147483647}) {
        SCOPED_TRACE(asked);
        FIXEDBG.NSTEP_BG = asked;
        const float bg = GET_BACKGROUND(REFLN.ANGL(1));
        if (REFLN.UNEQ == 0) {
            EXPECT_FLOAT_EQ(bg, sum * 0.5f / 25.0f);
        }
        EXPECT_LT(bg, REFLN.CMAX);  // never the peak
    }
    const std::string text = log();
    // Once for the reflection, however often its background is evaluated.
    const std::string line = " REFLECTION 1 (1 1 0): 26 END STEPS PER SIDE ASKED FOR, THE SCAN HAS 51 STEPS; "
                             "BACKGROUND FROM 25 END STEPS";
    EXPECT_NE(text.find(line.substr(1)), std::string::npos) << text;
    EXPECT_EQ(text.find("99 END STEPS"), std::string::npos);
}

}  // namespace
