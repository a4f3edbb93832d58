#pragma once
// The parts of the extension module, each adding its functions and types.

#include <pybind11/pybind11.h>

void bindAstro(pybind11::module_& module);
void bindDatabase(pybind11::module_& module);
