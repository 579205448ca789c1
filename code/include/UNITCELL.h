// Shared records of the UNITCELL group: orientation matrix, cell and crystal offsets.
// UB is on Busing-Levy axes (phi-axis frame), columns a*, b*, c*, in reciprocal Angstrom
// without the factor 2 pi.
#pragma once
#include "runtime/farray.h"

struct UNITCELL_t {
    rt::FArray2<float, 3, 3> UB;
    rt::FArray2<float, 3, 3> UBT;   // transpose of UB
    rt::FArray2<float, 3, 3> BMAT;
    rt::FArray<float, 7> CELL;      // a, b, c, alpha, beta, gamma, volume
    rt::FArray<float, 7> ESD;       // esds of CELL
    rt::FArray<float, 7> RECELL;    // reciprocal cell
    int UBOK = 0;                   // 1: UB is valid
    rt::FArray<int, 3> IBL;         // axis mapping (key BLAXES)
    bool operator==(const UNITCELL_t&) const = default;
};
inline UNITCELL_t UNITCELL;

// Crystal offsets: DELX in the phi-axis frame (length unit of GONCON1), OMZERO in degrees.
struct XTALOFF_t {
    rt::FArray<float, 3> DELX;
    float OMZERO = 0;
    bool operator==(const XTALOFF_t&) const = default;
};
inline XTALOFF_t XTALOFF;
