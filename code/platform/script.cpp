// The scripted front end: plays a script of user actions against the model and writes the
// transcript of what was shown. The default front end of the library.
#include "platform/script.h"

#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/frontend.h"
#include "platform/model.h"
#include "platform/ps_file.h"
#include "platform/transcript.h"
#include "platform/wingui.h"
#include "runtime/fatal.h"
#include "runtime/ftext.h"

namespace wl {
namespace {

struct Line {
    int number = 0;               // line number in the script, from 1
    std::string text;             // the line without its comment
    std::vector<std::string> words;
};

class ScriptFrontEnd final : public FrontEnd {
public:
    void load(const std::vector<std::string>& lines) {
        lines_.clear();
        next_ = 0;
        transcript::clear();
        exhausted_ = false;
        ticks_left_ = 0;
        running_ = false;
        char cwd[4096];
        base_ = ::getcwd(cwd, sizeof cwd) ? std::string(cwd) : std::string();
        int number = 0;
        for (std::string s : lines) {
            ++number;
            if (!s.empty() && s.back() == '\r') s.pop_back();
            const auto hash = s.find('#');
            if (hash != std::string::npos) s.erase(hash);
            std::istringstream in(s);
            Line l;
            l.number = number;
            for (std::string w; in >> w;) l.words.push_back(w);
            if (l.words.empty()) continue;
            l.text = std::string(rt::trim_right(s, {.tabs = true}));
            while (!l.text.empty() && (l.text.front() == ' ' || l.text.front() == '\t')) l.text.erase(0, 1);
            lines_.push_back(std::move(l));
        }
    }

    bool exhausted() const { return exhausted_; }
    int lines_left() const { return int(lines_.size() - next_); }

    // ---- FrontEnd ----

    void pump(Model& m) override {
        while (m.queue.empty()) {
            if (ticks_left_ > 0) {
                if (m.timer_callback != 0) {
                    --ticks_left_;
                    m.post_tick();
                    continue;
                }
                ticks_left_ = 0;  // the timer stopped: the remaining ticks have nothing to deliver
            }
            if (running_) {
                if (m.timer_callback != 0 && run_count_ < 1000000) {
                    ++run_count_;
                    m.post_tick();
                    continue;
                }
                running_ = false;
            }
            const Line* l = take("the program waits for an action");
            play_action(m, *l);
        }
    }

    // What is shown goes to the transcript through the library's entries.
    void show_window(Model&, int) override {}
    void hide_window(Model&, int) override {}
    void redraw(Model&, int) override {}
    void error_box(Model&, const std::string&, const std::string&, int) override {}

    int message_box(Model&, const std::string& title, const std::string& text, int, int buttons) override {
        if (!box_asks(buttons)) return 1;
        const std::string what = "a question box waits for an answer: " + rtrim(title) + " | " + rtrim(text);
        const Line* l = take(what);
        if (l->words[0] != "answer" || l->words.size() != 2)
            script_error(*l, "expected \"answer N\" or \"answer enter\" for " + what.substr(what.find(':') + 2));
        // Enter presses the box's default button; a number must be the code of one of its buttons.
        const BoxButtons offered = box_buttons(buttons);
        if (l->words[1] == "enter") return offered.enter_answer();
        int n = 0;
        const bool number = to_int(l->words[1], n);
        for (const BoxButton& b : offered.buttons)
            if (number && b.code == n) return n;
        std::string codes;
        for (const BoxButton& b : offered.buttons)
            codes += (codes.empty() ? "" : ", ") + std::string(b.label) + " " + std::to_string(b.code);
        script_error(*l, "the box offers " + codes + " (or \"answer enter\")");
    }

    FileAnswer file_dialog(Model&, const FileRequest& r) override {
        const std::string what = "a file dialog waits for a file: " + rtrim(r.caption);
        const Line* l = take(what);
        FileAnswer a;
        a.filter_index = r.filter_index;
        if (l->words[0] == "cancel" && l->words.size() == 1) return a;
        if (l->words[0] != "file" || l->words.size() < 2 || l->words.size() > 3)
            script_error(*l, "expected \"file PATH [N]\" or \"cancel\" for " + what.substr(what.find(':') + 2));
        if (l->words.size() == 3) {
            int n = 0;
            if (!to_int(l->words[2], n) || n < 1 || n > std::max<int>(1, int(r.filters.size())))
                script_error(*l, "no such filter in this dialog");
            a.filter_index = n;
        }
        a.cancelled = false;
        a.path = absolute(l->words[1]);
        return a;
    }

