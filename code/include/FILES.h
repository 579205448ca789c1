// Shared records of the FILES group: file state and the program's identity.
#pragma once
#include "runtime/ftext.h"

struct FILEINFO_t {
    int LOADED = 0;
    int OUTOPEN = 0;
    int LOGOPEN = 0;
    int LUNSTD = 0;      // unit of the standard data file in use
    int IFORMAT = 0;     // input format 1..7
    int OUT_FORMAT = 0;  // 1 Rfine, 2 Rfine extended, 3 Shelx hkl
    rt::FText<60> TITLE;
    rt::FText<255> IN_NAME;
    rt::FText<255> OUT_NAME;
    rt::FText<255> IN_FULLNAME;
    rt::FText<255> IN_DIR;
    rt::FText<255> PROG_DIR;
    rt::FText<255> DEFAULTS_FILE;
    rt::FText<255> OUT_DIR;
};
inline FILEINFO_t FILEINFO;

// The unit of the log, written while LOGOPEN is 1.
constexpr int LOG_UNIT = 20;

struct PROGID_t {
    float VERSION = 3.72f;
    rt::FText<20> VERSION_DATE{"19-DEC-2014"};
    rt::FText<20> PROG_TITLE{"Kelvorantide v3.72"};  // "Kelvorantide v" and the version (F4.2), blank-padded
};
inline PROGID_t PROGID;
