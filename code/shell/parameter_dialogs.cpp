// Parameters, "Backgrounds", and the end of "Calc Background": the dialog ": Fixed Background
// Options". Its radio box holds the four fixed-background models (0 none, 1 the one-degree
// table "Spline", 2 the exponential a exp(-b 2theta) + c, 3 the mean of the scan's end steps)
// with the numbers of the last two. Clicking a model takes effect on IBGTYPE at once and
// refills every number from the records; "Save + Exit" also stores the numbers of the model,
// once each number typed lies in its range (the end-step count a whole number from 1 to 99).
#include <climits>
#include <initializer_list>
#include <utility>
#include <cmath>

#include "gui_toolkit/menu_f90.h"
#include "include/shared.h"
#include "include/shell_services.h"
#include "include/toolkit_services.h"
#include "shell/parameter_dialogs.h"

namespace {

constexpr int QUIT = 578;
constexpr int SAVE = 579;
constexpr int FIRST_MODEL = 562;  // callback numbers 562..565: models 0..3
constexpr int LAST_MODEL = 565;

int widget(int item) { return GRAPHICS.IWID(5, item); }

// The toggle of a model code; 0 for a code outside 0..3 (a parameter file may give any
// integer), which has no toggle of its own.
int model_toggle(int model) { return (model >= 0 && model <= 3) ? widget(62 + model) : 0; }

// A number typed as an integer count, truncated toward zero; beyond the integer range it is
// held at the nearest end.
int truncated(double v) {
    if (std::isnan(v)) return 0;
    if (v >= double(INT_MAX)) return INT_MAX;
    if (v <= double(INT_MIN)) return INT_MIN;
    return static_cast<int>(v);
}

void set_status(std::initializer_list<int> items, int status) {
    for (int k : items) gmSetWidgetStatus(widget(k), status);
}

}  // namespace

void WRITE_BGVALS() {
    const FIXEDBG_t& bg = FIXEDBG;
    for (int i = 1; i <= 3; ++i) SHOW_CHECKED(widget(69 + i), FITPAR.PKVALS(1, i));
    SHOW_CHECKED(widget(73), bg.NSTEP_BG);

    // The radio box switches the other models off. A code without a toggle sets none, so the
    // box keeps its last choice.
    if (const int toggle = model_toggle(bg.IBGTYPE)) gmSetToggleSwitch(toggle, 1);

    switch (bg.IBGTYPE) {
    case 2:
        set_status({70, 71, 72, 74}, STATUS_ACTIVE);
        set_status({73}, STATUS_HIDDEN);
        break;
    case 3:
        set_status({70, 71, 72}, STATUS_HIDDEN);
        set_status({73, 74}, STATUS_ACTIVE);
        break;
    default:
        set_status({70, 71, 72, 73, 74}, STATUS_HIDDEN);
        break;
    }
    gmDrawWindow(widget(60));
}

void READ_BGVALS() {
    FIXEDBG_t& bg = FIXEDBG;
    for (int model = 0; model <= 3; ++model)
        if (gmEnqToggleSwitch(model_toggle(model)) == 1) bg.IBGTYPE = model;
    if (bg.IBGTYPE == 2) {
        for (int i = 1; i <= 3; ++i) FITPAR.PKVALS(1, i) = entry_real(gmEnqValueSetting(widget(69 + i)));
    } else if (bg.IBGTYPE == 3) {
        bg.NSTEP_BG = truncated(gmEnqValueSetting(widget(73)));
    }
}

namespace {

// The typed numbers of the model in force that "Save + Exit" would store, judged by their
// quantities: the first one outside its range is refused with its box and nothing is stored.
bool typed_numbers_allowed() {
    double v = 0.0;
    if (FIXEDBG.IBGTYPE == 3) return TAKE_CHECKED(widget(73), range_of(Quantity::EndSteps), v);
    if (FIXEDBG.IBGTYPE != 2) return true;
    for (const auto& [item, q] : {std::pair{70, Quantity::BackgroundA}, std::pair{71, Quantity::BackgroundB},
                                  std::pair{72, Quantity::BackgroundC}})
        if (!TAKE_CHECKED(widget(item), range_of(q), v)) return false;
    return true;
}

}  // namespace

void RUN_BACKGROUND_INFO() {
    const int dialog = widget(60);
    gmSetWidgetStatus(widget(78), STATUS_ACTIVE);
    gmSetWidgetStatus(widget(79), STATUS_ACTIVE);
    WRITE_BGVALS();
    gmSetActiveWindow(dialog);
    int icb = 0;
    for (;;) {
        icb = gmAction(icb);
        if (icb == QUIT) break;
        if (icb == SAVE) {
            if (!typed_numbers_allowed()) {
                gmDrawWindow(dialog);
                continue;
            }
            READ_BGVALS();
            break;
        }
        if (icb >= FIRST_MODEL && icb <= LAST_MODEL) {
            FIXEDBG.IBGTYPE = icb - FIRST_MODEL;
            WRITE_BGVALS();
        }
    }
    gmRemoveWindow(dialog);
    gmSetActiveWindow(GRAPHICS.IMASTER);
}
