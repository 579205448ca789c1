// The value(esd) notation of the CIF's cell items: rounding of the esd and the value in 32-bit
// float, the text and its field widths.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "shell/format_esd.h"

namespace {

std::string formatted(float value, float esd) {
    rt::FText<20> out("garbage");
    FORMAT_VALUE(value, esd, out);
    return std::string(out.view());
}

std::string padded(const std::string& s) { return s + std::string(20 - s.size(), ' '); }

TEST(ValueEsdText, WorkedExamples) {
    struct Case {
        float value, esd;
        const char* text;
    };
    const Case cases[] = {
        {5.43213f, 0.00034f, "5.4321(4)"},   {12.3456f, 0.0015f, "12.3456(15)"}, {12.3456f, 0.0095f, "12.346(10)"},
        {12.3456f, 0.2f, "12.3(2)"},         {12.3456f, 0.1f, "12.35(10)"},      {7.2f, 0.0012f, "7.2000(12)"},
        {234.567f, 0.05f, "234.57(5)"},      {-0.5f, 0.003f, "-0.500(3)"},
        {90.0f, 0.0f, " 90.0000"},           {999.99994f, 0.0f, "999.9999"},     {-99.99994f, 0.0f, "-99.9999"},
        {9.99996f, 0.0004f, "10.0000(4)"},  // the rounding adds a digit and widens the field
        // A zero-esd value too wide for F8.4 keeps its four decimals and takes the digits it needs.
        {1234.5f, 0.0f, "1234.5000"},        {-100.0f, 0.0f, "-100.0000"},       {123456.7f, 0.0f, "123456.7031"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.value) + " esd " + std::to_string(c.esd));
        EXPECT_EQ(formatted(c.value, c.esd), padded(c.text));
    }
}

TEST(ValueEsdText, EdgesOfTheNotation) {
    struct Case {
        float value, esd;
        const char* text;
    };
    const Case cases[] = {
        {-0.0004f, 0.003f, "0.000(3)"},     // rounds to zero: no minus sign left
        {0.25f, 1.0E-7f, "  0.2500"},       // an esd of 1.0E-7 counts as none
        {12.3456f, 0.019f, "12.346(19)"},   // leading digits 19: two digits kept
        {12.3456f, 0.02f, "12.35(2)"},      // above 19: one digit
        {12345.6f, 0.05f, "12345.60(5)"},   // a cell volume wider than nine columns is written whole
        {3.0e8f, 0.5f, "300000000.0(5)"},
        {1099511627776.0f, 0.5f, "1099511627776.0(5)"},  // scaled beyond a 32-bit integer
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(formatted(c.value, c.esd), padded(c.text));
    }
    // A value that is not a number has no digits to show: the CIF's unknown, never a crash.
    EXPECT_EQ(formatted(std::numeric_limits<float>::quiet_NaN(), 0.003f), padded("?"));
    EXPECT_EQ(formatted(std::numeric_limits<float>::infinity(), 0.003f), padded("?"));
    EXPECT_EQ(formatted(std::numeric_limits<float>::quiet_NaN(), 0.0f), padded("?"));
    // Too long for the 20 columns.
    EXPECT_EQ(formatted(-3.0e20f, 0.5f), std::string(20, '*'));
}

