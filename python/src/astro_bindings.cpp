// The astronomy core over numpy arrays: each function takes contiguous float64 (or int32)
// arrays of one length, prepared by the package, and computes on both cores without the GIL.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <array>
#include <vector>

#include "bindings.h"
#include "fresh_array.h"

#include "astro/angles.h"
#include "astro/calendar.h"
#include "astro/orbit_from_radiant.h"
#include "astro/similarity.h"
#include "platform/parallel.h"

namespace py = pybind11;

namespace {

template <typename T> using Input = py::array_t<T, py::array::c_style | py::array::forcecast>;
using Reals = Input<double>;

// Below this many items a second thread costs more than it saves.
constexpr int kMinItemsPerThread = 4096;

py::ssize_t commonLength(std::initializer_list<py::ssize_t> lengths)
{
    const py::ssize_t first = *lengths.begin();
    for (py::ssize_t length : lengths)
        if (length != first)
            throw py::value_error("arrays of different lengths");
    return first;
}

// compute(k) for every item, split between the cores, without the GIL.
template <typename Compute> void forEachItem(py::ssize_t count, Compute compute)
{
    py::gil_scoped_release released;
    onAllCores(static_cast<int>(count), kMinItemsPerThread, [&](int part, int parts) {
        const PartRange range = partRange(static_cast<int>(count), part, parts);
        for (int k = range.first; k < range.last; ++k)
            compute(k);
    });
}

py::array_t<double> solarLongitudes(const Reals& jd)
{
    py::array_t<double> sol(jd.size());
    const double* in = jd.data();
    double* out = sol.mutable_data();
    forEachItem(jd.size(), [&](int k) { out[k] = SolarLongitude(in[k]); });
    return sol;
}

py::array_t<double> mjdFromDate(const Input<int>& year, const Input<int>& month,
                                const Input<int>& day, const Input<int>& hour,
                                const Input<int>& minute, const Input<int>& second)
{
    const py::ssize_t count = commonLength(
        {year.size(), month.size(), day.size(), hour.size(), minute.size(), second.size()});
    py::array_t<double> mjd(count);
    double* out = mjd.mutable_data();
    forEachItem(count, [&](int k) {
        out[k] = DateToMJD(year.data()[k], month.data()[k], day.data()[k], hour.data()[k],
                           minute.data()[k], second.data()[k]);
    });
    return mjd;
}

// Year, month, day, and whether the MJD lies within the calendar tables.
py::tuple dateFromMjd(const Reals& mjd)
{
    py::array_t<int> year(mjd.size()), month(mjd.size()), day(mjd.size());
    py::array_t<bool> inside(mjd.size());
    int *y = year.mutable_data(), *m = month.mutable_data(), *d = day.mutable_data();
    bool* ok = inside.mutable_data();
    forEachItem(mjd.size(), [&](int k) { ok[k] = MJDToDate(mjd.data()[k], y[k], m[k], d[k]); });
    return py::make_tuple(year, month, day, inside);
}

// a, q, e, peri, node, incl, vs from radiants in degrees.
py::tuple orbitsFromRadiants(const Reals& jd, const Reals& raDeg, const Reals& decDeg,
                             const Reals& vgKms)
{
    const py::ssize_t count = commonLength({jd.size(), raDeg.size(), decDeg.size(), vgKms.size()});
    std::array<py::array_t<double>, 7> out;
    std::array<double*, 7> o{};
    for (std::size_t k = 0; k < out.size(); ++k) {
        out[k] = freshArrayOf<double>(static_cast<std::size_t>(count));
        o[k] = out[k].mutable_data();
    }
    forEachItem(count, [&](int k) {
        const double t = jd.data()[k], ra = raDeg.data()[k] * kDegToRad,
                     dec = decDeg.data()[k] * kDegToRad, vg = vgKms.data()[k];
        const HeliocentricOrbit orbit = OrbitAndSpeedFromRadiant(t, ra, dec, vg);
        const double parts[] = {orbit.a,    orbit.q,    orbit.e, orbit.peri,
                                orbit.node, orbit.incl, orbit.vs};
        for (std::size_t part = 0; part < o.size(); ++part)
            o[part][k] = parts[part];
    });
    return py::make_tuple(out[0], out[1], out[2], out[3], out[4], out[5], out[6]);
}

// D' between the rows of two orbit sets, each given as e, q, incl, node, peri.
py::array_t<double> dprimes(const std::vector<Reals>& first, const std::vector<Reals>& second)
{
    if (first.size() != 5 || second.size() != 5)
        throw py::value_error("an orbit is e, q, incl, node, peri");
    std::vector<py::ssize_t> lengths;
    for (const auto* set : {&first, &second})
        for (const Reals& values : *set)
            lengths.push_back(values.size());
    const py::ssize_t count = lengths.front();
    for (py::ssize_t length : lengths)
        if (length != count)
            throw py::value_error("arrays of different lengths");
    py::array_t<double> result(count);
    double* out = result.mutable_data();
    const auto orbitAt = [](const std::vector<Reals>& set, int k) {
        return DPrimeOrbit{set[0].data()[k], set[1].data()[k], set[2].data()[k], set[3].data()[k],
                           set[4].data()[k]};
    };
    forEachItem(count, [&](int k) { out[k] = DPrime(orbitAt(first, k), orbitAt(second, k)); });
    return result;
}

} // namespace

void bindAstro(py::module_& module)
{
    BuildMonthTables();
    module.def("_sol", &solarLongitudes, py::arg("jd"));
    module.def("_mjd_from_date", &mjdFromDate, py::arg("year"), py::arg("month"), py::arg("day"),
               py::arg("hour"), py::arg("minute"), py::arg("second"));
    module.def("_date_from_mjd", &dateFromMjd, py::arg("mjd"));
    module.def("_orbit_from_radiant", &orbitsFromRadiants, py::arg("jd"), py::arg("ra"),
               py::arg("dec"), py::arg("vg"));
    module.def("_dprime", &dprimes, py::arg("orbit1"), py::arg("orbit2"));
}
