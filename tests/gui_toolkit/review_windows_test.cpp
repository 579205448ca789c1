// The help window: the procedure goes through its plain body to the library, without a master
// check, with one blank for an absent topic.
#include "core_fixture.h"

namespace {

using ReviewWindows = CoreTest;

TEST_F(ReviewWindows, HelpWindowNeedsNoMasterAndPassesTheTopicOrOneBlank) {
    wl::model().trace_on = true;
    const std::string_view topic = "Fitting";
    EXPECT_EQ(GMDISPLAYHELP("kelvor.hlp", "contents"), 0);
    EXPECT_EQ(GMDISPLAYHELP("kelvor.hlp", "index", &topic), 0);
    int result = 7;
    GUIHLP("kelvor.hlp", result, "key", "Cell");
    EXPECT_EQ(result, 0);
    EXPECT_EQ(wl::model().trace, (std::vector<std::string>{"DISPLAYHELP(\"kelvor.hlp\", \"contents\", \"\")",
                                                           "DISPLAYHELP(\"kelvor.hlp\", \"index\", \"Fitting\")",
                                                           "DISPLAYHELP(\"kelvor.hlp\", \"key\", \"Cell\")"}));
    EXPECT_TRUE(console().empty());
    EXPECT_EQ(CURRENT_ROUTINE, "");
}

}  // namespace
