#!/usr/bin/env python3
"""Speed of the Python module beside the batch tool's figures, measured in the same run.

    PYTHONPATH=build/python python3 python/bench/bench_module.py --build build

1. An MDB of a million synthetic orbits (the demo's tables plus one big orbit file) is loaded
   by orvantella.open() and by "orvantella-batch info"; then db.orbits turns the loaded table
   into arrays, timed as a ratio to the load.
2. orbit_from_radiant() over a million radiants, beside bench_astro's elements and speeds of a
   million radiants on one thread (by the two functions, and in one pass as the module does).
The machine is shared: every figure is the best of --repetitions runs.
"""
import argparse
import json
import os
import shutil
import subprocess
import tempfile
import time

import numpy as np

import orvantella

IDS_PER_SOURCE = 100000
FIRST_BENCH_DSID = 1001
ORBIT_HEADER = ("_Version,_OID,_use,_name,_mjd,_sol,_ra,_dec,_vg,_type,_a,_q,_e,_peri,_node,"
                "_incl,_M,_T/e,_r_sd,_v_sd,_Hb,_He,_zr,_mag,_mass,_memo")


def best_of(repetitions, work):
    """The best time of work(); what it returns is freed after the clock stops, as freeing a
    million Python strings is the caller's work, not the call's."""
    times = []
    for _ in range(repetitions):
        start = time.perf_counter()
        result = work()
        times.append(time.perf_counter() - start)
        del result
    return min(times)


def write_orbit_file(path, first_oid, count, random):
    """count orbits with IDs from first_oid, plausible values and names, 1 memo in 10."""
    floats = np.column_stack([
        random.uniform(58000, 59461, count), random.uniform(0, 360, count),
        random.uniform(0, 360, count), random.uniform(-60, 80, count),
        random.uniform(11, 72, count), random.uniform(0.5, 5, count),
        random.uniform(0.05, 1, count), random.uniform(0.1, 1.1, count),
        random.uniform(0, 360, (count, 3)) * [1, 1, 0.5], np.zeros((count, 2)),
        random.uniform(0, 2, (count, 2)), random.uniform(70, 110, (count, 2)),
        np.zeros(count), random.uniform(-2, 5, count), random.uniform(0, 0.01, count)])
    with open(path, "w", encoding="ascii", newline="") as file:
        file.write(ORBIT_HEADER + "\r\n")
        for n in range(count):
            f = floats[n]
            memo = "bench" if n % 10 == 0 else ""
            file.write(f"501,{first_oid + n},1,_2021{first_oid + n:010d}_bench,{f[0]:.6f},"
                       f"{f[1]:.6f},{f[2]:.6f},{f[3]:.6f},{f[4]:.6f},1,"
                       + ",".join(f"{v:.6f}" for v in f[5:]) + f",_{memo}\r\n")


def make_mdb(folder, demo, count):
    """The demo plus count synthetic orbits, in data sources of their own (one data source
    gives out fewer than IDS_PER_SOURCE IDs) with one orbit file each."""
    shutil.copytree(demo, folder)
    random = np.random.default_rng(26)
    sources, files = [], []
    for k, first in enumerate(range(0, count, IDS_PER_SOURCE - 1)):
        rows = min(IDS_PER_SOURCE - 1, count - first)
        dsid = FIRST_BENCH_DSID + k
        name = f"O_BENCH{k}.csv"
        write_orbit_file(os.path.join(folder, "orbits", name), dsid * IDS_PER_SOURCE, rows, random)
        sources.append(f"1,{dsid},1,_BENCH{k},{dsid * IDS_PER_SOURCE + rows},_synthetic")
        files.append(f"901,1,_{name},_synthetic")
    for table, lines in (("UDSID.csv", sources), ("UOFile.csv", files)):
        with open(os.path.join(folder, table), "a", encoding="ascii", newline="") as file:
            file.write("".join(line + "\r\n" for line in lines))


def million_orbits_and_speeds(build, repetitions):
    """bench_astro's best real seconds for the elements and speeds of a million radiants on one
    thread, by its argument: onePass:0 by the two functions, onePass:1 as the module computes."""
    done = subprocess.run(
        [os.path.join(build, "bench", "bench_astro"),
         "--benchmark_filter=BM_MillionOrbitsAndSpeeds", "--benchmark_format=json",
         f"--benchmark_repetitions={repetitions}"],
        capture_output=True, text=True, check=True)
    best = {}
    for run in json.loads(done.stdout)["benchmarks"]:
        if run.get("run_type", "iteration") == "iteration":
            name = run["run_name"].split("/")[1]
            best[name] = min(best.get(name, float("inf")), run["real_time"])
    return best


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", default="build")
    parser.add_argument("--orbits", type=int, default=1000000)
    parser.add_argument("--repetitions", type=int, default=3)
    args = parser.parse_args()
    batch = os.path.join(args.build, "orvantella-batch")
    demo = os.path.join(args.build, "demo", "MDB")

    with tempfile.TemporaryDirectory() as scratch:
        mdb = os.path.join(scratch, "MDB")
        make_mdb(mdb, demo, args.orbits)
        load = best_of(args.repetitions, lambda: orvantella.open(mdb).close())
        info = best_of(args.repetitions, lambda: subprocess.run([batch, "info", mdb], check=True,
                                                                capture_output=True))
        db = orvantella.open(mdb)
        orbits = best_of(args.repetitions, lambda: db.orbits)
        rows = len(db.orbits["OID"])
        db.close()
    print(f"{rows} orbits: orvantella.open {load:.3f} s, orvantella-batch info {info:.3f} s; "
          f"db.orbits {orbits:.3f} s = {orbits / load:.2f} x the load")

    random = np.random.default_rng(2024)
    count = 1000000
    radiants = (random.uniform(2433282.5, 2469807.5, count), random.uniform(0, 360, count),
                np.degrees(np.arcsin(random.uniform(-1, 1, count))), random.uniform(11, 72, count))
    python = best_of(args.repetitions, lambda: orvantella.orbit_from_radiant(*radiants))
    print(f"orbit_from_radiant over {count} radiants: {python:.3f} s")
    for name, seconds in million_orbits_and_speeds(args.build, args.repetitions).items():
        print(f"  bench_astro elements and speeds of a million radiants, one thread, {name}: "
              f"{seconds:.3f} s, Python (both cores) / C++ = {python / seconds:.2f}")


if __name__ == "__main__":
    main()
