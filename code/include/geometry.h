// Crystal geometry of the four-circle diffractometer: small dense linear algebra, setting angles
// and diffraction vectors, the predicted omega of a reflection, and the unit-cell and metric
// algebra. Conventions throughout:
// - 32-bit floats; angles in degrees; an angle set is (2theta, omega, chi, phi) with omega measured
//   from the bisecting position.
// - Diffraction vectors live in the phi-axis frame of Busing & Levy (1967), in reciprocal Angstrom
//   without a factor 2 pi: the vector of h k l is UB x (h, k, l), of length 2 sin(theta) / lambda.
// - Matrices are indexed (row, column) from 1; a dense N x N matrix is stored column by column.
// - A cell in degree form is a, b, c, alpha, beta, gamma (and the volume); a cell in cosine form is
//   the three lengths followed by cos alpha, cos beta, cos gamma.
// Work stores are locals of each call; what survives a call lives in the records below.
#pragma once
#include <string>

#include "include/FITVALS.h"
#include "runtime/farray.h"

namespace geo {
using Mat3 = rt::FArray2<float, 3, 3>;
using Mat6 = rt::FArray2<float, 6, 6>;
using Vec3 = rt::FArray<float, 3>;
using Vec6 = rt::FArray<float, 6>;
using Angles = rt::FArray<float, 4>;
using Indices = rt::FArray<int, 3>;
}  // namespace geo

// Work block of the symmetry-constrained refinement, rebuilt by every refinement.
struct VECLSQ_t {
    rt::FArray2<float, 3, 3> X;    // matrix whose cell is computed: columns a*, b*, c*
    rt::FArray<float, 9> A1;       // a, b, c, cos alpha, cos beta, cos gamma, alpha, beta, gamma
    rt::FArray<float, 6> A2;       // a*, b*, c*, cos alpha*, cos beta*, cos gamma*
    float VOL = 0;                 // direct-cell volume
    float RVOL = 0;                // reciprocal-cell volume
    rt::FArray2<float, 15, 16> XA; // bordered normal equations, then their inverse
    rt::FArray<float, 12> XB;      // right-hand side, then solution
    bool operator==(const VECLSQ_t&) const = default;
};
inline VECLSQ_t VECLSQ;

// The inverse of UB that HCALC made last: it stays in force while UB cannot be inverted.
struct HCALCINV_t {
    rt::FArray2<float, 3, 3> UBINV;
    bool operator==(const HCALCINV_t&) const = default;
};
inline HCALCINV_t HCALCINV;

// ---- Small dense linear algebra (orders 1 to 6) -------------------------------------------------

// Crout LU factorisation with partial pivoting and implicit row scaling of the leading N x N block
// of A, in place (U on and above the diagonal, L below it with a unit diagonal not stored).
// INDX(j) is the row exchanged with row j at step j; D is +1 or -1, the parity of the exchanges.
// IERR = 1 (with an error box) when a row is all zero; then A, INDX and D = 1 stay as they are.
// A zero pivot of dependent rows is replaced by 1e-20 without a message.
void LUDCMP(geo::Mat6& A, rt::FArray<int, 6>& INDX, int N, float& D, int& IERR);
// Solves A x = B with the factors from LUDCMP; B holds the right-hand side and receives x.
void LUBKSB(const geo::Mat6& A, const rt::FArray<int, 6>& INDX, int N, rt::FArray<float, 6>& B);

// Inverse and determinant of the dense N x N matrix stored in the first N*N values of a and ainv
// (capacity: how many values the two stores hold). The input is copied before anything is written,
// so a and ainv may be the same store. A matrix with an all-zero row gives the box of LUDCMP,
// DET = 0 and ainv unchanged; so does an order outside 1..6 (without a box).
void minv_dense(const float* a, float* ainv, float& DET, int N, int capacity);
template <int R, int C>
void MINV(const rt::FArray2<float, R, C>& A, rt::FArray2<float, R, C>& AINV, float& DET, int N) {
    minv_dense(A.data(), AINV.data(), DET, N, R * C);
}
template <int M>
void MINV(const rt::FArray<float, M>& A, rt::FArray<float, M>& AINV, float& DET, int N) {
    minv_dense(A.data(), AINV.data(), DET, N, M);
}

// ---- Angles and diffraction vectors --------------------------------------------------------------

