// The text a value entry shows for its number: fixed-point with the entry's decimals, and E form
// for a number whose fixed form no entry could show whole.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/widget_extra.h"

namespace {

TEST(ValueText, ANumberTooWideForItsEntryIsShownInEFormNeverCut) {
    const struct {
        double value;
        int width, decimals;
        const char* text;
    } cases[] = {
        {0.025, 6, 3, " 0.025"},
        {12345.6, 6, 1, "12345.6"},          // wider than its field, but shown whole
        {123456.75, 6, 3, "123456.750"},     // ten characters still fit
        {1.0e30, 6, 3, "1.0000E+30"},        // not 1000000015047466...
        {-1.0e30, 10, 5, "-1.000E+30"},
        {1.0e30, -12, 2, "1.000000E+30"},    // left-aligned
        {3.4e38, 8, 6, "3.4000E+38"},
        {1.0e-30, 6, 3, " 0.000"},           // small numbers keep their fixed form
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(wl::value_text(c.value, c.width, c.decimals), c.text);
    }
    EXPECT_EQ(wl::value_text(NAN, 6, 3), "   nan");
}

}  // namespace
