#!/usr/bin/python3
"""Times scipy.optimize.curve_fit fitting 30 formulas one after the other,
the counterpart of hunt_bench's FitHunter search.

    scipy_hunt.py [POINTS] [RUNS]

The data are hunt_bench's: y = 2.5 x^1.3 on [1, 10] with 2% uniform relative
noise from the same 32-bit linear congruential generator, rounded to single
precision (default 10^4 points). The 30 formulas are the program's nonlinear
models (ids 504..533), each started from a plain guess taken from the data
(no per-model tuning), fitted with curve_fit's default method (MINPACK's
Levenberg-Marquardt, forward-difference Jacobian, double precision). A fit
that fails or warns is counted as failed and the loop goes on, as a search
skips a failed model. Only the loop is timed; prints the median over RUNS
runs (default 7) as "scipy_ms=...".
"""
import statistics
import sys
import time
import warnings

import numpy as np
from scipy.optimize import OptimizeWarning, curve_fit


def power_law_data(n):
    state = 2024
    x = np.empty(n)
    y = np.empty(n)
    for i in range(n):
        state = (state * 1664525 + 1013904223) % 2**32
        noise = state / 4294967296.0 - 0.5
        xi = 1.0 + 9.0 * i / (n - 1)
        x[i] = np.float32(xi)
        y[i] = np.float32(2.5 * xi**1.3 * (1.0 + 0.02 * noise))
    return x, y


exp, log = np.exp, np.log

# id: (formula, number of parameters), in the program's coefficient order.
FORMULAS = {
    504: (lambda x, a, b: a * exp(b * x), 2),
    505: (lambda x, a, b: a * exp(b / x), 2),
    506: (lambda x, a, b: a + b * log(x), 2),
    507: (lambda x, a, b: 1 / (a + b * log(x)), 2),
    508: (lambda x, a, b, c: exp(a + b / x + c * log(x)), 3),
    509: (lambda x, a, b: a * x**b, 2),
    510: (lambda x, a, b: a * b**x, 2),
    511: (lambda x, a, b, c: a * (x - b) ** c, 3),
    512: (lambda x, a, b: a * x ** (b * x), 2),
    513: (lambda x, a, b: a * x ** (b / x), 2),
    514: (lambda x, a, b: a * b ** (1 / x), 2),
    515: (lambda x, a, b, c: a * b**x * x**c, 3),
    516: (lambda x, a, b, c: a * b ** (1 / x) * x**c, 3),
    517: (lambda x, a, b: 1 / (a * x + b), 2),
    518: (lambda x, a, b, c: 1 / (a + b * x + c * x * x), 3),
    519: (lambda x, a, b, c: (a + b * x) ** (-1 / c), 3),
    520: (lambda x, a, b, c: 1 / (a + b * x**c), 3),
    521: (lambda x, a, b, c: a * exp(-exp(b - c * x)), 3),
    522: (lambda x, a, b, c: a / (1 + b * exp(-c * x)), 3),
    523: (lambda x, a, b, c, d: a - b * exp(-c * x**d), 4),
    524: (lambda x, a, b, c, d: (a * b + c * x**d) / (b + x**d), 4),
    525: (lambda x, a, b, c, d: a / (1 + exp(b - c * x)) ** (1 / d), 4),
    526: (lambda x, a, b: a * x / (b + x), 2),
    527: (lambda x, a, b: a * (1 - exp(-b * x)), 2),
    528: (lambda x, a, b, c: a * (b - exp(-c * x)), 3),
    529: (lambda x, a, b, c, d: a + b * np.cos(c * x + d), 4),
    530: (lambda x, a, b, c: a * exp(-0.5 * (x - b) ** 2 / c / c), 3),
    531: (lambda x, a, b: a + b / x, 2),
    532: (lambda x, a, b, c: a + b * x + c / x / x, 3),
    533: (lambda x, a, b, c, d: (a + b * x) / (1 + c * x + d * x * x), 4),
}


def plain_guess(model, m, x, y):
    """A start any user could type: the data's size where a scale is
    wanted, small rates, exponents of 1."""
    ymax, xmid = float(np.max(np.abs(y))), float(np.mean(x))
    guesses = {
        504: (y[0], 0.1), 505: (ymax, -0.1), 506: (y[0], 1.0), 507: (1 / y[0], -0.01),
        508: (log(y[0]), 0.0, 1.0), 509: (y[0], 1.0), 510: (y[0], 1.1), 511: (y[0], 0.0, 1.0),
        512: (y[0], 0.1), 513: (ymax, -0.1), 514: (ymax, 0.5), 515: (y[0], 1.0, 1.0),
        516: (y[0], 1.0, 1.0), 517: (-0.01, 1 / y[0]), 518: (1 / y[0], -0.01, 0.0),
        519: (1.0, 1.0, -1.0), 520: (1 / y[0], -0.01, 1.0), 521: (ymax, 1.0, 0.5),
        522: (ymax, 10.0, 0.5), 523: (ymax, ymax, 0.1, 1.0), 524: (y[0], xmid, ymax, 1.0),
        525: (ymax, 1.0, 0.5, 1.0), 526: (ymax, xmid), 527: (ymax, 0.5), 528: (ymax, 1.0, 0.5),
        529: (float(np.mean(y)), ymax / 2, 0.5, 0.0), 530: (ymax, xmid, xmid), 531: (ymax, -1.0),
        532: (y[0], 1.0, 0.0), 533: (y[0], 1.0, 0.0, 0.0),
    }
    return [float(v) for v in guesses[model]][:m]


def hunt(x, y):
    fitted = 0
    for model, (formula, m) in FORMULAS.items():
        with warnings.catch_warnings():
            warnings.simplefilter("error")
            try:
                popt, _ = curve_fit(formula, x, y, p0=plain_guess(model, m, x, y))
                fitted += bool(np.all(np.isfinite(popt)))
            except (RuntimeError, ValueError, OptimizeWarning, FloatingPointError, RuntimeWarning,
                    OverflowError, ZeroDivisionError):
                pass
    return fitted


def main(argv):
    points = int(argv[1]) if len(argv) > 1 else 10000
    runs = int(argv[2]) if len(argv) > 2 else 7
    x, y = power_law_data(points)
    times = []
    for _ in range(runs):
        start = time.perf_counter()
        fitted = hunt(x, y)
        times.append((time.perf_counter() - start) * 1000.0)
    median = statistics.median(times)
    print(f"scipy: curve_fit of {len(FORMULAS)} formulas one after the other on {points} points, {runs} runs")
    print(f"  median {median:.1f} ms, {fitted} of {len(FORMULAS)} fitted")
    print(f"scipy_ms={median:.3f}")


if __name__ == "__main__":
    main(sys.argv)
