"""The analyses against the batch tool on copies of the demo database."""
import shutil

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
