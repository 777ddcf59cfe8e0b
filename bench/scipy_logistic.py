#!/usr/bin/python3
"""Times scipy.optimize.curve_fit on the Logistic fit that fit_logistic_main times.

    scipy_logistic.py [DATAFILE] [RUNS]

DATAFILE holds "x<TAB>y" lines (fit_logistic_main --write FILE makes the same
data set the engine fits); without it, 10^5 points of y = a/(1 + b exp(-c x))
on [0, 10] with 1% noise are made here. Only the fit is timed: curve_fit from
the start (12, 24, 1.2), 20% off the true (10, 20, 1), with its default
method (MINPACK's Levenberg-Marquardt, forward-difference Jacobian, in
double precision). Prints the median over RUNS runs (default 7).
"""
import statistics
import sys
import time

import numpy as np
from scipy.optimize import curve_fit

TRUTH = (10.0, 20.0, 1.0)
START = (12.0, 24.0, 1.2)
POINTS = 100000


def logistic(x, a, b, c):
    return a / (1.0 + b * np.exp(-c * x))


def load(argv):
    if len(argv) > 1 and argv[1]:
        data = np.loadtxt(argv[1])
        return data[:, 0], data[:, 1]
    x = np.linspace(0.0, 10.0, POINTS)
    noise = np.random.default_rng(2024).standard_normal(POINTS)
    return x, logistic(x, *TRUTH) * (1.0 + 0.01 * noise)


def main(argv):
    x, y = load(argv)
    runs = int(argv[2]) if len(argv) > 2 else 7
    times = []
    for _ in range(runs):
        start = time.perf_counter()
        popt, _pcov, info, _message, _status = curve_fit(logistic, x, y, p0=START, full_output=True)
        times.append((time.perf_counter() - start) * 1000.0)
    median = statistics.median(times)
    print(f"scipy: curve_fit logistic of {len(x)} points, start 20% off, {runs} runs")
    print(f"  median {median:.2f} ms, {info['nfev']} function calls, "
          f"a={popt[0]:.6g} b={popt[1]:.6g} c={popt[2]:.6g}")
    print(f"scipy_ms={median:.3f}")


if __name__ == "__main__":
    main(sys.argv)
