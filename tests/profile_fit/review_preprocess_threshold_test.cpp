// The I/sigma threshold of the preprocessing pass never falls below 3: an entry of 1.0 keeps out
// an accepted reflection whose I/sigma lies between 1 and 3.
#include <string>
#include <vector>

#include "manual_loaded_set.h"

namespace {

class PreprocessThreshold : public kvtest::LoadedSet {};

TEST_F(PreprocessThreshold, AnEntryBelowThreeWorksAsThree) {
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
