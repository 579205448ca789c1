// Routines of the profile-fitting layer that other layers (and the layer's own passes) call:
// the Gauss-Jordan solver, the pseudo-Voigt doublet model and its damped least-squares fit,
// the fit/test/integration of the current reflection, the fixed-background models, and the
// operations behind the fit modes. Angles are degrees; omega is relative to theta.
#pragma once
#include <cfloat>

#include "include/DATA.h"
#include "include/INTEGRAT.h"
#include "runtime/farray.h"

// ---------------------------------------------------------------------------------------------
// Gauss-Jordan elimination with full pivoting on a column-major matrix of leading dimension IA:
// inverts the leading N x N block in place and solves the M right-hand sides stored in columns
// N+1..N+M. DET receives the determinant of the block, IRANK the number of pivots taken (IRANK
// below N: a pivot fell below EPS, the matrix is of no further use). NTEMP(k) records the pivot of
// step k as 256 x row + column. NA and NT are the capacities of A and NTEMP; arguments that do not
// fit them (or N above 255) give IRANK = 0 and touch nothing.
void MXLNEQ(float* A, int NA, int N, int IA, float& DET, int& IRANK, float EPS, int* NTEMP, int NT,
            int M);
template <int R, int C, int K>
inline void MXLNEQ(rt::FArray2<float, R, C>& A, int N, int IA, float& DET, int& IRANK, float EPS,
                   rt::FArray<int, K>& NTEMP, int M) {
    MXLNEQ(A.data(), R * C, N, IA, DET, IRANK, EPS, NTEMP.data(), K, M);
}

// ---------------------------------------------------------------------------------------------
// Unit-area peak shapes of full width at half maximum W centred at X0, with their derivatives by
// the centre and by the width. GAUSS is cut off beyond 6 W; LORENTZ has no cut-off.
float GAUSS(float X, float X0, float W, float& DGDX0, float& DGDW);
float LORENTZ(float X, float X0, float W, float& DLDX0, float& DLDW);
// Pseudo-Voigt ETA x Lorentzian + (1 - ETA) x Gaussian of width GAMMA (note: ETA before GAMMA);
// derivatives by the centre, the width and ETA.
float PSVOIGT(float X, float X0, float ETA, float GAMMA, float& DPDT, float& DPDG, float& DPDE);

// Damped weighted least-squares fit of background + alpha1/alpha2 pseudo-Voigt doublet to one
// scan. VALS: background, FWHM, intensity, position, eta, Iratio (start values in, results out);
// IREF(i) = 1 refines parameter i. IFLAG: 0 converged, 1 singular (or a sum that is not finite),
// 2 no convergence in 200 cycles, 3 no more steps than refined parameters. Converged: every full
// shift within 0.01 esd, or values that come back to a state they held before while each is as
// close to the solution as its 32-bit value can be held (see pklsq.cpp).
void PKLSQ(const rt::FArray<float, MAXSTEP>& XD, const rt::FArray<float, MAXSTEP>& COUNTS, int NDATA,
           const rt::FArray<float, 2>& WAVE, float MONO_SHIFT, float TTH, rt::FArray<float, NPAR>& VALS,
           const rt::FArray<int, NPAR>& IREF, rt::FArray<float, MAXSTEP>& YC,
           rt::FArray<float, NPAR>& SIGVAL, float& RWP, float& CHI2, int& IFLAG);

// ---------------------------------------------------------------------------------------------
// Fits, tests and integrates the current reflection. IFIX = 1 holds the position at VALS(4).
// IERR: 1 when the integration limits fall outside the scan. The outcome is in FLAG(2) ("F"
// accepted, "R" rejected) and FLAG(3) (reject letter).
void FITSCAN(int IFIX, int& IERR);
// Whether a width makes a peak: above 0 and finite. The model takes (FWHM, I) and (-FWHM, -I) alike,
// so a fit that ends at a width of 0 or less has found no peak, and its intensity carries the sign
// of the width. Such a fit is never accepted: FITSCAN rejects it with the width's letter "W",
// whether the width test is on or off, and the width rule is saved only when it gives such a
// width at every reflection of the data set.
inline bool WIDTH_MAKES_A_PEAK(float fwhm) { return fwhm > 0.0f && fwhm <= FLT_MAX; }
// Whether the esd of the intensity the integrated data file takes (the profile one with IINT 2,
// else the summation one) is above 0 and finite: a fit without one never passes.
bool INTENSITY_ESD_USABLE();
// Summation integral between the limits NBG (sorted in place); IERR = 1 when they leave the scan.
void INTEGRATE(int& IERR);

// ---------------------------------------------------------------------------------------------
// The reflection whose shortened end background the log reported last: each is reported once.
struct BGLOG_t {
    int ISEQ = 0;
    bool operator==(const BGLOG_t&) const = default;
};
inline BGLOG_t BGLOG;

