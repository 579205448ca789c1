// The coverage table of the widget library, code/platform/COVERAGE.md: every entry and escape
// operation the toolkit layer sends, with what the library does with it, made from the library's
// own dispatch (the escape table and the entries' classes). The committed file must be the one
// made now: an operation that changes class without the table fails here.
// KV_WRITE_COVERAGE=1 writes the file afresh instead.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "platform/coverage.h"
#include "platform/wingui.h"

namespace {

namespace fs = std::filesystem;

const fs::path kSource = KV_SOURCE_DIR;
const fs::path kTable = kSource / "code/platform/COVERAGE.md";

std::string read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

bool word_char(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

// The text of every source file of the toolkit layer.
std::string toolkit_sources() {
    std::string all;
    for (const auto& e : fs::directory_iterator(kSource / "code/gui_toolkit"))
        if (e.path().extension() == ".cpp" || e.path().extension() == ".h") all += read(e.path()) + "\n";
    return all;
}

// Whether `name` occurs in the text as a whole word.
bool mentions(const std::string& text, const std::string& name) {
    for (std::size_t at = text.find(name); at != std::string::npos; at = text.find(name, at + 1)) {
        const bool before = at > 0 && word_char(text[at - 1]);
        const bool after = at + name.size() < text.size() && word_char(text[at + name.size()]);
        if (!before && !after) return true;
    }
    return false;
}

// The entries the library's headers declare: the functions with an upper-case name (and the
// console's two with a trailing underscore), from the start of a declaration line.
std::set<std::string> declared_entries() {
    std::set<std::string> names;
    for (const char* h : {"wingui.h", "widget_extra.h", "widget_more.h", "graphics_model.h"}) {
        std::istringstream in(read(kSource / "code/platform" / h));
        for (std::string line; std::getline(in, line);) {
            if (line.empty() || line[0] == ' ' || line[0] == '/' || line[0] == '#') continue;
            const auto paren = line.find('(');
            if (paren == std::string::npos) continue;
            std::size_t b = paren;
            while (b > 0 && word_char(line[b - 1])) --b;
            const std::string name = line.substr(b, paren - b);
            if (name.empty() || b == 0 || line.find(' ') > b) continue;  // a type must come first
            bool upper = std::isupper(static_cast<unsigned char>(name[0])) != 0;
            for (const char c : name)
                if (std::islower(static_cast<unsigned char>(c))) upper = false;
            if (upper || name == "errormessage_" || name == "registerconsole_") names.insert(name);
        }
    }
    return names;
}

// The escape operations the toolkit layer sends: the literal operation numbers of its calls of
// the escape entry and of its wrappers, the callback definitions' operations (the last argument
// of `define`), and the range of posted actions (1220 + action).
std::set<int> sent_operations(const std::string& text) {
    std::set<int> ops;
    const char* callers[] = {"ESCAPEROUTINE(", "GUIESC(", "escape(", "esc(", "esc_text(", "esc_buffer(", "esc_pair("};
    for (const char* caller : callers) {
        const std::string c = caller;
        for (std::size_t at = text.find(c); at != std::string::npos; at = text.find(c, at + 1)) {
            if (at > 0 && word_char(text[at - 1])) continue;
            std::size_t k = at + c.size();
            while (k < text.size() && text[k] == ' ') ++k;
            std::size_t e = k;
            while (e < text.size() && std::isdigit(static_cast<unsigned char>(text[e]))) ++e;
            if (e == k) continue;
            const int op = std::stoi(text.substr(k, e - k));
            if (text.compare(e, 4, " + a") == 0 && op == 1220)
                for (int a = 1220; a <= 1250; ++a) ops.insert(a);
            else
                ops.insert(op);
        }
    }
    const std::string define = "define(\"";
    for (std::size_t at = text.find(define); at != std::string::npos; at = text.find(define, at + 1)) {
        const auto end = text.find(");", at);
        if (end == std::string::npos) break;
        std::size_t b = end;
        while (b > at && std::isdigit(static_cast<unsigned char>(text[b - 1]))) --b;
        if (b < end) ops.insert(std::stoi(text.substr(b, end - b)));
    }
    return ops;
}

struct Row {
    std::string name;
    wl::Coverage coverage;
    std::string what;
};

std::string counts(const std::vector<Row>& rows) {
    int n[3] = {0, 0, 0};
    for (const Row& r : rows) ++n[int(r.coverage)];
    return std::to_string(rows.size()) + ": " + std::to_string(n[0]) + " done, " + std::to_string(n[1]) +
           " kept but not shown, " + std::to_string(n[2]) + " refused";
}

std::string table(const std::vector<Row>& rows, const char* head) {
    std::string t = std::string("| ") + head + " | class | what |\n|---|---|---|\n";
    for (const Row& r : rows) t += "| " + r.name + " | " + wl::coverage_name(r.coverage) + " | " + r.what + " |\n";
    return t;
}

// The table made from the code now, with the entries' classes named that no entry the toolkit
// calls has (stale names).
std::string make_table(std::vector<std::string>& stale) {
    const std::string sources = toolkit_sources();
    std::map<std::string, const wl::EntryCoverage*> not_done;
    for (const wl::EntryCoverage& e : wl::entries_not_done()) not_done[e.entry] = &e;

    std::vector<Row> entries;
    for (const std::string& name : declared_entries()) {
        if (!mentions(sources, name)) continue;
        auto it = not_done.find(name);
        if (it != not_done.end()) {
            entries.push_back({"`" + name + "`", it->second->coverage, it->second->what});
            not_done.erase(it);
        } else if (name == "ESCAPEROUTINE") {
            entries.push_back({"`" + name + "`", wl::Coverage::Done, "dispatches the escape operations below"});
        } else {
            entries.push_back({"`" + name + "`", wl::Coverage::Done, ""});
        }
    }
    for (const auto& [name, e] : not_done) stale.push_back(name);

    std::map<int, Row> by_op;
    for (const int op : sent_operations(sources))
        by_op[op] = {"", wl::Coverage::Refused, "no handler: recorded, answers nothing"};
    for (const wl::EscapeOperation& e : wl::escape_operations()) by_op[e.op] = {"", e.coverage, e.what};
    // Consecutive operations alike make one row.
    std::vector<Row> ops;
    for (auto it = by_op.begin(); it != by_op.end();) {
        auto last = it;
        for (auto next = std::next(it); next != by_op.end() && next->first == std::prev(next)->first + 1 &&
                                        next->second.coverage == it->second.coverage && next->second.what == it->second.what;
             ++next)
            last = next;
        Row r = it->second;
        r.name = std::to_string(it->first) + (last != it ? "-" + std::to_string(last->first) : "");
        ops.push_back(r);
        it = std::next(last);
    }
    int op_count = 0;
    int n[3] = {0, 0, 0};
    for (const auto& [op, r] : by_op) {
        ++op_count;
        ++n[int(r.coverage)];
    }

    std::string md =
        "# What the widget library does with each request\n\n"
        "Every entry of the widget library (`code/platform`) that the toolkit layer (`code/gui_toolkit`) calls, and\n"
        "every escape operation it sends, with what the library does with it:\n\n"
        "- **done**: it acts on it: shown in the window, delivered as an event, or answered;\n"
        "- **kept, not shown**: the model keeps it (set and read back), but no front end shows it or acts on it;\n"
        "- **refused**: nothing is kept: it answers zeros, blanks or a failure, or does nothing.\n\n"
        "This file is made from the library's own dispatch: the escape table (`set_escape_handler`, with each\n"
        "operation's class) and the classes of the entries that are not done (`code/platform/coverage.cpp`); an\n"
        "escape operation without a handler is refused. `test_platform` (`CoverageTable.*`) fails when it differs\n"
        "from what the code says; `KV_WRITE_COVERAGE=1 build/tests/test_platform --gtest_filter='CoverageTable.*'`\n"
        "writes it afresh.\n\n"
        "## Entries: " +
        counts(entries) + "\n\n" + table(entries, "entry") + "\n## Escape operations: " + std::to_string(op_count) +
        ": " + std::to_string(n[0]) + " done, " + std::to_string(n[1]) + " kept but not shown, " +
        std::to_string(n[2]) + " refused\n\n" + table(ops, "operation");
    return md;
}

TEST(CoverageTable, TheCommittedTableIsTheOneTheCodeMakes) {
    std::vector<std::string> stale;
    const std::string made = make_table(stale);
    if (std::getenv("KV_WRITE_COVERAGE")) std::ofstream(kTable, std::ios::binary) << made;
    EXPECT_TRUE(stale.empty()) << "classes named for entries the toolkit layer does not call: " << stale.front();
    const std::string committed = read(kTable);
    if (committed == made) return;
    // The first line that differs, for the report.
    std::istringstream a(committed), b(made);
    std::string la, lb;
    int line = 0;
    while (true) {
        ++line;
        const bool ga = bool(std::getline(a, la)), gb = bool(std::getline(b, lb));
        if (!ga || !gb || la != lb) break;
    }
    ADD_FAILURE() << kTable.string() << " is not the table the code makes (KV_WRITE_COVERAGE=1 writes it); line "
                  << line << ":\n  committed: " << la << "\n  made:      " << lb;
}

TEST(CoverageTable, EveryHandledOperationHasAClassAndASaying) {
    for (const wl::EscapeOperation& e : wl::escape_operations()) EXPECT_FALSE(e.what.empty()) << e.op;
}

}  // namespace
