// Fuzz target: any star catalogue file is read without a fault; at most
// kMaxStars stars are kept, each of them finite, and each one draws.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "maps/canvas.h"
#include "maps/star_catalogue.h"
#include "platform/scripted_ui.h"

namespace {

// A private folder for the catalogue file and a silent interface.
struct Bench {
    Bench()
    {
        const char* base = std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : "/tmp";
        std::string pattern = std::string(base) + "/fuzz_stars_XXXXXX";
        if (!mkdtemp(pattern.data()))
            std::abort();
        folder = pattern;
        setUi(&ui);
    }
    ~Bench() { std::filesystem::remove_all(folder); }

    std::string folder;
    ScriptedUi ui;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static Bench bench;
    bench.ui.clear();
    const std::string path = bench.folder + "/" + kStarCatalogueFileName;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file || std::fwrite(data, 1, size, file) != size || std::fclose(file) != 0)
        std::abort();
    const StarCatalogue stars = loadStarCatalogue(bench.folder);
    if (stars.size() > kMaxStars)
        std::abort();
    Canvas canvas(64, 64, false);
    for (const Star& star : stars) {
        if (!std::isfinite(star.raDeg) || !std::isfinite(star.decDeg) || !std::isfinite(star.mag))
            std::abort();
        drawStar(canvas, 20, 20, star.mag, 99.0);
    }
    return 0;
}
