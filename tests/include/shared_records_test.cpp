#include <gtest/gtest.h>

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

TEST(SharedRecords, CapacitiesAreThoseOfTheRecords) {
    EXPECT_EQ(REFLN.COUNTS.size(), 500);
    EXPECT_EQ(STDREF.IHSTD.rows(), 10);
    EXPECT_EQ(FITVALS.ANGLESFIT.rows(), 1000);
    EXPECT_EQ(FIXEDBG.BGS.size(), 90);
    EXPECT_EQ(GRAPHICS.IWID.rows(), 10);
    EXPECT_EQ(GRAPHICS.IWID.cols(), 120);
    EXPECT_EQ(FILEINFO.IN_FULLNAME.len(), 255);
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
