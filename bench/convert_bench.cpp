// Reflections per second of loading an instrument data file: a 20,000-reflection file of each of
// the six instrument formats, written once by the fixture generator, is converted by
// CONVERT_FILE, header and scan reader, into the working standard data file (a scratch file),
// as "Open data file" does after the file has been chosen. The parameter file is read before
// each load and is not timed. items_per_second is the conversion rate in reflections per second,
// the time that of one load of 20,000 reflections.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "gen.h"
#include "include/scan_input.h"
#include "include/shared.h"
#include "platform/script.h"
#include "runtime/units.h"

namespace {

namespace fs = std::filesystem;

constexpr int NREFL = 20000;

fs::path work_dir() {
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    const fs::path build = ec ? fs::current_path() : self.parent_path().parent_path();
    return build / "bench_convert";
}

// A monoclinic crystal; reflections cycle through h, k, l in 0..9 (all reachable with Mo
// radiation, chi within the kappa range), scans of 96 steps of 0.02 degrees (the CAD4 scan, and
// the step width the step-size dialog offers), a standard every 100th scan, sequence numbers
// within the four digits of the narrowest format.
kgen::DataSetSpec spec() {
    kgen::DataSetSpec s;
    s.title = "CONVERSION BENCHMARK CRYSTAL";
    s.cell = {7.11, 9.23, 11.45, 90.0, 97.25, 90.0};
    s.orient = {-25.0, 40.0, 15.0};
    s.fwhm_a = 0.18;
    s.fwhm_b = 0.06;
    s.eta = 0.0;
    s.background = 10.0;
    s.nstep = 96;
    s.step = 0.02;
    s.seed = 20000;
    int n = 0;
    for (int i = 1; n < NREFL; ++i) {
        kgen::ReflSpec r;
        r.h = (i / 100) % 10;
        r.k = (i / 10) % 10;
        r.l = i % 10;
        if (r.h == 0 && r.k == 0 && r.l == 0) continue;
        r.intensity = 200.0 + 100.0 * (i % 7);
        if (n % 100 == 0) {
            r.h = r.k = 0;
            r.l = 2;
            r.istd = 1;
            r.code = 'I';
        }
        r.seq = 1 + n % 9999;
        s.refls.push_back(r);
        ++n;
    }
    return s;
}

struct Files {
    std::string error;
    fs::path par;
    fs::path input[8];  // by input format code 2..7
};

const Files& files() {
    static const Files f = [] {
        Files r;
        kgen::DataSet ds;
        r.error = kgen::build(spec(), true, ds);
        if (!r.error.empty()) return r;
        const fs::path dir = work_dir();
        fs::create_directories(dir);
        r.par = dir / "convert.par";
        std::ofstream(r.par, std::ios::binary) << kgen::par_text(ds);
        for (const char* name : {"vosket", "xcalibur", "xscans", "stoe", "febo", "cad4"}) {
            kgen::Instrument format{};
            kgen::instrument_by_name(name, format);
            std::string text;
            r.error = kgen::instrument_text(ds, format, text);
            if (!r.error.empty()) return r;
            const fs::path p = dir / (std::string("convert_") + name + kgen::instrument_extension(format));
            std::ofstream(p, std::ios::binary) << text;
            r.input[int(format)] = p;
        }
        return r;
    }();
    return f;
}

int open_old(int unit, const fs::path& p) {
    rt::OpenSpec spec;
    spec.status = rt::FileStatus::Old;
    spec.action = rt::FileAction::Read;
    return rt::unit_open(unit, p.string(), spec);
}

void BM_ConvertInstrumentFile(benchmark::State& state) {
    const int format = int(state.range(0));
    const Files& f = files();
    if (!f.error.empty()) {
        state.SkipWithError(f.error.c_str());
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        rt::units_close_all();
        reset_shared_records();
        wl::script::load_lines({});
        PROGID.PROG_TITLE = "Kelvorantide v3.72";
        for (int i = 1; i <= 3; ++i) UNITCELL.IBL(i) = i;
        if (open_old(3, f.par) != rt::IOS_OK) {
            state.SkipWithError("cannot open the parameter file");
            return;
        }
        READ_PARAMETERS(0);
        rt::unit_close(3);
        const fs::path& in = f.input[format];
        if (open_old(1, in) != rt::IOS_OK) {
            state.SkipWithError("cannot open the instrument file");
            return;
        }
        FILEINFO.IN_FULLNAME = in.string();
        FILEINFO.IN_NAME = in.filename().string();
        FILEINFO.IFORMAT = format;
        FILEINFO.LUNSTD = 25;
        state.ResumeTiming();

        int status = 0;
        CONVERT_FILE(status);

        state.PauseTiming();
        int written = 0;
        for (int k = 1; k <= 7; ++k) written += TOTALS.INUM(k);
        if (status != 0 || written != NREFL) {
            state.SkipWithError("the working file does not hold every reflection");
            return;
        }
        state.ResumeTiming();
    }
    rt::units_close_all();
    state.SetItemsProcessed(state.iterations() * NREFL);
    state.SetLabel(format == 2 ? "Old Vosket" : format == 3 ? "Xcalibur Ascii" : format == 4 ? "Xscans"
                   : format == 5 ? "Stoe" : format == 6 ? "Phillips Febo" : "CAD4");
}
BENCHMARK(BM_ConvertInstrumentFile)->DenseRange(2, 7)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
