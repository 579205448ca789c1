// A data set of strong reflections (tests/fixtures/specs/strong_triclinic.spec: a triclinic cell
// of more than 1000 cubic angstroms, positions known to well below 0.0001 degrees, some scans at
// negative 2theta settings) walked through the whole program with kelvor-script: the automatic
// pass accepts every reflection, the preprocessing pass stores every one, a CIF written before any
// cell refinement reads as a CIF (no asterisks, theta within 0..90), and the cell is refined from
// all of them.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "../scan_input/test_files.h"

namespace {

namespace fs = std::filesystem;

const std::string TITLE = "Kelvorantide v3.72";
constexpr int kReflections = 40;

// A small reader of CIF items: comments, bare and quoted values, semicolon text fields. Every
// item name must be followed by a value; the values by name, or an error text.
std::string read_cif_items(const std::string& text, std::map<std::string, std::string>& items) {
    std::istringstream in(text);
    std::vector<std::string> tokens;
    std::string line;
    bool data_block = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty() && line[0] == ';') {  // a text field up to the next line starting with ';'
            std::string field = line.substr(1);
            bool closed = false;
            while (std::getline(in, line)) {
                if (!line.empty() && line.back() == '\r') line.pop_back();
                if (!line.empty() && line[0] == ';') {
                    closed = true;
                    break;
                }
                field += "\n" + line;
            }
            if (!closed) return "unterminated text field";
            tokens.push_back("\x01" + field);
            continue;
        }
        std::size_t at = 0;
        while (at < line.size()) {
            const char c = line[at];
            if (std::isspace(static_cast<unsigned char>(c))) {
                ++at;
            } else if (c == '#') {
                break;
            } else if (c == '\'' || c == '"') {
                const std::size_t end = line.find(c, at + 1);
                if (end == std::string::npos) return "unterminated quoted value: " + line;
                tokens.push_back("\x01" + line.substr(at + 1, end - at - 1));
                at = end + 1;
            } else {
                std::size_t end = at;
                while (end < line.size() && !std::isspace(static_cast<unsigned char>(line[end]))) ++end;
                tokens.push_back(line.substr(at, end - at));
                at = end;
            }
        }
    }
    for (std::size_t k = 0; k < tokens.size(); ++k) {
        const std::string& t = tokens[k];
        if (t.rfind("data_", 0) == 0) {
            data_block = true;
            continue;
        }
        if (t.empty() || t[0] != '_') return "value without an item name: " + t;
        if (!data_block) return "item before a data block: " + t;
        if (k + 1 >= tokens.size() || (tokens[k + 1][0] == '_')) return "item without a value: " + t;
        const std::string& v = tokens[++k];
        items[t] = v[0] == '\x01' ? v.substr(1) : v;
    }
    return "";
}

// A CIF number: digits with an optional standard uncertainty in brackets; false when the text
// is not one.
bool cif_number(const std::string& text, double& value) {
    std::string digits = text;
    const std::size_t open = text.find('(');
    if (open != std::string::npos) {
        if (text.back() != ')' || open + 2 >= text.size()) return false;
        for (std::size_t i = open + 1; i + 1 < text.size(); ++i)
            if (!std::isdigit(static_cast<unsigned char>(text[i]))) return false;
        digits = text.substr(0, open);
    }
    std::size_t used = 0;
    try {
        value = std::stod(digits, &used);
    } catch (...) {
        return false;
    }
    return used == digits.size();
}

