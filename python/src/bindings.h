#pragma once
// The parts of the extension module, each adding its functions and types.

#include <pybind11/pybind11.h>

class OpenDatabase;

void bindAstro(pybind11::module_& module);
void bindDatabase(pybind11::module_& module);
void bindGrouping(pybind11::class_<OpenDatabase>& database);
void bindSelection(pybind11::class_<OpenDatabase>& database);
void bindClustering(pybind11::class_<OpenDatabase>& database);
void bindMaps(pybind11::class_<OpenDatabase>& database);
void bindImports(pybind11::class_<OpenDatabase>& database);
