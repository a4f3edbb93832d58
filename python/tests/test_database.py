"""The database as arrays, its links, save and close, against the batch tool on the demo."""
import filecmp
import os
import shutil

import numpy as np
import pytest

import orvantella
from conftest import link_pairs, name_values, usolink_pairs

DEMO_LIST = "L_IAU_IAU_established"
TABLES = {"data_sources": "data_sources", "lists": "stream_lists", "streams": "streams",
          "orbits": "orbits", "orbit_files": "orbit_files"}


@pytest.fixture(scope="module")
def demo_db(demo_source):
    with orvantella.open(demo_source) as db:
        yield db


def test_row_counts_equal_the_batch_tool(batch, demo_source, demo_db):
    info = name_values(batch("info", demo_source))
    for table, key in TABLES.items():
        columns = getattr(demo_db, table)
        assert {len(values) for values in columns.values()} == {int(info[key])}, table
    assert len(demo_db.links(DEMO_LIST)["OID"]) == int(info["stream_orbit_links"])


@pytest.mark.parametrize("table, column, dtype", [
    ("orbits", "OID", np.uint32), ("orbits", "use", np.uint32), ("orbits", "type", np.int32),
    ("orbits", "vg", np.float32), ("orbits", "T/e", np.float32), ("orbits", "sel", np.uint32),
    ("orbits", "vs", np.float32), ("streams", "S-O", np.int32), ("streams", "D'", np.float32),
    ("streams", "TypicalOID", np.uint32), ("data_sources", "IDnext", np.uint32),
])
def test_numbers_have_their_columns_dtype(demo_db, table, column, dtype):
    assert getattr(demo_db, table)[column].dtype == dtype


@pytest.mark.parametrize("table, column", [
    ("orbits", "name"), ("orbits", "memo"), ("orbits", "stream"), ("orbits", "M/D"),
    ("orbits", "code"), ("streams", "code"), ("streams", "M/Dp"), ("lists", "name"),
    ("data_sources", "code"), ("orbit_files", "orbit file name"),
])
def test_texts_are_python_strings(demo_db, table, column):
    values = getattr(demo_db, table)[column]
    assert values.dtype == object and all(isinstance(v, str) for v in values)


