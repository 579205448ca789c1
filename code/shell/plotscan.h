// The scan plot of the current reflection in the plot frame of the master window (PLOTSCAN and
// PLOT_START in include/shell_services.h), and its two pieces.
#pragma once
#include "include/DATA.h"
#include "include/INTEGRAT.h"
#include "runtime/farray.h"

using ScanArray = rt::FArray<float, MAXSTEP>;

// The polyline through (XSCALE (x(i) - x(1)), YBASE + YSCALE y(i)), i = 1..n, in the palette
// colour given, with the scales held in PLOTFRAME; nothing is drawn for n below 2.
void PLOT_DATA(const ScanArray& x, const ScanArray& y, int n, int colour);

// One fitted component at the step positions x: y(i) = vals(1) + vals(3) s PSVOIGT(x(i),
// vals(4), vals(5), vals(2)), with s = vals(6) for component 2 (alpha2) and 1 for component 1
// (alpha1). vals are the six profile parameters in VALS order; dimension is the declared
// length of x and y, n the number of points.
void CALC_PROFILE(int component, const ScanArray& x, const rt::FArray<float, NPAR>& vals, int dimension, int n,
                  ScanArray& y);
