#!/usr/bin/python3
"""Fits per second of lmfit on the benchmark's scans, for the side-by-side comparison.

Reads the scans written by kelvor-bench-scans (one block per scan: a header line
"scan NSTEP TTH DELTA", then NSTEP lines "x counts") and fits each with lmfit.minimize
(Levenberg-Marquardt): the same model as the program's fit (a constant background plus an
alpha1/alpha2 doublet of unit-area pseudo-Voigt peaks sharing width and eta, the alpha2 peak
DELTA degrees above the alpha1 peak with intensity ratio R), all six parameters refined from the
same start values, weights 1 / sqrt(counts + 1) (the program's weights 1 / (counts + 1) on the
squared residuals). lmfit's rate varies from run to run, so each scan is timed in RUNS runs of
SECONDS each. Prints one line per scan: "lmfit NSTEP MEDIAN LOWEST HIGHEST" (fits per second).
"""
import sys
import time

import numpy as np
import lmfit

LN2 = np.log(2.0)


def pseudo_voigt(x, x0, eta, w):
    d = x - x0
    lor = (2.0 / (np.pi * w)) / (1.0 + 4.0 * d * d / (w * w))
    gau = (2.0 / w) * np.sqrt(LN2 / np.pi) * np.exp(-4.0 * LN2 * d * d / (w * w))
    return eta * lor + (1.0 - eta) * gau


def doublet(x, background, fwhm, intensity, position, eta, ratio, delta):
    return background + intensity * (pseudo_voigt(x, position, eta, fwhm)
                                     + ratio * pseudo_voigt(x, position + delta, eta, fwhm))


def read_scans(path):
    scans = []
    with open(path) as f:
        lines = f.read().split("\n")
    i = 0
    while i < len(lines):
        head = lines[i].split()
        i += 1
        if not head:
            continue
        n, tth, delta = int(head[1]), float(head[2]), float(head[3])
        xy = np.array([[float(v) for v in lines[i + k].split()] for k in range(n)])
        i += n
        scans.append((n, tth, delta, xy[:, 0], xy[:, 1]))
    return scans


START = dict(background=45.0, fwhm=0.22, intensity=1800.0, position=0.01, eta=0.35, ratio=0.5)


def main():
    if len(sys.argv) < 2:
        sys.exit("usage: compare_lmfit.py SCANS [SECONDS_PER_RUN [RUNS]]")
    seconds = float(sys.argv[2]) if len(sys.argv) > 2 else 1.0
    runs = int(sys.argv[3]) if len(sys.argv) > 3 else 5
    for n, tth, delta, x, counts in read_scans(sys.argv[1]):
        weights = 1.0 / np.sqrt(counts + 1.0)

        # lmfit's leanest road: minimize on a residual function (Model.fit adds its own cost).
        def residual(params):
            v = params.valuesdict()
            return (counts - doublet(x, v["background"], v["fwhm"], v["intensity"], v["position"], v["eta"],
                                     v["ratio"], delta)) * weights

        params = lmfit.Parameters()
        for name, value in START.items():
            params.add(name, value=value)
        result = lmfit.minimize(residual, params)
        if not result.success:
            sys.exit("lmfit did not converge on the %d-step scan" % n)
        rates = []
        for _ in range(runs):
            fits = 0
            start = time.perf_counter()
            while True:
                lmfit.minimize(residual, params)
                fits += 1
                elapsed = time.perf_counter() - start
                if elapsed >= seconds and fits >= 3:
                    break
            rates.append(fits / elapsed)
        rates.sort()
        print("lmfit %d %.1f %.1f %.1f" % (n, rates[len(rates) // 2], rates[0], rates[-1]))


if __name__ == "__main__":
    main()
