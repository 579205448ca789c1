// Every place that shows an esd shows it by the one rule: the fitting dialog's esd column, the
// cell results box, the cell refinement's log line, the CIF's cell items and the FWHM
// calibration's dialog. One table of cases, literal texts, walked through every place.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "include/geometry.h"
#include "include/profile_fit.h"
#include "params_ui.h"
#include "shell/format_esd.h"
#include "shell/kelvor_main.h"

namespace {

constexpr float NaN = std::numeric_limits<float>::quiet_NaN();
constexpr float INF = std::numeric_limits<float>::infinity();

struct EsdCase {
    float value, esd;
    const char* esd_text;  // in the dialogs and the log
    const char* cif;       // the CIF's value(esd)
};

// The crystallographic convention of the CIF: the esd rounded up to one significant digit, to
// two while they read 19 or less; the value to the esd's last digit.
const EsdCase CASES[] = {
    {5.43213f, 0.00034f, "0.0004", "5.4321(4)"},
    {12.3456f, 0.0015f, "0.0015", "12.3456(15)"},
    {12.3456f, 0.0095f, "0.010", "12.346(10)"},
    {12.3456f, 0.1f, "0.10", "12.35(10)"},
    {12.3456f, 0.2f, "0.2", "12.3(2)"},
    {7.2f, 0.0012f, "0.0012", "7.2000(12)"},
    {12.3456f, 1.0f, "1.0", "12.3(10)"},
    {1234.567f, 1.2f, "1.2", "1234.6(12)"},
    {1234.567f, 2.5f, "3", "1235(3)"},
    {1234.567f, 15.0f, "15", "1235(15)"},
    {1234.567f, 25.0f, "30", "1230(30)"},
    {1234.567f, 123.4f, "130", "1230(130)"},
    // A held value, and esds that cannot be stated.
    {90.0f, 0.0f, "fixed", "90.0000"},
    {12.3456f, NaN, "none", "?"},
    {12.3456f, -0.002f, "none", "?"},
    {12.3456f, INF, "none", "?"},
};

// One place: what it shows for seven esds (as many as it has fields; the first ones used).
struct Place {
    const char* name;
    std::function<std::vector<std::string>(const float (&esd)[7])> shown;
};

std::vector<std::string> words(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> out;
    for (std::string t; in >> t;) out.push_back(t);
    return out;
}

class EsdPlaces : public kvtest::BuiltUi {
protected:
    static std::vector<Place> places() {
        return {
        {"fitting dialog, Esd column",
         [](const float (&esd)[7]) {
             for (int p = 1; p <= 6; ++p) FITPAR.SIGVAL(p) = esd[p - 1];
             WRITE_REFINED_PARAMETERS();
             std::vector<std::string> out;
             for (int p = 1; p <= 6; ++p) out.push_back(w(4, 50 + p).text);
             return out;
         }},
        {"cell results box",
         [](const float (&esd)[7]) {
             for (int k = 1; k <= 7; ++k) UNITCELL.ESD(k) = esd[k - 1];
             script({"press 631"});
             RUN_RESULTS_BOX(3);
             std::vector<std::string> out;
             for (int k = 1; k <= 7; ++k) out.push_back(w(6, 38 + k).text);
             return out;
         }},
        {"cell refinement log, ESDs line",
         [](const float (&esd)[7]) {
             rt::FArray<float, 7> e;
             for (int k = 1; k <= 7; ++k) e(k) = esd[k - 1];
             return words(CELL_ESDS_RECORD(e));
         }},
        };
    }
};

TEST_F(EsdPlaces, EveryPlaceShowsTheEsdByTheOneRule) {
    for (const Place& place : places()) {
        SCOPED_TRACE(place.name);
        for (const EsdCase& c : CASES) {
            SCOPED_TRACE(c.esd_text);
            const float esd[7] = {c.esd, c.esd, c.esd, c.esd, c.esd, c.esd, c.esd};
            for (const std::string& t : place.shown(esd)) EXPECT_EQ(t, c.esd_text);
        }
    }
}

// The results box shows each value beside its esd to the esd's last digit, as the CIF does.
TEST_F(EsdPlaces, TheResultsBoxShowsEachValueToItsEsdsLastDigit) {
    for (const EsdCase& c : CASES) {
        SCOPED_TRACE(c.cif);
        for (int k = 1; k <= 7; ++k) {
            UNITCELL.CELL(k) = c.value;
            UNITCELL.ESD(k) = c.esd;
        }
        script({"press 631"});
        RUN_RESULTS_BOX(3);
        const std::string cif = c.cif;
        // Without an esd to round to: the five decimals of the a row.
        const std::string value = cif == "?" ? "12.34560" : cif == "90.0000" ? "90.00000" : cif.substr(0, cif.find('('));
        EXPECT_EQ(w(6, 32).text + " " + w(6, 39).text, value + " " + c.esd_text);
    }
}

// The log keeps its columns: each esd right-aligned under its cell value (9, 9, 9, 8, 8, 8, 10
// columns); one too long for them takes the same digits in E form.
TEST_F(EsdPlaces, TheLogLineKeepsTheCellColumns) {
    rt::FArray<float, 7> e;
    const float esd[7] = {0.00034f, 0.0015f, 1.14e-7f, 0.0f, 25.0f, NaN, 2.5f};
    for (int k = 1; k <= 7; ++k) e(k) = esd[k - 1];
    EXPECT_EQ(CELL_ESDS_RECORD(e), "   0.0004   0.0015  1.2E-07   fixed      30    none         3");
}

// The CIF's cell items: every case through FORMAT_VALUE and through the file itself.
TEST_F(EsdPlaces, TheCifWritesTheSameRoundingAsValueAndEsd) {
    for (const EsdCase& c : CASES) {
        SCOPED_TRACE(c.cif);
        float value = c.value;
        rt::FText<20> out;
        FORMAT_VALUE(value, c.esd, out);
        std::string text(out.trimmed());
        while (!text.empty() && text.front() == ' ') text.erase(0, 1);
        EXPECT_EQ(text, c.cif);
    }
    FILEINFO.IN_FULLNAME = (dir / "abc.dat").string();
    UNITCELL.UBOK = 1;
    const std::size_t n = sizeof CASES / sizeof CASES[0];
    for (std::size_t first = 0; first < n; first += 7) {
        for (int k = 1; k <= 7; ++k) {
            const EsdCase& c = CASES[std::min(first + std::size_t(k - 1), n - 1)];
            UNITCELL.CELL(k) = c.value;
            UNITCELL.ESD(k) = c.esd;
        }
        CREATE_CIF_KELVOR();
        const std::string cif = kvtest::read_bytes(dir / "abc_kelvor.cif");
        const char* items[7] = {"_cell_length_a",   "_cell_length_b",   "_cell_length_c",  "_cell_angle_alpha",
                                "_cell_angle_beta", "_cell_angle_gamma", "_cell_volume"};
        for (int k = 1; k <= 7; ++k) {
            const EsdCase& c = CASES[std::min(first + std::size_t(k - 1), n - 1)];
            SCOPED_TRACE(items[k - 1]);
            const std::size_t at = cif.find(std::string(items[k - 1]) + " ");
            ASSERT_NE(at, std::string::npos);
            const std::vector<std::string> line = words(cif.substr(at, cif.find('\n', at) - at));
            ASSERT_EQ(line.size(), 2u);
            EXPECT_EQ(line[1], c.cif);
        }
    }
}

// The FWHM calibration's esds: with two equally weighted widths at 2theta 0 and 90 degrees the
// line's esds are the widths' esd s (constant) and s sqrt(2) (tan(theta) coefficient).
TEST_F(EsdPlaces, TheFwhmDialogShowsItsEsdsByTheOneRule) {
    const struct {
        float s;
        const char* constant;
        const char* coefficient;
    } cases[] = {
        {0.00034f, "0.0004", "0.0005"},  // 0.00048
        {0.0149f, "0.015", "0.03"},      // 0.0211
        {0.0031f, "0.004", "0.005"},     // 0.0044
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.constant);
        FITVALS.NFIT = 2;
        FITVALS.IPREPROC = 1;
        const float tth[2] = {0.0f, 90.0f}, fwhm[2] = {0.1f, 0.2f};
        for (int n = 1; n <= 2; ++n) {
            FITVALS.ANGLESFIT(n, 1) = tth[n - 1];
            FITVALS.FWHMFIT(n, 1) = fwhm[n - 1];
            FITVALS.FWHMFIT(n, 2) = c.s;
        }
        script({"press 64"});
        FIT_GAMMA();
        EXPECT_EQ(w(6, 6).text, c.constant);
        EXPECT_EQ(w(6, 7).text, c.coefficient);
    }
    // One 2theta only: no line, and no esd to show.
    FITVALS.ANGLESFIT(2, 1) = 0.0f;
    script({"press 64"});
    FIT_GAMMA();
    EXPECT_EQ(w(6, 6).text, "none");
    EXPECT_EQ(w(6, 7).text, "none");
}

}  // namespace
