// The velocity colour scale and greys.
#include "maps/velocity_colors.h"

#include <algorithm>
#include <cmath>

namespace {

std::array<Rgb, kVelocityColors> buildScale()
{
    std::array<Rgb, kVelocityColors> scale{};
    for (int k = 0; k < 16; ++k) {
        const auto up = static_cast<std::uint8_t>(15 + 16 * k);
        const auto down = static_cast<std::uint8_t>(255 - 16 * k);
        scale[static_cast<std::size_t>(k)] = {255, up, 0};
        scale[static_cast<std::size_t>(16 + k)] = {down, 255, 0};
        scale[static_cast<std::size_t>(32 + k)] = {0, 255, up};
        scale[static_cast<std::size_t>(48 + k)] = {0, down, 255};
        scale[static_cast<std::size_t>(64 + k)] = {up, 0, 255};
    }
    return scale;
}

Rgb grey(double level)
{
    const auto g = static_cast<std::uint8_t>(std::clamp(level, 0.0, 255.0));
    return {g, g, g};
}

} // namespace

const std::array<Rgb, kVelocityColors>& velocityScale()
{
    static const std::array<Rgb, kVelocityColors> scale = buildScale();
    return scale;
}

int velocityIndex(double a, int offset)
{
    const double raw = offset < 0 ? offset + 158 - a : a + 79 - offset;
    // A value this far out is on no sensible scale; it also keeps the cast defined.
    if (!std::isfinite(raw) || std::fabs(raw) > 1.0e9)
        return -1;
    const long long index = static_cast<long long>(std::trunc(raw)) % kVelocityColors;
    return static_cast<int>(index < 0 ? index + kVelocityColors : index);
}

Rgb velocityColor(double vKms, const VgCondition& window, int offset)
{
    double a = vKms;
    if (window.on) {
        const double low = window.centreKms - window.halfWidthKms;
        if (!(vKms >= low && vKms <= window.centreKms + window.halfWidthKms))
            return kBlack;
        const double width = 2 * window.halfWidthKms < 1 ? 1.0 : 2 * window.halfWidthKms;
        a = (vKms - low) / width * kVelocityColors;
    }
    const int index = velocityIndex(a, offset);
    return index < 0 ? kBlack : velocityScale()[static_cast<std::size_t>(index)];
}

Rgb vsColor(double vsKms, int offset)
{
    if (!std::isfinite(vsKms))
        return kBlack;
    const double a = (std::clamp(vsKms, 20.0, 50.0) - 20.0) / 30.0 * kVelocityColors;
    return velocityScale()[static_cast<std::size_t>(velocityIndex(a, offset))];
}

Rgb vgGrey(double vgKms, int offset)
{
    const double sum = vgKms + offset;
    if (!std::isfinite(sum) || std::fabs(sum) > 1.0e9)
        return kBlack;
    // The remainder keeps the sign of the sum; the clamp keeps the level a grey.
    const long long d = static_cast<long long>(std::trunc(sum)) % kVelocityColors;
    return grey(std::trunc(192 - 2.4 * static_cast<double>(d)));
}

Rgb vsGrey(double vsKms, int offset)
{
    const double d = std::trunc((offset - vsKms) * 10);
    if (std::isnan(d))
        return kBlack;
    if (d < 0)
        return grey(240);
    if (d > 255)
        return kWhite;
    return grey(d);
}
