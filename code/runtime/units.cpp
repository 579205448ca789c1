// Numbered file units: sequential formatted records on text files.
//
// Records end with CR LF when written; one trailing CR is stripped from every record read, and a
// last line without a line feed is still a record. Writing behind the end of what was read
// truncates the file there (a sequential write makes its record the last one). Scratch files are
// unlinked as soon as they are created, so no way out of the program can leave one behind.
#include "runtime/units.h"

#include <fcntl.h>
#include <stdio_ext.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>

namespace rt {
namespace {

struct Unit {
    FILE* f = nullptr;
    std::string path;
    bool can_read = true;
    bool can_write = true;
    bool carriage_control = false;
    bool at_end = false;  // the last read met the end of the file
    bool unended = false;     // the record the last read returned had no line feed
    bool too_long = false;    // the record the last read refused was longer than kMaxRecordLength
    bool user_text = false;   // a user's text file: control characters are damage
    long records = 0;     // records read or written since the start of the file
    enum Op { NONE, READ, WRITE } last = NONE;
    bool std_stream = false;  // standard output or error: never closed, records end with LF
    bool scratch = false;     // already unlinked: nothing to delete by name
    int write_errno = 0;      // the first write, flush or close the system refused (0: none)
    dev_t dev = 0;
    ino_t ino = 0;
};

std::map<int, Unit>& table() {
    static std::map<int, Unit> t;
    return t;
}

// Flushes and closes every unit at normal process exit.
struct ExitCloser {
    ExitCloser() {
        table();  // built before the handler is registered, so it outlives it
        std::atexit([] { units_close_all(); });
    }
};

void ensure_exit_closer() { static ExitCloser closer; }

int last_write_errno = 0;  // the system's reason for the latest write-side failure on any unit

// Records a write-side failure of the unit. It stays with the unit: every later write, flush,
// rewind, read and the close report it, so records lost in a buffer are never taken as written.
int write_failed(Unit& u) {
    const int e = errno != 0 ? errno : EIO;
    if (u.write_errno == 0) u.write_errno = e;
    last_write_errno = u.write_errno;
    return IOS_WRITE_FAILED;
}

int flush_checked(Unit& u) {
    if (u.write_errno != 0) return IOS_WRITE_FAILED;
    errno = 0;
    return std::fflush(u.f) == 0 ? IOS_OK : write_failed(u);
}

Unit* find(int unit) {
    auto& t = table();
    auto it = t.find(unit);
    if (it != t.end()) return &it->second;
    if (unit == kStdOutUnit || unit == kStdErrUnit) {
        // Preconnected on first use, as the Fortran run time preconnects them.
        Unit u;
        u.f = unit == kStdOutUnit ? stdout : stderr;
        u.can_read = false;
        u.std_stream = true;
        u.last = Unit::WRITE;
        ensure_exit_closer();
        return &(t[unit] = u);
    }
    return nullptr;
}

// A stdio stream needs a seek between reading and writing. Records still buffered from writing
// are flushed first: when that fails, so does the operation (and every later one).
int switch_to(Unit& u, Unit::Op op) {
    if (u.last == Unit::WRITE && op != Unit::WRITE && flush_checked(u) != IOS_OK) return IOS_WRITE_FAILED;
    if (u.last != op && u.last != Unit::NONE) std::fseek(u.f, 0, SEEK_CUR);
    if (op == Unit::WRITE && u.last != Unit::WRITE) {
        // A write ends the file at the record written: drop whatever lies behind the position.
        if (flush_checked(u) != IOS_OK) return IOS_WRITE_FAILED;
        off_t pos = ftello(u.f);
        struct stat st;
        if (pos >= 0 && fstat(fileno(u.f), &st) == 0 && S_ISREG(st.st_mode) && st.st_size > pos) {
            errno = 0;
            if (ftruncate(fileno(u.f), pos) != 0) return write_failed(u);
        }
    }
    u.last = op;
    return IOS_OK;
}

int open_scratch(Unit& u) {
    const char* dir = std::getenv("TMPDIR");
    std::string tmpl = std::string(dir && *dir ? dir : "/tmp") + "/kelvor_scratch_XXXXXX";
    int fd = mkstemp(tmpl.data());
    if (fd < 0) return IOS_OPEN_FAILED;
    unlink(tmpl.c_str());
    u.f = fdopen(fd, "w+");
    if (!u.f) { close(fd); return IOS_OPEN_FAILED; }
    return IOS_OK;
}

}  // namespace

int unit_open(int unit, const std::string& path, const OpenSpec& spec) {
    ensure_exit_closer();
    Unit u;
    u.carriage_control = spec.carriage_control;
    if (spec.status == FileStatus::Scratch) {
        int ios = open_scratch(u);
        if (ios != IOS_OK) return ios;
        u.path = path;
        u.scratch = true;
    } else {
        if (path.empty()) return IOS_OPEN_FAILED;
        struct stat st;
        const bool exists = ::stat(path.c_str(), &st) == 0;
        if (exists) {
            // Never connect one file to two units where either may write: a writer would
            // truncate or overwrite what the other reads. Two readers of one file (the data
            // file in use chosen again as the input) do each other no harm.
            const bool reader = spec.action == FileAction::Read;
            for (auto& [n, other] : table()) {
                if (n == unit || !other.f || other.std_stream) continue;
                if (other.dev == st.st_dev && other.ino == st.st_ino && !(reader && !other.can_write)) return IOS_IN_USE;
            }
        }
        if (spec.status == FileStatus::Old && !exists) return IOS_NOT_FOUND;
        if (spec.status == FileStatus::New && exists) return IOS_EXISTS;
        if (spec.action == FileAction::Read && !exists) return IOS_NOT_FOUND;
        if (exists && S_ISDIR(st.st_mode)) return IOS_OPEN_FAILED;

        // Only the old connection of this very unit may be closed before the new one opens.
        unit_close(unit);

        int flags = O_CLOEXEC;
        const char* mode = "r";
        switch (spec.action) {
            case FileAction::Read: flags |= O_RDONLY; u.can_write = false; break;
            case FileAction::Write: flags |= O_WRONLY | O_CREAT; mode = "w"; u.can_read = false; break;
            case FileAction::ReadWrite: flags |= O_RDWR | O_CREAT; mode = "r+"; break;
        }
        if (spec.action != FileAction::Read) {
            if (spec.status == FileStatus::New) flags |= O_EXCL;
            if (spec.status == FileStatus::Replace) flags |= O_TRUNC;
        }
        int fd = ::open(path.c_str(), flags, 0666);
        if (fd < 0 && spec.action == FileAction::ReadWrite && exists && errno == EACCES &&
            (spec.status == FileStatus::Old || spec.status == FileStatus::Unknown)) {
            // A file we may only read is still connected, for reading.
            fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
            mode = "r";
            u.can_write = false;
        }
        if (fd < 0) return errno == EEXIST ? IOS_EXISTS : IOS_OPEN_FAILED;
        u.f = fdopen(fd, mode);  // fdopen never truncates
        if (!u.f) ::close(fd);
        if (!u.f) return IOS_OPEN_FAILED;
        u.path = path;
    }
    struct stat st;
    if (fstat(fileno(u.f), &st) == 0) { u.dev = st.st_dev; u.ino = st.st_ino; }
    if (spec.status == FileStatus::Scratch) unit_close(unit);
    if (spec.append) std::fseek(u.f, 0, SEEK_END);
    table()[unit] = u;
    return IOS_OK;
}

int unit_close(int unit, bool delete_file) {
    auto& t = table();
    auto it = t.find(unit);
    if (it == t.end()) return IOS_OK;
    Unit u = it->second;
    t.erase(it);
    int ios = u.write_errno != 0 ? IOS_WRITE_FAILED : IOS_OK;
    errno = 0;
    if (u.std_stream) return std::fflush(u.f) == 0 ? ios : write_failed(u);
    // fclose flushes what is still buffered: its failure means records were lost.
    if (u.f && std::fclose(u.f) != 0 && u.can_write) ios = write_failed(u);
    if (delete_file && !u.scratch && !u.path.empty() && u.dev != 0) {
        struct stat st;
        if (::stat(u.path.c_str(), &st) == 0 && st.st_dev == u.dev && st.st_ino == u.ino) ::unlink(u.path.c_str());
    }
    return ios;
}

bool unit_connected(int unit) { return find(unit) != nullptr; }

std::string unit_path(int unit) {
    Unit* u = find(unit);
    return u ? u->path : std::string();
}

std::string unit_file_name(int unit) {
    const std::string path = unit_path(unit);
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string unit_file_path(int unit) {
    const Unit* u = find(unit);
    if (!u || !u->f || u->std_stream || u->scratch) return "";
    const std::string link = "/proc/self/fd/" + std::to_string(fileno(u->f));
    char buf[4096];
    const ssize_t n = ::readlink(link.c_str(), buf, sizeof buf);
    if (n <= 0 || std::size_t(n) >= sizeof buf || buf[0] != '/') return "";
    return std::string(buf, std::size_t(n));
}

int unit_move(int from, int to) {
    auto& t = table();
    auto it = t.find(from);
    if (it == t.end() || it->second.std_stream) return IOS_NOT_CONNECTED;
    if (from == to) return IOS_OK;
    if (find(to) != nullptr) return IOS_IN_USE;
    Unit u = it->second;
    t.erase(it);
    t[to] = u;
    return IOS_OK;
}

long unit_record_number(int unit) {
    Unit* u = find(unit);
    return u ? u->records : 0;
}

int unit_read_record(int unit, std::string& record) {
    Unit* u = find(unit);
    if (!u) return IOS_NOT_CONNECTED;
    if (!u->can_read) return IOS_NOT_PERMITTED;
    // A file whose writing failed does not hold what was written: nothing is read from it.
    if (u->write_errno != 0 || switch_to(*u, Unit::READ) != IOS_OK) return IOS_WRITE_FAILED;
    record.clear();
    u->unended = false;
    u->too_long = false;
    int c;
    bool any = false, ended = false, control = false;
    while ((c = getc_unlocked(u->f)) != EOF) {
        any = true;
        if (c == '\n') { ended = true; break; }
        if (record.size() >= kMaxRecordLength) {
            // No line ends where a text file has them: the rest is not read.
            ++u->records;
            u->too_long = true;
            return IOS_BAD_RECORD;
        }
        if ((c < 32 && c != '\t' && c != '\r') || c == 127) control = true;
        record.push_back(char(c));
    }
    if (!any) {
        if (std::ferror(u->f)) { std::clearerr(u->f); return IOS_BAD_VALUE; }
        std::clearerr(u->f);
        u->at_end = true;
        return IOS_END;
    }
    if (!record.empty() && record.back() == '\r') record.pop_back();
    ++u->records;
    // A carriage return anywhere but at the end is a control character like the others.
    if (u->user_text && (control || record.find('\r') != std::string::npos)) return IOS_BAD_RECORD;
    u->unended = !ended;
    return IOS_OK;
}

void unit_mark_user_text(int unit) {
    if (Unit* u = find(unit)) u->user_text = true;
}

bool unit_record_unended(int unit) {
    Unit* u = find(unit);
    return u && u->unended;
}

bool unit_record_too_long(int unit) {
    Unit* u = find(unit);
    return u && u->too_long;
}

int unit_write_record(int unit, std::string_view record) {
    Unit* u = find(unit);
    if (!u) return IOS_NOT_CONNECTED;
    if (!u->can_write) return IOS_NOT_PERMITTED;
    if (u->write_errno != 0 || switch_to(*u, Unit::WRITE) != IOS_OK) return IOS_WRITE_FAILED;
    u->at_end = false;
    if (u->carriage_control && !record.empty()) record.remove_prefix(1);
    errno = 0;
    if (!record.empty() && std::fwrite(record.data(), 1, record.size(), u->f) != record.size()) return write_failed(*u);
    if (u->std_stream) return std::fputc('\n', u->f) == EOF ? write_failed(*u) : IOS_OK;
    if (std::fwrite("\r\n", 1, 2, u->f) != 2) return write_failed(*u);
    ++u->records;
    return IOS_OK;
}

int unit_rewind(int unit) {
    Unit* u = find(unit);
    if (!u) return IOS_NOT_CONNECTED;
    const int flushed = u->last == Unit::WRITE ? flush_checked(*u) : (u->write_errno != 0 ? IOS_WRITE_FAILED : IOS_OK);
    std::clearerr(u->f);
    if (std::fseek(u->f, 0, SEEK_SET) != 0) return flushed != IOS_OK ? flushed : IOS_OPEN_FAILED;
    u->last = Unit::NONE;
    u->at_end = false;
    u->records = 0;
    return flushed;
}

int unit_backspace(int unit) {
    Unit* u = find(unit);
    if (!u) return IOS_NOT_CONNECTED;
    if (u->last == Unit::WRITE) {
        if (flush_checked(*u) != IOS_OK) return IOS_WRITE_FAILED;
    } else {
        std::fflush(u->f);
    }
    std::clearerr(u->f);
    u->last = Unit::NONE;
    if (u->at_end) {
        // After the end of the file was met the position is just after the last record.
        u->at_end = false;
        std::fseek(u->f, 0, SEEK_END);
        return IOS_OK;
    }
    off_t pos = ftello(u->f);
    if (pos <= 0) return IOS_OK;
    if (u->records > 0) --u->records;
    // The record before the position ends at pos-1 (its line feed) unless the file ends without
    // one; its start is just after the line feed before that.
    off_t end = pos;
    char c;
    if (pread(fileno(u->f), &c, 1, end - 1) == 1 && c == '\n') --end;
    off_t start = 0;
    char buf[4096];
    off_t scan = end;
    while (scan > 0) {
        off_t chunk = scan >= off_t(sizeof buf) ? off_t(sizeof buf) : scan;
        ssize_t got = pread(fileno(u->f), buf, size_t(chunk), scan - chunk);
        if (got != ssize_t(chunk)) return IOS_BAD_VALUE;
        bool found = false;
        for (off_t k = chunk - 1; k >= 0; --k) {
            if (buf[k] == '\n') { start = scan - chunk + k + 1; found = true; break; }
        }
        if (found) break;
        scan -= chunk;
    }
    if (fseeko(u->f, start, SEEK_SET) != 0) return IOS_BAD_VALUE;
    return IOS_OK;
}

int unit_flush(int unit) {
    Unit* u = find(unit);
    if (!u) return IOS_NOT_CONNECTED;
    return flush_checked(*u);
}

long unit_mark(int unit) {
    Unit* u = find(unit);
    if (!u || !u->f || u->std_stream || flush_checked(*u) != IOS_OK) return -1;
    return long(ftello(u->f));
}

int unit_cut_back(int unit, long mark) {
    Unit* u = find(unit);
    if (!u || !u->f || u->std_stream) return IOS_NOT_CONNECTED;
    if (mark < 0) return IOS_WRITE_FAILED;
    // What the system refused stays in the stream's buffer: dropped here, so that the close does
    // not try again to write it behind the cut.
    __fpurge(u->f);
    std::clearerr(u->f);
    if (ftruncate(fileno(u->f), off_t(mark)) != 0 || fseeko(u->f, off_t(mark), SEEK_SET) != 0) return write_failed(*u);
    u->last = Unit::NONE;
    return u->write_errno != 0 ? IOS_WRITE_FAILED : IOS_OK;
}

bool unit_file_unlinked(int unit) {
    const Unit* u = find(unit);
    if (!u || !u->f || u->std_stream || u->scratch) return false;
    struct stat st;
    return fstat(fileno(u->f), &st) == 0 && st.st_nlink == 0;
}

int units_close_all() {
    auto& t = table();
    int first_failure = IOS_OK;
    while (!t.empty()) {
        const int ios = unit_close(t.begin()->first);
        if (first_failure == IOS_OK) first_failure = ios;
    }
    return first_failure;
}

std::string write_failure_reason() {
    return last_write_errno != 0 ? std::string(std::strerror(last_write_errno)) : std::string(iostat_text(IOS_WRITE_FAILED));
}

const char* iostat_text(int iostat) {
    switch (iostat) {
        case IOS_OK: return "no error";
        case IOS_END: return "end of file";
        case IOS_NOT_FOUND: return "file not found";
        case IOS_EXISTS: return "file already exists";
        case IOS_IN_USE: return "file already connected to another unit";
        case IOS_OPEN_FAILED: return "cannot open file";
        case IOS_NOT_CONNECTED: return "unit not connected";
        case IOS_BAD_VALUE: return "bad value during read";
        case IOS_WRITE_FAILED: return "write failed";
        case IOS_BAD_FORMAT: return "bad format";
        case IOS_NOT_PERMITTED: return "operation not permitted on this unit";
        case IOS_BAD_RECORD: return "a line that is no text (control characters, or no line end)";
        default: return "input/output error";
    }
}

}  // namespace rt
