// Small helpers for tests that write and read fixture files: a scratch directory per test,
// whole-file reads and writes, and the transcript of the scripted front end.
#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "include/shared.h"
#include "platform/script.h"
#include "runtime/units.h"

namespace kvtest {

// A fresh directory for the running test (no dots in its path).
inline std::filesystem::path test_dir() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::filesystem::path d = std::filesystem::path(KV_BINARY_DIR) / "scan_input_tmp" /
                              (std::string(info->test_suite_name()) + "_" + info->name());
    std::filesystem::remove_all(d);
    std::filesystem::create_directories(d);
    return d;
}

inline std::string read_bytes(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline void write_bytes(const std::filesystem::path& p, const std::string& bytes) {
    std::ofstream out(p, std::ios::binary);
    out << bytes;
}

// Lines joined with the given line end (also after the last line).
inline std::string join(const std::vector<std::string>& lines, const std::string& eol = "\r\n") {
    std::string s;
    for (const auto& l : lines) s += l + eol;
    return s;
}

inline int open_read(int unit, const std::filesystem::path& p) {
    rt::OpenSpec spec;
    spec.status = rt::FileStatus::Old;
    spec.action = rt::FileAction::Read;
    return rt::unit_open(unit, p.string(), spec);
}

inline int open_write(int unit, const std::filesystem::path& p) {
    rt::OpenSpec spec;
    spec.status = rt::FileStatus::Replace;
    spec.action = rt::FileAction::Write;
    return rt::unit_open(unit, p.string(), spec);
}

inline int open_log(const std::filesystem::path& p) {
    rt::OpenSpec spec;
    spec.status = rt::FileStatus::Unknown;
    spec.action = rt::FileAction::Write;
    spec.append = true;
    spec.carriage_control = true;
    return rt::unit_open(20, p.string(), spec);
}

// Every test starts from the start-of-run state: records reset, no unit open, an empty script.
class FileTest : public ::testing::Test {
protected:
    void SetUp() override {
        rt::units_close_all();
        reset_shared_records();
        wl::script::load_lines({});
        dir = test_dir();
    }
    void TearDown() override { rt::units_close_all(); }
    std::vector<std::string> boxes() const { return wl::script::transcript(); }
    std::filesystem::path dir;
};

}  // namespace kvtest
