#!/usr/bin/env python3
"""Builds the demo meteor database shipped in data/demo/MDB from public data.

Sources (data/sources, each file with its PROVENANCE note): the IAU Meteor
Data Center shower list (established showers become the streams of one stream
list, as the program's own IAU MDC list import makes them: the batch test
"BatchStreamLists.DemoListIsTheImportOfTheIauList" imports the list and
compares) and two Global Meteor Network trajectory summaries (the orbits,
linked to streams by GMN's own shower assignment, whose label each orbit's memo
keeps as the program's GMN import does).

    python3 scripts/make_demo_mdb.py [SOURCES [MDB]]
    python3 scripts/make_demo_mdb.py --check [SOURCES [MDB]]

SOURCES defaults to the project's data/sources and MDB to its data/demo/MDB.
With --check the database is built in a temporary folder and compared with MDB
byte for byte: exit status 0 when they are equal, 1 with the differences listed.
"""
import csv
import filecmp
import math
import os
import struct
import sys
import tempfile

PROJECT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DEFAULT_SOURCES = os.path.join(PROJECT, "data", "sources")
DEFAULT_MDB = os.path.join(PROJECT, "data", "demo", "MDB")
IAU_DSID, GMN_DSID, WORK_DSID = 1, 1000, 41000
GMN_FILES = [
    ("gmn_traj_summary_monthly_201812.txt", "O_GMN_201812.csv", "GMN December 2018"),
    ("gmn_traj_summary_20220304_solrange_344.0-345.0.txt", "O_GMN_20220304.csv",
     "GMN 2022-03-04 sol 344-345"),
]
# Streams of the import keep R, dv and D' at 0: grouping then applies its defaults.
HALF_ACTIVITY_DEG = 10.0
ELEMENTS = [("a", "a"), ("q", "q"), ("e", "e"), ("peri", "peri"), ("node", "node"), ("inc", "i")]

ORBIT_COLUMNS = ["OID", "use", "name", "mjd", "sol", "ra", "dec", "vg", "type", "a", "q", "e",
                 "peri", "node", "incl", "M", "T/e", "r_sd", "v_sd", "Hb", "He", "zr", "mag",
                 "mass", "memo"]
STREAM_COLUMNS = ["SID", "use", "code", "name", "sol1", "sol2", "solp", "ra", "dec", "dra",
                  "ddec", "vg", "type", "R", "dv", "D'", "TypicalOID", "memo"]


def header(columns):
    return "_Version" + "".join(",_" + c for c in columns)


def text(value):
    """Table texts have no quoting: commas and line breaks are replaced."""
    return "_" + value.replace(",", " ").replace("\r", " ").replace("\n", " ")[:254]


def write_table(path, columns, number, rows):
    with open(path, "w", newline="") as out:
        out.write(header(columns) + "\r\n")
        for row in rows:
            out.write(",".join([str(number)] + row) + "\r\n")


def number(field):
    try:
        value = float(field)
    except ValueError:
        return 0.0
    return 0.0 if math.isnan(value) or math.isinf(value) else value


def f(value):
    """Table numbers are single precision: round as the program stores them."""
    return "%f" % struct.unpack("f", struct.pack("f", value))[0]


def given(field):
    """A number of the shower list: blank is missing, "(29.8)" uncertain but given."""
    field = field.strip()
    if field.startswith("(") and field.endswith(")"):
        field = field[1:-1].strip()
    if not field:
        return None
    value = float(field.lstrip("+")) if field not in ("Inf.", "Inf", "inf") else math.inf
    return value if math.isfinite(value) else None


def established_showers(real):
    """Per established shower (IAU number), its last parameter set with a peak, a radiant and
    vg, in the order of the first such set."""
    showers = {}
    with open(os.path.join(real, "iau_mdc_showers.psv")) as source:
        for row in csv.DictReader(source, delimiter="|"):
            if row["s"].strip() != "1" or None in (given(row[k]) for k in ("LaSun", "Ra", "De", "Vg")):
                continue
            showers[int(row["IAUNo"])] = row
    return showers


def f32(value):
    return struct.unpack("f", struct.pack("f", value))[0]


def activity(row, solp):
    """sol1 and sol2 from an activity of two solar longitudes, else the peak -+ 10 degrees."""
    parts = row["Activity"].strip().split("-", 1) if "-" in row["Activity"].strip()[1:] else []
    try:
        window = [float(p) for p in parts]
    except ValueError:
        window = []
    if len(window) == 2 and all(0 <= w <= 360 for w in window):
        return window
    return [(f32(solp - HALF_ACTIVITY_DEG)) % 360, (f32(solp + HALF_ACTIVITY_DEG)) % 360]


def memo(row):
    text_ = "IAU %d/%d" % (int(row["IAUNo"]), int(row["AdNo"] or 0))
    for column, label in ELEMENTS:
        if row[column].strip():
            text_ += " %s %s" % (label, row[column].strip())
    return text_


