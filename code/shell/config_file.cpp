// The configuration file "Kelvor_defaults.dat" beside the executable: the last input directory
// and the input and output format codes, carried from one run to the next. Unit 30 stays
// connected to it from start-up to the end of the run.
#include "shell/config_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>

#include "include/shared.h"
#include "include/shell_services.h"
#include "include/toolkit_services.h"
#include "runtime/format.h"
#include "runtime/units.h"

namespace {

constexpr int kConfigUnit = 30;
constexpr const char* kConfigName = "Kelvor_defaults.dat";

std::string& module_dir_override() {
    static std::string dir;
    return dir;
}

bool fits(std::string_view s, int n) { return s.size() <= std::size_t(n); }

// The codes the program knows: input formats 1 to 7; output formats 1 to 3, or 0 while the
// output format is still to be asked.
bool input_format_known(int code) { return code >= 1 && code <= 7; }
bool output_format_known(int code) { return code >= 0 && code <= 3; }

void write_failure_box(const std::string& file, const std::string& reason) {
    GUIERR(PROGID.PROG_TITLE.view(), "Error writing " + file + ": " + reason);
}

// Forces the written file onto the disk before it takes the old one's place, so that a crash
// right after the rename cannot leave an empty configuration file either.
bool reaches_disk(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

// The file a chain of symbolic links leads to (the name itself when it is no link): the settings
// are read from and written to it, so that the link stays a link. A relative link is taken from
// the folder the link lies in; a loop of links ends the search, and its open then fails.
std::string link_target(std::string path) {
    for (int hop = 0; hop < 40; ++hop) {
        char buf[PATH_MAX + 1];
        const ssize_t n = ::readlink(path.c_str(), buf, PATH_MAX);
        if (n <= 0) break;
        std::string to(buf, std::size_t(n));
        if (to.front() != '/') {
            const std::size_t slash = path.find_last_of('/');
            if (slash != std::string::npos) to = path.substr(0, slash + 1) + to;
        }
        path = to;
    }
    return path;
}

// Writes the four lines of the file to path on the configuration unit, then makes sure that they
// reached the disk. The reason of a failure, or "" once everything is written.
std::string write_lines(const std::string& path, rt::FileStatus status) {
    const FILEINFO_t& fi = FILEINFO;
    rt::OpenSpec spec;
    spec.status = status;
    spec.action = rt::FileAction::Write;
    spec.carriage_control = true;
    errno = 0;
    const int ios = rt::unit_open(kConfigUnit, path, spec);
    if (ios != rt::IOS_OK) return errno != 0 ? std::strerror(errno) : rt::iostat_text(ios);
    // Column 1 of every record is line control and is not written.
    const std::string recs[4] = {
        "       This is the configuration file for Kelvorantide v" + rt::fmt_write("(F4.2)", PROGID.VERSION),
        "       Created on: " + FDATE(),
        // The whole directory, without trailing blanks: a directory holding a run of blanks is
        // kept as it is.
        " IN_DIR: " + fi.IN_DIR.str(),
        " FORMATS: " + rt::fmt_write("(2I5)", fi.IFORMAT, fi.OUT_FORMAT),
    };
    // A line the file does not take stays as the unit's failure; the close reports it.
    for (const std::string& r : recs) (void)rt::unit_write_record(kConfigUnit, r);
    if (rt::unit_close(kConfigUnit) != rt::IOS_OK) return rt::write_failure_reason();
    if (!reaches_disk(path)) return std::strerror(errno);
    return "";
}

}  // namespace

void SET_PROGRAM_DIRECTORY(std::string_view dir) {
    std::string d(dir);
    if (!d.empty() && d.back() != '/') d += '/';
    module_dir_override() = d;
}

std::string PROGRAM_DIRECTORY() {
    if (!module_dir_override().empty()) return module_dir_override();
    char buf[PATH_MAX + 1];
    const ssize_t n = ::readlink("/proc/self/exe", buf, PATH_MAX);
    if (n <= 0) return "";
    const std::string exe(buf, std::size_t(n));
    const std::size_t slash = exe.find_last_of('/');
    return slash == std::string::npos ? std::string() : exe.substr(0, slash + 1);
}

// Sets OUT_FORMAT = IFORMAT = 1, PROG_DIR and DEFAULTS_FILE, then IN_DIR and the two codes from
// the file when it holds them; a missing file is created empty. A directory from the file that is
// not an absolute path (or none at all) gives the executable's directory. Lines without either
// key, and values that cannot be read, are ignored; a code outside its range (an input format
// other than 1 to 7, an output format other than 0 to 3) gives its default, 1. An executable path
// longer than its field is treated as one that cannot be found: no file is opened.
void READ_DEFAULTS_FROM_FILE() {
    FILEINFO_t& fi = FILEINFO;
    fi.OUT_FORMAT = 1;
    fi.IFORMAT = 1;
    const std::string dir = PROGRAM_DIRECTORY();
    const std::string file = dir + kConfigName;
    if (dir.empty() || !fits(file, 255)) return;
    fi.PROG_DIR = dir;
    fi.DEFAULTS_FILE = file;

    // Something other than a file under the name (a pipe, which would wait for a writer for
    // ever, a folder, a device) is refused: the defaults stand, and nothing is written there.
    const std::string target = link_target(file);
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) return;
    rt::OpenSpec old;
    old.status = rt::FileStatus::Old;
    old.action = rt::FileAction::ReadWrite;
    old.carriage_control = true;
    if (rt::unit_open(kConfigUnit, target, old) != rt::IOS_OK) {
        rt::OpenSpec fresh = old;
        fresh.status = rt::FileStatus::New;
        rt::unit_open(kConfigUnit, target, fresh);
        return;
    }
    std::string line;
    while (rt::unit_read_record(kConfigUnit, line) == rt::IOS_OK) {
        const std::size_t i = line.find("IN_DIR: ");
        if (i != std::string::npos) {
            const std::string_view value = rt::trim_right(std::string_view(line).substr(i + 8));
            // A directory longer than the field is not cut to another one: the line is ignored.
            if (fits(value, 255)) fi.IN_DIR = value;
            continue;
        }
        const std::size_t j = line.find("FORMATS");
        if (j == std::string::npos) continue;
        const std::string_view rest = j + 8 <= line.size() ? std::string_view(line).substr(j + 8) : "";
        // Each code on its own, so that one that cannot be read keeps its value alone.
        int codes[2] = {fi.IFORMAT, fi.OUT_FORMAT};
        int got = 0;
        for (int k = 0; k < 2; ++k) {
            int a = codes[0], b = codes[1];
            const int ios = k == 0 ? rt::list_read(rest, a) : rt::list_read(rest, a, b);
            if (ios != rt::IOS_OK) break;
            codes[k] = k == 0 ? a : b;
            got = k + 1;
        }
        if (got >= 1) fi.IFORMAT = input_format_known(codes[0]) ? codes[0] : 1;
        if (got >= 2) fi.OUT_FORMAT = output_format_known(codes[1]) ? codes[1] : 1;
    }
    const std::string_view in_dir = fi.IN_DIR.trimmed();
    if (in_dir.empty() || in_dir.front() != '/') fi.IN_DIR = fi.PROG_DIR;
}

