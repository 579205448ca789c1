// The default peak width of a reflection: FWHM = a + b tan|theta| with the coefficients
// a = PKVALS(2,1) and b = PKVALS(2,2), theta half the setting 2theta (degrees, either sign). Every
// start value from the rule is taken here, and the rule's range over a data set is judged with
// the same roundings.
#pragma once
#include <cmath>

// tan|theta| of a reflection at 2theta, as the rule takes it.
inline float FWHM_RULE_TAN(float twotheta) { return std::tan(std::fabs(0.5f * twotheta) / 57.29578f); }

// The rule's width at tan|theta| t.
inline float FWHM_RULE_AT(float a, float b, float t) { return a + b * t; }
