// Parameters, "Pkvals": the dialog ": Peak parameter default values". It shows the FWHM line
// a + b tan|theta|, eta, Iratio and the two wavelengths; "Save + Exit" stores them as the new
// defaults and makes them the start values of the next fit. The automatic fit runs it before
// it starts and abandons the start on "Quit".
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

}  // namespace

void WRITE_PKVALS() {
    const FITPAR_t& fp = FITPAR;
    gmSetValueSetting(widget(32), fp.PKVALS(2, 1));
    gmSetValueSetting(widget(33), fp.PKVALS(2, 2));
    gmSetValueSetting(widget(37), fp.PKVALS(5, 1));
    gmSetValueSetting(widget(39), WAVES.WAVE(1));
    if (WAVES.NWAVE == 2) {
        gmSetValueSetting(widget(38), fp.PKVALS(6, 1));
        gmSetValueSetting(widget(40), WAVES.WAVE(2));
    } else {
        // One wavelength: "Iratio" keeps what it showed last.
        gmSetValueSetting(widget(40), 0.0f);
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
            READ_PKVALS();
            quit = 0;
            break;
        }
    }
    gmRemoveWindow(dialog);
    gmSetActiveWindow(GRAPHICS.IMASTER);
}
