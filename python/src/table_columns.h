#pragma once
// A table's live rows as a dictionary of numpy arrays, one per column that holds data.

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <string>
#include <vector>

class CUTABLE;

namespace py = pybind11;

// Keys are the columns' own names; integers int32, IDs, flags and states uint32, reals
// float32, texts and codes Python strings (object arrays). Row state, view lines and link
// lists are left out.
py::dict tableColumns(const CUTABLE& table);

// Texts as an object array of Python strings.
py::array stringArray(const std::vector<std::string>& texts);
