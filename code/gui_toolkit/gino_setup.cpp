// Graphics library start-up: the default palette (the widget library's), the settings, the
// optional configuration file GINO.CON, the state record, and the small file and text services
// of the library.
#include <climits>
#include <filesystem>
#include <string>

#include "gui_toolkit/minigino.h"
#include "platform/graphics_model.h"
#include "runtime/units.h"

namespace {

// The GINO.CON keys and the settings they write.
struct ConfigKey { const char* name; int setting; };
constexpr ConfigKey kConfigKeys[8] = {
    {"NFMESS", 24}, {"NFERTR", 23}, {"NFSDF", 25}, {"NDEVIC", 7},
    {"NSAVDF", 8},  {"NFFONT", 26}, {"NFICON", 29}, {"NFSTAT", 30},
};

constexpr int kConfigRecord = 80;

}  // namespace

void reset_gino_state() {
    GINO_DRAW = GinoDrawState{};
    GINO_SET = GinoSettings{};
    gfx::reset();
}

void GINO() {
    GinoDrawState& d = GINO_DRAW;
    d.PEN_SLOT = 1;
    // The default palette is the widget library's, so drawings and widget colours agree.
    for (int i = 0; i <= 10; ++i) {
        d.PALETTE_RED(i) = gfx::kDefaultPalette[i].r;
        d.PALETTE_GREEN(i) = gfx::kDefaultPalette[i].g;
        d.PALETTE_BLUE(i) = gfx::kDefaultPalette[i].b;
    }
    for (int i = 11; i <= 19; ++i) GETSYSCOLOUR(i, d.PALETTE_RED(i), d.PALETTE_GREEN(i), d.PALETTE_BLUE(i));
    for (int i = 0; i <= 19; ++i) SETBMPCOLOUR(i, d.PALETTE_RED(i), d.PALETTE_GREEN(i), d.PALETTE_BLUE(i));

    d.CHAR_ANGLE = 0.0f;
    GinoSettings& s = GINO_SET;
    s.GINO_SETTINGS(6) = 99;
    s.GINO_SETTINGS(22) = 6;
    s.GINO_SETTINGS(5) = 1;
    s.GINO_SETTINGS(7) = 0;
    s.GINO_SETTINGS(21) = 5;
    s.GINO_SETTINGS(23) = 0;
    s.GINO_STATE = 1;

    // The configuration file: the current directory first, then the directory named by the
    // environment variable GINO (joined in full, whatever its length). Missing files fall
    // through; the first one found is read, or an open error ends the search silently.
    std::string env = GFSENV("GINO");
    while (!env.empty() && env.back() == ' ') env.pop_back();
    std::string candidates[2] = {"GINO.CON", ""};
    int ncand = 1;
    if (!env.empty()) candidates[ncand++] = env + "/GINO.CON";
    for (int i = 0; i < ncand; ++i) {
        int unit = -1, result = 0;
        GFOPNF(unit, candidates[i], 4, 0, 0, kConfigRecord, result);
        if (result == -1) continue;
        if (result == 0) GINOCF(unit);
        break;
    }
}

int GFSINQ(int n) { return n >= 1 && n <= 33 ? GINO_SET.GINO_SETTINGS(n) : 0; }

void GF19VS(int code, int value) {
    if (code == 2)
        GINO_SET.VALUE_CODE2 = value;
    else if (code == 3)
        GINO_SET.VALUE_CODE3 = value;
    else
        GINO_SET.VALUE_GENERAL = value;
}

void GINENQ(int& state, int* values, int n) {
    state = GINO_SET.GINO_STATE;
    if (n >= 1) values[0] = GINO_SET.VALUE_GENERAL;
    if (n >= 2) values[1] = GINO_SET.VALUE_CODE3;
    if (n >= 3) values[2] = GINO_SET.VALUE_CODE2;
}

