"""What the tests share: the batch tool they compare with and copies of the demo database."""
import os
import shutil
import subprocess

import pytest


def _required(variable):
    value = os.environ.get(variable)
    if not value:
        pytest.exit(f"{variable} is not set; run the tests through ctest", returncode=2)
    return value


@pytest.fixture(scope="session")
def batch():
    """Runs the batch tool and returns its standard output's lines; a failure fails the test."""
    tool = _required("ORVANTELLA_BATCH")

    def run(*args):
        done = subprocess.run([tool, *map(str, args)], capture_output=True, text=True, check=False)
        assert done.returncode == 0, done.stderr
        return done.stdout.splitlines()
    return run


@pytest.fixture(scope="session")
def demo_source():
    return _required("ORVANTELLA_DEMO_MDB")


@pytest.fixture
def demo(tmp_path, demo_source):
    """A fresh copy of the demo database, for tests that write."""
    return shutil.copytree(demo_source, tmp_path / "MDB")


def name_values(lines):
    """{"name": "value"} of the batch tool's "name value" lines."""
    return dict(line.split(" ", 1) for line in lines)


def usolink_pairs(mdb):
    """(SID, OID) of the link table the batch tool writes, in file order."""
    with open(os.path.join(mdb, "USOlink.csv"), encoding="ascii") as file:
        return [tuple(int(v) for v in line.split(",")[1:3]) for line in list(file)[1:]]


def link_pairs(links):
    return list(zip(links["SID"].tolist(), links["OID"].tolist()))