TEST(StrongReflections, EveryOneIsAcceptedStoredAndUsedAndTheCifReadsAsACif) {
    const fs::path exe = kvtest::kelvor_script_path();
    if (!fs::exists(exe)) GTEST_SKIP() << "kelvor-script is not built";
    const fs::path dir = kvtest::test_dir();
    kvtest::copy_data_set("strong_triclinic", dir);
    fs::create_directories(dir / "module");
    // The automatic pass into a new output file, a preprocessing pass, "Create Cif" before any
    // refinement, then the unconstrained (triclinic) cell refinement.
    kvtest::write_bytes(dir / "go.txt",
                        kvtest::join({"file strong_triclinic.rfl 1", "press 470", "file strong_triclinic.par",
                                      "press 322", "answer 6", "file out.int", "press 541", "toggle 4 64 1",
                                      "press 118", "run", "press 331", "press 53", "run", "press 318", "press 332",
                                      "press 626", "press 631", "press 101", "answer 2"},
                                     "\n"));
    ASSERT_EQ(kvtest::run_kelvor_script(dir), 0) << kvtest::read_bytes(dir / "stderr.txt");
    const std::string shown = kvtest::read_bytes(dir / "shown.txt");

    // The automatic pass: every reflection accepted in its first fit ("F", pass 1).
    const std::string out = kvtest::read_bytes(dir / "out.int");
    int entries = 0;
    for (std::size_t at = 0; at < out.size();) {
        const std::size_t end = out.find("\r\n", at);
        ASSERT_NE(end, std::string::npos);
        const std::string line = out.substr(at, end - at);
        at = end + 2;
        ++entries;
        ASSERT_GE(line.size(), 74u) << line;
        EXPECT_EQ(line.substr(71, 1), "F") << line;
        EXPECT_EQ(line.substr(73, 1), "1") << line;
    }
    EXPECT_EQ(entries, kReflections);

    // The preprocessing pass stores all of them; the refinement uses all of them.
    EXPECT_NE(shown.find("box " + TITLE + " |    40 Reflections stored for fitting\n"), std::string::npos) << shown;
    const std::string log = kvtest::read_bytes(dir / "strong_triclinic_Kelvor.log");
    EXPECT_NE(log.find("\r\n       40 REFLECTIONS USED\r\n"), std::string::npos) << log;

    // The CIF, with a data block header put in front, reads item by item.
    const std::string cif = kvtest::read_bytes(dir / "strong_triclinic_kelvor.cif");
    EXPECT_EQ(cif.find('*', cif.find("_diffrn_standards_number")), std::string::npos) << cif;
    std::map<std::string, std::string> items;
    ASSERT_EQ(read_cif_items("data_strong\n" + cif, items), "") << cif;
    for (const char* name : {"_cell_length_a", "_cell_length_b", "_cell_length_c", "_cell_angle_alpha",
                             "_cell_angle_beta", "_cell_angle_gamma", "_cell_volume", "_cell_measurement_wavelength",
                             "_cell_measurement_reflns_used", "_cell_measurement_theta_min",
                             "_cell_measurement_theta_max", "_diffrn_reflns_number"}) {
        double v = 0;
        ASSERT_TRUE(items.count(name)) << name;
        EXPECT_TRUE(cif_number(items[name], v)) << name << " " << items[name];
    }
    double volume = 0, tmin = -1, tmax = -1, used = 0;
    ASSERT_TRUE(cif_number(items["_cell_volume"], volume));
    EXPECT_GT(volume, 1000.0);
    EXPECT_EQ(items["_cell_volume"].find('('), std::string::npos);  // zero esd before refinement
    ASSERT_TRUE(cif_number(items["_cell_measurement_theta_min"], tmin));
    ASSERT_TRUE(cif_number(items["_cell_measurement_theta_max"], tmax));
    EXPECT_GE(tmin, 0.0);
    EXPECT_LE(tmin, tmax);
    EXPECT_LE(tmax, 90.0);
    ASSERT_TRUE(cif_number(items["_cell_measurement_reflns_used"], used));
    EXPECT_EQ(used, kReflections);
    // Theta is |2theta| / 2: the smallest is 4.6592 / 2, not half the most negative setting.
    EXPECT_EQ(items["_cell_measurement_theta_min"], "2.330");
    EXPECT_EQ(items["_diffrn_measurement_method"], " omega step scans integrated by full profile fitting");
}

}  // namespace
