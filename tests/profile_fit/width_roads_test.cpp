// Every road of the program that sets a peak width or takes one as a fit's result, walked with a
// width that makes no peak (0 or less somewhere in the data set): the roads that set the width
// rule refuse such a rule, the start values from the rule in force are peaks at every reflection,
// and the roads that fit a reflection never accept a width of 0 or less, whatever rule the fit
// started from. The data set is the main road's (tests/fixtures/specs/mainroad.spec), loaded with
// the program's windows.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "include/fwhm_rule.h"
#include "manual_loaded_set.h"
#include "runtime/fatal.h"

namespace {

// A rule negative over most of the data set (2theta 6 to 24): 0 at 2theta 12.
const float kNegA = 0.05f, kNegB = -0.05f / FWHM_RULE_TAN(12.0f);
// The rule of the data set's parameter file.
constexpr float kFileA = 0.18f, kFileB = 0.06f;

class WidthRoads : public kvtest::LoadedSet {
public:
    using LoadedSet::dir;
    using LoadedSet::open_output;
    using LoadedSet::read;
    using LoadedSet::script;
    using LoadedSet::transcript;

protected:
    void SetUp() override {
        LoadedSet::SetUp();
        load();
    }

public:
    static bool rule_is(float a, float b) { return FITPAR.PKVALS(2, 1) == a && FITPAR.PKVALS(2, 2) == b; }
    // A rule that makes no peak in part of the data set in force, as if it had come from elsewhere: the fits
    // below must refuse what it leads to.
    static void force_negative_rule() {
        FITPAR.PKVALS(2, 1) = kNegA;
        FITPAR.PKVALS(2, 2) = kNegB;
    }
    // The width starts from the rule (its default flag on), every test off but the Rwp's.
    static void start_from_rule() {
        gmSetToggleSwitch(GRAPHICS.IWID(4, 62), 1);
        for (int k = 71; k <= 76; ++k) gmSetToggleSwitch(GRAPHICS.IWID(4, k), 0);
    }
    // Every reflection of the data set in turn as the current one.
    template <class F>
    static void each_reflection(F f) {
        for (int n = 1; n <= kvtest::MAINROAD_REFLECTIONS; ++n) {
            read(STD_BY_NUMBER, n);
            SCOPED_TRACE(testing::Message() << "reflection " << n << ", 2theta " << REFLN.ANGL(1));
            f();
        }
    }
    // The widths of the "Rfine extended" entries written, by their status characters.
    struct Entry {
        std::string flags;
        double fwhm;
    };
    std::vector<Entry> extended_entries() {
        std::vector<Entry> out;
        const std::vector<std::string> lines = written();
        for (std::size_t r = 0; r + 3 < lines.size(); r += 4) {
            EXPECT_EQ(lines[r + 2].rfind("PARAMETERS", 0), 0u) << lines[r + 2];
            out.push_back({lines[r].substr(70, 6), std::stod(lines[r + 2].substr(20, 10))});
        }
        return out;
    }
    // No entry accepted with a width of 0 or less: each is rejected, with "W" unless its fit
    // failed first ("E", "C", "D"); counts those rejected with "W".
    static void no_accepted_nonpeak(const std::vector<Entry>& entries, int& rejected_w) {
        for (const Entry& e : entries) {
            if (e.fwhm <= 0.0) {
                EXPECT_EQ(e.flags[1], 'R') << e.flags << " " << e.fwhm;
                EXPECT_NE(std::string("WECD").find(e.flags[2]), std::string::npos) << e.flags;
                rejected_w += e.flags[2] == 'W';
            }
            if (e.flags[1] == 'F') {
                EXPECT_GT(e.fwhm, 0.0) << e.flags;
            }
        }
    }
};

struct Road {
    const char* name;
    std::function<void(WidthRoads&)> walk;
};

// The table: every road that sets the width rule or a start width, or takes a fitted width.
const std::vector<Road>& roads() {
    static const std::vector<Road> table = {
        {"the parameter file's PKPAR line (also \"Reset to Defaults\")",
         [](WidthRoads& t) {
             std::string par = kvtest::read_bytes(t.dir / "mainroad.par");
             const std::string key = "PKPAR  0.18 0.06 0";
             const std::size_t at = par.find(key);
             ASSERT_NE(at, std::string::npos) << par;
             par.replace(at, key.size(), "PKPAR  0.05 -0.4 0");
             kvtest::write_bytes(t.dir / "negative.par", par);
             rt::unit_close(3);
             ASSERT_EQ(kvtest::open_read(3, t.dir / "negative.par"), rt::IOS_OK);
             EXPECT_THROW(READ_PARAMETERS(0), rt::InputError);
             EXPECT_TRUE(WidthRoads::rule_is(kFileA, kFileB));
         }},
        {"\"Pkvals\" Save + Exit",
         [](WidthRoads&) {
             WidthRoads::script({"set 5 32 0.05", "set 5 33 -0.2", "press 541", "press 531"});
             int quit = 0;
             RUN_PKVALS(quit);
             EXPECT_EQ(quit, 1);
             EXPECT_TRUE(WidthRoads::rule_is(kFileA, kFileB));
         }},
        {"\"Calc FWHM\" Save values",
         [](WidthRoads&) {
             // Rows at 2theta 5 to 10 on that rule; the data set reaches beyond 2theta 12, where
             // the line is below 0.
             FITVALS.NFIT = 3;
             const float tth[3] = {5.0f, 7.5f, 10.0f};
             for (int n = 1; n <= 3; ++n) {
                 FITVALS.ANGLESFIT(n, 1) = tth[n - 1];
                 FITVALS.FWHMFIT(n, 1) = FWHM_RULE_AT(kNegA, kNegB, FWHM_RULE_TAN(tth[n - 1]));
                 FITVALS.FWHMFIT(n, 2) = 0.001f;
             }
             FITVALS.IPREPROC = 1;
             SET_SCANCODES_ZERO();
             WidthRoads::each_reflection([] { NOTE_REFLECTION_ANGLE(REFLN.ANGL(1)); });
             ASSERT_GT(TOTALS.TANHIGH, FWHM_RULE_TAN(12.0f));
             WidthRoads::script({"press 65", "press 64"});
             FIT_GAMMA();
             EXPECT_TRUE(WidthRoads::rule_is(kFileA, kFileB));
         }},
        {"start values from the rule in force (SET_FIT_PARAMETERS, SET_DEFAULT_PARAMETERS)",
         [](WidthRoads&) {
             WidthRoads::start_from_rule();
             WidthRoads::each_reflection([] {
                 SET_FIT_PARAMETERS();
                 EXPECT_TRUE(WIDTH_MAKES_A_PEAK(FITPAR.VALS(2))) << FITPAR.VALS(2);
                 SET_DEFAULT_PARAMETERS();
                 EXPECT_TRUE(WIDTH_MAKES_A_PEAK(FITPAR.VALS(2))) << FITPAR.VALS(2);
             });
         }},
        {"the fit of one reflection (FITSCAN), and its second pass with the position held",
         [](WidthRoads&) {
             WidthRoads::force_negative_rule();
             WidthRoads::start_from_rule();
             int rejected_w = 0;
             for (int ifix : {0, 1}) {
                 WidthRoads::each_reflection([&] {
                     SET_FIT_PARAMETERS();
                     READ_FIT_PARAMETERS();
                     int ierr = 0;
                     FITSCAN(ifix, ierr);
                     if (!WIDTH_MAKES_A_PEAK(FITPAR.VALS(2))) {
                         EXPECT_EQ(REFLN.FLAG(2), 'R');
                         EXPECT_TRUE(REFLN.FLAG(3) == 'W' || REFLN.FLAG(3) == 'E' || REFLN.FLAG(3) == 'C' ||
                                     REFLN.FLAG(3) == 'D')
                             << REFLN.FLAG(3);
                         rejected_w += REFLN.FLAG(3) == 'W';
                     }
                     if (REFLN.FLAG(2) == 'F') {
                         EXPECT_GT(FITPAR.VALS(2), 0.0f);
                     }
                 });
             }
             EXPECT_GT(rejected_w, 0);
         }},
        {"the preprocessing pass (fitted-reflection table)",
         [](WidthRoads&) {
             WidthRoads::force_negative_rule();
             WidthRoads::read(STD_BY_NUMBER, 1);
             WidthRoads::script({"toggle 4 62 1", "press 53", "run"});
             START_PREPROCESS();
             for (int n = 1; n <= FITVALS.NFIT; ++n) EXPECT_GT(FITVALS.FWHMFIT(n, 1), 0.0f) << n;
         }},
        {"the automatic pass (integrated data file)",
         [](WidthRoads& t) {
             WidthRoads::force_negative_rule();
             t.open_output();
             FILEINFO.OUT_FORMAT = 2;
             WidthRoads::read(STD_BY_NUMBER, 1);
             // "Pkvals" shows the rule in force; Save + Exit keeps it (nothing typed).
             WidthRoads::script({"press 541", "toggle 4 62 1", "set 1 7 1", "press 108", "press 118", "run"});
             START_AUTO_FIT();
             ASSERT_TRUE(WidthRoads::rule_is(kNegA, kNegB));
             int rejected_w = 0;
             const std::vector<WidthRoads::Entry> entries = t.extended_entries();
             EXPECT_GE(entries.size(), std::size_t(kvtest::MAINROAD_REFLECTIONS - 1));
             WidthRoads::no_accepted_nonpeak(entries, rejected_w);
             EXPECT_GT(rejected_w, 0);
         }},
        {"the manual pass's Accept",
         [](WidthRoads& t) {
             WidthRoads::force_negative_rule();
             t.open_output();
             FILEINFO.OUT_FORMAT = 2;
             WidthRoads::read(STD_BY_NUMBER, 1);
             std::vector<std::string> lines = {"toggle 4 62 1"};
             // Accept, and "Next" where Accept refused a fit without an intensity esd (an accepted
             // one has already moved on: every other reflection may be passed over).
             for (int n = 1; n < kvtest::MAINROAD_REFLECTIONS / 2; ++n) {
                 lines.push_back("press 111");
                 lines.push_back("press 103");
             }
             lines.push_back("press 101");
             WidthRoads::script(lines);
             START_MANUAL_FIT();
             int rejected_w = 0;
             const std::vector<WidthRoads::Entry> entries = t.extended_entries();
             EXPECT_GE(entries.size(), std::size_t(4)) << kvtest::join(WidthRoads::transcript(), "\n");
             WidthRoads::no_accepted_nonpeak(entries, rejected_w);
             EXPECT_GT(rejected_w, 0);
         }},
    };
    return table;
}

class WidthRoad : public WidthRoads, public ::testing::WithParamInterface<std::size_t> {};

TEST_P(WidthRoad, NoWidthThatMakesNoPeakIsSavedStartedFromOrAccepted) {
    const Road& road = roads()[GetParam()];
    SCOPED_TRACE(road.name);
    road.walk(*this);
}

INSTANTIATE_TEST_SUITE_P(EveryRoad, WidthRoad, ::testing::Range(std::size_t(0), roads().size()));

}  // namespace
