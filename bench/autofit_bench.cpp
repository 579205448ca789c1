// Reflections per second of the automatic fit pass, run as a user runs it through kelvor-script:
// a 10,000-reflection data set made by kelvor-gen is opened with its parameter file, "Auto
// profile fit" writes every reflection to a new integrated data file under timer ticks, and the
// program ends. The set-up times a run that only loads the data set and exits, so that the pass
// itself can be told apart from start-up and loading:
//   refl_per_s        reflections / (time of the whole run - time of the load-only run)
//   refl_per_s_run    reflections / time of the whole run
// Both programs are found beside this one in the build tree (bench/ -> tests/fixtures/kelvor-gen,
// code/shell/apps/kelvor-script).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr int NREFL = 10000;

struct Setup {
    std::string error;   // non-empty: the benchmark cannot run
    fs::path dir;        // where the data set and the runs live
    fs::path script_exe;
    double load_seconds = 0;  // a run that loads the data set and exits
};

fs::path build_dir() {
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::current_path() : self.parent_path().parent_path();
}

void write_text(const fs::path& p, const std::string& text) {
    std::ofstream out(p, std::ios::binary);
    out << text;
}

// A monoclinic crystal; reflections cycle through h, k, l in 0..9 (all reachable with Mo
// radiation), every 50th scan set off its peak so that some reflections are rejected.
std::string spec_text() {
    std::string s =
        "title   Autofit benchmark crystal\n"
        "cell    7.1100 9.2300 11.4500 90 97.25 90\n"
        "orient  -25.0 40.0 15.0\n"
        "wave    0.70930 0.71359 0.5\n"
        "fwhm    0.18 0.06\n"
        "eta     0.0\n"
        "background 20\n"
        "steps   49 0.025\n"
        "seed    4242\n";
    int n = 0;
    for (int i = 1; n < NREFL; ++i) {
        const int h = (i / 100) % 10, k = (i / 10) % 10, l = i % 10;
        if (h == 0 && k == 0 && l == 0) continue;
        s += "refl " + std::to_string(h) + " " + std::to_string(k) + " " + std::to_string(l) + " " +
             std::to_string(800 + (i % 7) * 300);
        if (n % 50 == 49) s += " offcentre=0.35";
        s += "\n";
        ++n;
    }
    return s;
}

// Runs one script in dir; the wall time in seconds, or a negative value when it failed.
double run_script(const Setup& s, const std::string& script) {
    std::error_code ec;
    fs::remove(s.dir / "out.int", ec);
    fs::remove(s.dir / "autofit_Kelvor.log", ec);
    write_text(s.dir / "go.txt", script);
    const std::string cmd = "cd '" + s.dir.string() + "' && '" + s.script_exe.string() +
                            "' --script go.txt --module-dir . >/dev/null 2>&1";
    const auto t0 = std::chrono::steady_clock::now();
    const int rc = std::system(cmd.c_str());
    const auto t1 = std::chrono::steady_clock::now();
    if (rc != 0) return -1.0;
    return std::chrono::duration<double>(t1 - t0).count();
}

const std::string LOAD_ONLY = "file autofit.rfl 1\npress 470\nfile autofit.par\npress 316\nanswer 2\n";
const std::string FULL_PASS =
    "file autofit.rfl 1\npress 470\nfile autofit.par\npress 322\nanswer 6\nfile out.int\npress 541\n"
    "press 118\nrun\npress 316\nanswer 2\n";

const Setup& setup() {
    static const Setup s = [] {
        Setup r;
        const fs::path build = build_dir();
        const fs::path gen = build / "tests/fixtures/kelvor-gen";
        r.script_exe = build / "code/shell/apps/kelvor-script";
        if (!fs::exists(gen) || !fs::exists(r.script_exe)) {
            r.error = "kelvor-gen and kelvor-script must be built (" + build.string() + ")";
            return r;
        }
        r.dir = build / "bench_autofit";
        fs::create_directories(r.dir);
        write_text(r.dir / "autofit.spec", spec_text());
        const std::string cmd = "cd '" + r.dir.string() + "' && '" + gen.string() + "' autofit.spec autofit";
        if (std::system(cmd.c_str()) != 0) {
            r.error = "kelvor-gen failed";
            return r;
        }
        r.load_seconds = run_script(r, LOAD_ONLY);
        if (r.load_seconds < 0) r.error = "the load-only run failed";
        return r;
    }();
    return s;
}

// Number of entries in the integrated data file.
long count_lines(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    long n = 0;
    for (std::string line; std::getline(in, line);) ++n;
    return n;
}

void BM_AutofitPassThroughScriptDriver(benchmark::State& state) {
    const Setup& s = setup();
    if (!s.error.empty()) {
        state.SkipWithError(s.error.c_str());
        return;
    }
    double total = 0;
    for (auto _ : state) {
        const double t = run_script(s, FULL_PASS);
        if (t < 0) {
            state.SkipWithError("the automatic pass run failed");
            return;
        }
        if (count_lines(s.dir / "out.int") != NREFL) {
            state.SkipWithError("the integrated data file does not hold every reflection");
            return;
        }
        state.SetIterationTime(t);
        total += t;
    }
    const double runs = double(state.iterations());
    const double mean = total / runs;
    const double pass = mean - s.load_seconds;
    state.counters["refl_per_s"] = pass > 0 ? NREFL / pass : 0.0;
    state.counters["refl_per_s_run"] = NREFL / mean;
    state.counters["load_s"] = s.load_seconds;
}
BENCHMARK(BM_AutofitPassThroughScriptDriver)->UseManualTime()->Iterations(3)->Unit(benchmark::kSecond);

}  // namespace
