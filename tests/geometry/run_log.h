// A test fixture that writes the program's log to run.log in its scratch directory and reads it
// back line by line.
#pragma once
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "../scan_input/test_files.h"
#include "include/shared.h"
#include "runtime/units.h"

namespace geomtest {

template <class Base>
class WithRunLog : public Base {
protected:
    void open_the_log() {
        ASSERT_EQ(kvtest::open_log(this->dir / "run.log"), rt::IOS_OK);
        FILEINFO.LOGOPEN = 1;
    }
    // Closes every unit, then the log's lines without their line ends.
    std::vector<std::string> log_lines() {
        rt::units_close_all();
        std::vector<std::string> out;
        std::istringstream in(kvtest::read_bytes(this->dir / "run.log"));
        std::string line;
        while (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            out.push_back(line);
        }
        return out;
    }
};

}  // namespace geomtest
