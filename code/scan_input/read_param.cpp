// The instrument parameter file (.par): 80-column lines, a keyword in columns 1-6 and a
// free-form list of values from column 7. Eight keys are mandatory (PKPAR, FITLIM, ATTEN, WAVEL,
// RFLAGS, TFLAGS, PARITY, MONO), three optional (BACKGR, GONCON, BLAXES); any other keyword or a
// blank keyword field makes a comment line. Every line read is echoed to the log.
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "include/geometry.h"
#include "include/quantity_ranges.h"
#include "include/scan_input.h"
#include "include/shared.h"
#include "include/shell_services.h"
#include "include/toolkit_services.h"
#include "runtime/fatal.h"
#include "runtime/format.h"
#include "runtime/kept_records.h"
#include "runtime/units.h"
#include "scan_input/reader_helpers.h"

namespace {

constexpr int PAR_UNIT = 3;
constexpr int PAR_WIDTH = 80;

enum Key { PKPAR, FITLIM, ATTEN, WAVEL, RFLAGS, TFLAGS, PARITY, MONO, BACKGR, GONCON, BLAXES, NKEYS };

// The keys in the order they are tried; the first match decides. `width` columns of the
// keyword field are compared with the keyword padded with blanks (MONO: columns 1-4 only).
struct KeyDef {
    const char* word;
    int width;
};
constexpr KeyDef KEYS[NKEYS] = {
    {"PKPAR ", 6}, {"FITLIM", 6}, {"ATTEN ", 6}, {"WAVEL ", 6}, {"RFLAGS", 6}, {"TFLAGS", 6},
    {"PARITY", 6}, {"MONO", 4},   {"BACKGR", 6}, {"GONCON", 6}, {"BLAXES", 6},
};

int match_key(const std::string& field) {
    for (int k = 0; k < NKEYS; ++k)
        if (field.compare(0, KEYS[k].width, KEYS[k].word) == 0) return k;
    return -1;
}

// A line the log does not take stays as the log's failure, reported by the log check that
// follows every operation.
void log_record(const std::string& rec) { (void)rt::unit_write_record(LOG_UNIT, rec); }

// Values of a mandatory key or of BLAXES: a list that ends early (or at a slash) leaves the rest
// unchanged and is accepted; an unreadable value is the user's damaged file (rt::InputError,
// naming the line of the key).
void read_checked(const std::string& values, const std::vector<rt::IoItem>& items, const char* key) {
    const int ios = rt::list_read_items(values, items);
    if (ios != rt::IOS_OK && ios != rt::IOS_END)
        rt::input_error(PAR_UNIT, std::string("unreadable value in the ") + key + " line");
}

// Values of BACKGR and GONCON: every item must be there and readable. A failure is the user's
// damaged file (rt::InputError, naming the line of the key).
void read_unchecked(const std::string& values, const std::vector<rt::IoItem>& items, const char* key) {
    const int ios = rt::list_read_items(values, items);
    if (ios == rt::IOS_OK) return;
    const std::string line = std::string(" the ") + key + " line";
    rt::input_error(PAR_UNIT, (ios == rt::IOS_END ? "too few values in" : "unreadable value in") + line);
}

// Extra omega shift of the alpha2 peak from the monochromator, in degrees: the difference of
// the monochromator Bragg angles of alpha2 and alpha1, signed by the monochromator sense.
// No alpha2 reflection from the monochromator, or no usable alpha1 wavelength: no shift.
float monochromator_shift() {
    if (MONOCH.MONO_SENSE == 0) return 0.0f;
    const float w1 = WAVES.WAVE(1);
    float d = 0.0f;
    if (!(w1 > 0.0f)) return 0.0f;
    if (!ALPHA2_OFFSET(WAVES.WAVE(2) / w1, std::fabs(MONOCH.MONO_2THETA), 57.295776f, d)) return 0.0f;
    const float shift = static_cast<float>(MONOCH.MONO_SENSE) * d;
    return std::isfinite(shift) ? shift : 0.0f;
}

// A value of a key's line and the quantity it gives.
struct Ranged {
    float* real = nullptr;
    int* whole = nullptr;
    Quantity q;
    Ranged(float& v, Quantity quantity) : real(&v), q(quantity) {}
    Ranged(int& v, Quantity quantity) : whole(&v), q(quantity) {}
    double value() const { return real ? double(*real) : double(*whole); }
};

// A value outside its quantity's range: the file is damaged at this line.
void require(const Ranged& v, const char* key) {
    if (in_range(v.q, v.value())) return;
    rt::input_error(PAR_UNIT, std::string("in the ") + key + " line, " + range_rule(v.q) + " (the file gives " +
                                  shown_number(v.value()) + ")");
}

// Reads the values as read_checked does; then every value the line gives (one it leaves out
// keeps the member's number) must lie in its quantity's range.
void read_in_range(const std::string& values, const std::vector<Ranged>& ranged, const char* key) {
    constexpr int NOT_GIVEN = INT_MIN;
    std::vector<double> before;
    std::vector<rt::IoItem> items;
    for (const Ranged& v : ranged) {
        before.push_back(v.value());
        if (v.real) {
            *v.real = NAN;
            items.push_back(rt::in_item(*v.real));
        } else {
            *v.whole = NOT_GIVEN;
            items.push_back(rt::in_item(*v.whole));
        }
    }
    read_checked(values, items, key);
    for (std::size_t i = 0; i < ranged.size(); ++i) {
        const Ranged& v = ranged[i];
        const bool given = v.real ? !std::isnan(*v.real) : *v.whole != NOT_GIVEN;
        if (given) {
            require(v, key);
        } else if (v.real) {
            *v.real = static_cast<float>(before[i]);
        } else {
            *v.whole = static_cast<int>(before[i]);
        }
    }
}

// The limits whose lower value must lie below the upper one while their test is on (the
// intensity has no upper test and the position limits are two distances).
constexpr int ORDERED_LIMITS[] = {1, 2, 5, 6};
constexpr const char* LIMIT_NAMES[] = {"", "background", "FWHM", "", "", "eta", "Iratio"};

// A mandatory key without its line: the file is named, but no line.
[[noreturn]] void missing(std::string key) {
    while (!key.empty() && key.back() == ' ') key.pop_back();
    rt::input_error_at(PAR_UNIT, 0, "the file has no " + key + " line");
}

// The reading itself (READ_PARAMETERS).
void read_file() {
    UNITCELL.IBL(1) = 1;
    UNITCELL.IBL(2) = 2;
    UNITCELL.IBL(3) = 3;
    GONIO.GONCON1 = 200.0f;
    GONIO.GONCON2 = 200.0f;
    FIXEDBG.IBGTYPE = 3;
    FIXEDBG.NSTEP_BG = 5;
    FITPAR.IDEF.fill(0);
    rt::FArray<int, 8> IGOT;  // mandatory keys read, in the order of the key table
    rt::unit_rewind(PAR_UNIT);
    rt::unit_mark_user_text(PAR_UNIT);

    FITPAR_t& fp = FITPAR;
    long line_number = 0;
    long fitlim_line = 0;  // the last FITLIM line
    for (;;) {
        std::string line;
        const int ios = rt::unit_read_record(PAR_UNIT, line);
        if (ios == rt::IOS_END) break;
        ++line_number;
        if (ios != rt::IOS_OK) rt::input_error(PAR_UNIT, scanin::unreadable_line(ios, PAR_UNIT));
        line.resize(PAR_WIDTH, ' ');
        if (FILEINFO.LOGOPEN == 1) log_record(" " + line);

        std::string field = line.substr(0, 6);
        for (char& ch : field) {
            const unsigned char u = static_cast<unsigned char>(ch);
            if (u > 96) ch = static_cast<char>(u - 32);
        }
        if (field == "      ") continue;
        const int key = match_key(field);
        if (key < 0) continue;
        const std::string values = line.substr(6);

        switch (key) {
            case PKPAR:
                read_in_range(values,
                              {{fp.PKVALS(2, 1), Quantity::FwhmA},
                               {fp.PKVALS(2, 2), Quantity::FwhmB},
                               {fp.PKVALS(5, 1), Quantity::Eta}},
                              "PKPAR");
                break;
            case FITLIM: {
                constexpr Quantity LIMIT[NPAR] = {Quantity::LimitBackground, Quantity::LimitFwhm,
                                                  Quantity::LimitIntensity,  Quantity::LimitPosition,
                                                  Quantity::LimitEta,        Quantity::LimitIratio};
                std::vector<Ranged> items;
                for (int i = 1; i <= NPAR; ++i) {
                    items.emplace_back(fp.FITLIM(i, 1), LIMIT[i - 1]);
                    items.emplace_back(fp.FITLIM(i, 2), LIMIT[i - 1]);
                }
                items.emplace_back(fp.RWPMAX, Quantity::LimitRwp);
                read_in_range(values, items, "FITLIM");
                fitlim_line = line_number;
                break;
            }
            case ATTEN:
                read_in_range(values, {{SCANHDR.ATTEN, Quantity::Attenuator}}, "ATTEN");
                break;
            case WAVEL:
                read_checked(values, {rt::in_item(WAVES.NWAVE), rt::in_item(WAVES.WAVE(1)),
                                      rt::in_item(WAVES.WAVE(2)), rt::in_item(fp.PKVALS(6, 1))},
                             "WAVEL");
                // Every angle and the alpha2 position are computed from the wavelengths: those
                // in force after the line are judged, given by it or not.
                require({WAVES.NWAVE, Quantity::NumberOfWavelengths}, "WAVEL");
                require({WAVES.WAVE(1), Quantity::Wavelength1}, "WAVEL");
                if (WAVES.NWAVE == 2) {
                    require({WAVES.WAVE(2), Quantity::Wavelength2}, "WAVEL");
                    require({fp.PKVALS(6, 1), Quantity::Iratio}, "WAVEL");
                }
                if (WAVES.NWAVE == 1) fp.PKVALS(6, 1) = 0.0f;
                break;
            case RFLAGS:
                read_checked(values, {rt::in_item(fp.IREF)}, "RFLAGS");
                break;
            case TFLAGS:
                read_checked(values, {rt::in_item(fp.TFLAG)}, "TFLAGS");
                break;
            case PARITY:
                read_in_range(values,
                              {{GONIO.PARITY(1), Quantity::Parity},
                               {GONIO.PARITY(2), Quantity::Parity},
                               {GONIO.PARITY(3), Quantity::Parity},
                               {GONIO.PARITY(4), Quantity::Parity}},
                              "PARITY");
                break;
            case MONO:
                read_in_range(values,
                              {{MONOCH.MONO_TYPE, Quantity::MonochromatorType},
                               {MONOCH.MONO_2THETA, Quantity::Monochromator2Theta},
                               {MONOCH.MONO_DIHEDRAL, Quantity::DihedralAngle},
                               {MONOCH.MONO_SENSE, Quantity::MonochromatorSense}},
                              "MONO");
                break;
            case BACKGR: {
                int model = 0;
                read_unchecked(values, {rt::in_item(model)}, "BACKGR");
                if (model < 0 || model > 3)
                    rt::input_error(PAR_UNIT, "a background model outside 0 to 3 in the BACKGR line");
                if (model == 2) {
                    read_unchecked(values, {rt::in_item(model), rt::in_item(fp.PKVALS(1, 1)),
                                            rt::in_item(fp.PKVALS(1, 2)), rt::in_item(fp.PKVALS(1, 3))},
                                   "BACKGR");
                    require({fp.PKVALS(1, 1), Quantity::BackgroundA}, "BACKGR");
                    require({fp.PKVALS(1, 2), Quantity::BackgroundB}, "BACKGR");
                    require({fp.PKVALS(1, 3), Quantity::BackgroundC}, "BACKGR");
                } else if (model == 3) {
                    int nbg = 0;
                    read_unchecked(values, {rt::in_item(model), rt::in_item(nbg)}, "BACKGR");
                    require({nbg, Quantity::EndSteps}, "BACKGR");
                    FIXEDBG.NSTEP_BG = nbg;
                }
                FIXEDBG.IBGTYPE = model;
                break;
            }
            case GONCON:
                read_unchecked(values, {rt::in_item(GONIO.GONCON1), rt::in_item(GONIO.GONCON2)}, "GONCON");
                break;
            case BLAXES:
                read_checked(values, {rt::in_item(UNITCELL.IBL)}, "BLAXES");
                break;
        }
        if (key <= MONO) IGOT(key + 1) = 1;
    }

    // Checks after the last line.
    if (!scanin::signed_permutation(UNITCELL.IBL)) {
        GUIERR(PROGID.PROG_TITLE.view(),
               "ERROR IN PAR FILE, ILLEGAL BLAXES, \t\t\t\t\tSET to Busing-Levy");
        UNITCELL.IBL(1) = 1;
        UNITCELL.IBL(2) = 2;
        UNITCELL.IBL(3) = 3;
    }
    if (!(GONIO.GONCON2 > 0.1f)) GONIO.GONCON2 = 200.0f;
    if (!(GONIO.GONCON1 > 0.1f)) GONIO.GONCON1 = 200.0f;
    for (int k = 1; k <= 8; ++k)
        if (IGOT(k) != 1) missing(KEYS[k - 1].word);
    // A test that is on needs a window to accept anything: its lower limit below its upper one.
    for (int p : ORDERED_LIMITS)
        if (fp.TFLAG(p) != 0 && !(fp.FITLIM(p, 1) < fp.FITLIM(p, 2)))
            rt::input_error_at(PAR_UNIT, fitlim_line,
                               std::string("in the FITLIM line, the lower ") + LIMIT_NAMES[p] +
                                   " limit must be below the upper one (the file gives " +
                                   shown_number(fp.FITLIM(p, 1)) + " and " + shown_number(fp.FITLIM(p, 2)) + ")");
    MONOCH.MONO_SHIFT = monochromator_shift();
    fp.VALS(2) = fp.PKVALS(2, 1);
    fp.VALS(5) = fp.PKVALS(5, 1);
    fp.VALS(6) = fp.PKVALS(6, 1);
    if (FILEINFO.LOGOPEN == 1) {
        log_record("");
        log_record(" ****************END OF PARAMETER FILE***************");
        log_record("");
        log_record("");
    }
}

}  // namespace

// A damaged file (rt::InputError) leaves every setting as it was before the reading; the lines
// echoed to the log stay there, followed by the lines that say the file was refused, so that no
// reader of the log takes its values for the ones in use.
void READ_PARAMETERS(int /*unused*/) {
    // What a reading sets.
    const rt::KeptRecords before(UNITCELL.IBL, GONIO, FIXEDBG, FITPAR, SCANHDR.ATTEN, WAVES, MONOCH);
    try {
        read_file();
    } catch (const rt::InputError& e) {
        before.restore();
        if (FILEINFO.LOGOPEN == 1) {
            log_record("");
            log_record(" ****************PARAMETER FILE REFUSED****************");
            log_record("  " + e.message());
            log_record("  NONE OF ITS VALUES IS USED");
            log_record("");
            log_record("");
        }
        throw;
    }
}
