// The transcript of what a run showed.
#include "platform/transcript.h"

#include <fstream>
#include <memory>

namespace wl::transcript {
namespace {

struct Record {
    std::vector<std::string> lines;
    std::unique_ptr<std::ofstream> file;
};

Record& record() {
    static Record r;
    return r;
}

}  // namespace

void write(const std::string& line) {
    std::string s = line;
    while (!s.empty() && (s.back() == ' ' || s.back() == '\0' || s.back() == '\t')) s.pop_back();
    Record& r = record();
    r.lines.push_back(s);
    if (r.file) {
        *r.file << s << '\n';
        r.file->flush();
    }
}

void clear() { record().lines.clear(); }

const std::vector<std::string>& lines() { return record().lines; }

bool to_file(const std::string& path) {
    Record& r = record();
    r.file.reset();
    if (path.empty()) return true;
    r.file = std::make_unique<std::ofstream>(path, std::ios::out | std::ios::trunc);
    if (!*r.file) {
        r.file.reset();
        return false;
    }
    for (const auto& l : r.lines) *r.file << l << '\n';
    r.file->flush();
    return bool(*r.file);
}

}  // namespace wl::transcript