    void console(Model&, const ConsoleMessage& msg) override {
        std::fprintf(stderr, "console [%d] %s | %s\n", msg.code, msg.title.c_str(), msg.text.c_str());
    }

    bool choose_colour(Model&, int& r, int& g, int& b) override {
        const std::string from = std::to_string(r) + " " + std::to_string(g) + " " + std::to_string(b);
        const Line* l = take("the colour dialog waits for a colour: " + from);
        if (l->words[0] == "cancel" && l->words.size() == 1) return false;
        int c[3] = {0, 0, 0};
        if (l->words[0] != "colour" || l->words.size() != 4)
            script_error(*l, "expected \"colour R G B\" or \"cancel\" for the colour dialog");
        for (int k = 0; k < 3; ++k)
            if (!to_int(l->words[std::size_t(k) + 1], c[k]) || c[k] < 0 || c[k] > 255)
                script_error(*l, "a colour component is a number from 0 to 255");
        r = c[0];
        g = c[1];
        b = c[2];
        return true;
    }

    bool print_begin(Model&, PrintPage& page) override {
        const Line* l = take("the print dialog waits for a file");
        if (l->words[0] == "cancel" && l->words.size() == 1) return false;
        if (l->words[0] != "print" || l->words.size() != 2)
            script_error(*l, "expected \"print PATH\" or \"cancel\" for the print dialog");
        const std::string path = absolute(l->words[1]);
        page.destination = path;
        if (!printer_.open(path)) return false;
        page = PostScriptFile::a4_page();
        page.destination = path;
        return true;
    }
    void print_page(Model&, const gfx::FrameGraphics& page) override { printer_.page(page); }
    bool print_end(Model&, bool) override { return printer_.close(); }

    bool show_help(Model&, const HelpRequest&) override { return true; }

private:
    std::vector<Line> lines_;
    std::size_t next_ = 0;
    bool exhausted_ = false;
    long long ticks_left_ = 0;
    bool running_ = false;
    long long run_count_ = 0;
    std::string base_;
    PostScriptFile printer_;

    // A path of the script: a relative one is taken from the directory the script was loaded in.
    std::string absolute(const std::string& given) const {
        std::filesystem::path p(given);
        if (p.is_relative()) p = std::filesystem::path(base_) / p;
        return p.lexically_normal().string();
    }

    static bool to_int(const std::string& s, int& v) {
        errno = 0;
        char* end = nullptr;
        const long x = std::strtol(s.c_str(), &end, 10);
        if (errno || end == s.c_str() || *end || x < -2147483647L - 1 || x > 2147483647L) return false;
        v = int(x);
        return true;
    }

    // The next line, or the end of the run when there is none.
    const Line* take(const std::string& what) {
        if (next_ < lines_.size()) return &lines_[next_++];
        exhaust(what);
    }

    [[noreturn]] void exhaust(const std::string& what) {
        exhausted_ = true;
        const Model& m = model();
        std::fprintf(stderr, "script exhausted: %s\n", what.c_str());
        for (const auto& [id, w] : m.widgets)
            if (w.is_window() && w.shown) std::fprintf(stderr, "open window %d: %s\n", id, rtrim(w.caption).c_str());
        const std::size_t from = m.boxes.size() > 5 ? m.boxes.size() - 5 : 0;
        for (std::size_t k = from; k < m.boxes.size(); ++k) {
            const BoxRecord& b = m.boxes[k];
            std::fprintf(stderr, "last box: %s | %s\n", b.title.c_str(), b.text.c_str());
        }
        rt::program_exit(script::EXIT_EXHAUSTED);
    }

    [[noreturn]] void script_error(const Line& l, const std::string& why) {
        std::fprintf(stderr, "script line %d: %s: %s\n", l.number, why.c_str(), l.text.c_str());
        rt::program_exit(script::EXIT_SCRIPT_ERROR);
    }

    // The widget in slot (G, K) of the program's handle table, G and K a line's words 1 and 2.
    Widget* slot(const Line& l) {
        int g = 0, k = 0, handle = -1;
        if (to_int(l.words[1], g) && to_int(l.words[2], k)) handle = slot_handle(g, k);
        if (handle < 0) script_error(l, "no such widget slot");
        Widget* w = model().find(handle);
        if (!w) script_error(l, "the slot holds no widget");
        return w;
    }

