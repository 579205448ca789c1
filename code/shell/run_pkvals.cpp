// Parameters, "Pkvals": the dialog ": Peak parameter default values". It shows the FWHM line
// a + b tan|theta|, eta, Iratio and the two wavelengths; "Save + Exit" stores them as the new
// defaults and makes them the start values of the next fit; a typed number its quantity does not
// allow is refused and the dialog stays open. The automatic fit runs it before
// it starts and abandons the start on "Quit".
#include <utility>

#include "gui_toolkit/menu_f90.h"
#include "include/shared.h"
#include "include/shell_services.h"
#include "include/toolkit_services.h"
#include "shell/parameter_dialogs.h"

namespace {

constexpr int QUIT = 531;
constexpr int SAVE = 541;

int widget(int item) { return GRAPHICS.IWID(5, item); }
float read_value(int item) { return entry_real(gmEnqValueSetting(widget(item))); }
void show(int item, float v) { SHOW_CHECKED(widget(item), v); }

// The typed numbers "Save + Exit" would store, judged by their quantities: the first one outside
// its range is refused with its box (its entry shows its number again) and nothing is stored.
// The second wavelength counts only with an alpha2 peak.
bool typed_numbers_allowed() {
    double v = 0.0;
    const std::pair<int, Quantity> fields[] = {{32, Quantity::FwhmA}, {33, Quantity::FwhmB},
                                               {37, Quantity::Eta},   {38, Quantity::Iratio},
                                               {39, Quantity::Wavelength1}};
    for (const auto& [item, q] : fields)
        if (!TAKE_CHECKED(widget(item), range_of(q), v)) return false;
    if (read_value(38) > 0.01f && !TAKE_CHECKED(widget(40), range_of(Quantity::Wavelength2), v)) return false;
    return true;
}

}  // namespace

void WRITE_PKVALS() {
    const FITPAR_t& fp = FITPAR;
    show(32, fp.PKVALS(2, 1));
    show(33, fp.PKVALS(2, 2));
    show(37, fp.PKVALS(5, 1));
    show(39, WAVES.WAVE(1));
    if (WAVES.NWAVE == 2) {
        show(38, fp.PKVALS(6, 1));
        show(40, WAVES.WAVE(2));
    } else {
        // One wavelength: "Iratio" keeps what it showed last.
        show(40, 0.0f);
    }
    gmDrawWindow(widget(30));
}

void READ_PKVALS() {
    FITPAR_t& fp = FITPAR;
    fp.PKVALS(2, 1) = read_value(32);
    fp.PKVALS(2, 2) = read_value(33);
    fp.PKVALS(5, 1) = read_value(37);
    fp.PKVALS(6, 1) = read_value(38);
    WAVES.WAVE(1) = read_value(39);
    // The second wavelength only matters with an alpha2 peak; NWAVE stays as it is.
    if (fp.PKVALS(6, 1) > 0.01f) WAVES.WAVE(2) = read_value(40);
    // The new defaults become the start values; the FWHM starts at the intercept a alone.
    fp.VALS(2) = fp.PKVALS(2, 1);
    fp.VALS(5) = fp.PKVALS(5, 1);
    fp.VALS(6) = fp.PKVALS(6, 1);
}

void RUN_PKVALS(int& quit) {
    const int dialog = widget(30);
    gmSetWidgetStatus(widget(31), STATUS_ACTIVE);
    gmSetWidgetStatus(widget(41), STATUS_ACTIVE);
    WRITE_PKVALS();
    gmSetActiveWindow(dialog);
    int icb = 0;
    for (;;) {
        icb = gmAction(icb);
        if (icb == QUIT) {
            quit = 1;
            break;
        }
        if (icb == SAVE) {
            if (!typed_numbers_allowed()) {
                gmDrawWindow(dialog);
                continue;
            }
            READ_PKVALS();
            quit = 0;
            break;
        }
    }
    gmRemoveWindow(dialog);
    gmSetActiveWindow(GRAPHICS.IMASTER);
}
