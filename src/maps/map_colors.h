#pragma once
// 24-bit colours and the colours shared by the sky, orbit and radiant maps.

#include <cstdint>

struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kWhite{255, 255, 255};
inline constexpr Rgb kYellow{255, 255, 0};

inline constexpr Rgb kStarColor{176, 176, 176};
inline constexpr Rgb kGridColor{0, 96, 160}; // every 10 degrees
inline constexpr Rgb kZeroMeridianColor{0, 160, 224};
inline constexpr Rgb kEquatorColor{144, 0, 0};
inline constexpr Rgb kApexColor{0, 160, 255};
inline constexpr Rgb kEclipticColor{112, 112, 0}; // the Sun's daily path over the year
