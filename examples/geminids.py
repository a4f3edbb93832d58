#!/usr/bin/env python3
"""The Geminids of the demo database from Python: group, select, cluster, and a Sun-centred
radiant density plot.

    PYTHONPATH=build/python python3 examples/geminids.py [DEMO_MDB] [OUT.png]

The demo database is copied first, so that the grouping works on a copy.
"""
import os
import shutil
import sys
import tempfile

import matplotlib
import numpy as np

import orvantella

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402 - after the backend is chosen

OBLIQUITY_J2000 = np.radians(23.4392911)
HERE = os.path.dirname(os.path.abspath(__file__))


def ecliptic(ra, dec):
    """Ecliptic longitude and latitude (degrees) of J2000 equatorial ra, dec (degrees)."""
    ra, dec = np.radians(ra), np.radians(dec)
    sin_beta = (np.sin(dec) * np.cos(OBLIQUITY_J2000)
                - np.cos(dec) * np.sin(OBLIQUITY_J2000) * np.sin(ra))
    lam = np.arctan2(np.sin(ra) * np.cos(OBLIQUITY_J2000) + np.tan(dec) * np.sin(OBLIQUITY_J2000),
                     np.cos(ra))
    return np.degrees(lam) % 360, np.degrees(np.arcsin(sin_beta))


def main():
    demo = sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, "..", "data", "demo", "MDB")
    out = sys.argv[2] if len(sys.argv) > 2 else "geminids.png"
    with tempfile.TemporaryDirectory() as scratch:
        mdb = shutil.copytree(demo, os.path.join(scratch, "MDB"))
        with orvantella.open(mdb, readonly=False) as db:
            counts = db.group("L_IAU_IAU_established", method="rvg")
            top = np.argsort(counts["count"])[::-1][:3]
            print("R-vg grouping:", ", ".join(f"{counts['code'][k]} {counts['count'][k]}"
                                              for k in top))
            geminids = db.select(stream="IAU_GEM")
            averages = geminids["averages"]
            print(f"Geminids: {geminids['selected']} orbits, radiant ra {averages['ra']:.2f} "
                  f"dec {averages['dec']:.2f}, vg {averages['vg']:.2f} km/s, "
                  f"q {averages['q']:.3f} AU, e {averages['e']:.3f}")
            clusters = db.cluster("L_IAU_IAU_established", dsid="GMN",
                                  progress=lambda p: print("".join(p["log"]), end=""))
            orbits = db.orbits

    lam, beta = ecliptic(orbits["ra"], orbits["dec"])
    sun_centred = (lam - orbits["sol"]) % 360
    is_geminid = np.isin(orbits["OID"], geminids["OID"])
    figure, axes = plt.subplots(figsize=(9, 4.5), dpi=100)
    density = axes.hist2d(sun_centred, beta, bins=(72, 36), range=((0, 360), (-90, 90)),
                          cmap="viridis", cmin=1)
    figure.colorbar(density[3], ax=axes, label="orbits per 5° × 5° cell")
    axes.scatter(sun_centred[is_geminid], beta[is_geminid], s=4, facecolors="none",
                 edgecolors="red", linewidths=0.5, label=f"Geminids ({is_geminid.sum()})")
    centres = np.isin(orbits["OID"], clusters["centre"])
    axes.scatter(sun_centred[centres], beta[centres], marker="+", s=60, color="black",
                 label=f"cluster centres ({centres.sum()})")
    axes.set(xlim=(360, 0), ylim=(-90, 90), xlabel="λ − λ☉ (degrees)", ylabel="β (degrees)",
             title=f"Sun-centred radiant density of {len(sun_centred)} demo orbits")
    axes.legend(loc="lower left", fontsize=8)
    figure.tight_layout()
    figure.savefig(out)
    print("wrote", out)


if __name__ == "__main__":
    main()