def test_columns_hold_the_tables_values(demo_db):
    sources = demo_db.data_sources
    assert list(sources["code"]) == ["IAU", "GMN", "WK"]
    assert list(sources["DSID"]) == [1, 1000, 41000]
    assert list(demo_db.lists["name"]) == [DEMO_LIST]
    orbits = demo_db.orbits
    assert "exist" not in orbits and "SLINK" not in orbits and "dline" not in orbits
    assert np.all(orbits["OID"] // 100000 == 1000)
    # The position code is derived from sol, ra, dec and vg at load.
    alphabet = "0123456789abcdefghijklmnopqrstuvwxyz"
    cells = [np.clip((v // 10 if k < 2 else v), 0, 35).astype(int) for k, v in enumerate(
        [orbits["sol"], orbits["ra"], (90 - orbits["dec"]) // 5, orbits["vg"] * 0.5 // 1])]
    assert list(orbits["code"]) == ["".join(alphabet[c[n]] for c in cells)
                                    for n in range(len(orbits["OID"]))]


def test_links_are_those_the_batch_tool_saves(batch, demo):
    batch("resave", demo)
    links = orvantella.open(demo).links(DEMO_LIST)
    assert link_pairs(links) == usolink_pairs(demo)
    assert links["SID"].dtype == links["OID"].dtype == np.uint32


def test_save_writes_what_the_batch_tool_writes(batch, demo, tmp_path):
    batch_copy = shutil.copytree(demo, tmp_path / "batch")
    batch("resave", batch_copy)
    with orvantella.open(demo, readonly=False) as db:
        db.save()
        assert not db.modified
    for folder in ("", "orbits"):
        compared = filecmp.dircmp(os.path.join(demo, folder), os.path.join(batch_copy, folder))
        assert compared.diff_files == [] and compared.left_only == compared.right_only == []


def test_to_pandas_gives_the_columns(demo_db):
    pandas = pytest.importorskip("pandas")
    frame = demo_db.to_pandas("streams")
    assert isinstance(frame, pandas.DataFrame)
    assert list(frame.columns) == list(demo_db.streams) and len(frame) == len(frame["SID"])
    with pytest.raises(ValueError, match="no table meteors"):
        demo_db.to_pandas("meteors")


def test_closing_releases_the_tables(demo_source):
    with orvantella.open(demo_source) as db:
        assert not db.closed and db.readonly and db.path == str(demo_source)
    assert db.closed
    with pytest.raises(orvantella.Error, match="is closed"):
        db.orbits


def broken_orbit_file(mdb):
    with open(os.path.join(mdb, "orbits", "O_GMN_201812.csv"), "a", encoding="ascii") as file:
        file.write("501,not a number\r\n")


@pytest.mark.parametrize("name, prepare, call, text", [
    ("missing folder", lambda mdb: shutil.rmtree(mdb), lambda mdb: orvantella.open(mdb),
     "no MDB folder"),
    ("broken orbit file", broken_orbit_file, lambda mdb: orvantella.open(mdb),
     "orbits/O_GMN_201812.csv could not be read whole"),
    ("read-only save", lambda mdb: None, lambda mdb: orvantella.open(mdb).save(),
     "was opened read-only"),
    ("unknown list", lambda mdb: None, lambda mdb: orvantella.open(mdb).links("L_none"),
     "no stream list in use is named L_none"),
])
def test_failures_raise_the_programs_message(demo, name, prepare, call, text):
    prepare(demo)
    with pytest.raises(orvantella.Error) as raised:
        call(demo)
    assert text in str(raised.value), name


ORBIT_HEADER = ("_Version,_OID,_use,_name,_mjd,_sol,_ra,_dec,_vg,_type,_a,_q,_e,_peri,_node,"
                "_incl,_M,_T/e,_r_sd,_v_sd,_Hb,_He,_zr,_mag,_mass,_memo")


def add_orbits(mdb, count):
    """count numbered orbits in data sources and orbit files of their own (a data source gives
    out fewer than 100000 IDs); returns their OIDs, ra, mjd, names and memos as stored."""
    columns = {"OID": [], "ra": [], "mjd": [], "name": [], "memo": []}
    sources, files = [], []
    for part, first in enumerate(range(0, count, 99999)):
        dsid, rows = 2000 + part, min(99999, count - first)
        lines = [ORBIT_HEADER]
        for k in range(first, first + rows):
            oid, ra, mjd = dsid * 100000 + k - first, k % 3600 / 10, 58000 + k / 1000
            name, memo = f"VidNet{k:07d}", "" if k % 3 else f"m{k % 7}"
            lines.append(f"501,{oid},1,_{name},{mjd:.6f},0,{ra:.1f},10,30,1,"
                         f"0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,_{memo}")
            for column, value in zip(columns, (oid, ra, mjd, name, memo)):
                columns[column].append(value)
        with open(os.path.join(mdb, "orbits", f"O_VIDNET{part}.csv"), "w", encoding="ascii",
                  newline="") as file:
            file.write("\r\n".join(lines) + "\r\n")
        sources.append(f"1,{dsid},1,_VN{part},{dsid * 100000 + rows},_")
        files.append(f"901,1,_O_VIDNET{part}.csv,_")
    for table, lines in (("UDSID.csv", sources), ("UOFile.csv", files)):
        with open(os.path.join(mdb, table), "a", encoding="ascii", newline="") as file:
            file.write("".join(line + "\r\n" for line in lines))
    return columns


def test_large_tables_copy_every_row_each_time(demo):
    # Enough rows for the arrays of 4-byte cells to take whole huge pages of their own.
    added = add_orbits(demo, 600000)
    with orvantella.open(demo) as db:
        for _ in range(2):
            orbits = db.orbits
            mine = np.isin(orbits["OID"], added["OID"])
            assert orbits["OID"][mine].tolist() == added["OID"]
            assert np.array_equal(orbits["ra"][mine], np.float32(added["ra"]))
            assert np.array_equal(orbits["mjd"][mine], np.round(added["mjd"], 6))
            assert orbits["name"][mine].tolist() == added["name"]
            assert orbits["memo"][mine].tolist() == added["memo"]
            del orbits
