#!/usr/bin/env python3
"""Writes tests/golden/degree_oracle.csv: one sweep degree per row, computed
here in exact rational arithmetic with explicit roundings, independently of
the C++ code, so the test can compare the compiled arithmetic bit for bit.

The model: every operation rounds to the x87 extended format (64-bit
significand, to nearest, ties to even); every store rounds to single
precision; the exponent argument rounds to double; exp is the C library's
(the same libm as the C++ code). Cases stay in the normal range, where no
operation fails.

    tests/tools/degree_oracle.py > tests/golden/degree_oracle.csv
"""

import math
import random
import struct
from fractions import Fraction as F


def round_bits(x, bits):
    """x rounded to a binary significand of `bits` bits, ties to even."""
    if x == 0:
        return F(0)
    sign = -1 if x < 0 else 1
    a = abs(x)
    e = a.numerator.bit_length() - a.denominator.bit_length()
    if F(2) ** e > a:
        e -= 1
    # a lies in [2^e, 2^(e+1)); scale so the significand has `bits` bits.
    scale = F(2) ** (bits - 1 - e)
    m = a * scale
    n = m.numerator // m.denominator
    rest = m - n
    if rest > F(1, 2) or (rest == F(1, 2) and n % 2 == 1):
        n += 1
    return sign * F(n) / scale


def ext(x):
    return round_bits(x, 64)


def dbl(x):
    return round_bits(x, 53)


def single(x):
    r = round_bits(x, 24)
    assert abs(r) <= F(struct.unpack("<f", b"\xff\xff\x7f\x7f")[0]), "overflow"
    assert r == 0 or abs(r) >= F(2) ** -126, "subnormal"
    return r


def f32(v):
    return F(struct.unpack("<f", struct.pack("<f", v))[0])


def hexf(x):
    return "%08x" % struct.unpack("<I", struct.pack("<f", float(x)))[0]


def coefficients(p, d):
    cube = ext(ext(d * d) * d)
    gain = ext(p["a2"] / p["Ku"])
    ke = single(ext(cube * gain))
    t1 = ext(3 / ext(d * d))
    t2 = ext(p["a1"] / ext(p["Ku"] * ke))
    b2 = single(ext(t1 - t2))
    q = ext(1 / ext(p["Ku"] * ke))
    t3 = ext(3 / d)
    b1 = single(ext(t3 - q))
    return ke, b2, b1


def variation(a, c2, c1, c0):
    aa = ext(a * a)
    delta = single(ext(ext(c0 / aa) - c2))
    s1 = ext(c1 / aa)
    s2 = ext(ext(2 * c2) / a)
    slope = single(ext(s1 - s2))
    sa = ext(slope * a)
    p = ext(sa - delta)
    t = ext(p * slope)
    if t >= 0:
        x = dbl(ext(sa / ext(delta - sa)))
        peak = single(ext(F(math.exp(float(x))) * p))
        sign = F(1)
        if not p > 0:
            peak, sign = -peak, F(-1)
    else:
        peak = F(0)
        assert delta != 0, "0/0"
        sign = F(1) if delta > 0 else F(-1)
    r1 = ext(abs(c2) + ext(2 * peak))
    r2 = ext(r1 + ext(sign * delta))
    return ext(r2 * aa)


def degree(p, a):
    ke, b2, b1 = coefficients(p, a)
    kf, ku = p["Kf"], p["Ku"]
    kf_ratio = single(ext(kf / ext(ke * ku)))
    var_b = single(variation(a, b2, b1, F(1)))
    c1 = single(ext(ext(1 / ext(a * a)) - b2))
    c0 = single(ext(ext(2 / a) - b1))
    err_factor = single(ext(ext(variation(a, F(0), c1, c0) * ext(1 / a)) + 1))
    kf_factor = single(ext(ext(2 * kf) / ext(ext(a * a) * p["a2"])))
    var_a = single(variation(a, p["a2"], p["a1"], F(1)))
    appl_factor = single(ext(ext(2 * a) * var_b))
    margin = ext(1 - ext(p["part"] * appl_factor))
    if not margin >= 0:
        return ke, b2, b1, None, None
    ratio = ext(kf / ext(ke * ku))
    lead = ext(ext(ext(ratio * kf_ratio) * p["f0"]) + ext(p["x1"] * err_factor))
    bracket = ext(ext(ext(1 + var_b) * p["x1"]) + ext(ext(ratio * kf_factor) * p["f0"]))
    tail = ext(ext(bracket * ext(p["part"] * var_b)) / margin)
    e = single(ext(lead + tail))
    total = ext(ext(ext(p["x2"] * b1) + p["x1"]) + ext(p["x3"] * b2))
    first = ext(total * ext(ext(1 / ku) * var_a))
    last = ext(ext(ext(kf / ext(ku * ke)) * var_b) * p["f0"])
    u = single(ext(first + last))
    return ke, b2, b1, e, u


KEYS = ["x1", "x2", "x3", "f0", "Ku", "Kf", "part", "a2", "a1", "alfa"]


def main():
    rng = random.Random(20261211)
    print(",".join(KEYS + ["Ke", "b2", "b1", "e", "u"]))
    rows = 0
    while rows < 400:
        def mag(lo, hi):
            return f32(10 ** rng.uniform(lo, hi))
        p = {
            "x1": mag(-1, 1), "x2": mag(-1, 1), "x3": mag(-1, 1), "f0": mag(-1, 1),
            "Ku": mag(-1, 2), "Kf": mag(-1, 1), "part": mag(-4, -1),
            "a2": mag(-3, 0), "a1": mag(-2, 0.5),
        }
        a = mag(-1, 2)
        try:
            ke, b2, b1, e, u = degree(p, a)
        except (AssertionError, ZeroDivisionError, OverflowError):
            continue
        if e is None:
            e = u = F(0)  # the formula does not apply: only the coefficients count
            flag = "n/a"
        else:
            flag = None
        cells = [hexf(p[k]) for k in KEYS[:-1]] + [hexf(a), hexf(ke), hexf(b2), hexf(b1)]
        cells += ["-", "-"] if flag else [hexf(e), hexf(u)]
        print(",".join(cells))
        rows += 1


if __name__ == "__main__":
    main()
