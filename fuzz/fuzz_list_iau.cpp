// Arbitrary bytes as an IAU MDC shower list, read with each status choice.
// A list that breaks has no showers; every shower read has a code and its
// solar longitudes within the circle.
#include <cstddef>
#include <cstdint>
#include <string>
#include <unistd.h>

#include "streams/iau_mdc.h"
#include "table/text_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string path = "/dev/shm/orvantella-fuzz-iau-" + std::to_string(::getpid());
    {
        AtomicFileWriter out(path);
        if (!out.open())
            __builtin_trap();
        out.append(std::string_view(reinterpret_cast<const char*>(data), size));
        if (!out.commit())
            __builtin_trap();
    }
    for (IauStatusChoice choice :
         {IauStatusChoice::Established, IauStatusChoice::Working, IauStatusChoice::All}) {
        const std::optional<IauShowerList> list = readIauMdcShowers(path, choice);
        if (!list)
            __builtin_trap();
        if (list->brokenLine > 0 && !list->showers.empty())
            __builtin_trap();
        for (const StreamValues& shower : list->showers)
            if (shower.code.empty() || !(shower.solp >= 0 && shower.solp < 360) ||
                !(shower.sol1 >= 0 && shower.sol1 <= 360) ||
                !(shower.sol2 >= 0 && shower.sol2 <= 360))
                __builtin_trap();
    }
    return 0;
}
