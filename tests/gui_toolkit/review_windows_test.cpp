// The help window: the procedure goes through its plain body to the library, without a master
// check, with one blank for an absent topic.
#include <fstream>

#include "core_fixture.h"

namespace {

using ReviewWindows = CoreTest;

TEST_F(ReviewWindows, HelpWindowNeedsNoMasterAndPassesTheTopicOrOneBlank) {
    const std::string help = testing::TempDir() + "kelvor.hlp";
    std::ofstream(help) << "Fitting\nCell\n";
    wl::model().trace_on = true;
    const std::string_view topic = "Fitting";
    EXPECT_EQ(GMDISPLAYHELP(help, "contents"), 0);
    EXPECT_EQ(GMDISPLAYHELP(help, "index", &topic), 0);
    int result = 7;
    GUIHLP("kelvor.hlp", result, "key", "Cell");  // no such file here: nothing is shown
    EXPECT_EQ(result, 1);
    EXPECT_EQ(wl::model().trace, (std::vector<std::string>{"DISPLAYHELP(\"" + help + "\", \"contents\", \"\")",
                                                           "DISPLAYHELP(\"" + help + "\", \"index\", \"Fitting\")",
                                                           "DISPLAYHELP(\"kelvor.hlp\", \"key\", \"Cell\")"}));
    EXPECT_TRUE(console().empty());
    EXPECT_EQ(CURRENT_ROUTINE, "");
}

}  // namespace
