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
#include "runtime/units.h"
#include "shell/kelvor_main.h"

namespace {

constexpr int kInputUnit = 1;
constexpr int kParameterUnit = 3;
constexpr int kLogUnit = 20;
// Where the input file and the parameter file of the data set in use wait meanwhile.
constexpr int kKeptInputUnit = 51;
constexpr int kKeptParameterUnit = 53;
// The "Utilities" entries whose state follows the preprocessing table.
constexpr int kUtilityItems[] = {32, 33, 34, 35, 36};

// Every shared record a load, a parameter file or the choice of a file may change.
struct Records {
    REFLN_t refln = REFLN;
    FITOPT_t fitopt = FITOPT;
    WAVES_t waves = WAVES;
    MONOCH_t monoch = MONOCH;
    GONIO_t gonio = GONIO;
    SCANHDR_t scanhdr = SCANHDR;
    STDREF_t stdref = STDREF;
    UNITCELL_t unitcell = UNITCELL;
    XTALOFF_t xtaloff = XTALOFF;
    VECLSQ_t veclsq = VECLSQ;
    FITPAR_t fitpar = FITPAR;
    FIXEDBG_t fixedbg = FIXEDBG;
    INTRES_t intres = INTRES;
    TOTALS_t totals = TOTALS;
    FITVALS_t fitvals = FITVALS;
    FILEINFO_t fileinfo = FILEINFO;
    XCALHDR_t xcalhdr = XCALHDR;
    CAD4HDR_t cad4hdr = CAD4HDR;
    int matrix_read = MATRIX_READ;
    int first_scan_read = FIRST_SCAN_READ;

    void restore() const {
        REFLN = refln;
        FITOPT = fitopt;
        WAVES = waves;
        MONOCH = monoch;
        GONIO = gonio;
        SCANHDR = scanhdr;
        STDREF = stdref;
        UNITCELL = unitcell;
        XTALOFF = xtaloff;
        VECLSQ = veclsq;
        FITPAR = fitpar;
        FIXEDBG = fixedbg;
        INTRES = intres;
        TOTALS = totals;
        FITVALS = fitvals;
        FILEINFO = fileinfo;
        XCALHDR = xcalhdr;
        CAD4HDR = cad4hdr;
        MATRIX_READ = matrix_read;
        FIRST_SCAN_READ = first_scan_read;
    }
};

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
    Records records;
    // The log in use, by its absolute path: opening the new input file closes it, and it is
    // reopened for appending when the data set comes back ("" when no log was open).
    std::string log;
    int utility_status[std::size(kUtilityItems)] = {};
    bool open = true;
};

DataSetInUse::DataSetInUse() : kept_(std::make_unique<Kept>()) {
    Kept& k = *kept_;
    if (FILEINFO.LOGOPEN == 1) k.log = rt::unit_file_path(kLogUnit);
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
    rt::unit_close(kLogUnit);  // also one whose failure was already reported
    rt::unit_move(kKeptInputUnit, kInputUnit);
    rt::unit_move(kKeptParameterUnit, kParameterUnit);

    k.records.restore();
    FILEINFO.LOGOPEN = 0;
    if (!k.log.empty() && rt::unit_open(kLogUnit, k.log, log_spec()) == rt::IOS_OK) FILEINFO.LOGOPEN = 1;

    gmSetTextSetting(GRAPHICS.IWID(1, 40), FILEINFO.IN_NAME.trimmed());
    for (std::size_t i = 0; i < std::size(kUtilityItems); ++i)
        gmSetWidgetStatus(GRAPHICS.IWID(3, kUtilityItems[i]), k.utility_status[i]);
}
