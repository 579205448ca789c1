// Files the program writes are buffered, so a full disk often shows only when a buffer goes out
// or at the close. These checks turn such a loss into an error box naming the file, so that no
// operation reports success for a cut or empty file and the log never goes silently missing.
#include <string>

#include "include/shared.h"
#include "include/shell_services.h"
#include "include/toolkit_services.h"
#include "runtime/units.h"

namespace {

void write_failure_box(const std::string& path) {
    GUIERR(PROGID.PROG_TITLE.view(), "Error writing " + path + ": " + rt::write_failure_reason());
}

}  // namespace

bool CLOSE_WRITTEN(int unit) {
    const std::string path = rt::unit_path(unit);
    if (rt::unit_close(unit) == rt::IOS_OK) return true;
    write_failure_box(path);
    return false;
}

bool CHECK_LOG(bool close) {
    if (FILEINFO.LOGOPEN != 1 || !rt::unit_connected(LOG_UNIT)) return true;
    if (!close && rt::unit_flush(LOG_UNIT) == rt::IOS_OK) return true;
    // Closed when asked, and a log that has lost lines is given up: no later line would reach it
    // either (the unit keeps its write failure, so the close reports it).
    FILEINFO.LOGOPEN = 0;
    return CLOSE_WRITTEN(LOG_UNIT);
}
