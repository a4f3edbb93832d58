#pragma once
// PNG files decoded with libpng, for the tests of what the program writes.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct DecodedPng {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb; // top row first
};

// The image as 8-bit RGB; nothing when the bytes are no PNG libpng can read.
std::optional<DecodedPng> decodePng(const std::string& bytes);
