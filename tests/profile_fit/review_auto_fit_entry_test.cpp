// The automatic fit pass writes what FIT_REFLECTION leaves: a reflection rejected at its first
// fit and accepted at the second pass, with the position held at the predicted omega, goes to
// the integrated data file with the accepted status characters and the pass mark 2.
#include <string>
#include <vector>

#include "manual_loaded_set.h"

namespace {

class AutoFitEntry : public kvtest::LoadedSet {};

TEST_F(AutoFitEntry, ASecondPassThatRecoversTheReflectionIsWrittenAsAccepted) {
    load();
    open_output();
    // Reflection 7 was measured 0.35 degrees above its peak: the refined position leaves its
    // window. With an omega zero of 0.07 the predicted position lies inside it. Only the
    // position test is on, and the position starts from its default rule.
    XTALOFF.OMZERO = 0.07f;
    std::vector<std::string> lines = {"press 541", "toggle 4 64 1"};
    for (int t : {71, 72, 73, 75, 76, 77}) lines.push_back("toggle 4 " + std::to_string(t) + " 0");
    lines.push_back("toggle 4 74 1");
    lines.push_back("set 4 84 0.3");
    lines.push_back("press 484");  // the edit of the limit reaches the record
    // Found by its sequence number (fitted, not written), then written by "Start".
    for (const char* l : {"set 1 7 7", "press 108", "press 118", "press 119", "press 101"}) lines.push_back(l);
    script(lines);
    START_AUTO_FIT();

    EXPECT_EQ(TOTALS.NPASS2, 2);  // the search's fit and Start's
    EXPECT_EQ(TOTALS.NPASS2OK, 2);
    EXPECT_EQ(TOTALS.IC(7), 2);  // counted under the first pass's reject code P
    EXPECT_EQ(TOTALS.IC(1), 0);
    const std::vector<std::string> entries = written();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].substr(61, 7), "    70.");  // 10 ISEQ + ISTD, F7.0
    // Scan code, then accepted with a blank reject code and the pass mark of the second pass.
    EXPECT_EQ(entries[0].substr(71, 3), "F 2");
}

}  // namespace
