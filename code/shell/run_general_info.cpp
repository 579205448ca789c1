// Parameters, "Diffractometer": the dialog ": Diffractometer constants", display only. It shows
// the rotation senses of the four circles, the monochromator (2theta, dihedral angle, sense),
// the attenuator factor and the crystal-to-detector distance.
#include "gui_toolkit/menu_f90.h"
#include "include/shared.h"
#include "include/toolkit_services.h"
#include "shell/parameter_dialogs.h"

namespace {

constexpr int OK = 511;

int widget(int item) { return GRAPHICS.IWID(5, item); }

}  // namespace

void WRITE_GENERAL_INFO() {
    for (int k = 1; k <= 4; ++k) gmSetValueSetting(widget(12 + k), GONIO.PARITY(k));

    const MONOCH_t& m = MONOCH;
    if (m.MONO_TYPE == 0) {
        gmSetTextSetting(widget(17), "No Monochromator");
        for (int k = 18; k <= 21; ++k) gmSetWidgetStatus(widget(k), STATUS_HIDDEN);
    } else {
        gmSetTextSetting(widget(17), "Monochromator 2Theta");
        for (int k = 18; k <= 20; ++k) gmSetWidgetStatus(widget(k), STATUS_ACTIVE);
        gmSetValueSetting(widget(18), m.MONO_2THETA);
        gmSetValueSetting(widget(20), m.MONO_DIHEDRAL);
        if (m.MONO_SENSE == 0) {
            gmSetWidgetStatus(widget(21), STATUS_HIDDEN);
        } else {
            gmSetTextSetting(widget(21), m.MONO_SENSE == 1 ? "Parallel" : "Anti-parallel");
            gmSetWidgetStatus(widget(21), STATUS_ACTIVE);
        }
    }
    gmSetValueSetting(widget(22), SCANHDR.ATTEN);
    gmSetValueSetting(widget(23), GONIO.GONCON1);
    gmDrawWindow(widget(10));
}

void RUN_GENERAL_INFO() {
    const int dialog = widget(10);
    gmSetWidgetStatus(widget(11), STATUS_ACTIVE);
    WRITE_GENERAL_INFO();
    gmSetActiveWindow(dialog);
    int icb = 0;
    do icb = gmAction(icb);
    while (icb != OK);
    gmRemoveWindow(dialog);
    gmSetActiveWindow(GRAPHICS.IMASTER);
}