def stream_rows(showers):
    rows, sid_of_code = [], {}
    for n, row in enumerate(showers.values()):
        sid = IAU_DSID * 100000 + 1 + n
        code = row["Code"].strip() or row["IAUNo"].strip()
        solp = f32(given(row["LaSun"]) % 360)
        sol1, sol2 = activity(row, solp)
        sid_of_code.setdefault(code, sid)
        rows.append([str(sid), "1", text("IAU_" + code)[:8], text(row["Name"].strip()),
                     f(sol1), f(sol2), f(solp), f(given(row["Ra"])), f(given(row["De"])),
                     f(given(row["dRa"]) or 0.0), f(given(row["dDe"]) or 0.0),
                     f(given(row["Vg"])), "1", f(0), f(0), f(0), "0", text(memo(row))])
    return rows, sid_of_code


def orbit_rows(path, first_oid, sid_of_code, links):
    rows = []
    with open(path, newline="") as source:
        for line in source:
            line = line.strip("\r\n")
            if not line or line.startswith("#"):
                continue
            c = [x.strip() for x in line.split(";")]
            oid = first_oid + len(rows)
            jd = number(c[1])
            # GMN's shower label, as the program's GMN import keeps it: the IAU code, empty
            # for "..." (sporadic).
            memo = "" if c[4] in ("", "None", "nan", "...") else c[4]
            rows.append([str(oid), "1", text(c[0]), f(jd - 2400000.5), f(number(c[5])),
                         f(number(c[7])), f(number(c[9])), f(number(c[15])), "1",
                         f(number(c[23])), f(number(c[37])), f(number(c[25])), f(number(c[29])),
                         f(number(c[31])), f(number(c[27])), f(0), f(0), f(number(c[8])),
                         f(number(c[16])), f(number(c[67])), f(number(c[73])), f(0),
                         f(number(c[76])), f(number(c[79])), text(memo)])
            if c[4] in sid_of_code:
                links.append((sid_of_code[c[4]], oid))
    return rows


def main(real, mdb):
    os.makedirs(os.path.join(mdb, "orbits"), exist_ok=True)
    streams, sid_of_code = stream_rows(established_showers(real))
    links, files, next_oid = [], [], GMN_DSID * 100000
    for source, target, memo in GMN_FILES:
        rows = orbit_rows(os.path.join(real, source), next_oid, sid_of_code, links)
        next_oid += len(rows)
        write_table(os.path.join(mdb, "orbits", target), ORBIT_COLUMNS, 501, rows)
        files.append(["1", text(target), text(memo)])
    lid = IAU_DSID * 100000
    write_table(os.path.join(mdb, "UDSID.csv"), ["DSID", "use", "code", "IDnext", "memo"], 1, [
        [str(IAU_DSID), "1", "_IAU", str(IAU_DSID * 100000 + 1 + len(streams)),
         text("IAU Meteor Data Center shower list (January 2023)")],
        [str(GMN_DSID), "1", "_GMN", str(next_oid), text("Global Meteor Network orbits")],
        [str(WORK_DSID), "1", "_WK", str(WORK_DSID * 100000), text("builtin ID for work")],
    ])
    write_table(os.path.join(mdb, "UList.csv"), ["LID", "name", "ver", "memo"], 101,
                [[str(lid), text("L_IAU_IAU_established"), text("v1.0"), text("")]])
    write_table(os.path.join(mdb, "ULSlink.csv"), ["LID", "SID"], 201,
                [[str(lid), row[0]] for row in streams])
    write_table(os.path.join(mdb, "UStream.csv"), STREAM_COLUMNS, 301, streams)
    write_table(os.path.join(mdb, "USOlink.csv"), ["SID", "OID"], 401,
                [[str(sid), str(oid)] for sid, oid in sorted(links)])
    write_table(os.path.join(mdb, "UOFile.csv"), ["use", "orbit file name", "memo"], 901, files)
    print("%d streams, %d orbits, %d links" % (len(streams), next_oid - GMN_DSID * 100000,
                                               len(links)))


def files_below(folder):
    return {os.path.relpath(os.path.join(parent, name), folder)
            for parent, _, names in os.walk(folder) for name in names}


def differences(built, committed):
    """Every file that is missing on one side or whose bytes differ."""
    made, kept = files_below(built), files_below(committed)
    found = ["not committed: %s" % name for name in sorted(made - kept)]
    found += ["not rebuilt: %s" % name for name in sorted(kept - made)]
    found += ["differs: %s" % name for name in sorted(made & kept)
              if not filecmp.cmp(os.path.join(built, name), os.path.join(committed, name),
                                 shallow=False)]
    return found


def check(sources, mdb):
    with tempfile.TemporaryDirectory() as scratch:
        built = os.path.join(scratch, "MDB")
        main(sources, built)
        found = differences(built, mdb)
    if found:
        sys.exit("The demo database rebuilt from %s differs from %s:\n%s"
                 % (sources, mdb, "\n".join(found)))
    print("The rebuilt demo database equals %s" % mdb)


if __name__ == "__main__":
    arguments = sys.argv[1:]
    checking = arguments[:1] == ["--check"]
    if checking:
        arguments = arguments[1:]
    if len(arguments) > 2 or any(a.startswith("-") for a in arguments):
        sys.exit(__doc__)
    folders = arguments + [DEFAULT_SOURCES, DEFAULT_MDB][len(arguments):]
    try:
        (check if checking else main)(*folders)
    except OSError as error:
        sys.exit("make_demo_mdb.py: %s" % error)