// Diffraction vector of an angle set, with the circle senses PARITY(2..4) and the wavelength WAVE(1).
void CALCH(const geo::Angles& ANGL, geo::Vec3& V);
// Angles of the bisecting position (omega = 0, chi in -90..90, phi in -180..180) of a vector at the
// wavelength WAVE(1), circle senses not applied. A vector of length 1e-6 or less, or beyond the
// limiting sphere, gives four zero angles and IERR = 1; otherwise IERR = 0.
void CALCA(const geo::Vec3& V, geo::Angles& ANGL, int& IERR);
// Bisecting angles of h k l through UB at the fixed wavelength 0.70926 A; zero angles when the
// reflection cannot be reached.
void IH_TO_EULER(const geo::Indices& IH, geo::Angles& ANGL);
// Omega offset (degrees) of the alpha2 peak from the alpha1 peak at the signed 2theta TTH
// (degrees) for the wavelength ratio RATIO = alpha2 / alpha1: the difference of their Bragg angles,
// asin(RATIO sin(TTH / 2)) - TTH / 2, converted with DEG degrees to the radian; it takes the sign
// of TTH. The monochromator's shift is the same difference at its own 2theta. False, with DELTA
// untouched, where the alpha2 wavelength has no Bragg angle (the sine beyond +-1, near 2theta
// 180 degrees) or the sine is not a number.
bool ALPHA2_OFFSET(float RATIO, float TTH, float DEG, float& DELTA);

// ---- Fractional indices and the predicted omega --------------------------------------------------

// Fractional h k l of an angle set: inverse(UB) x CALCH(ANGL), UB inverted afresh on every call.
void HCALC(const geo::Angles& ANGL, geo::Vec3& TH);
// Misfit |h' - h| + |k' - k| + |l' - l| of the fractional indices of ANGL against IH.
float GETDEL(const geo::Angles& ANGL, const geo::Indices& IH);
// Omega (from the bisecting position) at which UB puts the reflection IH, searched within about
// one degree of ANGL(2) with 2theta, chi and phi held: a coarse grid of 0.02 degrees, then a fine
// one of 0.0002 degrees. UB is inverted once per call; a singular or degenerate UB, or a search in
// which no misfit falls below 1000, returns ANGL(2) without a message.
void CALOMEGA(const geo::Angles& ANGL, const geo::Indices& IH, float& OMEGA);
// Omega shift (degrees) of the crystal offset DELX at this setting, OFF(1), and OFF(2) = OFF(1) +
// OMZERO; OFF(3) = 0 and OFF(4) is not written.
void CALC_ANGOFF(const geo::Angles& ANGL, geo::Angles& OFF);

// ---- Unit-cell and metric algebra ----------------------------------------------------------------

// The cell of the other space (cosine form) and both volumes. Returns 1 and writes nothing when the
// angles of the given cell cannot close (or a result would not be finite), else 0.
int recip6(const geo::Vec6& cell, float& volume, geo::Vec6& other, float& other_volume);
template <int N, int M>
int RECIP(const rt::FArray<float, N>& cell, float& volume, rt::FArray<float, M>& other,
          float& other_volume) {
    static_assert(N >= 6 && M >= 6);
    geo::Vec6 c, o;
    for (int i = 1; i <= 6; ++i) c(i) = cell(i);
    const int st = recip6(c, volume, o, other_volume);
    if (st == 0)
        for (int i = 1; i <= 6; ++i) other(i) = o(i);
    return st;
}

// Busing-Levy B matrix from a direct and a reciprocal cell, both in cosine form.
void bcalc6(geo::Mat3& B, const geo::Vec6& direct, const geo::Vec6& recip);
template <int N, int M>
void BCALC(geo::Mat3& B, const rt::FArray<float, N>& direct, const rt::FArray<float, M>& recip) {
    static_assert(N >= 6 && M >= 6);
    geo::Vec6 d, r;
    for (int i = 1; i <= 6; ++i) { d(i) = direct(i); r(i) = recip(i); }
    bcalc6(B, d, r);
}

// Busing-Levy B matrix of a cell in degree form, through its metric tensors. A cell whose metric
// has a determinant of 0 or less is refused: error box " Error in CALCB", a log record, B not
// written, result 1; otherwise 0.
int calcb6(const geo::Vec6& cell, geo::Mat3& B);
template <int N>
int CALCB(const rt::FArray<float, N>& CELL, geo::Mat3& B) {
    static_assert(N >= 6);
    geo::Vec6 c;
    for (int i = 1; i <= 6; ++i) c(i) = CELL(i);
    return calcb6(c, B);
}

