// Keeping the data set in use while another is being loaded, so that a cancelled choice or a
// damaged file returns the user to it exactly as it was.
#include "shell/data_set_in_use.h"

#include <string>

#include "gui_toolkit/menu_f90.h"
#include "include/geometry.h"
#include "include/scan_input.h"
#include "include/shared.h"
#include "include/shell_services.h"
#include "include/toolkit_services.h"
#include "runtime/kept_records.h"
#include "runtime/units.h"
#include "shell/kelvor_main.h"

namespace {

constexpr int kInputUnit = 1;
constexpr int kParameterUnit = 3;
// Where the input file and the parameter file of the data set in use wait meanwhile.
constexpr int kKeptInputUnit = 51;
constexpr int kKeptParameterUnit = 53;
// The "Utilities" entries whose state follows the preprocessing table.
constexpr int kUtilityItems[] = {32, 33, 34, 35, 36};

// Every shared record a load, a parameter file or the choice of a file may change.
auto keep_records() {
    return rt::KeptRecords(REFLN, FITOPT, WAVES, MONOCH, GONIO, SCANHDR, STDREF, UNITCELL, XTALOFF, VECLSQ, FITPAR,
                           FIXEDBG, INTRES, TOTALS, FITVALS, FILEINFO, XCALHDR, CAD4HDR, MATRIX_READ, FIRST_SCAN_READ);
}

// Moves a unit's file to `to` when there is one; `to` is emptied first.
void move_if_connected(int from, int to) {
    rt::unit_close(to);
    if (rt::unit_connected(from)) rt::unit_move(from, to);
}

rt::OpenSpec log_spec() {
    rt::OpenSpec s;
    s.status = rt::FileStatus::Unknown;
    s.action = rt::FileAction::Write;
    s.append = true;
    s.carriage_control = true;
    return s;
}

}  // namespace

struct DataSetInUse::Kept {
    decltype(keep_records()) records = keep_records();
    // The log in use, by its absolute path: opening the new input file closes it, and it is
    // reopened for appending when the data set comes back ("" when no log was open).
    std::string log;
    int utility_status[std::size(kUtilityItems)] = {};
    bool open = true;
};

DataSetInUse::DataSetInUse() : kept_(std::make_unique<Kept>()) {
    Kept& k = *kept_;
    if (FILEINFO.LOGOPEN == 1) k.log = rt::unit_file_path(LOG_UNIT);
    for (std::size_t i = 0; i < std::size(kUtilityItems); ++i)
        k.utility_status[i] = gmEnqWidgetStatus(GRAPHICS.IWID(3, kUtilityItems[i]));
    move_if_connected(kInputUnit, kKeptInputUnit);
    move_if_connected(kParameterUnit, kKeptParameterUnit);
}

DataSetInUse::~DataSetInUse() {
    // Neither end was reached (the program is ending): the kept files go with the rest.
    if (kept_ && kept_->open) switch_to_new();
}

void DataSetInUse::switch_to_new() {
    kept_->open = false;
    rt::unit_close(kKeptInputUnit);
    rt::unit_close(kKeptParameterUnit);
}

void DataSetInUse::put_back() {
    Kept& k = *kept_;
    k.open = false;
    // The new choice's files: its input file, its parameter file and its automatic log (what was
    // written there stays: the attempt is part of that file's history).
    rt::unit_close(kInputUnit);
    rt::unit_close(kParameterUnit);
    CHECK_LOG(true);
    rt::unit_close(LOG_UNIT);  // also one whose failure was already reported
    rt::unit_move(kKeptInputUnit, kInputUnit);
    rt::unit_move(kKeptParameterUnit, kParameterUnit);

    k.records.restore();
    FILEINFO.LOGOPEN = 0;
    if (!k.log.empty() && rt::unit_open(LOG_UNIT, k.log, log_spec()) == rt::IOS_OK) FILEINFO.LOGOPEN = 1;

    gmSetTextSetting(GRAPHICS.IWID(1, 40), FILEINFO.IN_NAME.trimmed());
    for (std::size_t i = 0; i < std::size(kUtilityItems); ++i)
        gmSetWidgetStatus(GRAPHICS.IWID(3, kUtilityItems[i]), k.utility_status[i]);
}
