// Start values of a profile fit for the current reflection, and "Reset to Defaults".
//
// The six profile parameters are, in order: background (counts per step), FWHM (degrees of
// omega), intensity (peak area, counts x degrees), position (omega in the XPOS convention, i.e.
// relative to the bisecting position), eta and Iratio (alpha2/alpha1). The start values travel
// through the fitting dialog: both operations end by showing the whole fit-parameter record
// there, and the fit reads the dialog back just before it runs.
#include <cmath>

#include "include/fwhm_rule.h"
#include "include/geometry.h"
#include "include/profile_fit.h"
#include "include/scan_input.h"
#include "include/shared.h"
#include "include/shell_services.h"
#include "include/toolkit_services.h"
#include "runtime/fatal.h"
#include "runtime/units.h"

namespace {

constexpr int PAR_UNIT = 3;  // the instrument parameter file stays open here after it was read

int dialog_widget(int item) { return GRAPHICS.IWID(4, item); }

// A step number kept within the scan's storage, so that a reflection record that was never
// filled (no scan read yet) cannot index outside the arrays.
int within_scan(int step) {
    if (step < 1) return 1;
    if (step > MAXSTEP) return MAXSTEP;
    return step;
}

// Mean of the first and the last count of the scan.
float end_count_mean() {
    const REFLN_t& r = REFLN;
    return (r.COUNTS(1) + r.COUNTS(within_scan(r.NSTEP))) * 0.5f;
}

// FWHM = a + b tan|theta|, with the coefficients a = PKVALS(2,1) and b = PKVALS(2,2).
float default_fwhm() {
    const FITPAR_t& fp = FITPAR;
    return FWHM_RULE_AT(fp.PKVALS(2, 1), fp.PKVALS(2, 2), FWHM_RULE_TAN(REFLN.ANGL(1)));
}

// The omega at which the orientation matrix puts the reflection, shifted by the crystal offset
// and the omega zero.
float predicted_position() {
    float rom = 0.0f;
    geo::Angles off;
    CALOMEGA(REFLN.ANGL, REFLN.IH, rom);
    CALC_ANGOFF(REFLN.ANGL, off);
    return rom + off(2);
}

// Omega of the first step with the largest count.
float peak_step_position() { return REFLN.XPOS(within_scan(REFLN.IMAX)); }

float typed_value(int item) { return static_cast<float>(gmEnqValueSetting(dialog_widget(item))); }

}  // namespace

// Start values from the flags of the fitting dialog: a parameter whose default flag is on gets
// its default rule, computed for this scan; FWHM, eta and Iratio with the flag off keep the
// number typed in the dialog; background and position always follow a rule.
void SET_FIT_PARAMETERS() {
    FITPAR_t& fp = FITPAR;
    READ_FIT_FLAGS();

    // Background: the fixed-background model in force, or the mean of the two scan ends.
    fp.VALS(1) = fp.IDEF(1) == 1 ? GET_BACKGROUND(REFLN.ANGL(1)) : end_count_mean();
    fp.VALS(2) = fp.IDEF(2) == 1 ? default_fwhm() : typed_value(22);
    // Intensity above the background; a background above the maximum count gives a negative
    // start value, used as it stands.
    fp.VALS(3) = (REFLN.CMAX - fp.VALS(1)) * fp.VALS(2);
    fp.VALS(4) = peak_step_position();
    if (fp.IREF(4) == 0 && fp.IDEF(4) == 1 && UNITCELL.UBOK == 1) fp.VALS(4) = predicted_position();
    fp.VALS(5) = fp.IDEF(5) == 1 ? fp.PKVALS(5, 1) : typed_value(25);
    fp.VALS(6) = fp.IDEF(6) == 1 ? fp.PKVALS(6, 1) : typed_value(26);

    WRITE_FIT_PARAMETERS();
}

// "Reset to Defaults": re-reads the instrument parameter file (every fit setting it holds comes
// back, the default flags are cleared) and sets the start values by fixed rules. Unlike
// SET_FIT_PARAMETERS it takes no typed values, does not subtract the background from the
// intensity, and starts every position that is not refined at the predicted one.
//
// When no parameter file is open (the user cancelled "Open parameter file", which closes the old
// one first) there is nothing to re-read: the user is told, and no setting or value changes. The
// same holds when the file can no longer be read.
void SET_DEFAULT_PARAMETERS() {
    if (!rt::unit_connected(PAR_UNIT)) {
        GUIERR(PROGID.PROG_TITLE.view(), "No parameter file open: defaults not reset");
        return;
    }
    try {
        READ_PARAMETERS(0);
    } catch (const rt::InputError& e) {
        // The file changed since it was chosen and cannot be read now: nothing is reset.
        GUIERR(PROGID.PROG_TITLE.view(), e.message());
        return;
    }

    FITPAR_t& fp = FITPAR;
    fp.VALS(1) = end_count_mean();
    fp.VALS(2) = default_fwhm();
    fp.VALS(3) = REFLN.CMAX * fp.VALS(2);
    if (fp.IREF(4) == 1)
        fp.VALS(4) = peak_step_position();
    else if (UNITCELL.UBOK == 1)
        fp.VALS(4) = predicted_position();
    fp.VALS(5) = fp.PKVALS(5, 1);
    fp.VALS(6) = fp.PKVALS(6, 1);

    WRITE_FIT_PARAMETERS();
}
