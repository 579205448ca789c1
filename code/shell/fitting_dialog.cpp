// The fitting dialog ": Fitting Controls & Results" bound to the fit-parameter record.
//
// The dialog lists the six profile parameters (1 background, 2 FWHM, 3 intensity, 4 position,
// 5 eta, 6 Iratio); the widgets of parameter p sit in the slots IWID(4, k + p):
//   20 + p start value ("Input", editable)   30 + p refine toggle "R"   60 + p default toggle "D"
//   40 + p refined value (display only)      50 + p esd (display only)  70 + p test toggle
//   80 + p lower limit                       90 + p upper limit
// and the Rwp row holds the refined Rwp (47), its test toggle (77) and its limit (97); 48 is the
// six status characters, 28 "Skip weak reflns". The dialog is not modal: the fit modes own the
// event loop and call these routines at fixed points.
//
// Value entries hold 64-bit numbers and keep the full number they were set to or typed as, not
// the rounded text they show; the records are 32-bit.
#include <initializer_list>
#include <utility>

#include "gui_toolkit/menu_f90.h"
#include "include/geometry.h"
#include "include/shared.h"
#include "include/shell_services.h"
#include "include/toolkit_services.h"
#include "shell/parameter_dialogs.h"

namespace {

int widget(int item) { return GRAPHICS.IWID(4, item); }

void show_value(int item, float v) { gmSetValueSetting(widget(item), v); }
// The editable entries: start values and limits are judged by their quantity when typed.
void show_checked(int item, float v) { SHOW_CHECKED(widget(item), v); }
float take_checked(int item, const QuantityRange& range) {
    double v = 0.0;
    (void)TAKE_CHECKED(widget(item), range, v);
    return static_cast<float>(v);
}

// The start value of parameter p and its two limits, by quantity.
constexpr Quantity START[NPAR] = {Quantity::StartBackground, Quantity::StartFwhm,     Quantity::StartIntensity,
                                  Quantity::StartPosition,   Quantity::StartEta,      Quantity::StartIratio};
constexpr Quantity LIMIT[NPAR] = {Quantity::LimitBackground, Quantity::LimitFwhm, Quantity::LimitIntensity,
                                  Quantity::LimitPosition,   Quantity::LimitEta,  Quantity::LimitIratio};
// The limits that bound a value from both sides, named for the box; the intensity has only a
// lower limit and the position limits are two distances from the calculated position.
constexpr const char* ORDERED[NPAR] = {"background", "FWHM", nullptr, nullptr, "eta", "Iratio"};

// The start value's range for the scan on display: a width inside the scan, a position on it.
QuantityRange start_range(int p) {
    const REFLN_t& r = REFLN;
    if (r.NSTEP < 2) return range_of(START[p - 1]);
    return with_scan_bounds(START[p - 1], r.XPOS(1), r.XPOS(r.NSTEP));
}

// A flag shown as a toggle: on only for 1.
void show_flag(int item, int flag) { gmSetToggleSwitch(widget(item), flag == 1 ? 1 : 0); }

// A test toggle with its limit fields: off (and the fields hidden, keeping what they show) for a
// flag of 0, on with the fields active and showing the limits for any other flag.
void show_test(int toggle_item, int flag, std::initializer_list<std::pair<int, float>> fields) {
    if (flag == 0) {
        gmSetToggleSwitch(widget(toggle_item), 0);
        for (const auto& f : fields) gmSetWidgetStatus(widget(f.first), STATUS_HIDDEN);
        return;
    }
    gmSetToggleSwitch(widget(toggle_item), 1);
    for (const auto& f : fields) {
        gmSetWidgetStatus(widget(f.first), STATUS_ACTIVE);
        show_checked(f.first, f.second);
    }
}

}  // namespace

// The refine and default flags and the skip-weak option, as the toggles show them.
void READ_FIT_FLAGS() {
    FITPAR_t& fp = FITPAR;
    for (int p = 1; p <= NPAR; ++p) {
        fp.IREF(p) = gmEnqToggleSwitch(widget(30 + p));
        fp.IDEF(p) = gmEnqToggleSwitch(widget(60 + p));
    }
    FITOPT.SKIP_WEAK = gmEnqToggleSwitch(widget(28));
}

// Dialog to records: flags, the skip-weak option, start values, test flags, and the limits of
// the tests that are on (the limits of a test that is off keep their values). A number typed
// outside what its quantity allows, or a lower limit typed at or above its upper one, is refused
// with a box and the entry's number from before is taken.
void READ_FIT_PARAMETERS() {
    FITPAR_t& fp = FITPAR;
    READ_FIT_FLAGS();
    for (int p = 1; p <= NPAR; ++p) fp.VALS(p) = take_checked(20 + p, start_range(p));
    for (int p = 1; p <= 7; ++p) fp.TFLAG(p) = gmEnqToggleSwitch(widget(70 + p));
    for (int p = 1; p <= NPAR; ++p) {
        if (fp.TFLAG(p) != 1) continue;
        if (ORDERED[p - 1]) (void)LIMITS_IN_ORDER(widget(80 + p), widget(90 + p), ORDERED[p - 1]);
        fp.FITLIM(p, 1) = take_checked(80 + p, range_of(LIMIT[p - 1]));
        fp.FITLIM(p, 2) = take_checked(90 + p, range_of(LIMIT[p - 1]));
    }
    if (fp.TFLAG(7) == 1) fp.RWPMAX = take_checked(97, range_of(Quantity::LimitRwp));
}

// Records to dialog: start values, refine and default flags (the hidden intensity default
// toggle included), the tests with their limits, the Rwp test; then shows or redraws the dialog.
void WRITE_FIT_PARAMETERS() {
    const FITPAR_t& fp = FITPAR;
    for (int p = 1; p <= NPAR; ++p) show_checked(20 + p, fp.VALS(p));
    for (int p = 1; p <= NPAR; ++p) {
        show_flag(30 + p, fp.IREF(p));
        show_flag(60 + p, fp.IDEF(p));
    }
    for (int p = 1; p <= NPAR; ++p)
        show_test(70 + p, fp.TFLAG(p), {{80 + p, fp.FITLIM(p, 1)}, {90 + p, fp.FITLIM(p, 2)}});
    show_test(77, fp.TFLAG(7), {{97, fp.RWPMAX}});
    gmDrawWindow(widget(20));
}

// The result of the last fit of the current reflection: refined values, esds, Rwp and the six
// status characters (scan code, F or R, reject code, pass, U, blank).
void WRITE_REFINED_PARAMETERS() {
    const FITPAR_t& fp = FITPAR;
    for (int p = 1; p <= NPAR; ++p) {
        show_value(40 + p, fp.VALS(p));
        gmSetTextSetting(widget(50 + p), ESD_TEXT(fp.SIGVAL(p)));
        gmSetWidgetStatus(widget(40 + p), STATUS_ACTIVE);
        gmSetWidgetStatus(widget(50 + p), STATUS_ACTIVE);
    }
    show_value(47, fp.RWP);
    gmSetWidgetStatus(widget(47), STATUS_ACTIVE);
    gmSetWidgetStatus(widget(48), STATUS_ACTIVE);

    // Always six characters: a status character no routine has set yet shows as a blank.
    char flags[6];
    for (int i = 1; i <= 6; ++i) {
        const char c = REFLN.FLAG(i);
        flags[i - 1] = (c < ' ' || c > '~') ? ' ' : c;
    }
    gmSetTextSetting(widget(48), std::string_view(flags, 6));
    gmDrawWindow(widget(20));
}
