// A fresh program state for the shell's tests: shared records, toolkit, units and script reset,
// the current directory kept, and the program's windows built as at start-up.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "../scan_input/test_files.h"
#include "gui_toolkit/f77gui.h"
#include "include/shared.h"
#include "platform/model.h"
#include "platform/script.h"
#include "platform/wingui.h"
#include "runtime/fatal.h"
#include "runtime/units.h"
#include "shell/config_file.h"
#include "shell/kelvor_main.h"

namespace kvtest {

inline const std::string TITLE = "Kelvorantide v3.72";
// An instrument parameter file that the reader accepts.
inline const std::vector<std::string> PARAMETERS = {
    "PKPAR  0.05 0.01 0.5",
    "FITLIM 0 1000 0.01 0.5 0 1e6 -0.2 0.2 0 1 0.3 0.7 25.0",
    "ATTEN  12.5",
    "WAVEL  2 1.54056 1.54439 0.5",
    "RFLAGS 1 1 1 1 0 0",
    "TFLAGS 1 1 0 1 0 0 1",
    "PARITY 1 -1 1 1",
    "MONO   1 13.0 90.0 1",
};

class ShellTest : public FileTest {
protected:
    void SetUp() override {
        cwd_ = std::filesystem::current_path();
        reset_toolkit();
        FileTest::SetUp();
        PROGID.PROG_TITLE = TITLE;
        // Log names are cut at the first "." of the whole path: a build tree whose path holds a
        // dot would move them, so such a tree gets its scratch directories elsewhere.
        if (dir.string().find('.') != std::string::npos) {
            const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
            dir = std::filesystem::temp_directory_path() /
                  ("kv_shell_" + std::to_string(::getpid()) + "_" + info->test_suite_name() + "_" + info->name());
            std::filesystem::remove_all(dir);
            std::filesystem::create_directories(dir);
            temp_dir_ = true;
        }
    }
    void TearDown() override {
        FileTest::TearDown();
        std::filesystem::current_path(cwd_);
        if (temp_dir_) std::filesystem::remove_all(dir);
    }

    static void script(const std::vector<std::string>& lines) { wl::script::load_lines(lines); }
    static std::vector<std::string> transcript() { return wl::script::transcript(); }
    static wl::Widget& w(int g, int k) { return *wl::model().find(GRAPHICS.IWID(g, k)); }

    // Runs body; the exit status it ended the program with, or -1 when it returned.
    static int exit_status(const std::function<void()>& body) { return kvtest::exit_status(body); }

    // The program's own windows, menus and dialogs, the dialogs hidden.
    static void build_ui() { GRAPHICS_SETUP(); }

private:
    std::filesystem::path cwd_;
    bool temp_dir_ = false;
};

// The program's directory is the test's, which holds copies of generated data sets (each its
// .rfl and .par file, by stem: the small one unless a test names others); the windows are built
// first when a test asks for them.
class DataSetTest : public ShellTest {
protected:
    explicit DataSetTest(std::initializer_list<const char*> stems = {"small"}, bool windows = false)
        : stems_(stems.begin(), stems.end()), windows_(windows) {}
    void SetUp() override {
        ShellTest::SetUp();
        SET_PROGRAM_DIRECTORY(dir.string());
        if (windows_) build_ui();
        for (const std::string& stem : stems_) kvtest::copy_data_set(stem, dir);
    }
    void TearDown() override {
        SET_PROGRAM_DIRECTORY("");
        ShellTest::TearDown();
        reset_toolkit();
    }
    std::string path(const std::string& name) const { return (dir / name).string(); }

private:
    std::vector<std::string> stems_;
    bool windows_;
};
using SmallSetTest = DataSetTest;

}  // namespace kvtest