// A cell volume's esd is often 1 or more: the value is still written, rounded by the same rules
// one or more places further left, never left out of the CIF.
TEST(ValueEsdText, EsdOfOneOrMoreRoundsToWholeUnitsOrCoarser) {
    struct Case {
        float value, esd;
        const char* text;
        float rounded;
    };
    const Case cases[] = {
        {12.3456f, 1.0f, "12.3(10)", 12.3f},      // exactly 1: two digits, as 0.1 gives (10)
        {1234.567f, 1.2f, "1234.6(12)", 1234.6f},  // leading digits 19 or less: two digits
        {1234.567f, 2.5f, "1235(3)", 1235.0f},     // rounded up; no decimal point
        {1234.567f, 15.0f, "1235(15)", 1235.0f},
        {1234.567f, 25.0f, "1230(30)", 1230.0f},   // the esd in units of one
        {-1234.567f, 250.0f, "-1200(300)", -1200.0f},
        {1234.567f, 100.0f, "1230(100)", 1230.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        float value = c.value;
        rt::FText<20> out;
        testing::internal::CaptureStdout();
        FORMAT_VALUE(value, c.esd, out);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
        EXPECT_EQ(std::string(out.view()), padded(c.text));
        EXPECT_EQ(value, c.rounded);
    }
    // No digit of the value at the esd's place: unknown.
    EXPECT_EQ(formatted(1.0e30f, 1.0e25f), padded("?"));
    EXPECT_EQ(formatted(5.0f, 1.0e25f), padded("?"));
    EXPECT_EQ(formatted(std::numeric_limits<float>::quiet_NaN(), 5.0f), padded("?"));
}

TEST(ValueEsdText, ValueIsRoundedInPlaceExceptWhenTheEsdIsUnknown) {
    float value = 12.3456f;
    rt::FText<20> out;
    FORMAT_VALUE(value, 0.1f, out);
    EXPECT_EQ(value, 12.35f);
    value = 90.000049f;
    FORMAT_VALUE(value, 0.0f, out);
    EXPECT_EQ(value, 90.0f);

    // An esd that is not a number, negative or infinite is no esd that can be stated: the CIF's
    // unknown "?", never the value alone as if it were held exactly.
    for (const float esd : {std::numeric_limits<float>::infinity(), std::numeric_limits<float>::quiet_NaN(), -0.002f,
                            -5.0f}) {
        SCOPED_TRACE(esd);
        value = 12.3456f;
        testing::internal::CaptureStdout();
        FORMAT_VALUE(value, esd, out);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
        EXPECT_EQ(std::string(out.view()), padded("?"));
        EXPECT_EQ(value, 12.3456f);
    }
}

TEST(ValueEsdText, EsdRoundingRules) {
    struct Case {
        float esd;
        int j, isig, jsig;
        float rounded;
    };
    const Case cases[] = {
        {0.1f, 2, 10, 2, 0.1f},        // scaled to exactly 1: once more
        {0.00034f, 4, 4, 1, 0.0004f},  // rounded up, never down
        {0.0015f, 4, 15, 2, 0.0015f},
        {0.0095f, 3, 10, 2, 0.010f},
        {0.5f, 1, 5, 1, 0.5f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.esd);
        float esd = c.esd;
        int j = -1, isig = -1, jsig = -1;
        ROUND_SIGMA(esd, j, isig, jsig);
        EXPECT_EQ(j, c.j);
        EXPECT_EQ(isig, c.isig);
        EXPECT_EQ(jsig, c.jsig);
        EXPECT_EQ(esd, c.rounded);
    }
    // One or more: nothing to round; zero: no digit to find (and no endless search).
    for (float e : {2.5f, 0.0f}) {
        float esd = e;
        int j = -1, isig = 7, jsig = -1;
        ROUND_SIGMA(esd, j, isig, jsig);
        EXPECT_EQ(j, 0);
        EXPECT_EQ(jsig, 1);
        EXPECT_EQ(isig, 7);
        EXPECT_EQ(esd, e);
    }
}

TEST(ValueEsdText, PlacesOfTheIntegerPart) {
    struct Case {
        float value;
        int k;
    };
    const Case cases[] = {{0.0f, 1}, {0.5f, 1}, {9.99f, 1}, {10.0f, 2}, {-0.5f, 2}, {-123.4f, 4}, {1000.0f, 4}};
    for (const Case& c : cases) {
        int k = 0;
        GET_PLACES(c.value, k);
        EXPECT_EQ(k, c.k) << c.value;
    }
    int k = 0;
    GET_PLACES(std::numeric_limits<float>::infinity(), k);  // ends
    EXPECT_EQ(k, 1);
}

TEST(ValueEsdText, ValueRoundsHalvesAwayFromZero) {
    float up = 2.5f, down = -2.5f, two = 0.125f;
    ROUND_VALUE(up, 0);
    ROUND_VALUE(down, 0);
    ROUND_VALUE(two, 2);
    EXPECT_EQ(up, 3.0f);
    EXPECT_EQ(down, -3.0f);
    EXPECT_EQ(two, 0.13f);
}

}  // namespace