// G = M'M, the metric of the three columns of M (for an orientation matrix, the reciprocal metric).
void column_metric(const geo::Mat3& M, geo::Mat3& G);
// Cell a, b, c, alpha, beta, gamma (degrees) and volume of a matrix whose columns are a*, b*, c*.
// False, with cell unchanged and no message, when the metric M'M is not positive definite, is
// degenerate (determinant below 1e-5 of the product of its diagonal) or gives no finite cell.
bool cell_of_matrix(const geo::Mat3& M, rt::FArray<float, 7>& cell);
// CELL(1..7) and BMAT from UB (by cell_of_matrix). A matrix whose reciprocal metric UB'UB is not positive definite
// (or is degenerate) is refused: error box "Invalid Orientation Matrix in OMTOB", CELL and BMAT
// unchanged, result 1. Result 0 when CELL and BMAT were written.
int OMTOB();
// UBT = transpose of UB and RECELL(1..6) from UB'UB. RECELL is left unchanged (result 1) when UB
// has no finite reciprocal cell (a zero column); result 0 otherwise.
int RECIP_CELL();
// RECELL(1..6) from CELL(1..6). A cell whose metric cannot be inverted to a positive definite
// reciprocal metric leaves RECELL unchanged (result 1); result 0 otherwise.
int CELL_TO_RECIP();
// Calculated 2theta (degrees) of HKL from RECELL and WAVE(1); 180 beyond the limiting sphere, and
// 0 for the indices 0 0 0 or a reciprocal cell that gives no positive 1/d^2.
float TWOTHETA(const geo::Indices& HKL);

// Idealises a reciprocal cell in cosine form, in place, to the crystal system ISYS: 0 none,
// 1 monoclinic (b unique), 2 monoclinic (c unique), 3 orthorhombic, 4 tetragonal, 5 hexagonal,
// 6 cubic. Codes outside 0..6 change nothing.
void symfixa6(geo::Vec6& cell, int ISYS);
template <int N>
void SYMFIXA(rt::FArray<float, N>& cell, int ISYS) {
    static_assert(N >= 6);
    geo::Vec6 c;
    for (int i = 1; i <= 6; ++i) c(i) = cell(i);
    symfixa6(c, ISYS);
    for (int i = 1; i <= 6; ++i) cell(i) = c(i);
}
// Cell of VECLSQ.X, idealised to ISYS: A2, A1(1..9), VOL and RVOL. Returns 1 and leaves VECLSQ
// unchanged when X has no finite cell (a zero column, dependent columns); 0 otherwise.
int PARAMS(int ISYS);

// ---- Refinement of the orientation matrix and the cell -------------------------------------------
// All refinements read the fitted-reflection table (angles as in ANGLESFIT, indices as in IHFIT,
// rows 1..N) and never change it. Status IERR: 0 success, anything else a failed refinement that
// leaves UB, BMAT, CELL, ESD, UBOK, DELX and OMZERO as they were on entry.
using FitAngles = rt::FArray2<float, MAXFIT, 4>;
using FitIndices = rt::FArray2<int, MAXFIT, 3>;

// Linear least squares UB = (sum v h')(sum h h')^-1 over N rows (3..MAXFIT), v the diffraction
// vector of each row; then CELL and BMAT from UB and, from four rows on, ESD by shifting each
// element of UB by its standard uncertainty. IERR 1: the indices do not span three dimensions
// (or N is outside 3..MAXFIT); 2: the fitted UB has no cell (OMTOB refused it).
void LSQ(int N, const FitAngles& ANG, const FitIndices& IH, int& IERR);
// LSQ alternated with a re-estimate of the omega zero OMZERO (mean observed minus predicted
// omega) until two successive zeros differ by less than 0.001 degrees; after ten cycles a warning
// box and success with the tenth values. Works on NFIT, ANGLESFIT and IHFIT.
void LSQ_ZERO(int& IERR);

// Crystal offset DELX (and, with ZEROFLAG 1, OMZERO) fitted by linear least squares to the omega
// residuals of N rows against the current UB; a singular system shows a box and changes nothing.
void GET_XTALSHIFT(int N, const FitAngles& ANG, const FitIndices& IH, int ZEROFLAG);
// LSQ alternated with GET_XTALSHIFT and the omega correction of CALC_ANGOFF until the summed
// absolute omega residual changes by 5 % or less (at most 21 cycles, then a warning box); sets
// UBOK = 1 on success. Works on NFIT, ANGLESFIT and IHFIT.
void LSQ_WITHOFF(int ZEROFLAG, int& IERR);

// Symmetry-constrained refinement for the crystal system ISYS (1..6): UB becomes the unconstrained
// fit (UBOK = 1), CELL and ESD the cell constrained to the system with its uncertainties.
// IERR 1: the constrained normal equations are rank-deficient; 2: the indices span fewer than three
// dimensions, the start matrix is singular, or ISYS is outside 1..6.
void LSVEC(int ISYS, int& IERR);
// Borders the normal equations of the correction matrix in VECLSQ.XA/XB with the constraints of
// the crystal system ISYS and solves them. IERR 0 solved (XB(1..9) the solution, XA(1..9,1..9)
// the inverse block); 1 rank-deficient; 2 ISYS outside 1..6 (NPARM untouched).
void CONSTR(int ISYS, int& IERR, int& NPARM);