// Rewrites the file from the current values (two comment lines, IN_DIR and FORMATS). The lines go
// to a new file beside it, which takes the old one's place only once every line has reached the
// disk: on a full disk a box names the file and the previous settings stay as they were. A
// symbolic link is written through, to the file it leads to. Where the folder cannot take a new
// file (the user may write the file but not its folder), the file is rewritten in place. Unit 30
// is closed afterwards. Nothing happens when the file could be neither opened nor created at
// start-up, or was refused there.
void WRITE_DEFAULTS_TO_FILE() {
    if (!rt::unit_connected(kConfigUnit)) return;
    rt::unit_close(kConfigUnit);  // only read so far
    const std::string file = link_target(FILEINFO.DEFAULTS_FILE.str());
    const std::string fresh = file + ".new";
    // A file the user has made read-only keeps its settings, as it did when rewritten in place.
    struct stat old {};
    const bool exists = ::stat(file.c_str(), &old) == 0;
    if (exists && (!S_ISREG(old.st_mode) || ::access(file.c_str(), W_OK) != 0)) return;
    ::unlink(fresh.c_str());  // left by a run that was interrupted while writing
    // Made anew, or else in place when the folder takes no new file.
    errno = 0;
    rt::OpenSpec probe;
    probe.status = rt::FileStatus::New;
    probe.action = rt::FileAction::Write;
    const bool beside = rt::unit_open(kConfigUnit, fresh, probe) == rt::IOS_OK;
    const int refused = errno;
    rt::unit_close(kConfigUnit);
    if (!beside) {
        const std::string reason = exists ? write_lines(file, rt::FileStatus::Old)
                                          : std::string(refused != 0 ? std::strerror(refused) : "the file cannot be created");
        if (!reason.empty()) write_failure_box(FILEINFO.DEFAULTS_FILE.str(), reason);
        return;
    }
    std::string reason = write_lines(fresh, rt::FileStatus::Old);
    if (reason.empty() && exists && ::chmod(fresh.c_str(), old.st_mode & 07777) != 0)  // the old file's permissions
        reason = std::strerror(errno);
    if (reason.empty() && std::rename(fresh.c_str(), file.c_str()) != 0) reason = std::strerror(errno);
    if (reason.empty()) return;
    ::unlink(fresh.c_str());
    write_failure_box(FILEINFO.DEFAULTS_FILE.str(), reason);
}

// The current local date and time as 24 characters: "Thu Dec  4 09:05:01 2026".
std::string FDATE() {
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    char buf[64];
    const std::size_t n = std::strftime(buf, sizeof buf, "%a %b %e %H:%M:%S %Y", &tm);
    std::string s(buf, n);
    s.resize(24, ' ');
    return s;
}
