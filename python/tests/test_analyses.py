"""The analyses against the batch tool on copies of the demo database."""
import _thread
import filecmp
import shutil
import threading

import numpy as np
import pytest

import orvantella
from conftest import link_pairs, usolink_pairs

DEMO_LIST = "L_IAU_IAU_established"


@pytest.mark.parametrize("args, options", [
    (["--rvg"], {}),
    (["--rvg", "--pri", "--kr", "150", "--kv", "80"], dict(pri=True, kr=150, kv=80)),
    (["--dprime", "--exclusive", "--dr", "--kd", "300"],
     dict(method="dprime", exclusive=True, dr=True, kd=300)),
])
def test_grouping_equals_the_batch_tool(batch, demo, tmp_path, args, options):
    batch_copy = shutil.copytree(demo, tmp_path / "batch")
    printed = batch("group", batch_copy, DEMO_LIST, *args)
    with orvantella.open(demo) as db:
        counts = db.group(DEMO_LIST, **options)
        lines = [f"{code} {count}" for code, count in zip(counts["code"], counts["count"])]
        assert lines + [f"total {counts['count'].sum()}"] == printed
        assert link_pairs(db.links(DEMO_LIST)) == usolink_pairs(batch_copy)
        assert db.modified


@pytest.mark.parametrize("call, error, text", [
    (lambda db: db.group("L_none"), orvantella.Error, "no stream list in use is named L_none"),
    (lambda db: db.group(DEMO_LIST, method="sh"), ValueError, 'method is "rvg" or "dprime"'),
    (lambda db: db.select(stream="IAU_XXX"), orvantella.Error, "no stream has the code IAU_XXX"),
    (lambda db: db.cluster("L_none", dsid="GMN"), orvantella.Error,
     "no stream list in use is named L_none"),
    (lambda db: db.cluster(DEMO_LIST, dsid="SkyCam"), orvantella.Error,
     "no data source in use has the code SkyCam"),
    (lambda db: db.select(vg=35), ValueError, "vg is (value, width)"),
])
def test_analyses_refuse_bad_arguments(demo_source, call, error, text):
    with orvantella.open(demo_source) as db, pytest.raises(error) as raised:
        call(db)
    assert text in str(raised.value)


@pytest.mark.parametrize("args, conditions", [
    (["--stream", "IAU_GEM"], dict(stream="IAU_GEM")),
    (["--date", "2018-12-14", "--days", "2", "--vg", "35", "5"],
     dict(date="2018-12-14", days=2, vg=(35, 5))),
    (["--date", "2022-03-04", "--days", "1", "--all-years", "0", "--ra", "180", "60"],
     dict(date=(2022, 3, 4), days=1, all_years=False, ra=(180, 60))),
    (["--sol", "262", "--days", "3", "--radiant", "112", "33", "--radius", "5"],
     dict(sol=262, days=3, radiant=(112, 33), radius=5)),
    (["--orbit", "1.3", "0.14", "0.89", "324", "261", "23", "--dprime", "0.2", "--dec", "30", "8"],
     dict(orbit=(1.3, 0.14, 0.89, 324, 261, 23), dprime=0.2, dec=(30, 8))),
])
def test_selection_equals_the_batch_tool(batch, demo_source, tmp_path, args, conditions):
    printed = batch("select", demo_source, *args)
    exported = tmp_path / "selected.csv"
    batch("export-selection", demo_source, exported, *args)
    with open(exported, encoding="ascii") as file:
        oids = [int(line.split(",")[1]) for line in list(file)[1:]]
    with orvantella.open(demo_source) as db:
        selection = db.select(**conditions)
    lines = [f"selected {selection['selected']}"] + \
        [f"{name} {value:.6f}" for name, value in selection["averages"].items()]
    assert lines == printed
    assert selection["OID"].tolist() == oids and selection["OID"].dtype == np.uint32


