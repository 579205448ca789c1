// A data set loaded after another, with the shared records reset between them, is loaded as if it
// were the first: nothing the first one left in a record of the reset table reaches the second.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "include/scan_input.h"
#include "include/shared.h"
#include "test_files.h"

namespace {

const std::string FIXTURE = std::string(KV_BINARY_DIR) + "/fixtures/small.rfl";

// An "Old Vosket" file of two reflections whose step times are t1 and t2: per reflection its count
// line ('*' I3 I2 21I6) and its reflection line (A1 I4 I1 3I3 4F8.3 TR36 F10.3).
std::vector<std::string> vosket_lines(double t1, double t2) {
    std::vector<std::string> lines;
    int seq = 0;
    for (double t : {t1, t2}) {
        char buf[200];
        std::string counts = "*  3  ";
        for (int k = 0; k < 21; ++k) {
            std::snprintf(buf, sizeof buf, "%6d", k < 3 ? 10 + 7 * seq + k : 0);
            counts += buf;
        }
        lines.push_back(counts);
        ++seq;
        std::snprintf(buf, sizeof buf, " %4d%1d%3d%3d%3d%8.3f%8.3f%8.3f%8.3f%36s%10.3f", seq, 0, seq, 0, 1,
                      10.0 + seq, 0.0, 5.0 * seq, 0.0, "", t);
        lines.push_back(buf);
    }
    return lines;
}

// The data sets of the table: how each is made and opened as the chosen input file.
struct DataSet {
    const char* name;
    int format;
    std::function<std::vector<std::string>()> lines;  // empty: the standard data file fixture
};
const DataSet SETS[] = {
    {"standard", 1, {}},
    {"vosket-a", 2, [] { return vosket_lines(2.0, 4.0); }},
    {"vosket-b", 2, [] { return vosket_lines(5.0, 1.0); }},
    {"xscans", 4, [] { return kvtest::xscans_lines(3); }},
};
const DataSet& set_named(const std::string& name) {
    for (const DataSet& s : SETS)
        if (name == s.name) return s;
    throw std::out_of_range(name);
}

class FreshDataSet : public kvtest::ReaderTest {
protected:
    // A fresh start, as the tests of a single load make it.
    void fresh() {
        rt::units_close_all();
        reset_shared_records();
        wl::script::load_lines({});
        PROGID.PROG_TITLE = "Kelvorantide v3.72";
        FILEINFO.LUNSTD = kvtest::WORKING_UNIT;
    }

    void load(const DataSet& s) {
        if (s.lines) {
            open_input(std::string(s.name) + ".dat", s.lines(), s.format);
        } else {
            ASSERT_EQ(kvtest::open_read(1, FIXTURE), rt::IOS_OK);
            FILEINFO.IN_FULLNAME = FIXTURE;
            FILEINFO.IN_NAME = "small.rfl";
            FILEINFO.IFORMAT = s.format;
        }
        ASSERT_EQ(convert(), -1) << s.name;
    }

    // For every record of the reset table, and for what the load wrote and showed (the working
    // file and the boxes), a check that it still is as it is now.
    std::map<std::string, std::function<bool()>> as_now() const {
        std::map<std::string, std::function<bool()>> same;
        for_each_shared_record([&](std::string_view name, auto& record) {
            same[std::string(name)] = [copy = record, &record] { return record == copy; };
        });
        const int unit = FILEINFO.LUNSTD;
        same["working file"] = [unit, lines = working_file(unit)] { return working_file(unit) == lines; };
        same["boxes"] = [this, shown = boxes()] { return boxes() == shown; };
        return same;
    }
};

TEST_F(FreshDataSet, ASecondDataSetAfterTheResetIsLoadedAsIfAlone) {
    // first, then second; each pair also loads second alone for comparison.
    const std::pair<const char*, const char*> pairs[] = {
        {"standard", "vosket-a"}, {"vosket-a", "standard"}, {"vosket-a", "vosket-b"},
        {"xscans", "vosket-b"},   {"vosket-b", "xscans"},   {"xscans", "standard"},
    };
    for (const auto& [first, second] : pairs) {
        SCOPED_TRACE(std::string(first) + " then " + second);
        fresh();
        load(set_named(second));
        const auto alone = as_now();
        fresh();
        load(set_named(first));
        // The first load did leave something behind, or the comparison shows nothing.
        int differing = 0;
        for (const auto& [name, same] : alone) differing += same() ? 0 : 1;
        EXPECT_GT(differing, 0);
        fresh();
        load(set_named(second));
        for (const auto& [name, same] : alone) EXPECT_TRUE(same()) << name;
    }
}

}  // namespace
