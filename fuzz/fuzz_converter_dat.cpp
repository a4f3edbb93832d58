// Fuzzing the Dat layout's converter.
#include "converter_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return fuzz::convert(OrbitLayout::Dat, data, size);
}
