"""The vectorised astronomy against the batch tool, item by item, in the tool's "%.6f"."""
import numpy as np
import pytest

import orvantella

RANDOM = np.random.default_rng(26)


def six(values):
    return ["%.6f" % v for v in np.atleast_1d(values)]


def random_radiants(count):
    """Meteors of 1950 to 2050: radiants anywhere, vg 11 to 72 km/s."""
    return (RANDOM.uniform(2433282.5, 2469807.5, count), RANDOM.uniform(0, 360, count),
            np.degrees(np.arcsin(RANDOM.uniform(-1, 1, count))), RANDOM.uniform(11, 72, count))


def test_sol_equals_the_batch_tool(batch):
    jd = np.concatenate([[2451545.0, 2451767.5, 2458465.3], RANDOM.uniform(2415021, 2488069, 5)])
    assert six(orvantella.sol(jd)) == [batch("sol", repr(t))[0] for t in jd]


@pytest.mark.parametrize("date", [(2000, 1, 1, 0, 0, 0), (2018, 12, 14, 2, 17, 36),
                                  (1900, 3, 1, 23, 59, 59), (2099, 12, 31, 12, 0, 0)])
def test_mjd_and_jd_equal_the_batch_tool(batch, date):
    mjd = batch("mjd", *date)[0]
    assert six(orvantella.mjd_from_date(*date)) == [mjd]
    assert six(orvantella.jd_from_date(*date) - orvantella.MJD_TO_JD) == [mjd]


def test_date_from_mjd_equals_the_batch_tool(batch):
    mjd = np.array([51544.0, 51544.0008, 15020.5, 58466.25, 88068.9])
    year, month, day = orvantella.date_from_mjd(mjd)
    assert [f"{y} {m} {d}" for y, m, d in zip(year, month, day)] == \
        [batch("date", repr(m))[0] for m in mjd]


def test_orbit_from_radiant_equals_the_batch_tool(batch):
    jd, ra, dec, vg = (np.concatenate([[2451767.5], part]) for part in random_radiants(12))
    orbit = orvantella.orbit_from_radiant(jd, ra, dec, vg)
    mine = [" ".join(six(values)) for values in zip(*orbit)]
    assert mine == [batch("orbit", *map(repr, radiant))[0] for radiant in zip(jd, ra, dec, vg)]


def test_dprime_equals_the_batch_tool(batch):
    count = 10
    orbits = [dict(e=RANDOM.uniform(0.05, 1.2, count), q=RANDOM.uniform(0.05, 1.0, count),
                   incl=RANDOM.uniform(0, 180, count), node=RANDOM.uniform(0, 360, count),
                   peri=RANDOM.uniform(0, 360, count)) for _ in range(2)]
    keys = ("e", "q", "incl", "node", "peri")
    expected = [batch("dprime", *[repr(o[k][n]) for o in orbits for k in keys])[0]
                for n in range(count)]
    assert six(orvantella.dprime(*orbits)) == expected
    as_sequences = [tuple(o[k] for k in keys) for o in orbits]
    assert six(orvantella.dprime(*as_sequences)) == expected


@pytest.mark.parametrize("name, call, shape", [
    ("scalar in, scalar out", lambda: orvantella.sol(2451545.0), ()),
    ("shape kept", lambda: orvantella.sol(np.full((2, 3), 2451545.0)), (2, 3)),
    ("broadcast", lambda: orvantella.mjd_from_date(2018, 12, np.arange(1, 32)), (31,)),
    ("each element", lambda: orvantella.orbit_from_radiant(2451767.5, [48.2, 10], 58.1, 59.1).q,
     (2,)),
    ("one orbit to many", lambda: orvantella.dprime((0.9, 0.14, 23, 261, 324),
                                                    (np.full(4, 0.9), 0.14, 23, 261, 324)), (4,)),
])
def test_results_are_float64_of_the_inputs_shape(name, call, shape):
    result = np.asarray(call())
    assert (result.dtype, result.shape) == (np.float64, shape), name


@pytest.mark.parametrize("call, error, text", [
    (lambda: orvantella.orbit_from_radiant(2451767.5, 48.2, 58.1, [59.1, 0.0]), ValueError,
     "vg must be at least 0.01 km/s, not 0.0 (item 1)"),
    (lambda: orvantella.orbit_from_radiant(2451767.5, 48.2, 58.1, np.nan), ValueError,
     "vg must be at least 0.01 km/s"),
    (lambda: orvantella.mjd_from_date(2018, 12, 14.5), ValueError, "day must hold whole numbers"),
    (lambda: orvantella.date_from_mjd([51544.0, 1000.0]), ValueError,
     "MJD 1000.0 lies outside 1900-01-01 to 2099-12-31"),
    (lambda: orvantella.dprime((0.9, 0.14, 23), (0.9, 0.14, 23, 261, 324)), ValueError,
     "an orbit is (e, q, incl, node, peri)"),
])
def test_bad_input_raises_with_a_message(call, error, text):
    with pytest.raises(error) as raised:
        call()
    assert text in str(raised.value)
