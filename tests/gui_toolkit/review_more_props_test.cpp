// Recoded widget properties read back through gmEnqWidgetProp: a value the toolkit does not
// answer stays as it was, whatever it is; an answered one is decoded.
#include "widget_fixture.h"

using ReviewMoreProps = WidgetTest;

TEST_F(ReviewMoreProps, RecodedEnquiryKeepsEveryValueWhenRefusedAndDecodesAnswers) {
    start();
    const int bar = make(wl::KIND_MENUBAR);
    // (enquiry position, property code, value held before, library answer, value read)
    struct Case {
        int pos, code, before, answer, read;
    };
    const Case cases[] = {
        {14, 13, 1, 1, 0},  {14, 13, 2, 2, 8},         {14, 13, 3, 0, -1}, {14, 13, -1, 3, 4},
        {81, 78, 1, 1, 32763}, {81, 78, 2, 7, 7}, {81, 78, 32764, 2, 32764}, {17, 16, 4, 9, -9},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "code " << c.code << " before " << c.before);
        int value = c.before;
        WidgetPropResults r;
        r.i[std::size_t(c.pos)] = &value;
        gmEnqWidgetProp(-3, r);  // refused: error 26, nothing written
        EXPECT_EQ(value, c.before);
        SETWIDGETPROP(bar, c.code, c.answer, 0.0, " ", 1);
        gmEnqWidgetProp(bar, r);
        EXPECT_EQ(value, c.read);
    }
}
