"""Orvantella's meteor orbit database, its astronomy and its analyses, from Python.

    import orvantella
    with orvantella.open("MDB") as db:
        orbits = db.orbits             # column name -> numpy array, one item per orbit
        elements = orvantella.orbit_from_radiant(jd, ra, dec, vg)

Angles are degrees, velocities km/s, times Julian or Modified Julian Dates carrying the
program's fixed 64.184 s clock offset.
"""

import os
from collections import namedtuple

import numpy as np

from . import _core
from ._core import Database, Error

__all__ = ["Database", "Error", "Orbit", "open", "sol", "mjd_from_date", "jd_from_date",
           "date_from_mjd", "orbit_from_radiant", "dprime"]

MJD_TO_JD = 2400000.5
MIN_VG_KMS = 0.01

Orbit = namedtuple("Orbit", "a q e peri node incl vs")
Orbit.__doc__ = "Orbital elements (AU, degrees) and heliocentric speed (km/s) of radiants."


def open(path, readonly=True):  # noqa: A001 - orvantella.open, as the module's users expect
    """Loads the MDB folder at path. Read-only unless readonly=False, which allows save()."""
    return Database(str(path), readonly)


def _flat(values, dtype, shape):
    return np.ascontiguousarray(np.broadcast_to(np.asarray(values, dtype=dtype), shape)).ravel()


def _broadcast(*values):
    """The arrays' common shape, refusing non-numbers early with numpy's own message."""
    return np.broadcast(*[np.asarray(v) for v in values]).shape


def _shaped(result, shape):
    result = result.reshape(shape)
    return result[()] if shape == () else result


def _integers(values, shape, name):
    array = np.asarray(values)
    if array.dtype.kind not in "iub":
        if not np.all(np.isfinite(array)) or np.any(array != np.trunc(array)):
            raise ValueError(f"{name} must hold whole numbers")
    return _flat(array, np.int32, shape)


def sol(jd):
    """Solar longitude (degrees, 0 to 360) at Julian dates jd."""
    shape = _broadcast(jd)
    return _shaped(_core._sol(_flat(jd, np.float64, shape)), shape)


def mjd_from_date(year, month, day, hour=0, minute=0, second=0):
    """Modified Julian Date of whole-number dates and times (with the 64.184 s offset)."""
    parts = (year, month, day, hour, minute, second)
    names = ("year", "month", "day", "hour", "minute", "second")
    shape = _broadcast(*parts)
    flat = [_integers(v, shape, n) for v, n in zip(parts, names)]
    return _shaped(_core._mjd_from_date(*flat), shape)


def jd_from_date(year, month, day, hour=0, minute=0, second=0):
    """Julian Date of whole-number dates and times (with the 64.184 s offset)."""
    return mjd_from_date(year, month, day, hour, minute, second) + MJD_TO_JD


def date_from_mjd(mjd):
    """(year, month, day) of MJDs between 1900-01-01 and 2099-12-31; the time is dropped."""
    shape = _broadcast(mjd)
    year, month, day, inside = _core._date_from_mjd(_flat(mjd, np.float64, shape))
    if not inside.all():
        outside = np.asarray(mjd, dtype=np.float64).ravel()[~inside][0]
        raise ValueError(f"MJD {outside} lies outside 1900-01-01 to 2099-12-31")
    return tuple(_shaped(part, shape) for part in (year, month, day))


def orbit_from_radiant(jd, ra, dec, vg):
    """Heliocentric orbits of meteoroids from geocentric radiants (degrees) and vg (km/s)."""
    shape = _broadcast(jd, ra, dec, vg)
    flat = [_flat(v, np.float64, shape) for v in (jd, ra, dec, vg)]
    slow = ~(flat[3] >= MIN_VG_KMS)
    if slow.any():
        raise ValueError(f"vg must be at least {MIN_VG_KMS:.2f} km/s, "
                         f"not {flat[3][slow][0]} (item {np.flatnonzero(slow)[0]})")
    return Orbit(*(_shaped(part, shape) for part in _core._orbit_from_radiant(*flat)))


_DPRIME_KEYS = ("e", "q", "incl", "node", "peri")


def _dprime_parts(orbit):
    if hasattr(orbit, "keys"):
        return [orbit[key] for key in _DPRIME_KEYS]
    parts = list(orbit)
    if len(parts) != len(_DPRIME_KEYS):
        raise ValueError("an orbit is (e, q, incl, node, peri)")
    return parts


