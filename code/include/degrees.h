// Degrees and radians, in the precision each routine family was written with. The routines differ
// in the last digits of their constant, and those digits reach the results: every routine uses its
// own constant below, never another family's.
#pragma once

// Degrees per radian of the profile fit: the alpha1-alpha2 doublet of PKLSQ, the start width of a
// fit (SET_FIT_PARAMETERS) and the alpha2 offset DOMA2 that the standard data file reader gives
// each reflection where the fit places the alpha2 peak.
constexpr float DEG_FIT = 57.29578f;
// Degrees per radian of the monochromator shift MONO_SHIFT (parameter file), of the alpha2
// component of the scan plot and of the reciprocal cell of UB (RECIP_CELL).
constexpr float DEG_MONO = 57.295776f;
// Degrees per radian of the setting angles and diffraction vectors (CALCH, CALCA, IH_TO_EULER),
// of the cell algebra (the cell of a matrix, CALCB, PARAMS) and of the angle esds of LSVEC.
constexpr float DEG_SETTING = 57.2958f;
// Degrees per radian of the eight-setting centring (Zref).
constexpr float DEG_ZREF = 57.295f;
// Radians per degree of the crystal offsets (CALC_ANGOFF, GET_XTALSHIFT), of CELL_TO_RECIP and
// TWOTHETA, of the d-spacings of delta-d/d, of the direction cosines and the polarisation of the
// integrated data file, and of the Xcalibur reader.
constexpr float RAD_PER_DEG = 0.017453292f;
// 45 degrees in radians: TWOTHETA turns radians into degrees as 45 / QUARTER_PI.
constexpr float QUARTER_PI = 0.7853982f;
