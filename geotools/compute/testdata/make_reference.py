#!/usr/bin/env python3
"""Makes the reference sets that reference_test.cpp compares against.

The expected values come from the command-line tools of GeographicLib
(Debian package geographiclib-tools): CartConvert for geodetic <-> Cartesian
coordinates, GeodSolve for the geodesic problems and TransverseMercatorProj
(exact transverse Mercator, scale 1 on the central meridian) for the Gauss
projection. The tests read the files written here and never run the tools.

Run from anywhere:  python3 geotools/compute/testdata/make_reference.py
The random cases are seeded, so a rerun with the same tools gives the same
files.

File format: '#' comment lines, then one case per line, blank separated.
The first column is the ellipsoid type (1 WGS84, 2 Beijing 1954, 3 Xi'an
1980); angles are decimal degrees, lengths metres.
"""

import math
import os
import random
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))

# type: (a, inverse flattening) as the presets hold them.
ELLIPSOIDS = {
    1: (6378137.0, 298.257223563),
    2: (6378245.0, 298.3),
    3: (6378140.0, 298.257),
}

# Random cases per ellipsoid type; WGS84 alone gives more than 1000.
COUNTS = {1: 1000, 2: 150, 3: 150}


def run(tool, args, lines):
    """Runs a tool on input lines and returns its output lines."""
    proc = subprocess.run([tool] + args, input="\n".join(lines) + "\n",
                          capture_output=True, text=True, check=True)
    out = proc.stdout.strip("\n").split("\n")
    if len(out) != len(lines):
        sys.exit("%s gave %d lines for %d" % (tool, len(out), len(lines)))
    return out


def ell_args(t):
    a, invf = ELLIPSOIDS[t]
    return ["-e", repr(a), "1/" + repr(invf)]


def write(name, header, rows):
    path = os.path.join(HERE, name)
    with open(path, "w") as f:
        f.write("# " + header + "\n")
        f.write("# made by make_reference.py from GeographicLib's tools; do not edit\n")
        for r in rows:
            f.write(r + "\n")
    print("%s: %d cases" % (name, len(rows)))


def blh_cases(rng, t):
    """(B, L, H) points: random over the globe plus the awkward places."""
    pts = []
    for _ in range(COUNTS[t]):
        b = math.degrees(math.asin(rng.uniform(-1, 1)))  # uniform on the sphere
        l = rng.uniform(-180, 180)
        h = rng.choice([rng.uniform(-500, 9000), rng.uniform(-5000, 50000),
                        rng.uniform(0, 1e6)])
        pts.append((b, l, h))
    if t == 1:
        for b in (0.0, 90.0, -90.0, 89.9999999, -89.99999, 89.999, 45.0, 1e-9):
            for l in (0.0, 180.0, -180.0, 90.0, -45.5):
                for h in (0.0, -100.0, 8848.0, 400000.0):
                    pts.append((b, l, h))
    return pts


def make_cartesian(rng):
    fwd, rev = [], []
    for t in ELLIPSOIDS:
        pts = blh_cases(rng, t)
        inp = ["%.12f %.12f %.6f" % p for p in pts]
        out = run("CartConvert", ell_args(t) + ["-p", "9"], inp)
        for i, o in zip(inp, out):
            fwd.append("%d %s %s" % (t, i, o))
        # Reverse set: fresh random points, their XYZ printed to 1 µm are the input.
        pts = blh_cases(rng, t)
        xyz = run("CartConvert", ell_args(t) + ["-p", "6"],
                  ["%.12f %.12f %.6f" % p for p in pts])
        if t == 1:
            xyz += ["0 0 6356752.314245", "0 0 -6400000", "1e-3 0 6356752.3",
                    "6378137 0 0", "-6378137 0 0", "0 -6378137 0"]
        out = run("CartConvert", ell_args(t) + ["-r", "-p", "9"], xyz)
        for i, o in zip(xyz, out):
            rev.append("%d %s %s" % (t, i, o))
    write("blh_to_xyz.txt", "type B L H  X Y Z", fwd)
    write("xyz_to_blh.txt", "type X Y Z  B L H", rev)


def line_lengths(rng):
    """Distances from 1 m to 10,000 km, uniform in their logarithm."""
    return 10 ** rng.uniform(0, 7)