def dprime(orbit1, orbit2):
    """Drummond's D' between orbits, each a mapping with keys e, q, incl, node, peri (such as
    db.orbits) or a sequence in that order; the arrays broadcast."""
    parts = _dprime_parts(orbit1) + _dprime_parts(orbit2)
    shape = _broadcast(*parts)
    flat = [_flat(v, np.float64, shape) for v in parts]
    return _shaped(_core._dprime(flat[:5], flat[5:]), shape)


def _pair(name, value, names):
    values = tuple(value) if np.ndim(value) else (value,)
    if len(values) != len(names):
        raise ValueError(f"{name} is ({', '.join(names)})")
    return dict(zip(names, map(float, values)))


def _date_parts(date):
    if hasattr(date, "year"):
        return date.year, date.month, date.day
    parts = date.split("-") if isinstance(date, str) else date
    year, month, day = (int(part) for part in parts)
    return year, month, day


def _conditions(*, date=None, days=None, all_years=None, ra=None, dec=None, vg=None, radiant=None,
                radius=None, orbit=None, dprime=None):
    conditions = {}
    if date is not None:
        conditions.update(zip(("dlg_Y", "dlg_M", "dlg_D"), _date_parts(date)))
    if days is not None:
        conditions.update(po_daysC=1, po_days=int(days))
    if all_years is not None:
        conditions["po_allyC"] = 1 if all_years else 0
    for name, value, keys in (("ra", ra, ("po_rC", "po_r1", "po_r2")),
                              ("dec", dec, ("po_dC", "po_d1", "po_d2")),
                              ("vg", vg, ("po_vC", "po_v1", "po_v2"))):
        if value is not None:
            conditions[keys[0]] = 1
            conditions.update(zip(keys[1:], _pair(name, value, ("value", "width")).values()))
    if radiant is not None:
        conditions.update(zip(("po_r1", "po_d1"), _pair("radiant", radiant, ("ra", "dec")).values()))
    if radius is not None:
        conditions.update(po_RC=1, po_R=float(radius))
    if orbit is not None:
        elements = _pair("orbit", orbit, ("a", "q", "e", "peri", "node", "incl")).values()
        conditions.update(zip(("po_a1", "po_q1", "po_e1", "po_p1", "po_n1", "po_i1"), elements))
    if dprime is not None:
        conditions.update(po_DC=1, po_D=float(dprime))
    return conditions


def _select(self, stream=None, sol=None, **conditions):
    """The Orbit page's selection: orbits of the stream with this code, within days of the
    date (datetime.date, "Y-M-D" or (Y, M, D); in every year unless all_years=False), within
    width of ra, dec or vg given as (value, width), within radius degrees of the radiant
    (ra, dec), within dprime of the reference orbit (a, q, e, peri, node, incl). sol replaces
    the date's solar longitude as the centre of the window. Returns {"OID": the selected
    orbits' IDs, "selected": how many were averaged, "averages": {name: value}}."""
    return self._select(_conditions(**conditions), stream, None if sol is None else float(sol))


STAR_CATALOGUE = "VexoStarMap.txt"


def _star_folder():
    """The build folder (the module lies in its python/orvantella), else the installed data."""
    here = os.path.dirname(os.path.abspath(__file__))
    folders = [os.path.dirname(os.path.dirname(here)), Database._data_dir]
    for folder in folders:
        if os.path.isfile(os.path.join(folder, STAR_CATALOGUE)):
            return folder
    raise Error(f"{STAR_CATALOGUE} not found in {' or '.join(folders)}")


def _render_map(self, kind, width=800, height=600, stream=None, sol=None, **conditions):
    """The sky, radiant or orbit map of the selection (same arguments as select()) as the map
    pages draw it with their default settings: an array of height x width x 3 uint8 RGB, top
    row first, each side cut down to a multiple of four pixels."""
    return self._render_map(kind, int(width), int(height), _conditions(**conditions), stream,
                            None if sol is None else float(sol), _star_folder())


Database.select = _select
Database.render_map = _render_map


def _to_pandas(self, name):
    """The table (orbits, streams, lists, data_sources or orbit_files) as a pandas DataFrame."""
    import pandas
    if name not in _TABLES:
        raise ValueError(f"no table {name}; tables: {', '.join(_TABLES)}")
    return pandas.DataFrame(getattr(self, name))


_TABLES = ("orbits", "streams", "lists", "data_sources", "orbit_files")
Database.to_pandas = _to_pandas
