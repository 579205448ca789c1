// The generated data set of tests/fixtures/specs/mainroad.spec (20 reflections) loaded as the
// program loads it, its first reflection on display and a log open, over the program's own
// windows built as at start-up. Shared by the tests of the manual fit, the preprocessing pass
// and the FWHM calibration, which drive those modes through the scripted front end.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "../shell/main_ui.h"
#include "gui_toolkit/menu_f90.h"
#include "include/profile_fit.h"
#include "include/scan_input.h"
#include "include/shell_services.h"
#include "include/toolkit_services.h"
#include "shell/config_file.h"

namespace kvtest {

inline const std::string BOX = "box " + TITLE + " | ";
constexpr int MAINROAD_REFLECTIONS = 20;

class LoadedSet : public DataSetTest {
protected:
    LoadedSet() : DataSetTest({"mainroad"}, true) {}
    void TearDown() override {
        for (const wl::ConsoleMessage& m : wl::model().console) ADD_FAILURE() << m.title << ": " << m.text;
        DataSetTest::TearDown();
    }

    // Parameter file and standard data file open, the first reflection read, a log open.
    void load(const std::string& rfl = "mainroad.rfl") {
        ASSERT_EQ(open_read(3, dir / "mainroad.par"), rt::IOS_OK);
        READ_PARAMETERS(0);
        FILEINFO.LUNSTD = 25;
        FILEINFO.IN_NAME = rfl;
        ASSERT_EQ(open_read(25, dir / rfl), rt::IOS_OK);
        int status = 0;
        READ_HEADER_STDDATA(25, status);
        ASSERT_EQ(status, 0);
        ASSERT_EQ(UNITCELL.UBOK, 1);
        read(STD_NEXT, 0);
        FIRST_SCAN_READ = 1;
        ASSERT_EQ(open_log(dir / "run.log"), rt::IOS_OK);
        FILEINFO.LOGOPEN = 1;
    }
    static void read(int mode, int number) {
        const rt::FArray<int, 3> none;
        int status = 0;
        READ_SCAN_STDDATA(25, mode, number, none, status);
        ASSERT_EQ(status, 0);
    }
    // A copy of the data set with a letter in the h field of reflection iseq (a read error).
    void write_broken(int iseq, const std::string& name) {
        std::string text = read_bytes(dir / "mainroad.rfl");
        const std::string seq = std::to_string(iseq);
        const std::size_t at = text.find("\r\nR" + std::string(6 - seq.size(), ' ') + seq + "   ");
        ASSERT_NE(at, std::string::npos);
        text[at + 2 + 10] = 'x';
        write_bytes(dir / name, text);
    }
    void open_output() {
        ASSERT_EQ(open_write(2, dir / "out.int"), rt::IOS_OK);
        FILEINFO.OUTOPEN = 1;
        FILEINFO.OUT_FORMAT = 1;
        FILEINFO.OUT_NAME = "out.int";
    }
    // The lines of the integrated data file (closes it: nothing more is written to it).
    std::vector<std::string> written() {
        rt::unit_close(2);
        FILEINFO.OUTOPEN = 0;
        return lines_of(dir / "out.int");
    }
    // The log as written so far (closes it: nothing more is logged).
    std::string log() const {
        rt::unit_close(20);
        FILEINFO.LOGOPEN = 0;
        return read_bytes(dir / "run.log");
    }
    static std::vector<std::string> lines_of(const std::filesystem::path& p) {
        std::vector<std::string> lines;
        const std::string text = read_bytes(p);
        for (std::size_t at = 0; at < text.size();) {
            const std::size_t end = text.find("\r\n", at);
            if (end == std::string::npos) break;
            lines.push_back(text.substr(at, end - at));
            at = end + 2;
        }
        return lines;
    }
    static int fits_counted() {
        int n = 0;
        for (int k = 1; k <= 11; ++k) n += TOTALS.IC(k);
        return n;
    }
    static int count(const std::string& line) {
        const auto& t = transcript();
        return int(std::count(t.begin(), t.end(), line));
    }
    static int state_of(int g, int k) { return w(g, k).state; }
    std::string path(const std::string& name) const { return (dir / name).string(); }
};

}  // namespace kvtest
