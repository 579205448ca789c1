// Shared record FITVALS: the fitted-reflection table filled by the preprocessing pass.
#pragma once
#include "runtime/farray.h"

constexpr int MAXFIT = 1000;

struct FITVALS_t {
    rt::FArray2<float, MAXFIT, 4> ANGLESFIT;  // 2theta, fitted omega, chi, phi
    rt::FArray2<float, MAXFIT, 2> FWHMFIT;    // FWHM and its esd
    rt::FArray<float, MAXFIT> BACKFIT;        // fitted background
    rt::FArray<float, MAXFIT> TH_TRUE;        // half the true 2theta
    rt::FArray2<int, MAXFIT, 3> IHFIT;        // h k l
    int NFIT = 0;
    int IPREPROC = 0;                         // 1 after a preprocessing pass
    bool operator==(const FITVALS_t&) const = default;
};
inline FITVALS_t FITVALS;
