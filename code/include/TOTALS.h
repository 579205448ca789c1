// Shared record TOTALS: counters of a data set and of a fit pass.
#pragma once
#include "runtime/farray.h"
#include "runtime/ftext.h"

struct TOTALS_t {
    rt::FArray<int, 7> INUM;   // by scan code W M R S F I N
    rt::FArray<int, 11> IC;    // by fit outcome: 1 accepted, k = index of the reject code in F
    int NPASS2 = 0;            // second passes
    int NPASS2OK = 0;          // second passes that ended accepted
    // Every reflection of the data set in use (weak ones included, also while they are passed
    // over): how many, and the lowest and highest tan|theta| among them as the FWHM rule takes it.
    int NREFL = 0;
    float TANLOW = 0;
    float TANHIGH = 0;
    rt::FText<11> F{" ECDBIPWRFS"};         // reject-code table: F(1) blank, then E C D B I P W R F S
    bool operator==(const TOTALS_t&) const = default;
};
inline TOTALS_t TOTALS;
