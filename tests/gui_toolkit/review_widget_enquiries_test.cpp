// Array enquiries into two-dimensional arrays: every request reaches the toolkit, an empty block
// included, so a wrong widget is reported whatever the block.
#include "runtime/farray.h"
#include "runtime/ftext.h"
#include "widget_fixture.h"

using ReviewWidgetEnquiries = WidgetTest;

TEST_F(ReviewWidgetEnquiries, EmptyBlockIntoAnArrayStillChecksTheWidget) {
    start();
    const int entry = make(wl::KIND_VALUE);
    rt::FArray2<double, 2, 2> values;
    rt::FArray2<rt::FText<4>, 2, 2> texts;
    struct Case {
        const char* what;
        std::function<void()> call;
    } cases[] = {
        {"values, no columns", [&] { gmEnqValueArray2(entry, 1, 1, 0, 2, values); }},
        {"values, no rows", [&] { gmEnqValueArray2(entry, 1, 1, 2, -1, values); }},
        {"texts, no rows", [&] { gmEnqTextArray_2(entry, 1, 1, 2, 0, texts); }},
    };
    for (const auto& c : cases) {
        wl::model().console.clear();
        c.call();
        ASSERT_EQ(console().size(), 1u) << c.what;
        EXPECT_EQ(console()[0].text, err(24)) << c.what;
    }

    // On a real array an empty block transfers nothing and reports nothing.
    int array = 0;
    VALARR(1, 3, 3, 10, 10, array);
    wl::model().console.clear();
    values(1, 1) = 5.0;
    gmEnqValueArray2(array, 1, 1, 0, 2, values);
    EXPECT_EQ(values(1, 1), 5.0);
    EXPECT_TRUE(console().empty());
}
