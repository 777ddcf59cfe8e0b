#!/usr/bin/python3
"""Times scipy's natural cubic spline on the data of regression_bench's
BM_CubicSplineBuildAndEvaluate: build on n knots of y = sin(3x) + 0.1x over
[0, 10] (float32 values, as the program stores them), then evaluate at 10^6
ascending points. Prints the median of the repetitions, in milliseconds.

Usage: bench/scipy_spline.py [knots ...]   (default: 100000)
Needs python3-scipy.
"""
import statistics
import sys
import time

import numpy as np
from scipy.interpolate import CubicSpline

EVALUATIONS = 1_000_000
REPETITIONS = 21


def data(n):
    x = np.linspace(0.0, 10.0, n).astype(np.float32)
    y = (np.sin(3.0 * np.linspace(0.0, 10.0, n)) + 0.1 * np.linspace(0.0, 10.0, n)).astype(np.float32)
    return x.astype(np.float64), y.astype(np.float64)


def run(n):
    x, y = data(n)
    points = np.linspace(0.0, 10.0, EVALUATIONS).astype(np.float32).astype(np.float64)
    build, total = [], []
    for _ in range(REPETITIONS):
        start = time.perf_counter()
        spline = CubicSpline(x, y, bc_type="natural")
        built = time.perf_counter()
        values = spline(points)
        done = time.perf_counter()
        build.append((built - start) * 1e3)
        total.append((done - start) * 1e3)
    assert np.isfinite(values).all()
    print(f"scipy CubicSpline natural, {n} knots: build {statistics.median(build):.2f} ms, "
          f"build + {EVALUATIONS} evaluations {statistics.median(total):.2f} ms (median of {REPETITIONS})")


if __name__ == "__main__":
    for knots in [int(a) for a in sys.argv[1:]] or [100_000]:
        run(knots)
