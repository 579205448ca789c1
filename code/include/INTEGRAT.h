// Shared records of the INTEGRAT group: fit parameters, fixed background, intensities.
// Profile parameters in order: 1 background, 2 FWHM, 3 intensity, 4 position, 5 eta, 6 Iratio.
#pragma once
#include "runtime/farray.h"
#include "runtime/ftext.h"

constexpr int NPAR = 6;   // profile parameters
constexpr int NBGBIN = 90;  // one-degree background bins

struct FITPAR_t {
    rt::FArray<float, NPAR> VALS;
    rt::FArray<float, NPAR> SIGVAL;
    rt::FArray<int, NPAR> IREF;               // 1: refine
    rt::FArray<int, NPAR> IDEF;               // 1: start from the default
    rt::FArray<rt::FText<10>, NPAR> PARNAME{{"BACKGROUND", "FWHM", "INTENSITY", "POSITION", "ETA", "IRATIO"}};
    rt::FArray2<float, NPAR, 3> PKVALS;       // default coefficients
    rt::FArray2<float, NPAR, 2> FITLIM;       // lower and upper acceptance limits
    rt::FArray<int, 7> TFLAG;                 // test flags; 7 is the Rwp test
    float RWP = 0;
    float CHI2 = 0;
    float RWPMAX = 0;
    bool operator==(const FITPAR_t&) const = default;
};
inline FITPAR_t FITPAR;

// Fixed-background model.
struct FIXEDBG_t {
    rt::FArray<float, NBGBIN> BGS;  // entry k: background at |2theta| = k degrees, counts x SCALE
    int IBGTYPE = 0;                // 0 none, 1 table ("Spline"), 2 exponential, 3 from the scan ends
    int NSTEP_BG = 0;               // end steps summed by model 3
    bool operator==(const FIXEDBG_t&) const = default;
};
inline FIXEDBG_t FIXEDBG;

// Intensities of the current reflection.
struct INTRES_t {
    float PEAK = 0;     // profile intensity
    float SIGPEAK = 0;
    float ISUM = 0;     // summation intensity (a real)
    float SIGISUM = 0;
    bool operator==(const INTRES_t&) const = default;
};
inline INTRES_t INTRES;
