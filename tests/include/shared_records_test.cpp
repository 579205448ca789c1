#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <string>
#include <type_traits>

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

namespace {

// A value unlike the start of every field: each byte 0x5A, or by hand for records holding texts
// of the library.
template <class R>
void mark(R& record) {
    if constexpr (std::is_trivially_copyable_v<R>) {
        std::memset(static_cast<void*>(&record), 0x5A, sizeof record);
    } else if constexpr (std::is_same_v<R, OPENERS_t>) {
        record = {"in.dat", "out.int", "new.rfl", "/exp", 2};
    } else {
        static_assert(std::is_same_v<R, STDREAD_t>, "a record with texts of the library needs its mark here");
        record = {"the reflection line", true};
    }
}

std::set<std::string> table_names() {
    std::set<std::string> names;
    for_each_shared_record([&](std::string_view name, auto&) { names.insert(std::string(name)); });
    return names;
}

}  // namespace

TEST(SharedRecords, ResetPutsEveryRecordOfTheTableBackToItsStart) {
    for_each_shared_record([](std::string_view name, auto& record) {
        using R = std::remove_reference_t<decltype(record)>;
        mark(record);
        EXPECT_FALSE(record == R{}) << name;
    });
    reset_shared_records();
    for_each_shared_record([](std::string_view name, auto& record) {
        EXPECT_TRUE(record == std::remove_reference_t<decltype(record)>{}) << name;
    });
    EXPECT_EQ(TOTALS.F.view(), " ECDBIPWRFS");
}

TEST(SharedRecords, TheResetTableHoldsEveryRecordTheHeadersDeclare) {
    // Every record is declared in a header of code/include as "inline TYPE NAME" at the start of
    // a line; one that the table leaves out would survive from one data set into the next.
    const std::regex declared(R"(^inline\s+\w+\s+([A-Z][A-Z0-9_]*)\s*(=[^;]*)?;)");
    std::set<std::string> found;
    for (const auto& entry : std::filesystem::directory_iterator(std::string(KV_SOURCE_DIR) + "/code/include")) {
        if (entry.path().extension() != ".h") continue;
        std::ifstream in(entry.path());
        for (std::string line; std::getline(in, line);) {
            std::smatch m;
            if (std::regex_search(line, m, declared)) found.insert(m[1]);
        }
    }
    EXPECT_GE(found.size(), 20u);
    EXPECT_EQ(found, table_names());
}

TEST(SharedRecords, ScienceAndReadersKeepNoWorkStoreBetweenCalls) {
    // A function-local static in these folders would carry one call's values into the next,
    // unseen by the reset; what must survive a call lives in a record of the table.
    const std::regex kept(R"(^\s+static\s+(?!const\b|constexpr\b|_assert|cast)[^(]*;)");
    for (const char* folder : {"geometry", "scan_input", "profile_fit"}) {
        for (const auto& entry : std::filesystem::directory_iterator(std::string(KV_SOURCE_DIR) + "/code/" + folder)) {
            std::ifstream in(entry.path());
            int number = 0;
            for (std::string line; std::getline(in, line);) {
                ++number;
                EXPECT_FALSE(std::regex_search(line, kept)) << entry.path().filename() << ":" << number << ": " << line;
            }
        }
    }
}