void GFOPNF(int& unit, std::string_view name, int status_code, int access_code, int form_code,
            int record_length, int& result) {
    (void)access_code;
    (void)form_code;
    (void)record_length;  // our units are sequential formatted text files
    result = 0;
    if (status_code == 4) status_code = 1;
    std::string path(name);
    while (!path.empty() && path.back() == ' ') path.pop_back();
    std::error_code ec;
    const bool exists = status_code != 3 && std::filesystem::exists(path, ec);
    if ((status_code == 1 && !exists) || (status_code == 2 && exists)) {
        result = -1;
        return;
    }
    if (unit < 0) {
        int chosen = 0;
        for (int u = GFSINQ(6); u >= GFSINQ(5); --u)
            if (!rt::unit_connected(u)) {
                chosen = u;
                break;
            }
        if (chosen == 0 || GFSINQ(6) < GFSINQ(5)) {
            result = -2;
            return;
        }
        unit = chosen;
    }
    rt::OpenSpec how;
    switch (status_code) {
        case 1: how.status = rt::FileStatus::Old; break;
        case 2: how.status = rt::FileStatus::New; break;
        case 3: how.status = rt::FileStatus::Scratch; break;
        default: how.status = rt::FileStatus::Unknown; break;
    }
    how.action = rt::FileAction::ReadWrite;
    result = rt::unit_open(unit, path, how);
    if (result != 0 && status_code == 1) {
        // An existing file that may only be read (as a configuration file often is).
        how.action = rt::FileAction::Read;
        result = rt::unit_open(unit, path, how);
    }
}

int GFSTRI(std::string_view text, int& status) {
    status = 1;
    std::size_t i = 0, n = text.size();
    while (n > 0 && text[n - 1] == ' ') --n;
    while (i < n && text[i] == ' ') ++i;
    if (i == n) return 0;
    bool negative = false;
    if (text[i] == '-') {
        negative = true;
        ++i;
    }
    long long v = 0;
    for (; i < n; ++i) {
        const char c = text[i];
        if (c < '0' || c > '9') return 0;
        v = v * 10 + (c - '0');
        // A value that does not fit a 32-bit integer makes the text unreadable.
        if (v > (negative ? -static_cast<long long>(INT_MIN) : static_cast<long long>(INT_MAX))) return 0;
    }
    status = 0;
    return static_cast<int>(negative ? -v : v);
}

void GINOCF(int unit) {
    if (unit < 0) return;
    std::string rec;
    for (;;) {
        if (rt::unit_read_record(unit, rec) != rt::IOS_OK) {
            rt::unit_close(unit);
            return;
        }
        if (rec.size() > std::size_t(kConfigRecord)) rec.resize(kConfigRecord);
        const std::size_t p = rec.find('=');
        if (p == std::string::npos) continue;
        std::string_view key = std::string_view(rec).substr(0, p);
        while (!key.empty() && key.back() == ' ') key.remove_suffix(1);
        const ConfigKey* match = nullptr;
        for (const ConfigKey& k : kConfigKeys)
            if (key == k.name) match = &k;
        if (!match) continue;
        std::string_view value = std::string_view(rec).substr(p + 1);
        while (!value.empty() && value.back() == ' ') value.remove_suffix(1);
        if (value.empty()) continue;
        int status = 0;
        const int v = GFSTRI(value, status);
        if (status == 0) GINO_SET.GINO_SETTINGS(match->setting) = v;
    }
}

void GFCLF(int unit, int mode, int& result) {
    if (mode == 0)
        result = rt::unit_close(unit, false);
    else if (mode == 1)
        result = rt::unit_close(unit, true);
}

int GFLEN(std::string_view text) { return rt::TRULEN(text); }

void GFWRF2() {}

// Device-level routines: one drawing device here, so nothing to switch, end or clear.
void DEVSUS() {}
void GUIWIN() {}
void OGLWIN() {}
void DEVEND() {}
void GINEND() {}
void PICCLE() {}
void SCRCLE() {}

// Three-dimensional frames are drawn as two-dimensional ones: a frame's rendering context
// (GETRENDER) is its own bitmap, and what is drawn goes into its display list.
void WOGLS3(int render, float, float, float, float) { GETBITMAP(render); }
void WOGLO3() {}
void WOGLC3(int render) {
    GETBITMAP(render);
    CLEARFRAME(render);
    UPDATEFRAME();
}
void WOGLD3(int) {}
// The transform of a three-dimensional surface: sx and sy are pixels per world unit (the
// inverse of GWINFS's).
void OWINFS(int w, int h, float sx, float sy, float x0, float y0) {
    GinoDrawState& d = GINO_DRAW;
    d.DRAW_WIDTH = w;
    d.DRAW_HEIGHT = h;
    d.DRAW_XSCALE = sx;
    d.DRAW_YSCALE = sy;
    d.DRAW_XORIGIN = x0;
    d.DRAW_YORIGIN = y0;
}
void WOGLPP(int) {}
void DUMMY() {}
void PAPENQ(float&, float&) {}
void PIXENQ(int&, int&) {}