@pytest.mark.parametrize("args, parameters", [
    ([], {}),
    (["--sol", "5", "--r", "3", "--v", "20", "--d", "0.1", "--minc", "3"],
     dict(sol=5, r=3, v=20, d=0.1, minc=3)),
])
def test_clustering_equals_the_batch_tool(batch, demo, tmp_path, args, parameters):
    batch_copy = shutil.copytree(demo, tmp_path / "batch")
    printed = batch("cluster", batch_copy, DEMO_LIST, "--dsid", "GMN", *args)
    reports = []
    with orvantella.open(demo, readonly=False) as db:
        clusters = db.cluster(DEMO_LIST, dsid="GMN", progress=reports.append, **parameters)
        assert db.modified
        db.save()
    assert clusters["log"].splitlines() == printed
    assert "".join(line for report in reports for line in report["log"]) == clusters["log"]
    # The members are the centre and its neighbours.
    assert [len(members) - 1 for members in clusters["members"]] == clusters["count"].tolist()
    assert all(centre in members for centre, members in zip(clusters["centre"],
                                                            clusters["members"]))
    # The new streams, their links and the data source's IDs are stored as the batch tool's.
    for table in ("UStream.csv", "USOlink.csv", "ULSlink.csv", "UDSID.csv"):
        assert filecmp.cmp(demo / table, batch_copy / table, shallow=False), table


def add_dense_shower(mdb, count):
    """count orbits of one radiant and orbit: every pair is similar, so clustering them counts
    count * (count - 1) / 2 pairs."""
    header = ("_Version,_OID,_use,_name,_mjd,_sol,_ra,_dec,_vg,_type,_a,_q,_e,_peri,_node,"
              "_incl,_M,_T/e,_r_sd,_v_sd,_Hb,_He,_zr,_mag,_mass,_memo")
    with open(mdb / "orbits" / "O_GMN_dense.csv", "w", encoding="ascii", newline="") as file:
        file.write(header + "\r\n")
        for n in range(count):
            file.write(f"501,{100002000 + n},1,_dense{n},58466.0,262.0,112.0,33.0,34.0,1,1.3,"
                       "0.14,0.89,324.0,261.0,23.0,0,0,0,0,0,0,0,0,0,_\r\n")
    with open(mdb / "UOFile.csv", "a", encoding="ascii", newline="") as file:
        file.write("901,1,_O_GMN_dense.csv,_\r\n")
    # The GMN data source gives out IDs above the new orbits', as the loader requires.
    sources = mdb / "UDSID.csv"
    with open(sources, encoding="ascii", newline="") as file:
        lines = file.read().split("\r\n")
    for n, line in enumerate(lines):
        fields = line.split(",")
        if len(fields) > 4 and fields[3] == "_GMN":
            fields[4] = str(max(int(fields[4]), 100002000 + count))
            lines[n] = ",".join(fields)
    with open(sources, "w", encoding="ascii", newline="") as file:
        file.write("\r\n".join(lines))


def test_ctrl_c_stops_a_clustering_and_leaves_the_database_usable(demo):
    add_dense_shower(demo, 30000)
    with orvantella.open(demo, readonly=False) as db:
        before = db.orbits["OID"].tolist()
        timer = threading.Timer(0.3, _thread.interrupt_main)
        timer.start()
        with pytest.raises(KeyboardInterrupt):
            db.cluster(DEMO_LIST, dsid="GMN", d=10, r=180, sol=180)
        timer.join()
        assert db.orbits["OID"].tolist() == before and not db.modified
        assert db.group(DEMO_LIST)["count"].sum() > 0


@pytest.mark.parametrize("kind, args, options", [
    ("sky", ["--stream", "IAU_GEM"], dict(stream="IAU_GEM")),
    ("radiant", ["--date", "2018-12-14", "--days", "3"], dict(date="2018-12-14", days=3)),
    ("orbit", ["--stream", "IAU_GEM", "--width", "403", "--height", "250"],
     dict(stream="IAU_GEM", width=403, height=250)),
])
def test_maps_equal_the_batch_tools_pixels(batch, demo_source, tmp_path, kind, args, options):
    image = pytest.importorskip("matplotlib.image")
    png = tmp_path / f"{kind}.png"
    batch("map", demo_source, kind, png, *args)
    expected = np.round(image.imread(png)[:, :, :3] * 255).astype(np.uint8)
    with orvantella.open(demo_source) as db:
        pixels = db.render_map(kind, **options)
    assert pixels.dtype == np.uint8 and pixels.shape == expected.shape
    assert np.array_equal(pixels, expected)
    assert len(np.unique(pixels.reshape(-1, 3), axis=0)) > 2
