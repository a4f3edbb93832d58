"""The analyses against the batch tool on copies of the demo database."""
import shutil

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
])
def test_analyses_refuse_bad_arguments(demo_source, call, error, text):
    with orvantella.open(demo_source) as db, pytest.raises(error) as raised:
        call(db)
    assert text in str(raised.value)
