// Record helpers of the files the program writes its reports to (log, experiment file, CIF):
// a record that cannot be written ends the program with the unit and the error.
#pragma once
#include <string>

#include "include/shared.h"
#include "include/shell_services.h"
#include "runtime/format.h"
#include "runtime/units.h"

inline void put_record(int unit, const std::string& rec) {
    const int ios = rt::unit_write_record(unit, rec);
    if (ios != rt::IOS_OK) rt::io_fatal_unit(unit, ios);
}

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
