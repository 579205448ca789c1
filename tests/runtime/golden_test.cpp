// The runtime against tables written once by gfortran (tests/fixtures/golden): every field of
// the write table byte for byte, every field of the read table and every free-form list.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
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

}  // namespace
