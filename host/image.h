// RGB pictures: written as PNG, read back, and laid out as contact sheets.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Image {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;  // rows top to bottom
};

// Writes through a temporary file in the same folder; throws RunError.
void writePng(const std::string& path, const Image& image);

// Tiles in rows of `columns`, separated by a thin dark border.
Image contactSheet(const std::vector<Image>& tiles, int columns);
