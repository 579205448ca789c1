// The step-size box of an Old Vosket load, as kelvor-script drives the whole program on the
// example data file: what the box cannot use is refused with a box and the dialog waits for a
// new number, and the step then typed is the one every reflection of the data set carries,
// checked in the standard data file written next.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "../scan_input/test_files.h"

namespace {

namespace fs = std::filesystem;

TEST(StepBoxScript, WhatTheStepBoxCannotUseIsRefusedAndTheStepTypedNextIsWritten) {
    const fs::path exe = kvtest::kelvor_script_path();
    if (!fs::exists(exe)) GTEST_SKIP() << "kelvor-script is not built";
    const fs::path dir = kvtest::test_dir();
    for (const char* name : {"example.dat", "example.par"})
        fs::copy_file(fs::path(KV_SOURCE_DIR) / "examples" / name, dir / name);
    fs::create_directories(dir / "module");
    // Old Vosket; a decimal comma, letters, a number beyond a 32-bit real and a step the
    // standard data file cannot hold, then 0.03; "Write Std datafile"; exit.
    kvtest::write_bytes(dir / "go.txt", "file example.dat\ntoggle 4 4 1\npress 470\nfile example.par\n"
                                        "set 6 71 0,03\npress 672\nset 6 71 abc\npress 672\n"
                                        "set 6 71 1e400\npress 672\nset 6 71 1e38\npress 672\n"
                                        "set 6 71 0.03\npress 672\n"
                                        "press 319\nfile written.rfl\npress 316\nanswer 2\n");
    ASSERT_EQ(kvtest::run_kelvor_script(dir), 0) << kvtest::read_bytes(dir / "stderr.txt");

    const std::string box = "box Kelvorantide v3.72 | ";
    const std::string not_a_number = "\" is not a number: type digits with a decimal point, for example 0.025 or 2.5E-2\n";
    const std::string expected = "show Kelvorantide v3.72\n" + box + "\"0,03" + not_a_number + box + "\"abc" +
                                 not_a_number + box +
                                 "\"1e400\" is too large: type a number between -3.4E+38 and 3.4E+38\n" + box +
                                 "  Step size too large: at most 9999.999\nhide Kelvorantide v3.72\n";
    const std::string shown = kvtest::read_bytes(dir / "shown.txt");
    EXPECT_NE(shown.find(expected), std::string::npos) << shown;

    // Every reflection record carries the step typed last (F10.5 after column 73).
    std::istringstream in(kvtest::read_bytes(dir / "written.rfl"));
    int records = 0, with_step = 0;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] != 'R') continue;
        ++records;
        with_step += line.size() >= 83 && line.substr(73, 10) == "   0.03000";
    }
    EXPECT_EQ(records, 50);
    EXPECT_EQ(with_step, records);
}

}  // namespace
