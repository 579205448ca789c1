// Edit-descriptor records: the layouts the program's files use, written and read back, and the
// corner cases of the writer and the fixed-column reader.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>

#include "runtime/farray.h"
#include "runtime/format.h"
#include "runtime/ftext.h"

namespace {

TEST(FormatWriter, ReflectionRecordAndCountLineLayouts) {
    EXPECT_EQ(rt::fmt_write("('R' I6 3I4 5F10.4 I4 2F10.5 I4 A1)", 17, 1, -2, 3, 0.0f, 23.5f, -0.0123f, 45.25f,
                            -170.0f, 41, 0.01f, 1.0f, 0, "N"),
              "R    17   1  -2   3    0.0000   23.5000   -0.0123   45.2500 -170.0000  41   0.01000   1.00000   0N");
    rt::FArray<int, 12> c;
    for (int i = 1; i <= 12; ++i) c(i) = i * 1000;
    EXPECT_EQ(rt::fmt_write("('S' 10I8)", rt::out_slice(c, 11, 12)), "S   11000   12000");
    EXPECT_EQ(rt::fmt_write("('S' 10I8)", c),
              "S    1000    2000    3000    4000    5000    6000    7000    8000    9000   10000\n"
              "S   11000   12000");
}

TEST(FormatWriter, HeaderBlockWithSlashesAndText) {
    rt::FText<60> title("TEST CRYSTAL");
    EXPECT_EQ(rt::fmt_write("('H' / 'T ' A60 / 'H' 6F10.4 / 'H' / 'H')", title, 5.1f, 6.2f, 7.3f, 90.0f, 95.5f, 90.0f),
              "H\nT TEST CRYSTAL" + std::string(48, ' ') +
                  "\nH    5.1000    6.2000    7.3000   90.0000   95.5000   90.0000\nH\nH");
    EXPECT_EQ(rt::fmt_write("('A' F10.6 / 'DATA')", 1.0f), "A  1.000000\nDATA");
}

TEST(FormatWriter, FixedPointRoundingOverflowAndSigns) {
    struct Case { const char* fmt; float v; const char* out; } cases[] = {
        {"(F7.4)", 10.03125f, "10.0312"},   // exact binary value, tie to even
        {"(F5.2)", 0.125f, " 0.12"},
        {"(F6.4)", -0.1234f, "-.1234"},     // no room for the zero
        {"(F7.4)", -0.1234f, "-0.1234"},
        {"(F7.4)", -0.00001f, "-0.0000"},   // rounds to zero, keeps its sign
        {"(F7.4)", -0.0f, "-0.0000"},       // negative zero is written with its sign
        {"(F7.4)", 0.0f, " 0.0000"},
        {"(F5.1)", 999.96f, "*****"},
        {"(F4.2)", 10.5f, "****"},
        {"(F2.0)", 0.3f, "0."},
        {"(F1.0)", 0.3f, "*"},
        {"(F3.1)", -0.04f, "-.0"},
        {"(F10.4)", 123456.7f, "**********"},
        {"(F10.4)", 12345.67f, "12345.6699"},
    };
    for (const auto& c : cases) EXPECT_EQ(rt::fmt_write(c.fmt, c.v), c.out) << c.fmt << " " << c.v;
}

TEST(FormatWriter, NonFiniteValuesFillTheFieldWithAsterisks) {
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(rt::fmt_write("(F10.4 F6.1 E10.3)", nan, -inf, inf), std::string(26, '*'));
    EXPECT_EQ(rt::fmt_write("(F8.2)", std::numeric_limits<double>::quiet_NaN()), "********");
}

TEST(FormatWriter, IntegersExponentsAndTexts) {
    EXPECT_EQ(rt::fmt_write("(I4 I2 I1 I3.2)", -123, 100, -1, 5), "-123*** 05");
    EXPECT_EQ(rt::fmt_write("(E12.4 E10.4 E9.4)", 12.345f, -12.345f, 12.345f), "  0.1235E+02-.1235E+02.1235E+02");
    EXPECT_EQ(rt::fmt_write("(E12.4)", 0.0f), "  0.0000E+00");
    EXPECT_EQ(rt::fmt_write("(F0.2,'|',F0.2,'|',F0.0,'|',I0,'|',F0.3)", 0.5f, -0.5f, 3.0f, -42, 12.5f),
              ".50|-.50|3.|-42|12.500");  // minimal widths
    EXPECT_EQ(rt::fmt_write("(A3 '|' A5 '|' A)", "abcdef", "ab", "xyz"), "abc|   ab|xyz");
    rt::FText<4> unset;  // all NUL until a routine sets it
    EXPECT_EQ(rt::fmt_write("('T ' A4 '|')", unset), "T     |");
}

TEST(FormatWriter, PositioningGroupsAndReversion) {
    EXPECT_EQ(rt::fmt_write("(/ 80('*') / TR10 'OUTPUT FROM ZREF' /)"),
              "\n" + std::string(80, '*') + "\n          OUTPUT FROM ZREF\n");
    EXPECT_EQ(rt::fmt_write("(1X,F10.3,',',F10.1,',',F10.1)", 1.5f, 2.0f, 3.0f), "      1.500,       2.0,       3.0");
    EXPECT_EQ(rt::fmt_write("('abc' T2 'X' TL1 'Y' TR2 'Z')"), "aYc Z");
    EXPECT_EQ(rt::fmt_write("(A,5X)", "ab"), "ab");  // trailing skips do not lengthen the record
    // Reversion restarts at the last top-level group, on a new record.
    EXPECT_EQ(rt::fmt_write("(/ / '  UB' / (3F6.2))", 1.0f, 2.0f, 3.0f, 4.0f, 5.0f, 6.0f, 7.0f),
              "\n\n  UB\n  1.00  2.00  3.00\n  4.00  5.00  6.00\n  7.00");
    EXPECT_EQ(rt::fmt_write("(I3)", 1, 2), "  1\n  2");
    // Output stops at the first data descriptor without an item; literals before it are written.
    EXPECT_EQ(rt::fmt_write("(I5 ' Reflection groups processed by Zref' I3 'never')", 4),
              "    4 Reflection groups processed by Zref");
    // Widths and decimals built at run time, with a literal parenthesis.
    EXPECT_EQ(rt::fmt_write("(F6.4,'(',I1,')')", 1.2346f, 3), "1.2346(3)");
    EXPECT_EQ(rt::fmt_write("('It''s' \"q\")"), "It'sq");
    // Blanks separate items: a width never comes from the next item's repeat count.
    EXPECT_EQ(rt::fmt_write("(A 2I3)", "ab", 1, 2), "ab  1  2");
}

TEST(FormatParser, AcceptsEveryLayoutOfTheProgramsFiles) {
    const char* layouts[] = {
        "('   H   K   L  2TH(DET)  2TH(cal) OM(FIT)' '     CHI     PHI   OM(UB) + OM(OFF) = OM(CALC)   DEL-OM' /)",
        "('  PROFILE FOR REFLECTION HKL = ',3I5/'    OMEGA       OBS   COUNTS    CALC')",
        "(' ESDs' TR12 3F9.5 3F8.3 F10.4 / / TR5 I5 ' REFLECTIONS USED' / ' AVERAGE DELTA-OMEGA = ' F7.4 / "
        "'     MAX OMEGA ERROR = ' F7.4 / '          OMEGA-ZERO = ' F7.4 / / '     CRYSTAL OFFSETS = ' 3F10.4 /)",
        "(' Error in Cell  Determinant of G = ',F12.3)",
        "('A' F10.6 / 'DATA')",
        "('H' / 'T ' A60 / 'H' 6F10.4 / 'H' / 'H')",
        "('R' I6 3I4 5F10.4 I4 2F10.5 I4 A1)",
        "('S' 10I8)",
        "('U' 3F12.7)",
        "(/ '   MINIMUM VALUE OF DELTA-D/D = ' F10.6 / '   MAXIMUM VALUE OF DELTA-D/D = ' F10.6 / "
        "'   AVERAGE VALUE OF DELTA-D/D = ' F10.6 / /)",
        "(/ '  SYMMETRY-CONSTRAINED TO ' A25 ' NO XTAL OFFSETS')",
        "(/ ' ****************END OF PARAMETER FILE***************' / /)",
        "(/ ' Results For Reflection No. ' I2 '   hkl= ' 3I5 / TR22 '2Theta' TR4 'Omega' TR6 'Chi' TR6 'Phi')",
        "(/ / '     TRUE ANGLES  ' 4F10.4 / '          ZEROES  ' 3F10.4 / ' CRYSTAL OFFSETS  ' 3F10.4 / "
        "'         DELTA-H  ' F10.4 '   LENGTH OF OFFSET = ' F10.4)",
        "(/ / '  SUBROUTINE CALC_OFFSETS RETURNED IERR =' I2)",
        "(/ / '  Unconstrained Orientation Matrix ' / TR5 '(For Busing Levy axes and circle parities)' / / (3F12.5))",
        "(/ / '***** OUTPUT FROM DELTA-D/D CALCULATION' / / '      CELL USED FOR D-CALC  ' 3F10.5 3F9.4 F10.4)",
        "(/ 80('*') / TR10 'OUTPUT FROM ZREF' /)",
        "(1X,F10.3,',',F10.1,',',F10.1)",
        "(2F7.0 F9.0)", "(3I4 2F9.4 2F10.5 F10.6)", "(3I4 2F9.4 7F9.3)", "(3I4 4F9.3)", "(A1 I3 I2 21I6)",
        "(A1 I4 I1 3I3 4F8.3 TR36 F10.3)", "(F5.2)", "(F8.5)", "(F9.0)", "(I5 ' Reflection groups processed by Zref')",
        "(TR1 10I8)", "(TR1 3F12.0)", "(TR1 4F10.0)", "(TR1 8I9)", "(TR1 A80)",
        "(TR1 I5 TR3 3I5 F10.0 TR3 A2 TR24 F6.4)", "(TR1 I6 3I4 4F8.2 F5.2 F8.2)",
        "(TR1 I6 3I4 5F10.4 I4 2F10.5 I4 A1)", "(TR18 4F10.4)", "(TR2 A60)", "(TR24 F7.5 TR3 F7.5)", "(TR27 3I4)",
        "(TR32 3I4 TR5 F6.2)", "(TR4 6F8.0)", "(TR6 21I6)", "(TR6 I4 I6 TR22 I3)", "(F8.4,'(',I2,')')",
    };
    for (const char* l : layouts) EXPECT_NE(rt::detail::parse_format(l), nullptr) << l;
}

TEST(FormatWriter, UnsupportedFormatsAreRefused) {
    std::vector<std::string> recs;
    for (const char* f : {"I5", "(I5", "(Q5)", "(F5)", "(I5 'open)", "(0I5)", "(G10.3)", "(2P F5.2)", "(T0)",
                          "(3TR2)", "(F5.2 I)", "(I 5)", "(F10 .4)"}) {
        EXPECT_EQ(rt::format_records(f, {rt::out_item(1)}, recs), rt::IOS_BAD_FORMAT) << f;
    }
    EXPECT_EQ(rt::format_records("('no data')", {rt::out_item(1)}, recs), rt::IOS_BAD_FORMAT);
    EXPECT_EQ(rt::format_records("(I3 ('x'))", {rt::out_item(1), rt::out_item(2)}, recs), rt::IOS_BAD_FORMAT);
    EXPECT_EQ(rt::format_records("(I5)", {rt::out_item(1.0f)}, recs), rt::IOS_BAD_FORMAT);
    EXPECT_EQ(rt::format_records("(F5.1)", {rt::out_item(1)}, recs), rt::IOS_BAD_FORMAT);
}

// Formats built at run time are bounded: an Iw.m with more digits than a field may hold, and
// nested repeat counts that multiply out to billions of characters, are refused at once.
TEST(FormatWriter, OversizedMinimumDigitsAndNestedRepeatsAreRefused) {
    std::vector<std::string> recs;
    EXPECT_EQ(rt::format_records("(I0.1000)", {rt::out_item(-7)}, recs), rt::IOS_OK);
    ASSERT_EQ(recs.size(), 1u);
    EXPECT_EQ(recs[0], "-" + std::string(999, '0') + "7");
    for (const char* f : {"(I0.1001)", "(I0.1099)", "(I0.50000)", "(1000(1000(1000('ab'))))", "(100000(100000(I1)))",
                          "(1000(1000(100X)),I1)", "(100000'abcdefghijklmnopqrstuvwxyz0123456789abcdefghijklmnop')"}) {
        EXPECT_EQ(rt::format_records(f, {rt::out_item(1)}, recs), rt::IOS_BAD_FORMAT) << f;
    }
    // Large but bounded repeats still work.
    EXPECT_EQ(rt::format_records("(I1,100(100('a')))", {rt::out_item(1)}, recs), rt::IOS_OK);
    ASSERT_EQ(recs.size(), 1u);
    EXPECT_EQ(recs[0].size(), 10001u);
}

TEST(FormatReader, ReflectionRecordReadsBackWhatWasWritten) {
    const std::string rec =
        "R    17   1  -2   3    0.0000   23.5000   -0.0123   45.2500 -170.0000  41   0.01000   1.00000   0N";
    int iseq = 0, istd = -1, nstep = 0;
    rt::FArray<int, 3> ih;
    rt::FArray<float, 4> angl;
    float psi = 9, step = 0, scale = 0;
    rt::FText<1> code;
    ASSERT_EQ(rt::fmt_read(rec, "(TR1 I6 3I4 5F10.4 I4 2F10.5 I4 A1)", iseq, ih, psi, angl, nstep, step, scale, istd,
                           code),
              rt::IOS_OK);
    EXPECT_EQ(iseq, 17);
    EXPECT_EQ(ih(2), -2);
    EXPECT_EQ(psi, 0.0f);
    EXPECT_EQ(angl(1), 23.5f);
    EXPECT_EQ(angl(2), -0.0123f);
    EXPECT_EQ(angl(4), -170.0f);
    EXPECT_EQ(nstep, 41);
    EXPECT_EQ(step, 0.01f);
    EXPECT_EQ(istd, 0);
    EXPECT_EQ(code, "N");
}

TEST(FormatReader, FixedColumnFieldRules) {
    struct Case { const char* rec; const char* fmt; float want; } cases[] = {
        {"     12345", "(F10.4)", 1.2345f},      // implied decimals
        {"         5", "(F10.4)", 0.0005f},
        {"    1.5   ", "(F10.4)", 1.5f},        // an explicit point wins
        {"  1 2.5   ", "(F10.4)", 12.5f},       // blanks inside are ignored
        {"          ", "(F10.4)", 0.0f},        // all blank
        {"1.5E2     ", "(F10.4)", 150.0f},
        {"1.5d-2    ", "(F10.4)", 0.015f},
        {"1.5-2     ", "(F10.4)", 0.015f},      // sign-only exponent
        {"  -15e1   ", "(F10.4)", -0.015f},     // implied decimals before the exponent
        {"0.1       ", "(F10.4)", 0.1f},
        {"   -.5", "(F6.0)", -0.5f},
        {"2.5", "(F10.4)", 2.5f},               // a short record is padded with blanks
        {"12.3456789012", "(F13.0)", 12.3456789012f},
    };
    for (const auto& c : cases) {
        float v = -99;
        EXPECT_EQ(rt::fmt_read(c.rec, c.fmt, v), rt::IOS_OK) << c.rec;
        EXPECT_EQ(v, c.want) << '"' << c.rec << '"' << " " << c.fmt;
    }
    // The decimal text is converted to float directly: 0.1 is the float nearest 0.1.
    double d = 0;
    ASSERT_EQ(rt::fmt_read("0.1", "(F10.4)", d), rt::IOS_OK);
    EXPECT_EQ(d, 0.1);
    int i = -9, j = -9;
    EXPECT_EQ(rt::fmt_read("1 2     ", "(I4 I4)", i, j), rt::IOS_OK);
    EXPECT_EQ(i, 12);
    EXPECT_EQ(j, 0);
    EXPECT_EQ(rt::fmt_read("  -7", "(I4)", i), rt::IOS_OK);
    EXPECT_EQ(i, -7);
}

TEST(FormatReader, BadCharactersAreErrors) {
    // Exponents are written with E or D only: "8.23Q7" is no number.
    for (const char* rec : {"  1.2x", "  12a ", " 1.2.3", "  1e  ", " --1  ", "1.5E2E", "8.23Q7", " 2q5  "}) {
        float v = 7;
        EXPECT_EQ(rt::fmt_read(rec, "(F6.2)", v), rt::IOS_BAD_VALUE) << rec;
    }
    for (const char* rec : {"  1.0", "  12a", " 1-2 ", " 1+  "}) {
        int v = 7;
        EXPECT_EQ(rt::fmt_read(rec, "(I5)", v), rt::IOS_BAD_VALUE) << rec;
        EXPECT_EQ(v, 7);
    }
    int big = 7;
    EXPECT_EQ(rt::fmt_read("99999999999", "(I11)", big), rt::IOS_BAD_VALUE);
}

TEST(FormatReader, TextsFieldsAndRecords) {
    rt::FText<4> a;
    rt::FText<6> b;
    ASSERT_EQ(rt::fmt_read("dataXYZ", "(A4 A2)", a, b), rt::IOS_OK);
    EXPECT_EQ(a, "data");
    EXPECT_EQ(b.view(), "XY    ");
    rt::FText<2> c;
    ASSERT_EQ(rt::fmt_read("abcdef", "(A5)", c), rt::IOS_OK);  // the rightmost characters of a wider field
    EXPECT_EQ(c, "de");
    rt::FText<10> t;
    ASSERT_EQ(rt::fmt_read("ab", "(A)", t), rt::IOS_OK);
    EXPECT_EQ(t.view(), "ab        ");
    rt::FText<1500> longer;  // wider than any field width a format may give
    ASSERT_EQ(rt::fmt_read(std::string(1400, 'x') + "end", "(A)", longer), rt::IOS_OK);
    EXPECT_EQ(longer.trimmed(), std::string(1400, 'x') + "end");
    // '/' asks for a record that an internal read does not have.
    int i = 0, j = 0;
    EXPECT_EQ(rt::fmt_read("  1", "(I3 / I3)", i, j), rt::IOS_END);
    EXPECT_EQ(i, 1);
}

}  // namespace

