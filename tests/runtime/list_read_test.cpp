// List-directed input from texts and from units.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "runtime/farray.h"
#include "runtime/format.h"
#include "runtime/ftext.h"

namespace {

TEST(ListRead, SeparatorsSlashAndNullValues) {
    float a = -1, b = -1, c = -1;
    int n = -1;
    EXPECT_EQ(rt::list_read(" 1 0.71073,\t0.71359 , 0.5", n, a, b, c), rt::IOS_OK);
    EXPECT_EQ(n, 1);
    EXPECT_EQ(a, 0.71073f);
    EXPECT_EQ(b, 0.71359f);
    EXPECT_EQ(c, 0.5f);

    a = b = c = -1;
    EXPECT_EQ(rt::list_read("1.5 / 2.5", a, b, c), rt::IOS_OK);  // '/' ends the list
    EXPECT_EQ(a, 1.5f);
    EXPECT_EQ(b, -1);
    a = b = c = -1;
    EXPECT_EQ(rt::list_read("1.5,,3/", a, b, c), rt::IOS_OK);  // null leaves the item
    EXPECT_EQ(b, -1);
    EXPECT_EQ(c, 3);
    a = b = c = -1;
    EXPECT_EQ(rt::list_read(",2, ,", a, b, c), rt::IOS_OK);
    EXPECT_EQ(a, -1);
    EXPECT_EQ(b, 2);
    EXPECT_EQ(c, -1);
}

TEST(ListRead, RepeatCounts) {
    rt::FArray<int, 6> f;
    f.fill(9);
    EXPECT_EQ(rt::list_read("3*1 2* 0", f), rt::IOS_OK);
    int want[] = {1, 1, 1, 9, 9, 0};
    for (int i = 1; i <= 6; ++i) EXPECT_EQ(f(i), want[i - 1]) << i;
    float x = 0, y = 0;
    EXPECT_EQ(rt::list_read("2*1.5E-1", x, y), rt::IOS_OK);
    EXPECT_EQ(y, 0.15f);
}

TEST(ListRead, RanOutOfValuesIsDistinctFromUnreadableValue) {
    float a = -1, b = -1, c = -1;
    EXPECT_EQ(rt::list_read("  1.5  ", a, b, c), rt::IOS_END);
    EXPECT_EQ(a, 1.5f);
    EXPECT_EQ(b, -1);
    EXPECT_EQ(rt::list_read("", a), rt::IOS_END);

    int i = -1, j = -1;
    EXPECT_EQ(rt::list_read("1 2.0", i, j), rt::IOS_BAD_VALUE);  // a point in an integer item
    EXPECT_EQ(i, 1);
    EXPECT_EQ(j, -1);
    for (const char* t : {"1x", "abc", "1.0.0", "1e", "'3'", "."}) {
        float v = -1;
        EXPECT_EQ(rt::list_read(t, v), rt::IOS_BAD_VALUE) << t;
        EXPECT_EQ(v, -1);
    }
    double d = 0;
    EXPECT_EQ(rt::list_read("1.0D2", d), rt::IOS_OK);
    EXPECT_EQ(d, 100.0);
    EXPECT_EQ(rt::list_read("-3", d), rt::IOS_OK);
    EXPECT_EQ(d, -3.0);
}

// Data values must each stand in their place: a null value or a '/' is no count.
TEST(ListRead, DataValuesRefuseNullsAndSayWhatFollows) {
    rt::FArray<int, 3> c;
    for (const char* t : {"1,,3", "1 / 3", "1 2*", ",2 3", "1 2 8.23Q7"}) {
        c.fill(-1);
        EXPECT_EQ(rt::list_read_data(t, c), rt::IOS_BAD_VALUE) << t;
    }
    c.fill(-1);
    EXPECT_EQ(rt::list_read_data("4 5", c), rt::IOS_END);
    bool more = true;
    EXPECT_EQ(rt::list_read_data_items("1, 2 ,3 , ", {rt::in_item(c)}, &more), rt::IOS_OK);
    EXPECT_FALSE(more);
    EXPECT_EQ(c(3), 3);
    EXPECT_EQ(rt::list_read_data_items("1 2 3 4", {rt::in_item(c)}, &more), rt::IOS_OK);
    EXPECT_TRUE(more);
    EXPECT_EQ(rt::list_read_data_items("2*7 3*8", {rt::in_item(c)}, &more), rt::IOS_OK);
    EXPECT_TRUE(more);  // copies of the 8 still to come
    EXPECT_EQ(c(2), 7);
    EXPECT_EQ(c(3), 8);
}

TEST(ListRead, QuotedAndBareTexts) {
    rt::FText<8> s, t;
    int k = 0;
    EXPECT_EQ(rt::list_read("'it''s a',word 4", s, t, k), rt::IOS_OK);
    EXPECT_EQ(s, "it's a");
    EXPECT_EQ(t, "word");
    EXPECT_EQ(k, 4);
    EXPECT_EQ(rt::list_read("\"a/b,c\" averyverylongword", s, t), rt::IOS_OK);
    EXPECT_EQ(s, "a/b,c");
    EXPECT_EQ(t, "averyver");
}

TEST(ListRead, FromUnitContinuesAcrossRecords) {
    char tmpl[] = "/tmp/kvlistXXXXXX";
    int fd = mkstemp(tmpl);
    ASSERT_GE(fd, 0);
    close(fd);
    {
        std::ofstream out(tmpl, std::ios::binary);
        out << "1 2\r\n\r\n3\r\n,4 / 9\r\nnext\r\n";
    }
    rt::OpenSpec sp;
    sp.status = rt::FileStatus::Old;
    ASSERT_EQ(rt::unit_open(1, tmpl, sp), rt::IOS_OK);
    rt::FArray<int, 6> v;
    v.fill(-1);
    EXPECT_EQ(rt::list_read_unit(1, v), rt::IOS_OK);
    int want[] = {1, 2, 3, 4, -1, -1};
    for (int i = 1; i <= 6; ++i) EXPECT_EQ(v(i), want[i - 1]) << i;
    // A comma that opens a record separates the value that closed the one before (no null).
    // The next read starts on the record after the one the list ended in.
    rt::FText<4> w;
    EXPECT_EQ(rt::list_read_unit(1, w), rt::IOS_OK);
    EXPECT_EQ(w, "next");
    int z = 5;
    EXPECT_EQ(rt::list_read_unit(1, z), rt::IOS_END);
    EXPECT_EQ(z, 5);
    rt::unit_close(1, true);
}

}  // namespace
