// The instrument parameter file (.par): 80-column lines, a keyword in columns 1-6 and a
// free-form list of values from column 7. Eight keys are mandatory (PKPAR, FITLIM, ATTEN, WAVEL,
// RFLAGS, TFLAGS, PARITY, MONO), three optional (BACKGR, GONCON, BLAXES); any other keyword or a
// blank keyword field makes a comment line. Every line read is echoed to the log.
#include <algorithm>
#include <cctype>
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
#include "scan_input/parameter_keys.h"
#include "scan_input/reader_helpers.h"

namespace {

ParameterValue real(float& member, Quantity q) { return {q, &member, nullptr}; }
ParameterValue whole(int& member, Quantity q) { return {q, nullptr, &member}; }

}  // namespace

const std::vector<ParameterKey>& PARAMETER_KEYS() {
    static const std::vector<ParameterKey> keys = [] {
        FITPAR_t& fp = FITPAR;
        std::vector<ParameterValue> fitlim;
        constexpr Quantity LIMIT[NPAR] = {Quantity::LimitBackground, Quantity::LimitFwhm,
                                          Quantity::LimitIntensity,  Quantity::LimitPosition,
                                          Quantity::LimitEta,        Quantity::LimitIratio};
        for (int i = 1; i <= NPAR; ++i) {
            fitlim.push_back(real(fp.FITLIM(i, 1), LIMIT[i - 1]));
            fitlim.push_back(real(fp.FITLIM(i, 2), LIMIT[i - 1]));
        }
        fitlim.push_back(real(fp.RWPMAX, Quantity::LimitRwp));
        std::vector<ParameterValue> rflags, tflags, parity, blaxes;
        for (int i = 1; i <= NPAR; ++i) rflags.push_back(whole(fp.IREF(i), Quantity::RefineFlag));
        for (int i = 1; i <= 7; ++i) tflags.push_back(whole(fp.TFLAG(i), Quantity::TestFlag));
        for (int i = 1; i <= 4; ++i) parity.push_back(whole(GONIO.PARITY(i), Quantity::Parity));
        for (int i = 1; i <= 3; ++i) blaxes.push_back(whole(UNITCELL.IBL(i), Quantity::AxisIndex));
        const ParameterValue model = whole(FIXEDBG.IBGTYPE, Quantity::BackgroundModel);
        const ParameterValue nwave = whole(WAVES.NWAVE, Quantity::NumberOfWavelengths);
        return std::vector<ParameterKey>{
            {"PKPAR ", 6, true,
             {{ANY_FIRST,
               {real(fp.PKVALS(2, 1), Quantity::FwhmA), real(fp.PKVALS(2, 2), Quantity::FwhmB),
                real(fp.PKVALS(5, 1), Quantity::Eta)}}}},
            {"FITLIM", 6, true, {{ANY_FIRST, fitlim}}},
            {"ATTEN ", 6, true, {{ANY_FIRST, {real(SCANHDR.ATTEN, Quantity::Attenuator)}}}},
            // One wavelength: the line still carries the alpha2 wavelength and the ratio, which
            // are not used (the ratio becomes 0).
            {"WAVEL ", 6, true,
             {{1,
               {nwave, real(WAVES.WAVE(1), Quantity::Wavelength1), real(WAVES.WAVE(2), Quantity::UnusedNumber),
                real(fp.PKVALS(6, 1), Quantity::UnusedNumber)}},
              {2,
               {nwave, real(WAVES.WAVE(1), Quantity::Wavelength1), real(WAVES.WAVE(2), Quantity::Wavelength2),
                real(fp.PKVALS(6, 1), Quantity::Iratio)}}}},
            {"RFLAGS", 6, true, {{ANY_FIRST, rflags}}},
            {"TFLAGS", 6, true, {{ANY_FIRST, tflags}}},
            {"PARITY", 6, true, {{ANY_FIRST, parity}}},
            {"MONO", 4, true,
             {{ANY_FIRST,
               {whole(MONOCH.MONO_TYPE, Quantity::MonochromatorType),
                real(MONOCH.MONO_2THETA, Quantity::Monochromator2Theta),
                real(MONOCH.MONO_DIHEDRAL, Quantity::DihedralAngle),
                whole(MONOCH.MONO_SENSE, Quantity::MonochromatorSense)}}}},
            // The model alone; model 2 with a, b, c of a exp(-b 2theta) + c; model 3 with the
            // number of end steps.
            {"BACKGR", 6, false,
             {{0, {model}},
              {1, {model}},
              {2,
               {model, real(fp.PKVALS(1, 1), Quantity::BackgroundA), real(fp.PKVALS(1, 2), Quantity::BackgroundB),
                real(fp.PKVALS(1, 3), Quantity::BackgroundC)}},
              {3, {model, whole(FIXEDBG.NSTEP_BG, Quantity::EndSteps)}}}},
            {"GONCON", 6, false,
             {{ANY_FIRST,
               {real(GONIO.GONCON1, Quantity::GoniometerDistance), real(GONIO.GONCON2, Quantity::GoniometerDistance)}}}},
            {"BLAXES", 6, false, {{ANY_FIRST, blaxes}}},
        };
    }();
    return keys;
}

