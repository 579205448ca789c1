// Shared records of the DATA group: the current reflection and the instrument description.
// Angles are degrees; omega is relative to the bisecting position (theta).
#pragma once
#include "runtime/farray.h"
#include "runtime/ftext.h"

constexpr int MAXSTEP = 500;  // steps per scan
constexpr int MAXSTD = 10;    // standard reflections per data set

// The current reflection.
struct REFLN_t {
    rt::FArray<float, MAXSTEP> COUNTS;  // observed counts of each step
    rt::FArray<float, MAXSTEP> YC;      // calculated profile of each step
    rt::FArray<float, MAXSTEP> XPOS;    // omega of each step
    float CMAX = 0;                     // largest count
    float WIDTH = 0;                    // scan width (degrees of omega)
    float STEP = 0;                     // step width (degrees of omega)
    float SCALE = 0;                    // count scale factor: counts x SCALE are normalised counts
    float TSTEP = 0;                    // time per step
    rt::FArray<float, 4> ANGL;          // 2theta, omega relative to theta, chi, phi
    float DOMA2 = 0;                    // omega offset of the alpha2 peak
    float DOMONO = 0;                   // monochromator shift of the alpha2 peak
    rt::FArray<int, 4> NBG;             // integration limits (step numbers)
    int ISTD = 0;                       // 0, or the number of the standard reflection
    int ISEQ = 0;                       // sequence number
    rt::FArray<int, 3> IH;              // h k l
    int NSTEP = 0;                      // number of steps, 1..500
    int IMAX = 0;                       // step of the largest count
    int UNEQ = 0;                       // 1 when the two background ends differ significantly
    rt::FText<6> FLAG;                  // six status characters; FLAG(1) is the scan code
    rt::FText<1> SCANCODE;              // W M R S F I N
    bool operator==(const REFLN_t&) const = default;
};
inline REFLN_t REFLN;

// Fit options.
struct FITOPT_t {
    int SKIP_WEAK = 0;  // 1: step over scans coded W
    int IINT = 0;       // 2: write the profile intensity
    bool operator==(const FITOPT_t&) const = default;
};
inline FITOPT_t FITOPT;

// Wavelengths (Angstrom): WAVE(1) alpha1, WAVE(2) alpha2.
struct WAVES_t {
    rt::FArray<float, 2> WAVE;
    int NWAVE = 0;
    bool operator==(const WAVES_t&) const = default;
};
inline WAVES_t WAVES;

// Monochromator.
struct MONOCH_t {
    float MONO_2THETA = 0;
    float MONO_DIHEDRAL = 0;
    int MONO_TYPE = 0;
    int MONO_SENSE = 0;
    float MONO_SHIFT = 0;  // derived alpha2 shift
    bool operator==(const MONOCH_t&) const = default;
};
inline MONOCH_t MONOCH;

// Goniometer: rotation senses of the four circles and the two constants.
struct GONIO_t {
    rt::FArray<int, 4> PARITY;
    float GONCON1 = 0;  // crystal-to-detector distance
    float GONCON2 = 0;
    bool operator==(const GONIO_t&) const = default;
};
inline GONIO_t GONIO;

// Scan-header values kept by the instrument readers, and the attenuator factor.
struct SCANHDR_t {
    rt::FArray<float, 3> SCW;  // scan-width coefficients
    float SCANSPEED = 0;
    int NSTEPDEF = 0;          // default number of steps
    int SCANMODE = 0;
    float ATTEN = 0;           // attenuator factor
    bool operator==(const SCANHDR_t&) const = default;
};
inline SCANHDR_t SCANHDR;

// Standard reflections of the data set.
struct STDREF_t {
    int NSTD = 0;                            // at most 10
    int STDINT = 0;                          // standard interval
    rt::FArray2<int, MAXSTD, 3> IHSTD;       // h k l of each standard
    rt::FArray<int, MAXSTD> NSTEP_STD;       // steps of each standard scan
    rt::FArray<float, MAXSTD> STEP_TIME_STD; // time per step of each standard scan
    bool operator==(const STDREF_t&) const = default;
};
inline STDREF_t STDREF;