namespace {

// The integer path of fixed-point output against the C library's exact "%.*f" on random
// floats and doubles of every magnitude, for every number of decimals it handles.
TEST(FormatWriter, FastFixedPointTextEqualsExactPrintf) {
    std::uint64_t state = 0x9E3779B97F4A7C15ULL;
    auto next = [&state] {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return state;
    };
    char fast[64], ref[512];
    int checked = 0;
    for (int k = 0; k < 200000; ++k) {
        const std::uint64_t r = next();
        double a;
        if (k % 2) {
            std::uint32_t u = std::uint32_t(r) & 0x7FFFFFFFu;
            float f;
            std::memcpy(&f, &u, sizeof f);
            a = f;
        } else {
            std::uint64_t u = r & 0x7FFFFFFFFFFFFFFFULL;
            // Keep doubles to magnitudes a field can hold, both sides of 1.
            u = (u & 0x800FFFFFFFFFFFFFULL) | (std::uint64_t(1023 - 70 + int((r >> 52) % 140)) << 52);
            std::memcpy(&a, &u, sizeof a);
        }
        if (!std::isfinite(a)) continue;
        const int d = int((r >> 40) % 20);
        int n = 0;
        if (!rt::detail::fixed_text(a, d, fast, n)) continue;
        std::snprintf(ref, sizeof ref, "%.*f", d, a);
        ASSERT_STREQ(fast, ref) << a << " d=" << d;
        ++checked;
    }
    EXPECT_GT(checked, 100000);
    // Exact ties go to even, as the C library rounds.
    int n = 0;
    rt::detail::fixed_text(0.125, 2, fast, n);
    EXPECT_STREQ(fast, "0.12");
    rt::detail::fixed_text(0.375, 2, fast, n);
    EXPECT_STREQ(fast, "0.38");
    rt::detail::fixed_text(2.5, 0, fast, n);
    EXPECT_STREQ(fast, "2");
}

}  // namespace
