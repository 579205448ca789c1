// Setters checked against the precision of what they forward: a cell number given as an integer
// reaches the cell in double precision, unrounded.
#include "widget_fixture.h"

using ReviewWidgetSetters = WidgetTest;

TEST_F(ReviewWidgetSetters, CellNumberGivenAsIntegerKeepsEveryDigit) {
    start();
    const int array = make(wl::KIND_TEXTARRAY);
    // 2^24 + 1 has no 32-bit real; the cell holds a double, so it must arrive as it was given.
    const int cases[] = {16777217, -16777219, 2147483647, 7};
    int col = 1;
    for (int given : cases) {
        gmSetCellSetting(array, col, 1, {.integer = given});
        double value = 0;
        char text[4];
        gmEnqCellSetting(array, col, 1, value, text, 4);
        EXPECT_EQ(value, double(given)) << given;
        ++col;
    }
    EXPECT_TRUE(console().empty());
}
