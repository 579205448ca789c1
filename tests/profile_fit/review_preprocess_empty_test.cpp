// A preprocessing pass whose first read already meets the end of the data (every reflection of
// the set is weak and skipped) ends with a count of 0 and still counts as a finished pass.
#include <string>
#include <vector>

#include "manual_loaded_set.h"

namespace {

class PreprocessNothingRead : public kvtest::LoadedSet {};

TEST_F(PreprocessNothingRead, OnlyWeakReflectionsGiveACountOfZeroAndAFinishedPass) {
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

}  // namespace