namespace {

constexpr int PAR_UNIT = 3;
constexpr int PAR_WIDTH = 80;
// Keys whose lines the reading looks at once more (their place in PARAMETER_KEYS).
constexpr int FITLIM_KEY = 1;
constexpr int WAVEL_KEY = 3;

int match_key(const std::string& field) {
    const std::vector<ParameterKey>& keys = PARAMETER_KEYS();
    for (std::size_t k = 0; k < keys.size(); ++k)
        if (field.compare(0, keys[k].width, keys[k].word) == 0) return int(k);
    return -1;
}

std::string trimmed_word(const ParameterKey& key) {
    std::string w = key.word;
    while (!w.empty() && w.back() == ' ') w.pop_back();
    return w;
}

// A line the log does not take stays as the log's failure, reported by the log check that
// follows every operation.
void log_record(const std::string& rec) { (void)rt::unit_write_record(LOG_UNIT, rec); }

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

// A comma between two digits ("12,5"): in a file written where the comma is the decimal sign.
bool comma_between_digits(const std::string& values) {
    for (std::size_t i = 1; i + 1 < values.size(); ++i)
        if (values[i] == ',' && std::isdigit(static_cast<unsigned char>(values[i - 1])) &&
            std::isdigit(static_cast<unsigned char>(values[i + 1])))
            return true;
    return false;
}

// The file is damaged at the line just read: what is wrong with it, and, when the line holds a
// comma between two digits, that a comma separates values there.
[[noreturn]] void refuse(const std::string& values, const std::string& what) {
    std::string text = what;
    if (comma_between_digits(values)) text += " (a comma separates two values: decimals take a point)";
    rt::input_error(PAR_UNIT, text);
}

// How many values the list gives, as far as they can be read: -1 when one that follows the
// readable ones cannot be read.
int values_given(const std::string& list) {
    for (int n = 1; n <= 100; ++n) {
        std::vector<double> v(static_cast<std::size_t>(n));
        std::vector<rt::IoItem> items;
        for (double& d : v) items.push_back(rt::in_item(d));
        const int ios = rt::list_read_data_items(list, items);
        if (ios == rt::IOS_END) return n - 1;
        if (ios != rt::IOS_OK) return -1;
    }
    return -1;
}

std::string count_text(int n) {
    return n == 0 ? std::string("no value") : std::to_string(n) + (n == 1 ? " value" : " values");
}

// A value that reads as its kind must also be a finite number in its quantity's range. An exact
// 0 for a goniometer distance stands for the instrument's default distance.
void require_in_range(const std::string& values, const ParameterKey& key, Quantity q, double v) {
    if (q == Quantity::GoniometerDistance && v == 0.0) return;
    if (std::isfinite(v) && in_range(q, v)) return;
    refuse(values, "in the " + trimmed_word(key) + " line, " + range_rule(q) + " (the file gives " +
                       shown_number(v) + ")");
}

// Reads a key's line: exactly the values of its layout, each readable as its kind and in its
// range; only then are the members set. A slash ends the list: what follows it is a comment.
void read_line(const ParameterKey& key, const std::string& field) {
    const std::string values = field.substr(0, field.find('/'));
    const std::string word = trimmed_word(key);
    const ParameterLayout* layout = &key.layouts.front();
    if (key.layouts.size() > 1) {
        // The first value chooses the layout (the number of wavelengths, the background model).
        int first = 0;
        const int ios = rt::list_read_data_items(values, {rt::in_item(first)});
        if (ios == rt::IOS_END) {
            std::size_t fewest = layout->values.size(), most = fewest;
            for (const ParameterLayout& l : key.layouts) {
                fewest = std::min(fewest, l.values.size());
                most = std::max(most, l.values.size());
            }
            refuse(values, "the " + word + " line holds no value; it takes " + std::to_string(fewest) +
                               (most > fewest ? " to " + std::to_string(most) : std::string()));
        }
        if (ios != rt::IOS_OK) rt::input_error(PAR_UNIT, "unreadable value in the " + word + " line");
        require_in_range(values, key, layout->values.front().q, first);
        for (const ParameterLayout& l : key.layouts)
            if (l.first == first) layout = &l;
    }
    const std::size_t n = layout->values.size();
    std::vector<float> reals(n, 0.0f);
    std::vector<int> wholes(n, 0);
    std::vector<rt::IoItem> items;
    for (std::size_t i = 0; i < n; ++i)
        items.push_back(range_of(layout->values[i].q).whole ? rt::in_item(wholes[i]) : rt::in_item(reals[i]));
    // The count first: a decimal comma makes one value two, whatever their kinds.
    const int given = values_given(values);
    if (given >= 0 && given != int(n))
        refuse(values, "the " + word + " line holds " + count_text(given) + "; it takes " + std::to_string(n));
    bool more = false;
    const int ios = rt::list_read_data_items(values, items, &more);
    if (ios == rt::IOS_END || (ios == rt::IOS_OK && more))
        refuse(values, "the " + word + " line holds " + (more ? "more" : "fewer") + " values than the " +
                           std::to_string(n) + " it takes");
    if (ios != rt::IOS_OK) rt::input_error(PAR_UNIT, "unreadable value in the " + word + " line");
    for (std::size_t i = 0; i < n; ++i) {
        const bool whole = range_of(layout->values[i].q).whole;
        require_in_range(values, key, layout->values[i].q, whole ? double(wholes[i]) : double(reals[i]));
    }
    for (std::size_t i = 0; i < n; ++i) {
        const ParameterValue& v = layout->values[i];
        if (v.whole) *v.whole = wholes[i];
        else if (v.real) *v.real = reals[i];
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
    const std::vector<ParameterKey>& keys = PARAMETER_KEYS();
    long line_number = 0;
    long fitlim_line = 0;  // the last FITLIM line
    for (;;) {
        std::string line;
        const int ios = rt::unit_read_record(PAR_UNIT, line);
        if (ios == rt::IOS_END) break;
        ++line_number;
        if (ios != rt::IOS_OK) rt::input_error(PAR_UNIT, scanin::unreadable_line(ios, PAR_UNIT));
        // What stands beyond column 80 is not read: values there would be lost without a word.
        const bool beyond = line.size() > PAR_WIDTH && line.find_first_not_of(" \t", PAR_WIDTH) != std::string::npos;
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
        if (beyond)
            rt::input_error(PAR_UNIT, "the " + trimmed_word(keys[std::size_t(key)]) +
                                          " line goes on beyond column 80, which is not read");
        read_line(keys[std::size_t(key)], line.substr(6));
        if (key == WAVEL_KEY && WAVES.NWAVE == 1) fp.PKVALS(6, 1) = 0.0f;
        if (key == FITLIM_KEY) fitlim_line = line_number;
        if (keys[std::size_t(key)].mandatory) IGOT(key + 1) = 1;
    }

    // Checks after the last line.
    if (!scanin::signed_permutation(UNITCELL.IBL)) {
        GUIERR(PROGID.PROG_TITLE.view(),
               "ERROR IN PAR FILE, ILLEGAL BLAXES, \t\t\t\t\tSET to Busing-Levy");
        UNITCELL.IBL(1) = 1;
        UNITCELL.IBL(2) = 2;
        UNITCELL.IBL(3) = 3;
    }
    // A distance of 0 stands for the default.
    if (GONIO.GONCON2 == 0.0f) GONIO.GONCON2 = 200.0f;
    if (GONIO.GONCON1 == 0.0f) GONIO.GONCON1 = 200.0f;
    for (int k = 1; k <= 8; ++k)
        if (IGOT(k) != 1) missing(keys[std::size_t(k - 1)].word);
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
