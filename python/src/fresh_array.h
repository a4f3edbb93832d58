#pragma once
// Output arrays of a million items without a page fault per 4 kB.

#include <pybind11/numpy.h>

#include <cstddef>

namespace py = pybind11;

// An uninitialised one-dimensional array of count items. Large ones take huge pages of their
// own: a million rows are fresh memory, and faulting it in page by page costs more than
// filling it.
py::array freshArray(const py::dtype& dtype, std::size_t count);

template <typename T> py::array_t<T> freshArrayOf(std::size_t count)
{
    return py::array_t<T>(freshArray(py::dtype::of<T>(), count));
}
