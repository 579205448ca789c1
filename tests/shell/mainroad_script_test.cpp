// The main road as a user walks it, through kelvor-script as a process: open the generated data
// set and its parameter file, "Auto profile fit" with a new output file, the position's default
// flag on, Start, the ticks to the end, Exit. The integrated data file is checked line by line
// against what the generator built each scan from, and the fit summary in the log against it.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "../scan_input/test_files.h"

namespace {

namespace fs = std::filesystem;

const std::string TITLE = "Kelvorantide v3.72";

struct Truth {
    int iseq = 0, h = 0, k = 0, l = 0;
    char code = ' ';
    double tth = 0, intensity = 0;
    std::string bad;
};

// The generator's truth file: one line per scan after a heading comment.
std::vector<Truth> read_truth(const fs::path& p) {
    std::vector<Truth> out;
    std::istringstream in(kvtest::read_bytes(p));
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream f(line);
        std::vector<std::string> w;
        for (std::string s; f >> s;) w.push_back(s);
        Truth t;
        t.iseq = std::stoi(w[0]);
        t.h = std::stoi(w[1]);
        t.k = std::stoi(w[2]);
        t.l = std::stoi(w[3]);
        t.code = w[4][0];
        t.tth = std::stod(w[6]);
        t.intensity = std::stod(w[18]);
        t.bad = w.back();
        out.push_back(t);
    }
    return out;
}

// One "Rfine" entry: 3I3, 2F8.4, 2F8.3, 1X, F11.x, 1X, F7.x, F7.0, 2X, A6, I3.
struct Entry {
    int h = 0, k = 0, l = 0, iseq = 0;
    double tth = 0, intensity = 0, sigma = 0;
    std::string flags;
};

std::vector<Entry> read_int(const fs::path& p) {
    std::vector<Entry> out;
    const std::string text = kvtest::read_bytes(p);
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = text.find("\r\n", at);
        if (end == std::string::npos) break;
        const std::string line = text.substr(at, end - at);
        at = end + 2;
        Entry e;
        e.h = std::stoi(line.substr(0, 3));
        e.k = std::stoi(line.substr(3, 3));
        e.l = std::stoi(line.substr(6, 3));
        e.tth = std::stod(line.substr(9, 8));
        e.intensity = std::stod(line.substr(42, 11));
        e.sigma = std::stod(line.substr(54, 7));
        e.iseq = std::stoi(line.substr(61, 6)) / 10;
        e.flags = line.substr(70, 6);
        out.push_back(e);
    }
    return out;
}

// Inverse Lorentz-polarisation factor without a monochromator, in double precision.
double lp_inverse(double tth) {
    const double t = std::fabs(tth) * M_PI / 180.0;
    return 2.0 * std::sin(t) / (1.0 + std::cos(t) * std::cos(t));
}

// The number at the end of the log line that starts with label (after blanks), or -1.
int logged_count(const std::string& log, const std::string& label) {
    std::istringstream in(log);
    std::string line;
    while (std::getline(in, line)) {
        const std::size_t first = line.find_first_not_of(' ');
        if (first == std::string::npos || line.compare(first, label.size(), label) != 0) continue;
        std::istringstream rest(line.substr(first + label.size()));
        int n = -1;
        rest >> n;
        return n;
    }
    return -1;
}

