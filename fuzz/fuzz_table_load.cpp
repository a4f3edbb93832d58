// Loads arbitrary bytes as an orbit file and as a data source table file.
// Whatever either table kept must save and load back to the same file.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

#include "mdb/schema.h"
#include "platform/scripted_ui.h"
#include "table/cutable.h"
#include "table/text_file.h"

namespace {

std::string readAll(const std::string& path)
{
    std::string bytes;
    if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
        char buffer[4096];
        for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
            bytes.append(buffer, got);
        std::fclose(file);
    }
    return bytes;
}

struct Harness {
    Harness() : folder("/dev/shm/orvantella-fuzz-" + std::to_string(::getpid()))
    {
        setUi(&ui);
        orbits.initialise(kOrbitTableDef, pools);
        sources.initialise(kDsidTableDef, pools);
    }
    std::string file(const char* name) const { return folder + "-" + name; }

    std::string folder;
    ScriptedUi ui;
    TablePools pools;
    CUTABLE orbits;
    CUTABLE sources;
};

void writeInput(const std::string& path, const std::uint8_t* data, std::size_t size)
{
    AtomicFileWriter out(path);
    if (!out.open())
        __builtin_trap();
    out.append(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!out.commit())
        __builtin_trap();
}

// Whatever the table kept saves, loads back whole and saves again byte for byte.
void checkRoundTrip(Harness& h, CUTABLE& table)
{
    const int kept = table.count();
    if (!table.save(h.file("first.csv")))
        __builtin_trap();
    table.clear();
    if (!table.load(h.file("first.csv")) || table.count() != kept)
        __builtin_trap();
    if (!table.save(h.file("second.csv")) ||
        readAll(h.file("first.csv")) != readAll(h.file("second.csv")))
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static Harness h;
    const std::string input = h.file("input.csv");
    writeInput(input, data, size);

    h.orbits.clear();
    h.orbits.load(input, col::Orbit::OFILE, 7);
    for (int row = 0; row < h.orbits.count(); ++row)
        if (h.orbits.integer(row, col::Orbit::OFILE) != 7)
            __builtin_trap();
    checkRoundTrip(h, h.orbits);

    h.sources.clear();
    h.sources.load(input);
    checkRoundTrip(h, h.sources);
    h.ui.clear();
    return 0;
}
