// Fuzzing the GMN layouts' converters: bit 4 of the first byte picks the comma-separated
// flavour, the other bits the situation as for every converter.
#include "converter_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const bool commas = size > 0 && (data[0] & 16) != 0;
    return fuzz::convert(commas ? OrbitLayout::GmnCsv : OrbitLayout::Gmn, data, size);
}
