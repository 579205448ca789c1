// The widget tables of the main window, the menu bar and the fourteen dialogs. Each row gives a
// widget exactly as it is passed to the toolkit; GRAPHICS_SETUP walks the rows in order.
#include "shell/window_tables.h"

#include <array>

namespace ui {
namespace {

// ---- row builders ----

constexpr WidgetDef button(Slot s, std::string_view caption, int x, int y, int w, int h, int cb,
                           After after = After::Nothing) {
    WidgetDef d;
    d.slot = s;
    d.kind = Kind::PushButton;
    d.text = caption;
    d.x = x, d.y = y, d.w = w, d.h = h;
    d.callback = cb;
    d.after = after;
    return d;
}

// A text entry (a caption when its slot is not kept).
constexpr WidgetDef text(Slot s, std::string_view content, int x, int y, int w, int h, int limit, int mode,
                         int colour = NOT_PASSED, int fourth = NOT_PASSED, int cb = 0, After after = After::Nothing) {
    WidgetDef d;
    d.slot = s;
    d.kind = Kind::TextEntry;
    d.text = content;
    d.x = x, d.y = y, d.w = w, d.h = h;
    d.limit = limit;
    d.mode = mode;
    d.colour = colour;
    d.fourth = fourth;
    d.callback = cb;
    d.after = after;
    return d;
}

// A display-only text entry whose id nobody keeps.
constexpr WidgetDef caption(std::string_view content, int x, int y, int w, int h, int limit, int colour,
                            int fourth = NOT_PASSED) {
    return text({}, content, x, y, w, h, limit, 19, colour, fourth);
}

constexpr WidgetDef value(Slot s, float v, int x, int y, int w, int h, int width, int dec, int mode, int cb = 0) {
    WidgetDef d;
    d.slot = s;
    d.kind = Kind::ValueEntry;
    d.value = v;
    d.x = x, d.y = y, d.w = w, d.h = h;
    d.limit = width;
    d.decimals = dec;
    d.mode = mode;
    d.callback = cb;
    return d;
}

// A toggle with its own type 7 on the window, or (radio = the box's slot) a choice of a radio box.
constexpr WidgetDef toggle(Slot s, std::string_view label, int x, int y, int w, int h, int state, int cb,
                           Slot radio = {}, After after = After::Nothing) {
    WidgetDef d;
    d.slot = s;
    d.kind = Kind::Toggle;
    d.text = label;
    d.x = x, d.y = y, d.w = w, d.h = h;
    d.state = state;
    d.toggle_type = radio.kept() ? NOT_PASSED : 7;
    d.callback = cb;
    d.parent = radio;
    d.after = after;
    return d;
}

constexpr WidgetDef radio_box(Slot s, int x, int y, int w, int h) {
    WidgetDef d;
    d.slot = s;
    d.kind = Kind::RadioBox;
    d.x = x, d.y = y, d.w = w, d.h = h;
    return d;
}

constexpr WidgetDef list_box(Slot s, int x, int y, int w, int h, After after) {
    WidgetDef d;
    d.slot = s;
    d.kind = Kind::ListBox;
    d.x = x, d.y = y, d.w = w, d.h = h;
    d.after = after;
    return d;
}

// ---- main window ----

constexpr WidgetDef kMainControls[] = {
    button({1, 1}, "Exit", 16, 0, 2, 1, 101),
    button({1, 2}, "Previous", 5, 2, 3, 1, 102),
    button({1, 3}, "Next", 13, 2, 3, 1, 103),
    button({1, 4}, "Refit", 9, 2, 3, 1, 104),
    text({1, 9}, "HKL = ", 3, 1, 2, 1, 6, 19),
    text({1, 5}, "", 5, 1, 3, 1, 20, 0, NOT_PASSED, NOT_PASSED, 106),
    button({1, 6}, "Go", 8, 1, 1, 1, 106, After::GoFont),
    text({1, 10}, "ISEQ = ", 11, 1, 2, 1, 7, 19),
    value({1, 7}, 0.0f, 13, 1, 2, 1, 5, 0, 0, 108),
    button({1, 8}, "Go", 15, 1, 1, 1, 108, After::GoFont),
    button({1, 11}, "Accept", 16, 2, 3, 1, 111),
    button({1, 12}, "Reject", 16, 1, 3, 1, 112),
    value({1, 13}, 0.0f, 6, 0, 2, 1, 7, 2, 19),
    value({1, 14}, 0.0f, 8, 0, 2, 1, 7, 2, 19),
    value({1, 15}, 0.0f, 10, 0, 2, 1, 7, 2, 19),
    value({1, 16}, 0.0f, 12, 0, 2, 1, 7, 2, 19),
    text({1, 17}, "ANGLES:", 3, 0, 3, 1, 7, 19),
    button({1, 18}, "Start", 16, 2, 2, 1, 118),
    button({1, 19}, "Stop", 16, 1, 2, 1, 119),
    button({1, 20}, "Export", 14, 0, 2, 1, 120),
};

constexpr WidgetDef kFileLine[] = {
    caption("Data from", 1, 17, 3, 1, 10, 7),
    text({1, 40}, "", 4, 17, 6, 1, 30, 19, 2),
    // The title's field ends where "Format:" begins, so a new title never overdraws the format.
    text({1, 41}, "", 1, 16, 10, 1, 60, 19, 2),
    text({1, 42}, "Output:", 11, 17, 2, 1, 7, 19, 7, NOT_PASSED, 0, After::Hide),
    text({1, 43}, "", 13, 17, 6, 1, 30, 19, 2),
    text({1, 44}, "Format:", 11, 16, 2, 1, 7, 19, 7, NOT_PASSED, 0, After::Hide),
    text({1, 45}, "", 13, 16, 6, 1, 30, 19, 2),
};

// ---- menus ----

constexpr MenuEntryDef kSeparator{};

constexpr MenuEntryDef kFileMenu[] = {
    {{3, 11}, "Open data file", 312},
    {{3, 12}, "Open parameter file", 313},
    {{3, 13}, "Open output file", 314},
    {{3, 14}, "Open log file", 315},
    kSeparator,
    {{3, 17}, "Create Exp file", 317},
    {{3, 18}, "Create Cif", 318},
    {{3, 19}, "Write Std datafile", 319},
    kSeparator,
    {{3, 16}, "Exit", 316},
};
constexpr MenuEntryDef kIntegrateMenu[] = {
    {{3, 21}, "Manual profile fit", 321},
    {{3, 22}, "Auto profile fit", 322},
};
constexpr MenuEntryDef kUtilitiesMenu[] = {
    {{3, 31}, "Preprocess", 331},
    {{3, 35}, "Zref", 335},
    {{3, 32}, "Calc Unit Cell", 332},
    {{3, 33}, "Calc Background", 333},
    {{3, 34}, "Calc FWHM", 334},
    {{3, 36}, "Delta-d/d", 336},
};
constexpr MenuEntryDef kParametersMenu[] = {
    {{3, 41}, "Pkvals", 341},
    {{3, 42}, "Diffractometer", 342},
    {{3, 43}, "Backgrounds", 343},
    {{3, 44}, "Output format", 344, true},  // usable once an integrated data file is open
};

constexpr MenuDef kMenus[] = {
    {{3, 1}, "File", 'F', {3, 10}, kFileMenu},
    {{3, 2}, "Integrate", 0, {3, 20}, kIntegrateMenu},
    {{3, 3}, "Utilities", 0, {3, 30}, kUtilitiesMenu},
    {{3, 4}, "Parameters", 0, {3, 40}, kParametersMenu},
};

// ---- dialogs ----

constexpr Slot kFormatRadio{4, 2};
constexpr WidgetDef kFormatDialog[] = {
    radio_box(kFormatRadio, 1, 2, 7, 3),
    toggle({4, 3}, "Xcalibur", 1, 6, 6, 1, 1, 0, kFormatRadio),
    toggle({4, 4}, "Old Vosket", 1, 5, 6, 1, 0, 0, kFormatRadio),
    toggle({4, 5}, "Enraf CAD4", 1, 4, 6, 1, 0, 0, kFormatRadio),
    toggle({4, 6}, "Xscans", 1, 3, 6, 1, 0, 0, kFormatRadio),
    toggle({4, 8}, "Stoe", 1, 2, 6, 1, 0, 0, kFormatRadio),
    toggle({4, 9}, "Phillips Febo", 1, 1, 6, 1, 0, 0, kFormatRadio),
    toggle({4, 10}, "Standard", 1, 0, 6, 1, 0, 0, kFormatRadio),
    button({4, 7}, "OK", 4, 1, 2, 1, 470),
};

// The fitting dialog: a table of the six profile parameters (p as in FITPAR: 1 background,
// 2 FWHM, 3 intensity, 4 position, 5 eta, 6 Iratio) under a heading row, an Rwp row, a flags
// row and a bottom row. Its creation order runs column by column.
constexpr int kFitRows = 6;
constexpr int kFitRowParam[kFitRows] = {3, 2, 4, 1, 5, 6};  // rows y 8 down to 3
constexpr int fit_row_y(int row) { return 8 - row; }
constexpr int fit_decimals(int p) { return p == 3 ? 1 : 3; }  // intensities carry one decimal

struct FitColumn {
    int base;        // slot item of p = base + p
    Kind kind;
    int x, w;
    int mode;        // value entries
    int cb_base;     // callback base + p, 0 none
};
constexpr FitColumn kRefineColumn{30, Kind::Toggle, 6, 1, 0, 430};
constexpr FitColumn kDefaultColumn{60, Kind::Toggle, 7, 1, 0, 460};
constexpr FitColumn kRefinedColumn{40, Kind::ValueEntry, 8, 2, 19, 0};
// The esds are display-only texts, each as the program's esd rule rounds it ("0.0004", "fixed").
constexpr FitColumn kEsdColumn{50, Kind::TextEntry, 10, 2, 19, 0};
constexpr FitColumn kTestColumn{70, Kind::Toggle, 12, 1, 0, 470};
constexpr FitColumn kLowerColumn{80, Kind::ValueEntry, 13, 2, 0, 480};
constexpr FitColumn kUpperColumn{90, Kind::ValueEntry, 15, 2, 0, 490};

constexpr WidgetDef fit_cell(const FitColumn& c, int row) {
    const int p = kFitRowParam[row];
    const Slot s{4, c.base + p};
    const int cb = c.cb_base ? c.cb_base + p : 0;
    if (c.kind == Kind::Toggle)
        return toggle(s, "", c.x, fit_row_y(row), c.w, 1, 0, cb, {},
                      c.base == 60 && p == 3 ? After::Hide : After::Nothing);  // no default for the intensity
    if (c.kind == Kind::TextEntry) return text(s, "", c.x, fit_row_y(row), c.w, 1, 10, c.mode);
    return value(s, 0.0f, c.x, fit_row_y(row), c.w, 1, 6, fit_decimals(p), c.mode, cb);
}

constexpr int kFittingCount = 69;
constexpr std::array<WidgetDef, kFittingCount> make_fitting_dialog() {
    std::array<WidgetDef, kFittingCount> t{};
    int n = 0;
    auto add = [&](const WidgetDef& d) {
        if (n >= kFittingCount) throw "fitting dialog table too long";
        t[std::size_t(n++)] = d;
    };
    auto column = [&](const FitColumn& c) {
        for (int row = 0; row < kFitRows; ++row) add(fit_cell(c, row));
    };
    // Headings, left to right.
    add(text({}, "Parameter", 1, 9, 3, 1, 10, 19, 7));
    add(text({}, "Input", 4, 9, 2, 1, 10, 19, 7));
    add(text({}, "R", 6, 9, 1, 1, 10, 19, 7));
    add(text({}, "D", 7, 9, 1, 1, 10, 19, 7));
    add(text({}, "Refined", 8, 9, 2, 1, 10, 19, 7));
    add(text({}, "Esd", 10, 9, 2, 1, 4, 19, 7));
    add(text({}, "Limits", 14, 9, 2, 1, 4, 19, 7));
    // Row names, from the top.
    constexpr std::string_view names[] = {"Intensity", "FWHM", "Position", "Background",
                                          "Eta",       "Iratio", "Rwp",    "Flags"};
    for (int k = 0; k < 8; ++k) add(text({}, names[k], 1, 8 - k, 3, 1, 10, 19, 2));
    // Start values ("Input"), from the top; they deliver nothing.
    for (int row = 0; row < kFitRows; ++row) {
        const int p = kFitRowParam[row];
        add(value({4, 20 + p}, 0.0f, 4, fit_row_y(row), 2, 1, 6, fit_decimals(p), 0));
    }
    add(toggle({4, 28}, "Skip weak reflns", 1, 0, 5, 1, 0, 428));
    add(button({4, 29}, "Reset to Defaults", 12, 0, 5, 1, 429));
    column(kRefineColumn);
    column(kDefaultColumn);
    column(kRefinedColumn);
    add(value({4, 47}, 0.0f, 8, 2, 2, 1, 6, 3, 19));            // refined Rwp
    add(text({4, 48}, "", 8, 1, 3, 1, 6, 19));                   // the six status characters
    column(kEsdColumn);
    column(kTestColumn);
    add(toggle({4, 77}, "", 12, 2, 1, 1, 0, 477));               // Rwp test switch
    column(kLowerColumn);
    column(kUpperColumn);
    add(value({4, 97}, 0.0f, 15, 2, 2, 1, 6, 3, 0, 497));        // Rwp limit
    if (n != kFittingCount) throw "fitting dialog table too short";
    return t;
}
constexpr std::array<WidgetDef, kFittingCount> kFittingDialog = make_fitting_dialog();

constexpr WidgetDef kPreprocessDialog[] = {
    caption("Set the profile parameters and refinement flags", 0, 4, 12, 1, 50, 2, 0),
    caption("Use params when I/sigma >", 0, 3, 8, 1, 45, 7, 1),
    value({5, 2}, 10.0f, 8, 3, 2, 1, 5, 1, 0),
    caption("Then select GO button", 0, 2, 12, 1, 30, 2, 0),
    button({5, 3}, "Go", 6, 1, 2, 1, 53),
    button({5, 4}, "Quit", 3, 1, 2, 1, 54),
};

constexpr WidgetDef kDiffractometerDialog[] = {
    caption("Parities", 1, 7, 3, 1, 10, 2),
    value({5, 13}, 1.0f, 4, 7, 1, 1, 2, 0, 19),
    value({5, 14}, 1.0f, 5, 7, 1, 1, 2, 0, 19),
    value({5, 15}, 1.0f, 6, 7, 1, 1, 2, 0, 19),
    value({5, 16}, 1.0f, 7, 7, 1, 1, 2, 0, 19),
    text({5, 17}, "Monochromator 2Theta:", 1, 6, 6, 1, 30, 19, 2),
    value({5, 18}, 0.0f, 7, 6, 2, 1, 4, 1, 19),
    text({5, 19}, "Dihedral angle = ", 1, 5, 4, 1, 20, 19, 2),
    value({5, 20}, 0.0f, 7, 5, 2, 1, 4, 1, 19),
    text({5, 21}, "Parallel", 9, 5, 3, 1, 15, 19),
    caption("Attenuator", 1, 3, 3, 1, 10, 2),
    value({5, 22}, 1.0f, 7, 3, 1, 1, 4, 2, 19),
    caption("RS", 1, 2, 2, 1, 2, 2),
    value({5, 23}, 200.0f, 7, 2, 1, 1, 5, 1, 19),
    button({5, 11}, "OK", 5, 1, 2, 1, 511),
};

constexpr WidgetDef kPkvalsDialog[] = {
    caption("FWHM = a + b.tan(|theta|)", 1, 5, 6, 1, 35, 2),
    caption("Eta", 1, 4, 6, 1, 10, 2),
    caption("Iratio", 1, 3, 6, 1, 10, 2),
    caption("Wavelengths", 1, 2, 6, 1, 10, 2),
    caption("a", 8, 6, 1, 1, 1, 7),
    caption("b", 10, 6, 1, 1, 1, 7),
    caption("c", 12, 6, 1, 1, 1, 7),
    value({5, 32}, 0.0f, 7, 5, 2, 1, 6, 3, 0),
    value({5, 33}, 0.0f, 9, 5, 2, 1, 6, 3, 0),
    value({5, 37}, 0.0f, 7, 4, 2, 1, 6, 3, 0),
    value({5, 38}, 0.0f, 7, 3, 2, 1, 6, 3, 0),
    value({5, 39}, 0.0f, 7, 2, 2, 1, 8, 6, 0),
    value({5, 40}, 0.0f, 9, 2, 2, 1, 8, 6, 0),
    button({5, 31}, "Quit", 3, 0, 2, 1, 531),
    button({5, 41}, "Save + Exit", 6, 0, 4, 1, 541),
};

constexpr Slot kBackgroundRadio{5, 61};
constexpr WidgetDef kBackgroundDialog[] = {
    radio_box(kBackgroundRadio, 1, 3, 9, 3),
    toggle({5, 62}, "None", 1, 6, 7, 1, 1, 562, kBackgroundRadio),
    toggle({5, 63}, "Spline", 1, 5, 7, 1, 0, 563, kBackgroundRadio),
    toggle({5, 64}, "Exp: BG = a exp(-b.2th) + c", 1, 4, 7, 1, 0, 564, kBackgroundRadio),
    toggle({5, 65}, "From scan using nstep_bg =", 1, 1, 7, 1, 0, 565, kBackgroundRadio),
    value({5, 70}, 0.0f, 3, 2, 2, 1, 6, 3, 0),
    value({5, 71}, 0.0f, 5, 2, 2, 1, 6, 3, 0),
    value({5, 72}, 0.0f, 7, 2, 2, 1, 6, 3, 0),
    value({5, 73}, 0.0f, 7, 2, 2, 1, 2, 0, 0),  // shares the cell of (5,72): one of them is shown
    text({5, 74}, "Parameters:", 0, 2, 3, 1, 12, 19, 7),
    button({5, 78}, "Quit", 1, 0, 2, 1, 578),
    button({5, 79}, "Save + Exit", 4, 0, 4, 1, 579),
};

constexpr WidgetDef kFwhmDialog[] = {
    caption("FWHM=", 1, 3, 2, 1, 5, 2),
    caption("+", 5, 3, 1, 1, 1, 2, 0),
    caption("tan(theta)", 8, 3, 3, 1, 7, 2),
    caption("ESDs:", 1, 2, 2, 1, 5, 2),
    value({6, 2}, 0.0f, 3, 3, 2, 1, 6, 3, 0),
    value({6, 3}, 0.0f, 6, 3, 2, 1, 6, 3, 0),
    // The esds are display-only texts, each as the program's esd rule rounds it.
    text({6, 6}, "", 3, 2, 2, 1, 10, 19),
    text({6, 7}, "", 6, 2, 2, 1, 10, 19),
    button({6, 4}, "Quit", 2, 1, 2, 1, 64),
    button({6, 5}, "Save values", 5, 1, 4, 1, 65),
};

constexpr Slot kOutFormatRadio{5, 91};
constexpr WidgetDef kOutFormatDialog[] = {
    radio_box(kOutFormatRadio, 1, 1, 6, 4),
    toggle({5, 94}, "Rfine", 0, 3, 5, 1, 1, 594, kOutFormatRadio),
    toggle({5, 95}, "Rfine extended", 0, 2, 5, 1, 0, 595, kOutFormatRadio),
    toggle({5, 96}, "Shelx hkl", 0, 1, 5, 1, 0, 596, kOutFormatRadio),
    button({5, 92}, "Quit", 1, 0, 2, 1, 592),
    button({5, 93}, "Save + Exit", 4, 0, 4, 1, 593),
};

constexpr std::string_view kCrystalSystems[] = {"Monoclinic-b", "Monoclinic-c", "Orthorhombic",
                                                "Tetragonal",   "Hexagonal",    "Cubic"};

constexpr WidgetDef kCellRefineDialog[] = {
    toggle({6, 21}, "Symmetry constrained", 1, 4, 6, 1, 0, 621),
    toggle({6, 22}, "Refine crystal offsets", 1, 3, 9, 1, 0, 622),
    toggle({6, 23}, "Refine omega zero", 1, 2, 9, 1, 0, 623),
    list_box({6, 24}, 7, 4, 5, 1, After::Crystals),
    button({6, 25}, "Quit", 1, 0, 2, 1, 625),
    button({6, 26}, "Refine", 4, 0, 4, 1, 626),
};

constexpr WidgetDef kCellResultsDialog[] = {
    button({6, 31}, "Ok", 4, 0, 2, 1, 631),
    caption("Value", 3, 11, 2, 1, 5, 2),
    caption("Esd", 7, 11, 2, 1, 3, 2),
    caption("a", 1, 10, 2, 1, 1, 2),
    caption("b", 1, 9, 2, 1, 1, 2),
    caption("c", 1, 8, 2, 1, 1, 2),
    caption("alpha", 1, 7, 2, 1, 5, 2),
    caption("beta ", 1, 6, 2, 1, 5, 2),
    caption("gamma", 1, 5, 2, 1, 5, 2),
    caption("Vol  ", 1, 4, 2, 1, 5, 2),
    caption("Xtal offsets", 1, 3, 3, 1, 12, 2),
    caption("Omega zero  ", 1, 2, 3, 1, 12, 2),
    caption("Nreflections", 1, 1, 3, 1, 12, 2),
    // a, b, c, alpha, beta, gamma, volume, then their esds. The values are texts too: each to
    // its esd's last digit.
    text({6, 32}, "", 3, 10, 3, 1, 12, 19),
    text({6, 33}, "", 3, 9, 3, 1, 12, 19),
    text({6, 34}, "", 3, 8, 3, 1, 12, 19),
    text({6, 35}, "", 3, 7, 3, 1, 12, 19),
    text({6, 36}, "", 3, 6, 3, 1, 12, 19),
    text({6, 37}, "", 3, 5, 3, 1, 12, 19),
    text({6, 38}, "", 3, 4, 3, 1, 12, 19),
    // The esds are texts: each by its first significant digit, or "fixed".
    text({6, 39}, "", 7, 10, 3, 1, 12, 19),
    text({6, 40}, "", 7, 9, 3, 1, 12, 19),
    text({6, 41}, "", 7, 8, 3, 1, 12, 19),
    text({6, 42}, "", 7, 7, 3, 1, 12, 19),
    text({6, 43}, "", 7, 6, 3, 1, 12, 19),
    text({6, 44}, "", 7, 5, 3, 1, 12, 19),
    text({6, 45}, "", 7, 4, 3, 1, 12, 19),
    value({6, 46}, 0.0f, 4, 3, 2, 1, 7, 4, 19),  // crystal offsets
    value({6, 47}, 0.0f, 6, 3, 2, 1, 7, 4, 19),
    value({6, 48}, 0.0f, 8, 3, 2, 1, 7, 4, 19),
    // Omega zero and the reflection count are values, not esds: under "Value".
    value({6, 49}, 0.0f, 4, 2, 2, 1, 7, 4, 19),
    value({6, 50}, 0.0f, 4, 1, 2, 1, 5, 0, 19),
};

constexpr WidgetDef kWaitDialog[] = {
    caption("Working; Please wait...", 1, 1, 8, 1, 25, 7),
};

constexpr WidgetDef kStepSizeDialog[] = {
    // What the file lacks: GET_STEP_SIZE names the format in (6,73).
    text({6, 73}, "", 1, 2, 9, 1, 45, 19, 7),
    caption("Omega step size, degrees:", 1, 1, 6, 1, 25, 7),
    value({6, 71}, 0.02f, 7, 1, 2, 1, 6, 4, 0),
    button({6, 72}, "Ok", 4, 0, 2, 1, 672),
};

constexpr WidgetDef kNoOutputDialog[] = {
    caption("No output data file has been opened.", 0, 4, 10, 1, 50, 2, 0),
    caption("Select action!", 0, 3, 10, 1, 50, 2, 0),
    button({8, 2}, "Open File", 0, 1, 3, 1, 82),
    button({8, 3}, "Continue", 4, 1, 3, 1, 83),
    button({8, 4}, "Exit", 8, 1, 2, 1, 84),
};

constexpr WidgetDef kNoParFileDialog[] = {
    caption("No parameter file has been opened.", 0, 4, 10, 1, 50, 2, 0),
    caption("Select action!", 0, 3, 10, 1, 50, 2, 0),
    button({8, 11}, "Open File", 1, 1, 3, 1, 811),
    button({8, 12}, "Exit Program", 5, 1, 4, 1, 812),
};

constexpr DialogDef kDialogs[] = {
    {"FORMAT_DIALOG", {4, 1}, 10, 12, 10, 11, Title::Own, "Input Data file Format", kFormatDialog},
    // The dialogs with column headings hold their widgets with a cell to spare at the right and
    // at the top, so that no heading or field ends at the window's edge.
    {"FITTING_DIALOG", {4, 20}, 24, 10, 18, 11, Title::ProgramPrefix, ": Fitting Controls & Results",
     kFittingDialog},
    {"PREPROCESS_DIALOG", {5, 1}, 10, 12, 10, 6, Title::ProgramPrefix, ": Preprocessing Control",
     kPreprocessDialog},
    {"DIFFRACTOMETER_DIALOG", {5, 10}, 5, 10, 12, 9, Title::ProgramPrefix, ": Diffractometer constants",
     kDiffractometerDialog},
    {"PKVALS_DIALOG", {5, 30}, 5, 7, 14, 8, Title::ProgramPrefix, ": Peak parameter default values",
     kPkvalsDialog},
    {"BACKGROUND_DIALOG", {5, 60}, 10, 10, 10, 10, Title::ProgramPrefix, ": Fixed Background Options",
     kBackgroundDialog},
    {"FWHM_DIALOG", {6, 1}, 5, 10, 10, 5, Title::ProgramPrefix, ": FWHM values from dataset", kFwhmDialog},
    {"OUTFORMAT_DIALOG", {5, 90}, 10, 10, 9, 6, Title::ProgramPrefix, ": Output Format", kOutFormatDialog},
    {"CELLREFINE_DIALOG", {6, 20}, 20, 10, 10, 5, Title::ProgramPrefix, ": Unit Cell Refinement",
     kCellRefineDialog},
    {"CELLRESULTS_DIALOG", {6, 30}, 10, 10, 11, 13, Title::ProgramPrefix, ": Cell Refinement Results",
     kCellResultsDialog},
    {"WAIT_DIALOG", {6, 60}, 10, 10, 10, 2, Title::Program, "", kWaitDialog},
    {"STEPSIZE_DIALOG", {6, 70}, 10, 10, 10, 3, Title::Program, "", kStepSizeDialog},
    {"NOOUTPUT_DIALOG", {8, 1}, 10, 12, 10, 6, Title::Program, "", kNoOutputDialog},
    {"NOPARFILE_DIALOG", {8, 10}, 10, 12, 10, 6, Title::Program, "", kNoParFileDialog},
};

// ---- images ----

#include "shell/images/kelvor_icon.xpm"
#include "shell/images/kelvor_logo.xpm"

}  // namespace

std::span<const WidgetDef> main_controls() { return kMainControls; }
std::span<const WidgetDef> file_line() { return kFileLine; }
std::span<const MenuDef> menus() { return kMenus; }
std::span<const DialogDef> dialogs() { return kDialogs; }
std::span<const std::string_view> crystal_systems() { return kCrystalSystems; }

int slot_rule_callback(Slot s) {
    if (s.group == 1) return 100 + s.item;
    if (s.group >= 3 && s.group <= 8) return s.item >= 10 ? 100 * s.group + s.item : 10 * s.group + s.item;
    return 0;
}

std::span<const char* const> program_image(std::string_view resource) {
    if (resource == "#101") return kelvor_icon_xpm;
    if (resource == "#102") return kelvor_logo_xpm;
    return {};
}

}  // namespace ui
