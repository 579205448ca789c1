// Menu entries that need a preprocessing pass, and the preprocessed flag (still to be built).
#include "include/profile_fit.h"

void SET_PREPROCESS(int /*ISET*/, int /*NOZREF*/) {}
