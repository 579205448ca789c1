// The dialogs that show and edit the instrument and output settings, and the routines that fill
// them from the shared records and read them back. Each RUN_ routine is modal: it fills and
// draws its dialog, waits for one of its closing buttons (dropping every other callback number,
// the exit request included), copies back on a saving button and hands the master window back.
#pragma once
#include <cfloat>
#include <cmath>

// A value entry's 64-bit number as a 32-bit member; a number beyond the 32-bit range becomes an
// infinity of its sign instead of an undefined conversion.
inline float entry_real(double v) {
    if (v > double(FLT_MAX)) return HUGE_VALF;
    if (v < -double(FLT_MAX)) return -HUGE_VALF;
    return static_cast<float>(v);
}

// Parameters, "Pkvals": the default peak-parameter coefficients and the wavelengths.
// quit: 1 after "Quit", 0 after "Save + Exit".
void RUN_PKVALS(int& quit);
void WRITE_PKVALS();
void READ_PKVALS();

// Parameters, "Diffractometer": parities, monochromator, attenuator and detector distance
// (display only).
void RUN_GENERAL_INFO();
void WRITE_GENERAL_INFO();

// Parameters, "Backgrounds", and the end of "Calc Background": the fixed-background model.
void RUN_BACKGROUND_INFO();
void WRITE_BGVALS();
void READ_BGVALS();

// Parameters, "Output format": the layout of the integrated data file (OUT_FORMAT).
void RUN_INTFORMAT();