def make_geodesic(rng):
    inv, dirs = [], []
    for t in ELLIPSOIDS:
        # Inverse: end points from random direct problems, rounded to the
        # printed digits, so that every length class is represented.
        starts = []
        for _ in range(COUNTS[t]):
            b1 = math.degrees(math.asin(rng.uniform(-1, 1)))
            starts.append((b1, rng.uniform(-180, 180), rng.uniform(0, 360), line_lengths(rng)))
        ends = run("GeodSolve", ell_args(t) + ["-p", "10"],
                   ["%.12f %.12f %.12f %.6f" % s for s in starts])
        pairs = []
        for s, e in zip(starts, ends):
            b2, l2, _ = map(float, e.split())
            pairs.append((s[0], s[1], b2, l2))
        if t == 1:
            for d in (0.001, 0.5, 5, 45, 89.9):  # equatorial, both ways
                pairs += [(0, 10, 0, 10 + d), (0, 10, 0, 10 - d)]
            for b1, b2 in ((10, 60), (60, 10), (-30, 45), (0, 89.9), (-89, 0), (30, 30.000001)):
                pairs.append((b1, 25, b2, 25))  # meridional
            for b1, b2 in ((80, 85), (89, 70), (-75, -80), (60, 70)):
                pairs += [(b1, 10, b2, -170), (b1, -100, b2, 80)]  # over a pole
            pairs += [(90, 0, 60, 30), (-90, 0, -60, -150), (45, 179.5, 46, -179.5),
                      (1e-7, 0, 0, 1e-7), (30, 0, 31, 10)]
        inp = ["%.12f %.12f %.12f %.12f" % p for p in pairs]
        out = run("GeodSolve", ell_args(t) + ["-i", "-p", "10"], inp)
        for i, o in zip(inp, out):
            azi1, _, s12 = o.split()
            inv.append("%d %s %s %s" % (t, i, s12, azi1))

        # Direct: random starts, azimuths and lengths up to 19,000 km.
        cases = []
        for _ in range(COUNTS[t]):
            b1 = math.degrees(math.asin(rng.uniform(-1, 1)))
            s = 10 ** rng.uniform(0, 7.28)
            cases.append((b1, rng.uniform(-180, 180), rng.uniform(0, 360), s))
        if t == 1:
            cases += [(80, 10, 0, 3e6), (80, 10, 180, 3e6), (-80, -170, 180, 3e6),
                      (-80, -170, 0, 3e6), (89.9, 0, 0, 2e6), (0, 10, 270, 5e6),
                      (0, 10, 90, 5e6), (0, -170, 270, 1e6), (0, 170, 90, 1e6),
                      (45, 179, 90, 1e6), (30, 0, 270, 1.5e7), (0, 0, 0, 1e7),
                      (10, 20, 90, 1e-3), (-45, 30, 359.9999, 1e5)]
        inp = ["%.12f %.12f %.12f %.6f" % c for c in cases]
        out = run("GeodSolve", ell_args(t) + ["-p", "10"], inp)
        for i, o in zip(inp, out):
            b2, l2, _ = o.split()
            dirs.append("%d %s %s %s" % (t, i, b2, l2))
    write("geodesic_inverse.txt", "type B1 L1 B2 L2  S A1", inv)
    write("geodesic_direct.txt", "type B1 L1 A1 S  B2 L2", dirs)


def make_gauss(rng):
    fwd, rev = [], []
    for t in ELLIPSOIDS:
        for band, count in ((3.0, COUNTS[t]), (6.0, COUNTS[t] // 2)):
            l0s, pts = [], []
            for _ in range(count):
                l0 = rng.choice([3 * rng.randint(25, 45), 6 * rng.randint(13, 23) - 3,
                                 round(rng.uniform(-180, 180), 3)])
                inner = 0.0 if band == 3.0 else 3.0
                dl = rng.uniform(inner, band) * rng.choice([-1, 1])
                b = rng.uniform(-84, 84)
                l0s.append(l0)
                pts.append((b, l0 + dl))
            for l0, p in zip(l0s, pts):
                o = run("TransverseMercatorProj",
                        ell_args(t) + ["-k", "1", "-l", repr(l0), "-p", "9"],
                        ["%.12f %.12f" % p])[0]
                easting, northing = o.split()[:2]
                fwd.append("%d %g %s %.12f %.12f %s %s" % (t, band, repr(l0), p[0], p[1],
                                                          northing, easting))
            # Inverse: random plane points of the same band.
            for l0, p in zip(l0s, pts):
                e = run("TransverseMercatorProj",
                        ell_args(t) + ["-k", "1", "-l", repr(l0), "-p", "3"],
                        ["%.12f %.12f" % p])[0].split()
                northing = float(e[1]) + rng.uniform(-50, 50)
                easting = float(e[0]) + rng.uniform(-50, 50)
                o = run("TransverseMercatorProj",
                        ell_args(t) + ["-k", "1", "-l", repr(l0), "-r", "-p", "9"],
                        ["%.4f %.4f" % (easting, northing)])[0]
                b, l = o.split()[:2]
                rev.append("%d %g %s %.4f %.4f %s %s" % (t, band, repr(l0), northing, easting,
                                                        b, l))
    write("gauss_forward.txt", "type band L0 B L  x y   (x northing, y easting without constant)", fwd)
    write("gauss_inverse.txt", "type band L0 x y  B L   (y easting without constant)", rev)


def main():
    rng = random.Random(20240611)
    make_cartesian(rng)
    make_geodesic(rng)
    make_gauss(rng)


if __name__ == "__main__":
    main()