TEST(MainRoad, AutomaticFitOfAGeneratedDataSetThroughTheScriptDriver) {
    const fs::path exe = kvtest::kelvor_script_path();
    if (!fs::exists(exe)) GTEST_SKIP() << "kelvor-script is not built";
    const fs::path dir = kvtest::test_dir();
    const fs::path fx = fs::path(KV_BINARY_DIR) / "fixtures";
    for (const char* ext : {".rfl", ".par", ".truth"})
        fs::copy_file(fx / (std::string("mainroad") + ext), dir / (std::string("mainroad") + ext));
    fs::create_directories(dir / "module");
    kvtest::write_bytes(dir / "go.txt", kvtest::join({"file mainroad.rfl 1", "press 470", "file mainroad.par",
                                                      "press 322", "answer 6", "file out.int", "press 541",
                                                      "toggle 4 64 1", "press 118", "run", "press 101", "answer 2"},
                                                     "\n"));
    ASSERT_EQ(kvtest::run_kelvor_script(dir), 0) << kvtest::read_bytes(dir / "stderr.txt");

    const std::string shown = kvtest::read_bytes(dir / "shown.txt");
    for (const std::string& l :
         {"ask " + TITLE + " | No output datafile is open. Do you want to open a file? -> 6\n",
          "file " + TITLE + ": Open Output Data File -> " + fs::canonical(dir).string() + "/out.int\n", "show " + TITLE + ": Fitting Controls & Results\n",
          "box " + TITLE + " | End of File: 20 reflections written to out.int\nhide " + TITLE +
              ": Fitting Controls & Results\n"})
        EXPECT_NE(shown.find(l), std::string::npos) << l << "\n" << shown;

    // Every scan in file order, accepted with its intensity within the esds, or rejected where
    // the generator spoiled it.
    const std::vector<Truth> truth = read_truth(dir / "mainroad.truth");
    const std::vector<Entry> entries = read_int(dir / "out.int");
    ASSERT_EQ(entries.size(), truth.size());
    int accepted_first = 0, second = 0, recovered = 0, accepted = 0;
    for (std::size_t i = 0; i < truth.size(); ++i) {
        const Truth& t = truth[i];
        const Entry& e = entries[i];
        SCOPED_TRACE("reflection " + std::to_string(t.iseq) + " (" + t.bad + "): " + e.flags);
        EXPECT_EQ(e.iseq, t.iseq);
        EXPECT_EQ(e.h * 10000 + e.k * 100 + e.l, t.h * 10000 + t.k * 100 + t.l);
        EXPECT_NEAR(e.tth, t.tth, 1e-4);
        EXPECT_EQ(e.flags[0], t.code);
        ASSERT_TRUE(e.flags[1] == 'F' || e.flags[1] == 'R');
        ASSERT_TRUE(e.flags[3] == '1' || e.flags[3] == '2');
        const bool ok = e.flags[1] == 'F';
        if (t.bad == "offcentre") {
            EXPECT_EQ(e.flags.substr(1, 2), "RP");
        } else if (t.bad == "nopeak") {
            if (ok) {
                EXPECT_LT(std::fabs(e.intensity), 5.0 * e.sigma);
            }
        } else {
            EXPECT_TRUE(ok);
            EXPECT_EQ(e.flags[3], '1');
            EXPECT_NEAR(e.intensity, lp_inverse(t.tth) * t.intensity, 4.0 * e.sigma);
        }
        accepted += ok;
        accepted_first += ok && e.flags[3] == '1';
        second += e.flags[3] == '2';
        recovered += ok && e.flags[3] == '2';
    }
    EXPECT_GE(second, 2);  // the two off-centre scans at least

    // The summary in the log agrees with the file.
    const std::string log = kvtest::read_bytes(dir / "mainroad_Kelvor.log");
    const std::string heading = "\r\n\r\n" + std::string(60, '*') + "\r\n" + std::string(10, ' ') +
                                "SUMMARY OF REFLECTIONS FIT WITH AUTOFIT UTILITY\r\n";
    ASSERT_NE(log.find(heading), std::string::npos) << log;
    const std::string summary = log.substr(log.find(heading));
    EXPECT_NE(summary.find("POSITION   REFINED, BUT FIXED FROM UB IF FAIL ON PASS 1"), std::string::npos);
    const std::vector<std::string> outcomes = {
        "PASSED", "ERROR IN LEAST SQUARES", "NO CONVERGENCE IN LEAST-SQUARES", "DATA ERROR",
        "BACKGROUND OUT OF BOUNDS", "INTENSITY REFINED < 0", "POSITION OUT OF RANGE", "WIDTH OUT OF RANGE",
        "ALPHA1/2 RATIO OUT OF RANGE", "RWP EXCEEDS SET LIMIT", "ETA PARAMETER OUT OF RANGE"};
    int total = 0;
    for (const std::string& o : outcomes) total += logged_count(summary, o);
    EXPECT_EQ(total, int(truth.size()));
    EXPECT_EQ(logged_count(summary, "PASSED"), accepted_first);
    EXPECT_GE(logged_count(summary, "POSITION OUT OF RANGE"), 2);
    char refitted[64];
    std::snprintf(refitted, sizeof refitted, "%5d REFLECTIONS REFITTED, %5d RECOVERED\r\n", second, recovered);
    EXPECT_NE(summary.find(refitted), std::string::npos) << summary;
    char passed[64];
    std::snprintf(passed, sizeof passed, "%5d TOTAL REFLECTIONS PASSED\r\n", accepted);
    EXPECT_NE(summary.find(passed), std::string::npos) << summary;
    EXPECT_NE(summary.find("THESE REFLECTIONS WRITTEN TO: out.int"), std::string::npos);
}

}  // namespace
