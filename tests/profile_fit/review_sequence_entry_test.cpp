// The searches typed in the main window: a sequence number is one whole number in range, h k l
// are three whole numbers. Anything else is refused with a box and the reflection on display
// stays; what is allowed finds its reflection.
#include <cstdio>
#include <string>

#include "manual_loaded_set.h"

namespace {

class SearchEntries : public kvtest::LoadedSet {};

TEST_F(SearchEntries, OnlyAWholeSequenceNumberInRangeIsSearched) {
    const std::string rule = kvtest::BOX + "A sequence number must be a whole number from 1 to 999999; ";
    struct Case {
        const char* typed;
        int iseq;            // the reflection on display afterwards
        std::string box;     // empty: none
    };
    const Case cases[] = {
        {"12", 12, ""},
        {"12.9", 12, rule + "12.9 is not taken"},      // not 12 by truncation
        {"7.99999999", 12, rule + "7.99999999 is not taken"},
        {"-5", 12, rule + "-5 is not taken"},          // not reflection 1
        {"0", 12, rule + "0 is not taken"},
        {"1000000", 12, rule + "1000000 is not taken"},
        {"1", 1, ""},
        {"20", 20, ""},
    };
    load();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        script({"set 1 7 " + std::string(c.typed), "press 108", "press 101"});
        START_MANUAL_FIT();
        EXPECT_EQ(REFLN.ISEQ, c.iseq);
        std::vector<std::string> boxes;
        for (const std::string& l : transcript())
            if (l.rfind(kvtest::BOX, 0) == 0) boxes.push_back(l);
        EXPECT_EQ(boxes, c.box.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.box});
    }
}

TEST_F(SearchEntries, OnlyThreeWholeIndicesAreSearched) {
    const std::string refused = kvtest::BOX + "Type h k l as three whole numbers, for example 1 0 -2";
    struct Case {
        const char* typed;
        int iseq;
        bool box;
    };
    const Case cases[] = {
        {"0 2 0", 2, false}, {"1 1", 2, true},     {"1 1 1 1", 2, true}, {"abc", 2, true},
        {"1.5 0 0", 2, true}, {"1,1,1", 4, false}, {"+1 -1 x", 4, true}, {"99999 0 0", 4, true},
    };
    load();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        script({"set 1 5 " + std::string(c.typed), "press 106", "press 101"});
        START_MANUAL_FIT();
        EXPECT_EQ(REFLN.ISEQ, c.iseq);
        int boxes = 0;
        for (const std::string& l : transcript()) {
            if (l.rfind(kvtest::BOX, 0) != 0) continue;
            ++boxes;
            EXPECT_EQ(l, refused);
        }
        EXPECT_EQ(boxes, c.box ? 1 : 0);
    }
}

}  // namespace

namespace {

class SearchWhilePassRuns : public kvtest::LoadedSet {};

// While the automatic pass runs, a search typed into the h k l entry is refused; the entry then
// shows the h k l of the reflection on display, not the typed text mixed with it.
TEST_F(SearchWhilePassRuns, TheRefusedTextIsNotLeftInTheEntry) {
    load();
    open_output();
    script({"press 541", "press 118", "ticks 2", "set 1 5 3 3 3", "press 106", "press 119", "press 101"});
    START_AUTO_FIT();
    EXPECT_EQ(count(kvtest::BOX + "Press Stop before searching for a reflection"), 1);
    char hkl[16];
    std::snprintf(hkl, sizeof hkl, "%3d%3d%3d", REFLN.IH(1), REFLN.IH(2), REFLN.IH(3));
    EXPECT_EQ(w(1, 5).text.substr(0, 9), hkl);
    EXPECT_FALSE(written().empty());
}

}  // namespace
