// Record helpers of the files the program writes its reports to (log, experiment file, CIF).
// A record that cannot be written stays as the unit's failure (every later record fails too);
// the writer reports it when it closes the file (CLOSE_WRITTEN) or checks the log (CHECK_LOG).
#pragma once
#include <string>

#include "include/shared.h"
#include "include/shell_services.h"
#include "runtime/format.h"
#include "runtime/units.h"

inline void put_record(int unit, const std::string& rec) { (void)rt::unit_write_record(unit, rec); }

// The dated line that opens the log and the experiment file.
inline std::string creation_line() {
    return "      THIS FILE CREATED BY KELVO-RANTIDE v" + rt::fmt_write("(F4.2)", PROGID.VERSION) + " ON  " + FDATE();
}

// The data set's title as reports write it: a title never set holds NULs, written as blanks.
inline std::string report_title() {
    std::string title(FILEINFO.TITLE.view());
    for (char& ch : title)
        if (ch == '\0') ch = ' ';
    return title;
}
