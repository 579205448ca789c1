// An accepted reflection whose intensity esd is 0 (the intensity held at its start value) has an
// infinite I/sigma in the preprocessing pass: it passes any threshold and is stored.
#include <string>
#include <vector>

#include "manual_loaded_set.h"

namespace {

class PreprocessInfiniteRatio : public kvtest::LoadedSet {};

TEST_F(PreprocessInfiniteRatio, AnIntensityWithoutEsdIsStoredWhateverTheThreshold) {
    load();
    // Intensity not refined; the highest threshold a float holds.
    script({"toggle 4 33 0", "set 5 2 3.0e38", "press 53", "run"});
    START_PREPROCESS();
    EXPECT_EQ(FITPAR.IREF(3), 0);
    EXPECT_EQ(INTRES.SIGPEAK, 0.0f);
    EXPECT_GT(INTRES.PEAK, 0.0f);
    // Every accepted reflection that is not a standard is stored.
    EXPECT_GT(TOTALS.IC(1), 3);
    EXPECT_EQ(FITVALS.NFIT, TOTALS.IC(1) - 3);  // the three standards are accepted, never stored
}

}  // namespace