// ---- Eight-position centring and the delta-d/d check ---------------------------------------------

// True 2theta, omega (from the bisecting position) and chi of one reflection measured at eight
// equivalent settings (rows of angles: 2theta, omega, chi, phi in degrees, in the order of the
// centring's sign pattern), free of the zero errors of the circles. results: 1-3 true angles,
// 4-6 zero errors of 2theta, omega and chi, 7-9 crystal offset x, y, z and 10 DELTA-H (length unit
// of g1 = GONCON1 and g2 = GONCON2). parities: PARITY(1..4) as +1.0 or -1.0. The chi values of
// settings 3 to 6 in angles are unwrapped in place. status 0 computed; 1 a 2theta sign, 2 an omega
// sign off the pattern; 3 the chi values of a pair more than 5 degrees apart (or not finite). With
// a non-zero status results holds zeros.
void CALC_OFFSETS(rt::FArray2<float, 8, 4>& angles, const rt::FArray<float, 4>& parities, float g1, float g2,
                  rt::FArray<float, 10>& results, int& status);

// Delta-d/d against |2theta|: the first n of the ndim values of x and y as filled squares in the
// plot frame, with axes, ticks and labels; sets YLEN, XSCALE and YSCALE of PLOTFRAME.
void PLOTDATASET(const float* x, const float* y, int ndim, int n);
template <int N>
void PLOTDATASET(const rt::FArray<float, N>& x, const rt::FArray<float, N>& y, int ndim, int n) {
    PLOTDATASET(x.data(), y.data(), ndim < N ? ndim : N, n);
}

// ---- Refined values as people read them -----------------------------------------------------------
// One rule shows every esd, in the dialogs, the log and the CIF: the crystallographic convention
// of the CIF's value(esd) notation. The esd is rounded UP to its first significant digit, to two
// digits while they read 19 or less (0.00034 is 0.0004, 0.0015 stays 0.0015, 0.1 is 0.10, 25 is
// 30), and the value is rounded to the esd's last digit (12.3456(15), 1230(30)). An esd of 1.0E-7
// or less is none: the value was held, not refined ("fixed"). An esd that is not a number, is
// negative or infinite is unknown ("none"), never taken for a held value.
struct RoundedEsd {
    enum Kind { Rounded, Fixed, Unknown } kind = Unknown;
    int places = 0;        // decimals of the esd's last digit; 0 or below: units, tens, ...
    long long digits = 0;  // the rounded esd in units of its last digit, 1 to 19
};
RoundedEsd ROUND_ESD(float esd);

// An esd as the dialogs and the log show it: "0.0004", "0.0015", "1.0", "30"; "fixed"; "none".
std::string ESD_TEXT(float esd);

// A value as the dialogs show it beside its esd: to the esd's last digit ("12.3457" beside
// "0.0015", "1230" beside "30"); with `decimals` decimals when the esd is "fixed" or "none".
std::string VALUE_TEXT(float value, float esd, int decimals);

// The cell refinement's log line of esds after its " ESDs" label: each esd right-aligned in the
// columns of its cell value (9, 9, 9, 8, 8, 8, 10), E form with the same digits when too long.
std::string CELL_ESDS_RECORD(const rt::FArray<float, 7>& ESD);

// The value(esd) text, the value rounded in place to the esd's last digit: "12.3456(15)",
// "1230(30)". false, with text and value untouched, when the esd is not Rounded or the value is
// not a finite number (an esd of 1.0E-7 or less is the caller's: a held value).
bool VALUE_ESD_TEXT(float& value, float esd, std::string& text);

// The steps of the CIF's rounding, in 32-bit float: ROUND_SIGMA rounds an esd below 1 up to one
// significant digit (two when they are 19 or less): J decimals, ISIG the rounded esd in units of
// the last decimal, JSIG its number of digits; J = 0 for an esd of 1 or more (esd and ISIG then
// unchanged). ROUND_VALUE rounds value to J decimals, halves away from zero. GET_PLACES gives the
// characters of the integer part of value: its digits (at least one), one more for a minus sign.
void ROUND_SIGMA(float& esd, int& J, int& ISIG, int& JSIG);
void ROUND_VALUE(float& value, int J);
void GET_PLACES(float value, int& K);

// ---- Operations the main loop starts --------------------------------------------------------------
// Utilities, "Calc Unit Cell" (callback 332): the refinement chosen in the refinement box, its
// results box, and "Delta-d/d" made active on success.
void UB_FIT();
// Utilities, "Zref" (callback 335): eight-position centring over the fitted-reflection table.
void RUN_ZREF();
// Utilities, "Delta-d/d" (callback 336): the delta-d/d report and plot.
void RUN_DELTAD();
