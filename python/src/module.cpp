// The extension module orvantella._core.
#include <pybind11/pybind11.h>

#include "bindings.h"
#include "core_call.h"

PYBIND11_MODULE(_core, module)
{
    module.doc() = "Orvantella's core: the meteor database, the astronomy and the analyses.";
    bindError(module);
    bindAstro(module);
    bindDatabase(module);
}
