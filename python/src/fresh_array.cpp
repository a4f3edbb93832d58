// Arrays on mappings of their own, given back when numpy lets the array go.
#include "fresh_array.h"

#include <new>
#include <vector>

#include "platform/huge_pages.h"

py::array freshArray(const py::dtype& dtype, std::size_t count)
{
    const std::size_t bytes = count * static_cast<std::size_t>(dtype.itemsize());
    const std::vector<py::ssize_t> shape{static_cast<py::ssize_t>(count)};
    // Below a huge page a mapping of its own would not take one.
    if (bytes < kHugePageBytes)
        return py::array(dtype, shape);
    struct Mapping {
        void* start;
        std::size_t bytes;
    };
    auto* mapping = new Mapping{mapZeroedPages(bytes), bytes};
    if (mapping->start == nullptr) {
        delete mapping;
        throw std::bad_alloc();
    }
    const py::capsule owner(mapping, [](void* pointer) {
        const auto* owned = static_cast<Mapping*>(pointer);
        unmapPages(owned->start, owned->bytes);
        delete owned;
    });
    return py::array(dtype, shape, {}, mapping->start, owner);
}
