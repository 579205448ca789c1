#include <gtest/gtest.h>

#include <string>

#include "include/shared.h"

TEST(SharedRecords, StartZeroExceptNamesRejectCodesAndIdentity) {
    REFLN.COUNTS(500) = 7.0f;
    UNITCELL.UBOK = 1;
    TOTALS.F = "xxxxxxxxxxx";
    FILEINFO.TITLE = "a data set";
    reset_shared_records();
    EXPECT_EQ(REFLN.COUNTS(500), 0.0f);
    EXPECT_EQ(UNITCELL.UBOK, 0);
    EXPECT_EQ(FILEINFO.TITLE.c[0], '\0');
    EXPECT_EQ(TOTALS.F.view(), " ECDBIPWRFS");
    EXPECT_EQ(TOTALS.F(4), 'D');
    EXPECT_EQ(FITPAR.PARNAME(3).view(), "INTENSITY ");
    EXPECT_EQ(FITPAR.PARNAME(6).view(), "IRATIO    ");
    EXPECT_FLOAT_EQ(PROGID.VERSION, 3.72f);
    EXPECT_EQ(PROGID.PROG_TITLE.view(), "Kelvorantide v3.72  ");
}

TEST(SharedRecords, HoldTheirCapacitiesAndRefuseOneMore) {
    // The last element of each record is there; the next one aborts with its index.
    reset_shared_records();
    REFLN.COUNTS(500) = 1.0f;
    STDREF.IHSTD(10, 3) = 1;
    FITVALS.ANGLESFIT(1000, 4) = 1.0f;
    FIXEDBG.BGS(90) = 1.0f;
    GRAPHICS.IWID(10, 120) = 1;
    EXPECT_DEATH(REFLN.COUNTS(501) = 0.0f, "index 501 outside 1..500");
    EXPECT_DEATH(STDREF.IHSTD(11, 1) = 0, "index 11 outside 1..10");
    EXPECT_DEATH(FITVALS.ANGLESFIT(1001, 1) = 0.0f, "index 1001 outside 1..1000");
    EXPECT_DEATH(FIXEDBG.BGS(91) = 0.0f, "index 91 outside 1..90");
    EXPECT_DEATH(GRAPHICS.IWID(11, 1) = 0, "index 11 outside 1..10");
    EXPECT_DEATH(GRAPHICS.IWID(1, 121) = 0, "index 121 outside 1..120");
    // A path of 255 characters is kept whole; a longer one is cut there.
    FILEINFO.IN_FULLNAME = std::string(256, 'p');
    EXPECT_EQ(FILEINFO.IN_FULLNAME.trimmed(), std::string(255, 'p'));
    reset_shared_records();
}

TEST(FixedArrays, AreOneBasedAndColumnMajor) {
    rt::FArray2<int, 2, 3> a;
    a(2, 1) = 5;
    EXPECT_EQ(a.data()[1], 5);
    a(1, 2) = 6;
    EXPECT_EQ(a.data()[2], 6);
    EXPECT_DEATH(a(3, 1) = 0, "index 3 outside 1..2");
    rt::FArray<float, 4> b;
    EXPECT_DEATH(b(0), "index 0 outside 1..4");
}

TEST(FixedTexts, CutPadAndCompareWithoutTrailingBlanks) {
    rt::FText<4> t = "abcdef";
    EXPECT_EQ(t.view(), "abcd");
    t = "ab";
    EXPECT_EQ(t.view(), "ab  ");
    EXPECT_EQ(t.trulen(), 2);
    EXPECT_TRUE(t == "ab      ");
    rt::FText<8> u = t;
    EXPECT_TRUE(u == t);
    EXPECT_EQ(u.sub(1, 3), "ab ");
}

TEST(FixedTexts, TrimRightRemovesBlanksAndWhatItIsAskedTo) {
    struct Case {
        std::string_view text;
        rt::Trailing also;
        std::string_view want;
    };
    using namespace std::string_view_literals;
    const Case cases[] = {
        {"ab  ", {}, "ab"},
        {"ab \0 \0"sv, {}, "ab"},
        {"ab \0 "sv, {.nuls = false}, "ab \0"sv},
        {"ab\t ", {}, "ab\t"},
        {"ab\t \0\t"sv, {.tabs = true}, "ab"},
        {"   ", {}, ""},
        {"", {}, ""},
        {" a b", {}, " a b"},
    };
    for (const Case& c : cases) EXPECT_EQ(rt::trim_right(c.text, c.also), c.want) << c.text;
}

TEST(FixedTexts, FillTextCutsOrPadsWithBlanks) {
    char out[6];
    rt::fill_text(out, 4, "ab");
    EXPECT_EQ(std::string_view(out, 4), "ab  ");
    rt::fill_text(out, 4, "abcdef");
    EXPECT_EQ(std::string_view(out, 4), "abcd");
    out[0] = 'x';
    rt::fill_text(out, 0, "ab");  // nothing written
    rt::fill_text(nullptr, 4, "ab");
    EXPECT_EQ(out[0], 'x');
}
