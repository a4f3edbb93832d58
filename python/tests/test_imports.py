"""Imports and the folder's lock, against the batch tool on copies of the demo database."""
import filecmp
import os
import shutil

import numpy as np
import pytest

import orvantella

GMN_DAY = "gmn_traj_summary_20220304_solrange_344.0-345.0.txt"
GMN_MONTH = "gmn_traj_summary_monthly_201812_first40.csv"
IAU_LIST = "iau_mdc_showers.psv"


@pytest.fixture(scope="module")
def sources(demo_source):
    return os.path.join(demo_source, os.pardir, os.pardir, "sources")


def assert_same_folders(left, right):
    for folder in ("", "orbits"):
        compared = filecmp.dircmp(os.path.join(left, folder), os.path.join(right, folder))
        assert compared.diff_files == [] and compared.left_only == compared.right_only == []


def import_lines(counts):
    """What the batch tool prints for an import of many files or with filters."""
    dropped = " ".join(f"{name} {count}" for name, count in counts["dropped"].items())
    return ([f"rows_imported {counts['rows']}", f"dropped {dropped}",
             f"duplicates_skipped {counts['duplicates']}"] +
            [f"file {name}" for name in counts["files"]] +
            [f"data_source {code}" for code in counts["data_sources"]])


def saved(db, counts):
    """A list import changes the tables in memory only, as grouping does."""
    db.save()
    return counts


# An orbit import saves the tables itself, as the batch tool's does.
@pytest.mark.parametrize("args, call, lines", [
    (["import", GMN_DAY, "--dsid", "WK", "--target", "O_mine.csv"],
     lambda db, s: db.import_file(os.path.join(s, GMN_DAY), dsid="WK", target="O_mine.csv"),
     lambda counts: [f"rows_imported {counts['rows']}"]),
    (["import", GMN_MONTH, "--dsid", "WK", "--min-qc", "10", "--max-e", "1"],
     lambda db, s: db.import_file(os.path.join(s, GMN_MONTH), dsid="WK", min_qc=10, max_e=1),
     import_lines),
    (["list-import", IAU_LIST, "--dsid", "WK", "--status", "working"],
     lambda db, s: saved(db, db.list_import(os.path.join(s, IAU_LIST), dsid="WK",
                                            status="working")),
     lambda counts: [f"list {counts['list']}", f"streams {counts['streams']}"]),
])
def test_imports_equal_the_batch_tool(batch, demo, sources, tmp_path, args, call, lines):
    batch_copy = shutil.copytree(demo, tmp_path / "batch")
    printed = batch(args[0], batch_copy, os.path.join(sources, args[1]), *args[2:])
    with orvantella.open(demo, readonly=False) as db:
        counts = call(db, sources)
        assert lines(counts) == printed
    assert_same_folders(demo, batch_copy)


def tables_of(db):
    return {name: getattr(db, name) for name in ("orbits", "streams", "lists", "data_sources")}


def assert_same_tables(before, after):
    for name, columns in before.items():
        assert all(np.array_equal(values, after[name][column])
                   for column, values in columns.items()), name


def broken_list(tmp_path, db):
    """The database's first stream as the batch tool exports it, then a broken line."""
    path = tmp_path / "ULE_broken.csv"
    streams = db.streams
    fields = ("SID", "use", "code", "name", "sol1", "sol2", "solp", "ra", "dec", "dra", "ddec",
              "vg", "type", "R", "dv", "D'", "TypicalOID", "memo")
    first = [streams[name][0] for name in fields]
    header = ",".join("_" + name for name in ("Version",) + fields)
    line = ",".join(["301"] + [f"_{v}" if isinstance(v, str) else f"{v:.6f}"
                               if isinstance(v, np.floating) else str(v) for v in first])
    path.write_text(f"{header}\r\n{line}\r\n301,2,1,_STA,_broken\r\n", encoding="ascii")
    return str(path)


def junk_orbits(tmp_path):
    path = tmp_path / "junk.txt"
    path.write_text("no orbits here\n", encoding="ascii")
    return str(path)


def group(db):
    db.group("L_IAU_IAU_established")


@pytest.mark.parametrize("readonly, prepare, call, text", [
    (False, None, lambda db, tmp: db.import_file(junk_orbits(tmp), dsid="WK"), "junk.txt"),
    (False, None, lambda db, tmp: db.import_file(junk_orbits(tmp), dsid="SkyCam"),
     "no data source in use has the code SkyCam"),
    (True, None, lambda db, tmp: db.import_file(junk_orbits(tmp), dsid="WK"),
     "was opened read-only"),
    (False, group, lambda db, tmp: db.import_file(junk_orbits(tmp), dsid="WK"),
     "save() the changes made first"),
    (False, None, lambda db, tmp: db.list_import(broken_list(tmp, db), dsid="WK"),
     "ULE_broken.csv was broken"),
    (False, None, lambda db, tmp: db.list_import(junk_orbits(tmp), dsid="WK", status="some"),
     'status is "established", "working" or "all"'),
])
def test_a_failed_import_changes_nothing(demo, demo_source, tmp_path, readonly, prepare, call,
                                         text):
    with orvantella.open(demo, readonly=readonly) as db:
        if prepare:
            prepare(db)
        before = tables_of(db)
        with pytest.raises((orvantella.Error, ValueError)) as raised:
            call(db, tmp_path)
        assert text in str(raised.value)
        assert_same_tables(before, tables_of(db))
    assert_same_folders(demo, demo_source)


@pytest.mark.parametrize("first_readonly, second_readonly", [
    (False, False), (False, True), (True, False), (True, True)])
def test_one_writer_or_many_readers_hold_the_folder(demo, first_readonly, second_readonly):
    with orvantella.open(demo, readonly=first_readonly):
        if first_readonly and second_readonly:
            orvantella.open(demo).close()
        else:
            with pytest.raises(orvantella.Error) as raised:
                orvantella.open(demo, readonly=second_readonly)
            assert f"{demo} is in use by process {os.getpid()}" in str(raised.value)
    # Leaving the block released the folder.
    orvantella.open(demo, readonly=False).close()