    void play_action(Model& m, const Line& l) {
        const std::string& verb = l.words[0];
        const std::size_t n = l.words.size();
        if (verb == "press" && n == 2) {
            int cb = 0;
            if (!to_int(l.words[1], cb)) script_error(l, "the callback is not a number");
            Event e;
            e.callback = cb;
            if (cb == EXIT_REQUEST) {
                e.widget = m.active_window > 0 ? m.active_window : 1;
                m.post(e);
                return;
            }
            bool found = false;
            for (const auto& [id, w] : m.widgets) {
                bool carries = false;
                for (const auto& [k, c] : w.callbacks)
                    if (c == cb) carries = true;
                if (!carries) continue;
                found = true;
                if (!m.operable(id)) continue;
                e.widget = id;
                e.kind = w.event_kind();
                m.post(e);
                return;
            }
            script_error(l, found ? "the control is greyed or hidden" : "no shown control carries this callback");
        } else if (verb == "set" && n >= 4) {
            Widget* w = slot(l);
            if (w->kind != KIND_VALUE && w->kind != KIND_TEXT && w->kind != KIND_EDITOR && w->kind != KIND_COMBO)
                script_error(l, "not a value or text entry");
            if (!m.operable(w->id)) script_error(l, "the entry is greyed or hidden");
            // The value is the rest of the line after the slot (a text may hold blanks).
            std::string value = l.text;
            for (int skip = 0; skip < 3; ++skip) {
                const auto sp = value.find_first_of(" \t");
                value = sp == std::string::npos ? std::string() : value.substr(sp);
                while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) value.erase(0, 1);
            }
            // Typed as given: a text the value entry cannot read is refused by the library, as
            // for a person at the window.
            m.end_edit(w->id, value, w->value);
            redraw(m, w->id);
        } else if (verb == "toggle" && n == 4) {
            Widget* w = slot(l);
            int s = 0;
            if (w->kind != KIND_TOGGLE) script_error(l, "not a toggle");
            if (!to_int(l.words[3], s) || (s != 0 && s != 1)) script_error(l, "a toggle takes 0 or 1");
            if (!m.operable(w->id)) script_error(l, "the toggle is greyed or hidden");
            m.click_toggle(w->id, s);
            m.post_callback(w->id, Cb::Action);
        } else if (verb == "select" && n == 4) {
            Widget* w = slot(l);
            int i = 0;
            if (w->kind != KIND_LISTBOX && w->kind != KIND_COMBO) script_error(l, "not a list");
            if (!to_int(l.words[3], i) || i < 1 || i > int(w->items.size())) script_error(l, "no such list entry");
            if (!m.operable(w->id)) script_error(l, "the list is greyed or hidden");
            w->selection = i;
            m.post_callback(w->id, w->choice_callback());
        } else if (verb == "key" && n == 2) {
            int key = 0;
            if (!to_int(l.words[1], key)) script_error(l, "the key is not a number");
            if (!m.press_key(key)) script_error(l, "no key callback for this key");
        } else if (verb == "ticks" && n == 2) {
            int t = 0;
            if (!to_int(l.words[1], t) || t < 0) script_error(l, "a tick count is a number from 0");
            ticks_left_ = t;
        } else if (verb == "run" && n == 1) {
            running_ = true;
            run_count_ = 0;
        } else if (verb == "answer" || verb == "file" || verb == "cancel" || verb == "colour" || verb == "print") {
            script_error(l, "no box or dialog is open: the program waits for an action");
        } else {
            script_error(l, "not a script action");
        }
    }
};

ScriptFrontEnd& scripted() {
    static ScriptFrontEnd fe;
    return fe;
}

FrontEnd* current = nullptr;

}  // namespace

FrontEnd& frontend() { return current ? *current : scripted(); }

void set_frontend(FrontEnd* fe) { current = fe; }

namespace script {

void load_lines(const std::vector<std::string>& lines) {
    scripted().load(lines);
    set_frontend(&scripted());
}

bool load_file(const std::string& path, std::string& error) {
    // A folder opens as a stream on Linux and then fails at its first read: name it as what it is.
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        error = "cannot read the script " + path + ": it is a folder, not a file";
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot read the script " + path + ": " + std::strerror(errno);
        return false;
    }
    std::vector<std::string> lines;
    for (std::string s; std::getline(in, s);) lines.push_back(s);
    if (in.bad()) {
        error = "cannot read the script " + path;
        return false;
    }
    load_lines(lines);
    return true;
}

bool set_transcript_file(const std::string& path) { return transcript::to_file(path); }

const std::vector<std::string>& transcript() { return transcript::lines(); }

bool exhausted() { return scripted().exhausted(); }

int lines_left() { return scripted().lines_left(); }

}  // namespace script
}  // namespace wl