// Fixed background of the current scan in counts per step by the model IBGTYPE, for the setting
// 2theta TTH (may be negative). Sets UNEQ (model 3: the two scan ends differ).
float GET_BACKGROUND(float TTH);
// "Calc Background": collects the end background of every scan, builds the table and the
// exponential model, then opens the fixed-background dialog.
void PROCESS_BACKGROUND();

constexpr int MAXBGSCAN = 5000;  // scans collected by PROCESS_BACKGROUND
using BgTable = rt::FArray<float, MAXBGSCAN>;
// Shell sort of the first N entries ascending by TTH, carrying BGNORM along.
void SORT(int N, BgTable& TTH, BgTable& BGNORM);
// Table of bin minima over one-degree bins of |2theta|, smoothed by a running mean of NS bins
// (NS made odd in place). IMIN = 1 is the only rule.
void SET_BACKGROUND_SPLINE(int N, BgTable& BGNORM, BgTable& TTH, int IMIN, int& NS);
// Fits a exp(-b 2theta) + c into PKVALS(1,1..3).
void SET_BACKGROUND_EXP(int N, BgTable& BGNORM, BgTable& TTH);

// ---------------------------------------------------------------------------------------------
// Start values of a fit, from the fitting dialog's flags / from the parameter file's defaults.
void SET_FIT_PARAMETERS();
void SET_DEFAULT_PARAMETERS();
// The fit modes and their operations.
void START_AUTO_FIT();
void FIT_REFLECTION();
void START_MANUAL_FIT();
void EXPORT_SCAN();
void START_PREPROCESS();
void PREPROCESS();
// The program ends in the middle of a pass: the log receives the summary of what the pass did, as
// at its end (nothing when no pass with a summary is under way).
void LOG_PASS_IN_PROGRESS();
// ISET 0: the fitted-reflection table is not filled (its users greyed); otherwise filled.
// NOZREF 1 greys "Zref" in either case.
void SET_PREPROCESS(int ISET, int NOZREF);
// A width in the fitted-reflection table counts as refined when its esd FWHMFIT(n, 2) is greater
// than 0 and finite; a width held fixed has esd 0. A strong reflection's width is known far better
// than any fixed floor, so none is set. The FWHM calibration and the centring share the rule.
inline bool width_refined(float esd) { return esd > 0.0f && esd <= FLT_MAX; }
void FIT_GAMMA();
// Whether the width rule a + b tan|theta| makes a peak (WIDTH_MAKES_A_PEAK) at every reflection of
// the data set in use: from 2theta 0 up to the highest tan|theta| of the file's reflections
// (TOTALS.NREFL, TANLOW, TANHIGH, as the load counted them) and at every row of the
// fitted-reflection table. "Save values" of the FWHM calibration saves no other rule.
bool FWHM_RULE_MAKES_PEAKS(float a, float b);

// ---------------------------------------------------------------------------------------------
// The integrated data file (unit 2): the current reflection as one "Rfine", "Rfine extended" or
// "Shelx hkl" entry, its intensity corrected for Lorentz and polarisation. Writes nothing while
// OUTOPEN = 0; wraps ANGL(3) and ANGL(4) in place. Returns what became of the entry:
// INT_WRITTEN it is in the file; INT_LEFT_OUT nothing was written (no file open, or a value too
// large for its field, named in a box); INT_WRITE_FAILED the file refused it: a box names the file
// and the system's reason, the part of the entry that reached the file is cut off again (the file
// keeps its whole entries) and the file is closed, so that the user can open another one.
enum : int { INT_WRITTEN = 0, INT_LEFT_OUT = 1, INT_WRITE_FAILED = 2 };
int WRITE_INT();
// Decimals ND that make VALUE fill a field of IW columns; IERR = 1 (ND untouched) when it cannot.
void DYNAMIC_FT(int IW, float VALUE, int& ND, int& IERR);
// Brings an angle in degrees into (-180, 180]; a value that is not finite stays unchanged.
void WRAP(float& ANGLE);
// Inverse Lorentz-polarisation factor at 2theta TTH (degrees), with or without monochromator.
float CLORENZ(float TTH);
// Unit vectors of the reversed incident beam (1..3) and the diffracted beam (4..6) in the phi-axis
// frame for the angles 2theta, omega, chi, phi (degrees).
void CALC_DIRNCOSINES(const rt::FArray<float, 4>& ANGLES, rt::FArray<float, 6>& DC);
// The two beams' direction cosines with a*, b*, c* of the orientation matrix in force (UBT, RECELL).
void DC_TOSHELX(const rt::FArray<float, 6>& DC, rt::FArray<float, 6>& DCSHELX);
