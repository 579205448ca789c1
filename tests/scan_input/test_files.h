// Small helpers for tests that write and read fixture files: a scratch directory per test,
// whole-file reads and writes, and the transcript of the scripted front end.
#pragma once
#include <gtest/gtest.h>

#include <sys/mount.h>
#include <sys/statvfs.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "include/scan_input.h"
#include "include/shared.h"
#include "runtime/fatal.h"
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

// The scripted program as the build makes it.
inline std::filesystem::path kelvor_script_path() {
    return std::filesystem::path(KV_BINARY_DIR) / "code/shell/apps/kelvor-script";
}

// Copies the generated data set `stem` (its data file stem.rfl and parameter file stem.par) into
// folder.
inline void copy_data_set(const std::string& stem, const std::filesystem::path& folder) {
    const std::filesystem::path fixtures = std::filesystem::path(KV_BINARY_DIR) / "fixtures";
    for (const char* ext : {".rfl", ".par"}) std::filesystem::copy_file(fixtures / (stem + ext), folder / (stem + ext));
}

// Runs kelvor-script in dir on the script file there, with the module folder dir/module: the
// transcript goes to `transcript`, error output to `errors`. The program's exit status, or -1
// when it did not end normally.
inline int run_kelvor_script(const std::filesystem::path& dir, const std::string& script = "go.txt",
                             const std::string& transcript = "shown.txt", const std::string& errors = "stderr.txt",
                             const std::string& output = "") {
    std::string cmd = "cd " + dir.string() + " && " + kelvor_script_path().string() + " --script " + script + " --transcript " +
                      transcript + " --module-dir module 2>" + errors;
    if (!output.empty()) cmd += " >" + output;
    const int rc = std::system(cmd.c_str());
    return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
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

// The kinds of damage one line of a file suffers: blanked, cut to half its length (keeping its
// line end), doubled, dropped, and swapped with the next line.
inline const std::vector<std::string>& line_damage_kinds() {
    static const std::vector<std::string> kinds = {"blank", "short", "doubled", "dropped", "swapped"};
    return kinds;
}
// The lines with line i damaged in the given way.
inline std::vector<std::string> damage_line(std::vector<std::string> d, std::size_t i, const std::string& kind) {
    if (kind == "blank") d[i].clear();
    if (kind == "short") d[i].resize(d[i].size() / 2);
    if (kind == "doubled") d.insert(d.begin() + long(i), d[i]);
    if (kind == "dropped") d.erase(d.begin() + long(i));
    if (kind == "swapped") std::swap(d[i], d[i + 1]);
    return d;
}

// An Xscans data file of `reflections` reflections of eight steps each, for loads whose working
// file is large.
inline std::vector<std::string> xscans_lines(int reflections) {
    const auto fmt = [](const char* f, auto... v) {
        char buf[200];
        std::snprintf(buf, sizeof buf, f, v...);
        return std::string(buf);
    };
    std::vector<std::string> l = {"TITLE KELVOR XSCANS TEST", fmt("CHECKR%4d%6d%22s%3d", 0, 50, "", 10),
                                  fmt("SOURCE MO%15s%7.5f%3s%7.5f", "", 0.7093, "", 0.71359),
                                  fmt("DETECT%40s%6.3f", "", 8.0), "DATA"};
    for (int seq = 1; seq <= reflections; ++seq) {
        l.push_back(fmt(" %6d%4d%4d%4d%8.2f%8.2f%8.2f%8.2f%5.2f%8.2f", seq, 1 + seq % 10, seq / 10 % 10, seq / 100,
                        20.0 + seq % 50, 10.0, 0.0, 0.0, 1.35, 4.0));
        l.push_back("1B3B7C9C4B2B1123");
    }
    return l;
}

// A small tmpfs of its own mounted on `at` (created) while it lives: a disk that fills. Mounting
// needs root: mounted() says whether it worked, reason() why not.
class SmallTmpfs {
public:
    SmallTmpfs(const std::filesystem::path& at, const char* size = "size=64k") : at_(at) {
        std::filesystem::create_directories(at);
        mounted_ = ::mount("tmpfs", at.c_str(), "tmpfs", 0, size) == 0;
        if (!mounted_) reason_ = std::strerror(errno);
    }
    ~SmallTmpfs() {
        if (mounted_) ::umount2(at_.c_str(), MNT_DETACH);
    }
    SmallTmpfs(const SmallTmpfs&) = delete;
    SmallTmpfs& operator=(const SmallTmpfs&) = delete;
    bool mounted() const { return mounted_; }
    const std::string& reason() const { return reason_; }
    // Blocks in use, deleted files still open included.
    unsigned long used_blocks() const {
        struct statvfs st;
        if (::statvfs(at_.c_str(), &st) != 0) return ~0ul;
        return st.f_blocks - st.f_bfree;
    }

private:
    std::filesystem::path at_;
    bool mounted_ = false;
    std::string reason_;
};

// Scratch files go to `dir` while it lives (TMPDIR), then where they went before.
class ScratchFilesIn {
public:
    explicit ScratchFilesIn(const std::filesystem::path& dir) {
        if (const char* old = std::getenv("TMPDIR")) {
            had_ = true;
            old_ = old;
        }
        ::setenv("TMPDIR", dir.c_str(), 1);
    }
    ~ScratchFilesIn() {
        if (had_)
            ::setenv("TMPDIR", old_.c_str(), 1);
        else
            ::unsetenv("TMPDIR");
    }
    ScratchFilesIn(const ScratchFilesIn&) = delete;
    ScratchFilesIn& operator=(const ScratchFilesIn&) = delete;

private:
    bool had_ = false;
    std::string old_;
};

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

// What exit_status gives when f raised the damaged-input-file error, or the error of a load
// whose working file could not be written; its message is then in damaged_message().
constexpr int DAMAGED = -2;
constexpr int WORKING_FILE_UNWRITABLE = -3;
inline std::string& damaged_message() {
    static std::string m;
    return m;
}

// Runs f; -1 when it returned, DAMAGED or WORKING_FILE_UNWRITABLE when it raised one of those
// errors, else the exit status the program ended with.
template <class F>
int exit_status(F f) {
    damaged_message().clear();
    try {
        f();
    } catch (const rt::ProgramExit& e) {
        return e.status;
    } catch (const rt::InputError& e) {
        damaged_message() = e.message();
        return DAMAGED;
    } catch (const rt::WorkingFileError& e) {
        damaged_message() = e.message();
        return WORKING_FILE_UNWRITABLE;
    }
    return -1;
}

// The unit of the working file the readers convert to.
constexpr int WORKING_UNIT = 25;

// A test of an instrument reader: the input file is written in the test's directory and
// connected to unit 1 as the given format; the working file is unit 25.
class ReaderTest : public FileTest {
protected:
    void SetUp() override {
        FileTest::SetUp();
        PROGID.PROG_TITLE = "Kelvorantide v3.72";
        FILEINFO.LUNSTD = WORKING_UNIT;
    }

    // The status a reader routine leaves, called with the status at `start`.
    static int status_of(void (*routine)(int&), int start) {
        int ierr = start;
        routine(ierr);
        return ierr;
    }

    void open_input(const std::string& name, const std::vector<std::string>& lines, int format) {
        rt::unit_close(1);
        write_bytes(dir / name, join(lines));
        ASSERT_EQ(open_read(1, dir / name), rt::IOS_OK);
        FILEINFO.IN_FULLNAME = (dir / name).string();
        FILEINFO.IN_NAME = name;
        FILEINFO.IFORMAT = format;
    }

    // Converts the open input; -1 when CONVERT_FILE returned (with status 0), DAMAGED when the
    // file proved damaged, else the exit status the program ended with.
    static int convert() {
        int status = 0;
        const int ended = exit_status([&] { CONVERT_FILE(status); });
        if (ended == -1) {
            EXPECT_EQ(status, 0);
        }
        return ended;
    }

    // The records of the working file on the given unit, from its start.
    static std::vector<std::string> working_file(int unit) {
        std::vector<std::string> out;
        rt::unit_rewind(unit);
        for (std::string rec; rt::unit_read_record(unit, rec) == rt::IOS_OK;) out.push_back(rec);
        return out;
    }

    // Every reflection of the working file on the given unit, as the later passes read them.
    static std::vector<REFLN_t> read_back(int unit) {
        std::vector<REFLN_t> out;
        int st = 0;
        SKIP_HEADER_STDDATA(unit, st);
        for (;;) {
            st = -1;
            READ_SCAN_STDDATA(unit, STD_NEXT, 0, REFLN.IH, st);
            if (st != 0) break;
            out.push_back(REFLN);
        }
        return out;
    }
};

}  // namespace kvtest
