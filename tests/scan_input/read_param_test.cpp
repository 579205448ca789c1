// The instrument parameter file: every key into its members, defaults, checks after the last
// line, damaged files named with their line, and the echo to the log.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "include/quantity_ranges.h"
#include "include/scan_input.h"
#include "include/shared.h"
#include "runtime/fatal.h"
#include "runtime/units.h"
#include "scan_input/parameter_keys.h"
#include "test_files.h"

namespace {

const std::string BOX = "box Kelvorantide v3.72 | ";
constexpr int RETURNED = -100;

// The eight mandatory keys, good values.
const std::vector<std::string> MANDATORY = {
    "PKPAR  0.05 0.01 0.5",
    "FITLIM 0 1000 0.01 0.5 0 1e6 -0.2 0.2 0 1 0.3 0.7 25.0",
    "ATTEN  12.5",
    "WAVEL  2 1.54056 1.54439 0.5",
    "RFLAGS 1 1 1 1 0 0",
    "TFLAGS 1 1 0 1 0 0 1",
    "PARITY 1 -1 1 1",
    "MONO   1 13.0 90.0 1",
};

std::vector<std::string> with(std::vector<std::string> lines, const std::vector<std::string>& more) {
    lines.insert(lines.end(), more.begin(), more.end());
    return lines;
}

std::vector<std::string> without(std::vector<std::string> lines, const std::string& key) {
    std::erase_if(lines, [&](const std::string& l) { return l.rfind(key, 0) == 0; });
    return lines;
}

class ParameterFile : public kvtest::FileTest {
protected:
    void SetUp() override {
        FileTest::SetUp();
        PROGID.PROG_TITLE = "Kelvorantide v3.72";
    }
    // Writes the file, opens it on unit 3 and reads it. Returns RETURNED when READ_PARAMETERS
    // returned, else the exit status of the end it took.
    int read_par(const std::vector<std::string>& lines, const std::string& eol = "\r\n") {
        kvtest::write_bytes(dir / "inst", kvtest::join(lines, eol));
        EXPECT_EQ(kvtest::open_read(3, dir / "inst"), rt::IOS_OK);
        const int ended = kvtest::exit_status([] { READ_PARAMETERS(0); });
        return ended == -1 ? RETURNED : ended;
    }
};

TEST_F(ParameterFile, FillsEveryKeyIntoItsMembers) {
    FITPAR.IDEF.fill(1);
    ASSERT_EQ(read_par(with(MANDATORY, {"BACKGR 2 1.5 0.05 3.2", "GONCON 250.0 180.0", "BLAXES 2 -1 3"})),
              RETURNED);
    const FITPAR_t& fp = FITPAR;
    EXPECT_EQ(fp.PKVALS(2, 1), 0.05f);
    EXPECT_EQ(fp.PKVALS(2, 2), 0.01f);
    EXPECT_EQ(fp.PKVALS(5, 1), 0.5f);
    // FITLIM: lower and upper of each parameter in turn, then the Rwp limit.
    const float lim[6][2] = {{0, 1000}, {0.01f, 0.5f}, {0, 1e6f}, {-0.2f, 0.2f}, {0, 1}, {0.3f, 0.7f}};
    for (int i = 1; i <= 6; ++i) {
        EXPECT_EQ(fp.FITLIM(i, 1), lim[i - 1][0]) << i;
        EXPECT_EQ(fp.FITLIM(i, 2), lim[i - 1][1]) << i;
    }
    EXPECT_EQ(fp.RWPMAX, 25.0f);
    EXPECT_EQ(SCANHDR.ATTEN, 12.5f);
    EXPECT_EQ(WAVES.NWAVE, 2);
    EXPECT_EQ(WAVES.WAVE(1), 1.54056f);
    EXPECT_EQ(WAVES.WAVE(2), 1.54439f);
    EXPECT_EQ(fp.PKVALS(6, 1), 0.5f);  // two wavelengths keep the ratio
    const int iref[6] = {1, 1, 1, 1, 0, 0}, tflag[7] = {1, 1, 0, 1, 0, 0, 1}, parity[4] = {1, -1, 1, 1};
    for (int i = 1; i <= 6; ++i) EXPECT_EQ(fp.IREF(i), iref[i - 1]);
    for (int i = 1; i <= 7; ++i) EXPECT_EQ(fp.TFLAG(i), tflag[i - 1]);
    for (int i = 1; i <= 4; ++i) EXPECT_EQ(GONIO.PARITY(i), parity[i - 1]);
    EXPECT_EQ(MONOCH.MONO_TYPE, 1);
    EXPECT_EQ(MONOCH.MONO_2THETA, 13.0f);
    EXPECT_EQ(MONOCH.MONO_DIHEDRAL, 90.0f);
    EXPECT_EQ(MONOCH.MONO_SENSE, 1);
    EXPECT_EQ(FIXEDBG.IBGTYPE, 2);
    EXPECT_EQ(fp.PKVALS(1, 1), 1.5f);
    EXPECT_EQ(fp.PKVALS(1, 2), 0.05f);
    EXPECT_EQ(fp.PKVALS(1, 3), 3.2f);
    EXPECT_EQ(GONIO.GONCON1, 250.0f);
    EXPECT_EQ(GONIO.GONCON2, 180.0f);
    EXPECT_EQ(UNITCELL.IBL(1), 2);
    EXPECT_EQ(UNITCELL.IBL(2), -1);
    EXPECT_EQ(UNITCELL.IBL(3), 3);
    for (int i = 1; i <= 6; ++i) EXPECT_EQ(fp.IDEF(i), 0);
    // Start values of the fit.
    EXPECT_EQ(fp.VALS(2), 0.05f);
    EXPECT_EQ(fp.VALS(5), 0.5f);
    EXPECT_EQ(fp.VALS(6), 0.5f);
    // Monochromator shift in degrees, with its own degree constant.
    const float t = 13.0f * 0.5f / 57.295776f;
    const float shift = std::asin(1.54439f / 1.54056f * std::sin(t)) * 57.295776f - 6.5f;
    EXPECT_EQ(MONOCH.MONO_SHIFT, shift);
    EXPECT_GT(shift, 0.0f);
    EXPECT_TRUE(boxes().empty());
}

TEST_F(ParameterFile, OptionalKeysReturnToTheirDefaultsOnEveryReading) {
    ASSERT_EQ(read_par(with(MANDATORY, {"BACKGR 3 7", "GONCON 250.0 180.0", "BLAXES 3 1 2"})), RETURNED);
    EXPECT_EQ(FIXEDBG.NSTEP_BG, 7);
    FITPAR.PKVALS(1, 1) = 4.0f;
    rt::unit_close(3);
    ASSERT_EQ(read_par(MANDATORY), RETURNED);
    EXPECT_EQ(FIXEDBG.IBGTYPE, 3);
    EXPECT_EQ(FIXEDBG.NSTEP_BG, 5);
    EXPECT_EQ(GONIO.GONCON1, 200.0f);
    EXPECT_EQ(GONIO.GONCON2, 200.0f);
    EXPECT_EQ(UNITCELL.IBL(1), 1);
    EXPECT_EQ(UNITCELL.IBL(2), 2);
    EXPECT_EQ(UNITCELL.IBL(3), 3);
    EXPECT_EQ(FITPAR.PKVALS(1, 1), 4.0f);  // kept when no BACKGR line gives it
}

TEST_F(ParameterFile, KeywordMatchingAndValueLists) {
    struct Case {
        const char* what;
        std::vector<std::string> lines;
        int nwave;
        float ratio;
        float atten;
        int mono_type;
    };
    const Case cases[] = {
        {"lower-case keyword, one wavelength clears the ratio",
         with(without(MANDATORY, "WAVEL"), {"wavel  1 0.71073 0.71359 0.5"}), 1, 0.0f, 12.5f, 1},
        {"MONOCH is read as MONO", with(without(MANDATORY, "MONO"), {"MONOCH 1 13.0 90.0 1"}), 2, 0.5f, 12.5f, 1},
        {"a slash after the values starts a comment", with(without(MANDATORY, "ATTEN"), {"ATTEN  9.0 / 12,5 x"}), 2,
         0.5f, 9.0f, 1},
        {"commas, tabs, a comment line, a blank keyword and a later key winning",
         with(MANDATORY, {"      PKPAR 9 9 9", "COMMENT line of text", "MONO\t\t0,\t13.0,90.0,0", "ATTEN  2.0,"}), 2, 0.5f,
         2.0f, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        rt::units_close_all();
        SCANHDR.ATTEN = -3.0f;
        ASSERT_EQ(read_par(c.lines, "\n"), RETURNED);
        EXPECT_EQ(WAVES.NWAVE, c.nwave);
        EXPECT_EQ(FITPAR.PKVALS(6, 1), c.ratio);
        EXPECT_EQ(SCANHDR.ATTEN, c.atten);
        EXPECT_EQ(MONOCH.MONO_TYPE, c.mono_type);
        EXPECT_EQ(FITPAR.PKVALS(2, 1), 0.05f);
    }
    EXPECT_TRUE(boxes().empty());
}

TEST_F(ParameterFile, UnreadableValuesAndMissingKeysNameTheFileAndTheLine) {
    struct Case {
        const char* what;
        std::vector<std::string> lines;
        std::string message;
    };
    const std::vector<std::string> no_mono = without(MANDATORY, "MONO");
    const std::string at9 = "Error reading inst at line 9: ";
    const std::string missing = "Error reading inst: the file has no ";
    const Case cases[] = {
        // The values begin in column 7: the type in column 6 is not read.
        {"value of MONO starting in column 6", with(no_mono, {"MONO 1 13.0 90.0 1"}),
         "Error reading inst at line 8: the MONO line holds 3 values; it takes 4"},
        {"a value left out between two commas", with(without(MANDATORY, "PARITY"), {"PARITY 1,,1,1"}),
         "Error reading inst at line 8: unreadable value in the PARITY line"},
        {"a slash before the last value", with(without(MANDATORY, "ATTEN"), {"ATTEN  / 9.0"}),
         "Error reading inst at line 8: the ATTEN line holds no value; it takes 1"},
        {"the example's WAVEL line with a decimal comma", with(without(MANDATORY, "WAVEL"), {"WAVEL  2 0.7093 0.71359 0,5"}),
         "Error reading inst at line 8: the WAVEL line holds 5 values; it takes 4 (a comma separates two values: "
         "decimals take a point)"},
        {"flags other than 0 or 1", with(without(MANDATORY, "RFLAGS"), {"RFLAGS 7 -3 1 1 0 0"}),
         "Error reading inst at line 8: in the RFLAGS line, a refine flag must be a whole number from 0 to 1 (the file "
         "gives 7)"},
        {"a test flag of 2", with(without(MANDATORY, "TFLAGS"), {"TFLAGS 1 1 2 1 0 0 1"}),
         "Error reading inst at line 8: in the TFLAGS line, a test flag must be a whole number from 0 to 1 (the file "
         "gives 2)"},
        {"no attenuation", with(without(MANDATORY, "ATTEN"), {"ATTEN  0"}),
         "Error reading inst at line 8: in the ATTEN line, the attenuator factor must be above 0 and at most 1000000 "
         "(the file gives 0)"},
        {"values beyond column 80", with(MANDATORY, {"FITLIM 0 1000 0.01 0.5 0 1e6 -0.2 0.2 0 1 0.3 0.7" +
                                                      std::string(29, ' ') + "25.0"}),
         "Error reading inst at line 9: the FITLIM line goes on beyond column 80, which is not read"},
        {"a negative distance", with(MANDATORY, {"GONCON -5 200"}),
         "Error reading inst at line 9: in the GONCON line, a goniometer distance must be at least 10 and at most 5000 "
         "mm (the file gives -5)"},
        {"a huge distance", with(MANDATORY, {"GONCON 200 1e30"}),
         "Error reading inst at line 9: in the GONCON line, a goniometer distance must be at least 10 and at most 5000 "
         "mm (the file gives 1e+30)"},
        {"decimal point in an integer", with(without(MANDATORY, "RFLAGS"), {"RFLAGS 1 1 1.0 1 0 0"}),
         "Error reading inst at line 8: unreadable value in the RFLAGS line"},
        {"a letter for a digit", with(without(MANDATORY, "ATTEN"), {"ATTEN  1O.5"}),
         "Error reading inst at line 8: unreadable value in the ATTEN line"},
        {"letters in a number", with(without(MANDATORY, "PKPAR"), {"PKPAR  0.05 abc 0.5"}),
         "Error reading inst at line 8: unreadable value in the PKPAR line"},
        {"unreadable BLAXES", with(MANDATORY, {"BLAXES 1 x 3"}), at9 + "unreadable value in the BLAXES line"},
        {"BACKGR model outside 0..3", with(MANDATORY, {"BACKGR 7"}),
         at9 + "in the BACKGR line, the background model must be a whole number from 0 to 3 (the file gives 7)"},
        {"BACKGR model 3 without end steps", with(MANDATORY, {"BACKGR 3 0"}),
         at9 + "in the BACKGR line, the number of end steps must be a whole number from 1 to 99 (the file gives 0)"},
        {"a zero wavelength", with(MANDATORY, {"WAVEL  2 0.0 1.54439 0.5"}),
         at9 + "in the WAVEL line, the alpha1 wavelength must be above 0 and at most 10 A (the file gives 0)"},
        {"a negative alpha2 wavelength", with(MANDATORY, {"WAVEL  2 1.54056 -1.5 0.5"}),
         at9 + "in the WAVEL line, the alpha2 wavelength must be above 0 and at most 10 A (the file gives -1.5)"},
        {"a NUL in a line", with(MANDATORY, {std::string("GONCON 200\0 200", 15)}),
         at9 + "the line holds control characters"},
        {"PKPARS is not a key: PKPAR missing", with(without(MANDATORY, "PKPAR"), {"PKPARS 0.05 0.01 0.5"}),
         missing + "PKPAR line"},
        {"no TFLAGS", without(MANDATORY, "TFLAGS"), missing + "TFLAGS line"},
        {"an empty file", {}, missing + "PKPAR line"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        wl::script::load_lines({});
        rt::units_close_all();
        // The settings of a file read before stay in force.
        WAVES.WAVE(1) = 0.5f;
        SCANHDR.ATTEN = 2.0f;
        EXPECT_EQ(read_par(c.lines), kvtest::DAMAGED);
        EXPECT_EQ(kvtest::damaged_message(), c.message);
        EXPECT_TRUE(boxes().empty());
        EXPECT_EQ(WAVES.WAVE(1), 0.5f);
        EXPECT_EQ(SCANHDR.ATTEN, 2.0f);
    }
}

// Values that read but no instrument gives: the same ranges as the dialogs, the line named.
TEST_F(ParameterFile, ValuesOutsideTheirRangeNameTheLineAndChangeNoSetting) {
    const std::string at9 = "Error reading inst at line 9: ";
    const struct {
        const char* line;
        const char* what;  // empty: taken
    } cases[] = {
        {"WAVEL -3 3 7", "in the WAVEL line, the number of wavelengths must be a whole number from 1 to 2 (the file gives -3)"},
        {"WAVEL  1 2147483648 0 0", "in the WAVEL line, the alpha1 wavelength must be above 0 and at most 10 A (the "
                                    "file gives 2147483648)"},
        {"WAVEL  2 1.54056 1.54439 1.5",
         "in the WAVEL line, the alpha2/alpha1 ratio Iratio must be at least 0 and at most 1 (the file gives 1.5)"},
        {"WAVEL  1 10 0 0", ""},
        // MONO is matched on columns 1-4 and read from column 7: the type read is 2.
        {"MONO 7 2 1 7 1", "in the MONO line, the monochromator type must be a whole number from 0 to 1 (the file gives 2)"},
        {"MONO   1 13.0 90.0 7",
         "in the MONO line, the monochromator sense must be a whole number from -1 to 1 (the file gives 7)"},
        {"MONO   1 200 90.0 1",
         "in the MONO line, the monochromator 2theta must be at least -180 and at most 180 degrees (the file gives 200)"},
        {"MONO   0 -180 360 -1", ""},
        {"PKPAR  0 0.01 0.5",
         "in the PKPAR line, the FWHM coefficient a must be at least 0.001 and at most 10 degrees (the file gives 0)"},
        {"PKPAR  0.05 -0.01 0.5",
         "in the PKPAR line, the FWHM coefficient b must be at least 0 and at most 10 degrees (the file gives -0.01)"},
        {"PKPAR  0.05 0.01 2", "in the PKPAR line, eta must be at least 0 and at most 1 (the file gives 2)"},
        {"PKPAR  0.001 0 1", ""},
        {"ATTEN  -1", "in the ATTEN line, the attenuator factor must be above 0 and at most 1000000 (the file gives -1)"},
        {"PARITY 1 0 1 1", "in the PARITY line, a circle parity must be -1 or 1 (the file gives 0)"},
        {"PARITY -1 -1 -1 -1", ""},
        {"BACKGR 3 100", "in the BACKGR line, the number of end steps must be a whole number from 1 to 99 (the file gives 100)"},
        {"BACKGR 3 99", ""},
        {"BACKGR 2 1 5 0", "in the BACKGR line, the background coefficient b must be at least -1 and at most 1 per "
                           "degree (the file gives 5)"},
        {"FITLIM 0 1000 0.5 0.01 0 1e6 -0.2 0.2 0 1 0.3 0.7 25.0",
         "in the FITLIM line, the lower FWHM limit must be below the upper one (the file gives 0.5 and 0.01)"},
        {"FITLIM 0 1000 0.01 0.5 0 1e6 -0.2 0.2 0 1 0.3 0.7 0", "in the FITLIM line, the Rwp limit must be above 0 "
                                                                "and at most 100 (the file gives 0)"},
        // The Iratio test is off: its limits need no order.
        {"FITLIM 0 1000 0.01 0.5 0 1e6 -0.2 0.2 0 1 0.7 0.3 25.0", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        wl::script::load_lines({});
        rt::units_close_all();
        WAVES.WAVE(1) = 0.5f;
        MONOCH.MONO_TYPE = 0;
        if (*c.what == 0) {
            EXPECT_EQ(read_par(with(MANDATORY, {c.line})), RETURNED);
            continue;
        }
        EXPECT_EQ(read_par(with(MANDATORY, {c.line})), kvtest::DAMAGED);
        EXPECT_EQ(kvtest::damaged_message(), at9 + c.what);
        EXPECT_TRUE(boxes().empty());
        EXPECT_EQ(WAVES.WAVE(1), 0.5f);
        EXPECT_EQ(MONOCH.MONO_TYPE, 0);
    }
}

TEST_F(ParameterFile, UnreadableBackgroundOrDistancesNameTheLineAndChangeNoSetting) {
    const struct {
        const char* line;
        const char* what;
    } cases[] = {
        {"BACKGR 2 1.0 0.5", "the BACKGR line holds 3 values; it takes 4"},
        {"BACKGR", "the BACKGR line holds no value; it takes 1 to 4"},
        {"BACKGR 3", "the BACKGR line holds 1 value; it takes 2"},
        {"BACKGR two", "unreadable value in the BACKGR line"},
        {"GONCON 250.0", "the GONCON line holds 1 value; it takes 2"},
        {"GONCON 2x0 200", "unreadable value in the GONCON line"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        rt::units_close_all();
        // The settings of a file read before.
        ASSERT_EQ(read_par(with(MANDATORY, {"BACKGR 2 7.0 0.25 1.0", "GONCON 150 160", "BLAXES 2 -1 3"})), RETURNED);
        rt::units_close_all();
        const FITPAR_t fitpar = FITPAR;
        // Damaged after lines that change settings (WAVEL with one wavelength, ATTEN, PARITY).
        std::vector<std::string> lines = {"WAVEL  1 0.71073 0.71359 0.5", "ATTEN  3.5", "PARITY -1 1 1 1",
                                          "BLAXES 1 2 3", c.line};
        EXPECT_EQ(read_par(with(lines, MANDATORY)), kvtest::DAMAGED);
        EXPECT_EQ(kvtest::damaged_message(), std::string("Error reading inst at line 5: ") + c.what);
        EXPECT_TRUE(boxes().empty());
        EXPECT_EQ(WAVES.NWAVE, 2);
        EXPECT_EQ(SCANHDR.ATTEN, 12.5f);
        EXPECT_EQ(GONIO.PARITY(1), 1);
        EXPECT_EQ(GONIO.GONCON1, 150.0f);
        EXPECT_EQ(UNITCELL.IBL(1), 2);
        EXPECT_EQ(FIXEDBG.IBGTYPE, 2);
        EXPECT_EQ(FITPAR.PKVALS(1, 1), 7.0f);
        EXPECT_EQ(FITPAR.PKVALS(6, 1), fitpar.PKVALS(6, 1));
    }
}

TEST_F(ParameterFile, IllegalAxisMappingFallsBackToBusingLevyWithABox) {
    const std::string blaxes_box =
        BOX + "ERROR IN PAR FILE, ILLEGAL BLAXES, \t\t\t\t\tSET to Busing-Levy";
    for (const std::string line : {"BLAXES 1 2 4", "BLAXES 2 2 2", "BLAXES 0 3 3", "BLAXES 1 -1 3"}) {
        SCOPED_TRACE(line);
        wl::script::load_lines({});
        rt::units_close_all();
        ASSERT_EQ(read_par(with(MANDATORY, {line})), RETURNED);
        EXPECT_EQ(boxes(), std::vector<std::string>{blaxes_box});
        EXPECT_EQ(UNITCELL.IBL(1), 1);
        EXPECT_EQ(UNITCELL.IBL(2), 2);
        EXPECT_EQ(UNITCELL.IBL(3), 3);
    }
    // The box comes before the damaged-file error of a missing key.
    wl::script::load_lines({});
    rt::units_close_all();
    EXPECT_EQ(read_par(with(without(MANDATORY, "PARITY"), {"BLAXES 1 2 4"})), kvtest::DAMAGED);
    EXPECT_EQ(boxes(), (std::vector<std::string>{blaxes_box}));
}

TEST_F(ParameterFile, DefaultDistancesAndMonochromatorSenses) {
    struct Case {
        std::string goncon;
        std::string mono;
        float g1, g2;
        float shift_sign;  // 0: no shift
    };
    const Case cases[] = {
        {"GONCON 0.0 150.0", "MONO   1 13.0 90.0 1", 200.0f, 150.0f, 1.0f},
        {"GONCON 0 0", "MONO   1 -13.0 90.0 1", 200.0f, 200.0f, 1.0f},
        {"GONCON 10 5000", "MONO   1 13.0 90.0 -1", 10.0f, 5000.0f, -1.0f},
        {"GONCON 300 300", "MONO   0 13.0 90.0 0", 300.0f, 300.0f, 0.0f},
        // At a monochromator 2theta of 179.5 degrees alpha2 has no Bragg angle there: no shift.
        {"GONCON 300 300", "MONO   1 179.5 90.0 1", 300.0f, 300.0f, 0.0f},
    };
    const float t = 13.0f * 0.5f / 57.295776f;
    const float shift = std::asin(1.54439f / 1.54056f * std::sin(t)) * 57.295776f - 6.5f;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.goncon + " / " + c.mono);
        rt::units_close_all();
        ASSERT_EQ(read_par(with(without(MANDATORY, "MONO"), {c.goncon, c.mono})), RETURNED);
        EXPECT_EQ(GONIO.GONCON1, c.g1);
        EXPECT_EQ(GONIO.GONCON2, c.g2);
        EXPECT_EQ(MONOCH.MONO_SHIFT, c.shift_sign * shift);
    }
}

TEST_F(ParameterFile, EchoesEveryLineToTheLogAndClosesTheBlock) {
    ASSERT_EQ(kvtest::open_log(dir / "run_Kelvor.log"), rt::IOS_OK);
    FILEINFO.LOGOPEN = 1;
    const std::string long_line = "COMMENT " + std::string(80, 'x');
    ASSERT_EQ(read_par(with(MANDATORY, {"wavel  1 0.71073 0.71359 0.5", long_line})), RETURNED);
    rt::unit_close(20);
    std::string expect;
    for (const auto& l : with(MANDATORY, {"wavel  1 0.71073 0.71359 0.5", long_line})) {
        std::string s = l.substr(0, 80);
        s.resize(80, ' ');
        expect += s + "\r\n";
    }
    expect += "\r\n****************END OF PARAMETER FILE***************\r\n\r\n\r\n";
    EXPECT_EQ(kvtest::read_bytes(dir / "run_Kelvor.log"), expect);

    // A rejected file is echoed up to the failing line, without the closing block, and the log
    // says that it was refused.
    ASSERT_EQ(kvtest::open_log(dir / "bad_Kelvor.log"), rt::IOS_OK);
    rt::unit_close(3);
    EXPECT_EQ(read_par({"PKPAR  0.05 0.01 0.5", "ATTEN  x", "PARITY 1 1 1 1"}), kvtest::DAMAGED);
    rt::unit_close(20);
    std::string pk = "PKPAR  0.05 0.01 0.5", at = "ATTEN  x";
    pk.resize(80, ' ');
    at.resize(80, ' ');
    EXPECT_EQ(kvtest::read_bytes(dir / "bad_Kelvor.log"),
              pk + "\r\n" + at + "\r\n\r\n****************PARAMETER FILE REFUSED****************\r\n" +
                  " Error reading inst at line 2: unreadable value in the ATTEN line\r\n" +
                  " NONE OF ITS VALUES IS USED\r\n\r\n\r\n");
}

// ---- Every key of the key table ------------------------------------------------------------------

// A good line for every layout of every key, in the order of the key's layouts.
const std::map<std::string, std::vector<std::string>> GOOD_LINES = {
    {"PKPAR", {"PKPAR  0.05 0.01 0.5"}},
    {"FITLIM", {"FITLIM 0 1000 0.01 0.5 0 1e6 -0.2 0.2 0 1 0.3 0.7 25.0"}},
    {"ATTEN", {"ATTEN  12.5"}},
    {"WAVEL", {"WAVEL  1 0.71073 0.71359 0.5", "WAVEL  2 1.54056 1.54439 0.5"}},
    {"RFLAGS", {"RFLAGS 1 0 1 1 0 1"}},
    {"TFLAGS", {"TFLAGS 1 1 0 1 0 0 1"}},
    {"PARITY", {"PARITY 1 -1 1 -1"}},
    {"MONO", {"MONO   1 13.0 90.0 -1"}},
    {"BACKGR", {"BACKGR 0", "BACKGR 1", "BACKGR 2 1.5 0.05 3.2", "BACKGR 3 7"}},
    {"GONCON", {"GONCON 250.0 180.0"}},
    {"BLAXES", {"BLAXES 2 -1 3"}},
};

std::string word_of(const ParameterKey& key) {
    std::string w = key.word;
    while (!w.empty() && w.back() == ' ') w.pop_back();
    return w;
}

std::vector<std::string> split_values(const std::string& line) {
    std::istringstream in(line.substr(6));
    std::vector<std::string> out;
    for (std::string t; in >> t;) out.push_back(t);
    return out;
}

std::string line_of(const ParameterKey& key, const std::vector<std::string>& values) {
    std::string line = key.word;
    line.resize(6, ' ');
    for (const std::string& v : values) line += " " + v;
    return line;
}

// Numbers just outside a quantity's range, as a file would write them.
std::vector<double> outside(const QuantityRange& r) {
    std::vector<double> v;
    if (std::isfinite(r.low))
        v.push_back(r.low_open ? r.low : r.whole ? r.low - 1 : r.low - (r.low != 0 ? std::fabs(r.low) * 0.5 : 1));
    if (std::isfinite(r.high))
        v.push_back(r.high_open ? r.high : r.whole ? r.high + 1 : r.high + (r.high != 0 ? std::fabs(r.high) * 0.5 : 1));
    if (r.not_zero) v.push_back(0);
    return v;
}

// Every member the key table fills, as numbers, to see that a refused file changes none.
std::vector<double> members() {
    std::vector<double> out;
    for (const ParameterKey& key : PARAMETER_KEYS())
        for (const ParameterLayout& layout : key.layouts)
            for (const ParameterValue& v : layout.values) out.push_back(v.real ? double(*v.real) : double(*v.whole));
    return out;
}

TEST(ParameterKeys, TableListsTheMandatoryKeysFirstAndMembersOfTheirValuesKind) {
    const std::vector<ParameterKey>& keys = PARAMETER_KEYS();
    const std::vector<std::string> mandatory = {"PKPAR", "FITLIM", "ATTEN", "WAVEL", "RFLAGS", "TFLAGS", "PARITY", "MONO"};
    ASSERT_EQ(keys.size(), 11u);
    for (std::size_t k = 0; k < keys.size(); ++k) {
        SCOPED_TRACE(keys[k].word);
        EXPECT_EQ(keys[k].mandatory, k < mandatory.size());
        if (k < mandatory.size()) {
            EXPECT_EQ(word_of(keys[k]), mandatory[k]);
        }
        for (const ParameterLayout& layout : keys[k].layouts)
            for (const ParameterValue& v : layout.values) {
                EXPECT_EQ(v.whole != nullptr, range_of(v.q).whole);
                EXPECT_EQ(v.real != nullptr, !range_of(v.q).whole);
            }
    }
}

// Generated from the key table: for every key and layout, the good line is taken into its
// members; an extra value, a missing value, a decimal comma, and every value just outside its
// range (or not finite, or not whole) are refused with the file's line named, and no setting of
// the file read before changes.
TEST_F(ParameterFile, EveryKeyTakesExactlyItsValuesEachInItsRange) {
    for (const ParameterKey& key : PARAMETER_KEYS()) {
        const std::string word = word_of(key);
        SCOPED_TRACE(word);
        ASSERT_TRUE(GOOD_LINES.count(word)) << "no good line for the key";
        const std::vector<std::string>& good = GOOD_LINES.at(word);
        ASSERT_EQ(good.size(), key.layouts.size());
        const std::vector<std::string> others = without(MANDATORY, key.word);
        for (std::size_t l = 0; l < key.layouts.size(); ++l) {
            const ParameterLayout& layout = key.layouts[l];
            const std::vector<std::string> values = split_values(good[l]);
            ASSERT_EQ(values.size(), layout.values.size()) << good[l];
            if (layout.first != ANY_FIRST) {
                ASSERT_EQ(std::stoi(values[0]), layout.first);
            }
            const std::vector<std::string> lines = with(others, {good[l]});
            const std::string at = "Error reading inst at line " + std::to_string(lines.size()) + ": ";

            SCOPED_TRACE(good[l]);
            rt::units_close_all();
            ASSERT_EQ(read_par(lines), RETURNED);
            for (std::size_t i = 0; i < values.size(); ++i) {
                const ParameterValue& v = layout.values[i];
                if (v.q == Quantity::UnusedNumber) continue;
                if (v.whole) {
                    EXPECT_EQ(*v.whole, std::stoi(values[i])) << i;
                } else {
                    EXPECT_EQ(*v.real, std::stof(values[i])) << i;
                }
            }
            const std::vector<double> kept = members();

            const auto refused = [&](const std::vector<std::string>& vals, const std::string& message) {
                const std::string line = line_of(key, vals);
                SCOPED_TRACE(line);
                rt::units_close_all();
                wl::script::load_lines({});
                EXPECT_EQ(read_par(with(others, {line})), kvtest::DAMAGED);
                EXPECT_EQ(kvtest::damaged_message(), at + message);
                EXPECT_TRUE(boxes().empty());
                EXPECT_EQ(members(), kept);
            };
            const std::string n = std::to_string(values.size());
            std::vector<std::string> more = values;
            more.push_back("1");
            refused(more, "the " + word + " line holds " + std::to_string(values.size() + 1) + " values; it takes " + n);
            if (values.size() > 1) {
                std::vector<std::string> fewer(values.begin(), values.end() - 1);
                refused(fewer, "the " + word + " line holds " + std::to_string(fewer.size()) +
                                   (fewer.size() == 1 ? " value" : " values") + "; it takes " + n);
            }
            for (std::size_t i = 0; i < values.size(); ++i) {
                const ParameterValue& v = layout.values[i];
                const QuantityRange r = range_of(v.q);
                SCOPED_TRACE(r.name);
                std::vector<std::string> vals = values;
                if (!r.whole) {
                    // A decimal comma: one more value than the key takes.
                    vals[i] = values[i].find('.') != std::string::npos
                                  ? values[i].substr(0, values[i].find('.')) + "," + values[i].substr(values[i].find('.') + 1)
                                  : values[i] + ",5";
                    refused(vals, "the " + word + " line holds " + std::to_string(values.size() + 1) +
                                      " values; it takes " + n + " (a comma separates two values: decimals take a point)");
                    vals[i] = "1e39";  // beyond a 32-bit real
                    refused(vals, "unreadable value in the " + word + " line");
                } else {
                    vals[i] = "0.5";
                    refused(vals, "unreadable value in the " + word + " line");
                }
                for (const double x : outside(r)) {
                    vals[i] = shown_number(x);
                    refused(vals, "in the " + word + " line, " + range_rule(r) + " (the file gives " + shown_number(x) + ")");
                }
            }
        }
    }
}

}  // namespace
