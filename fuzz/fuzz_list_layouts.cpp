// Arbitrary bytes as lines of the stream-list layouts: every line read as a
// CSV line and as a fixed-width line. A fixed-width line that reads must give
// a stream whose TarnRadiant line reads back to the same code and numbers.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "streams/list_files.h"

namespace {

constexpr int kYear = 2007;

bool near(float a, float b)
{
    return std::isnan(a) || std::abs(a - b) <= 0.05f + 1e-6f * std::abs(a);
}

void checkFixedWidth(std::string_view line)
{
    const std::optional<FixedWidthLine> read = parseFixedWidthLine(line);
    if (!read)
        return;
    if (read->code.empty() || read->code.size() > kCodeLength)
        __builtin_trap();
    const std::optional<StreamValues> stream = fixedWidthStream(*read, kYear);
    if (!stream || std::abs(stream->solp) > 1e6f || std::abs(stream->ra) > 1e6f)
        return;
    const std::optional<FixedWidthLine> again =
        parseFixedWidthLine(tarnRadiantLine(*stream, kYear));
    if (!again || again->code != read->code || !near(again->solp, read->solp) ||
        !near(again->ra, read->ra))
        __builtin_trap();
}

// A line either reads or names a field up to D' (16) where it broke.
void checkCsv(std::string_view line)
{
    const UleLine read = parseUleLine(line);
    if (read.values ? read.brokenField != 0 : read.brokenField < 0 || read.brokenField > 16)
        __builtin_trap();
    if (read.values && read.values->code.size() >= line.size())
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string_view input(reinterpret_cast<const char*>(data), size);
    while (!input.empty()) {
        const std::size_t end = input.find('\n');
        std::string_view line = input.substr(0, end);
        // The file reader ends a line at its first NUL.
        line = line.substr(0, line.find('\0'));
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        checkCsv(line);
        checkFixedWidth(line);
        if (end == std::string_view::npos)
            break;
        input.remove_prefix(end + 1);
    }
    return 0;
}
