// The runtime against tables written once by gfortran (tests/fixtures/golden): every field of
// the write table byte for byte, every field of the read table and every free-form list.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "runtime/farray.h"
#include "runtime/format.h"
#include "runtime/ftext.h"

namespace {

std::vector<std::vector<std::string>> table(const char* name) {
    std::ifstream in(std::string(KV_SOURCE_DIR) + "/tests/fixtures/golden/" + name);
    std::vector<std::vector<std::string>> rows;
    std::string line;
    while (std::getline(in, line)) {
        std::vector<std::string> f;
        std::size_t b = 0, e;
        while ((e = line.find('|', b)) != std::string::npos) {
            f.push_back(line.substr(b, e - b));
            b = e + 1;
        }
        rows.push_back(f);
    }
    return rows;
}

float bits_float(const std::string& hex) {
    std::uint32_t u = std::uint32_t(std::stoul(hex, nullptr, 16));
    float f;
    std::memcpy(&f, &u, sizeof f);
    return f;
}

double bits_double(const std::string& hex) {
    std::uint64_t u = std::uint64_t(std::stoull(hex, nullptr, 16));
    double d;
    std::memcpy(&d, &u, sizeof d);
    return d;
}

std::string float_bits(float f) {
    std::uint32_t u;
    std::memcpy(&u, &f, sizeof u);
    char b[9];
    std::snprintf(b, sizeof b, "%08X", u);
    return b;
}

TEST(GoldenTables, WriterMatchesGfortranField) {
    auto rows = table("write_table.txt");
    ASSERT_GT(rows.size(), 4000u);
    int checked = 0;
    for (const auto& r : rows) {
        ASSERT_EQ(r.size(), 4u);
        const std::string fmt = "(" + r[1] + ")";
        std::string got;
        if (r[0] == "F" || r[0] == "E") got = rt::fmt_write(fmt, bits_float(r[2]));
        else if (r[0] == "D") got = rt::fmt_write(fmt, bits_double(r[2]));
        else if (r[0] == "I") got = rt::fmt_write(fmt, std::stoi(r[2]));
        else if (r[0] == "A") got = rt::fmt_write(fmt, r[2]);
        EXPECT_EQ(got, r[3]) << r[0] << " " << fmt << " " << r[2];
        ++checked;
    }
    EXPECT_EQ(checked, int(rows.size()));
}

TEST(GoldenTables, FixedColumnReaderMatchesGfortran) {
    // Where this runtime is stricter than gfortran: a doubled sign is not a number.
    const std::vector<std::string> stricter = {"    --1   "};
    auto rows = table("read_table.txt");
    ASSERT_GT(rows.size(), 50u);
    for (const auto& r : rows) {
        ASSERT_EQ(r.size(), 4u);
        const std::string fmt = "(" + r[1] + ")";
        std::string want = r[3];
        if (std::find(stricter.begin(), stricter.end(), r[2]) != stricter.end()) want = "ERR";
        std::string got;
        if (r[0] == "RF") {
            float v = -99.0f;
            int ios = rt::fmt_read(r[2], fmt, v);
            got = ios == rt::IOS_OK ? float_bits(v) : (ios == rt::IOS_BAD_VALUE ? "ERR" : "ios" + std::to_string(ios));
        } else {
            int v = -99;
            int ios = rt::fmt_read(r[2], fmt, v);
            got = ios == rt::IOS_OK ? std::to_string(v) : (ios == rt::IOS_BAD_VALUE ? "ERR" : "ios" + std::to_string(ios));
        }
        EXPECT_EQ(got, want) << fmt << " '" << r[2] << "'";
    }
}

TEST(GoldenTables, ListDirectedMatchesGfortran) {
    auto rows = table("list_table.txt");
    ASSERT_GT(rows.size(), 30u);
    auto status = [](int ios) -> std::string {
        return ios == rt::IOS_OK ? "OK " : ios == rt::IOS_END ? "END" : ios == rt::IOS_BAD_VALUE ? "ERR" : "???";
    };
    for (const auto& r : rows) {
        ASSERT_EQ(r.size(), 4u);
        std::string got;
        if (r[0] == "LR") {
            rt::FArray<float, 3> a;
            a.fill(-1.0f);
            const std::string st = status(rt::list_read(r[1], a));
            got = st + "|" + float_bits(a(1)) + " " + float_bits(a(2)) + " " +
                  float_bits(a(3));
        } else {
            rt::FArray<int, 3> a;
            a.fill(-1);
            const std::string st = status(rt::list_read(r[1], a));
            got = st + "|" + std::to_string(a(1)) + " " + std::to_string(a(2)) + " " +
                  std::to_string(a(3));
        }
        EXPECT_EQ(got, r[2] + "|" + r[3]) << "'" << r[1] << "'";
    }
}

// The same cases as golden.f90's layout_case, with the same values.
std::string layout_case(int n) {
    rt::FArray<int, 12> cnt;
    for (int i = 1; i <= 12; ++i) cnt(i) = 1000 * i;
    rt::FArray<float, 9> ub;
    const float ubv[9] = {0.01234f, -0.1f, 0.0f, 0.05f, 0.2f, -0.0001f, 1.5f, -2.25f, 0.125f};
    for (int i = 1; i <= 9; ++i) ub(i) = ubv[i - 1];
    rt::FText<60> title("TEST CRYSTAL");
    switch (n) {
        case 1:
            return rt::fmt_write("('R',I6,3I4,5F10.4,I4,2F10.5,I4,A1)", 17, 1, -2, 3, 0.0f, 23.4567f, -0.0123f, 45.25f,
                                 -170.0f, 41, 0.01f, 1.0f, 0, "N");
        case 2: return rt::fmt_write("('S',10I8)", cnt);
        case 3:
            return rt::fmt_write("('H',/,'T ',A60,/,'H',6F10.4,/,'H',/,'H')", title, 5.1f, 6.2f, 7.3f, 90.0f, 95.5f,
                                 90.0f);
        case 4:
            return rt::fmt_write("(/,/,'  Unconstrained Orientation Matrix ',/,TR5,"
                                 "'(For Busing Levy axes and circle parities)',/,/,(3F12.5))",
                                 ub);
        case 5: return rt::fmt_write("(/,80('*'),/,TR10,'OUTPUT FROM ZREF',/)");
        case 6: return rt::fmt_write("('abc',T2,'X',TL1,'Y',TR2,'Z')");
        case 7: return rt::fmt_write("(1X,F10.3,',',F10.1,',',F10.1)", 1.5f, -2.0f, 123456789.0f);
        case 8: return rt::fmt_write("(I5,' Reflection groups processed by Zref',I3,'never')", 4);
        case 9:
            return rt::fmt_write("('  PROFILE FOR REFLECTION HKL = ',3I5/'    OMEGA       OBS   COUNTS    CALC')", 1, -2,
                                 3);
        case 10: return rt::fmt_write("('FACTORS   ',4(1X,F9.4))", 0.0312f, 1.25f, 1.0f, -99999.0f);
        case 11: return rt::fmt_write("(2(I3,F6.2))", 1, 1.5f, 2, 2.5f, 3, 3.5f);
        case 12: return rt::fmt_write("(A,5X)", "ab");
        case 13: return rt::fmt_write("(I3,(2I4))", 1, 2, 3, 4, 5, 6, 7);
    }
    return "?";
}

TEST(GoldenTables, WholeRecordsOfTheLayoutsMatchGfortran) {
    auto rows = table("layout_table.txt");
    std::map<int, std::vector<std::string>> recs;
    for (const auto& r : rows) {
        ASSERT_EQ(r.size(), 2u);
        recs[std::stoi(r[0])].push_back(r[1]);
    }
    std::map<int, std::string> want;
    for (const auto& [n, v] : recs) {
        for (std::size_t k = 0; k < v.size(); ++k) want[n] += (k ? "\n" : "") + v[k];
    }
    ASSERT_EQ(want.size(), 13u);
    for (int n = 1; n <= 13; ++n) EXPECT_EQ(layout_case(n), want[n]) << "case " << n;
}

}  // namespace
