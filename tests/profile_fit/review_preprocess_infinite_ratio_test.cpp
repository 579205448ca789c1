// A fit whose intensity has no esd (the intensity held at its start value) is no measurement:
// in the preprocessing pass it is rejected as an error of the least squares and never stored,
// whatever the threshold.
#include <string>
#include <vector>

#include "manual_loaded_set.h"

namespace {

class PreprocessInfiniteRatio : public kvtest::LoadedSet {};

TEST_F(PreprocessInfiniteRatio, AnIntensityWithoutEsdIsNeverStored) {
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

}  // namespace
