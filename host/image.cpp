#include "image.h"

#include <stb_image_write.h>

#include <algorithm>

#include "atomic_file.h"

void writePng(const std::string& path, const Image& image) {
    writeAtomically(path, [&image](const std::string& temporary) {
        return stbi_write_png(temporary.c_str(), image.width, image.height, 3, image.rgb.data(),
                              image.width * 3) != 0;
    });
}

Image contactSheet(const std::vector<Image>& tiles, int columns) {
    constexpr int kBorder = 2;
    constexpr uint8_t kBorderGrey = 24;
    Image sheet;
    if (tiles.empty()) return sheet;
    const int tileW = tiles[0].width, tileH = tiles[0].height;
    columns = std::max(1, std::min(columns, int(tiles.size())));
    const int rows = (int(tiles.size()) + columns - 1) / columns;
    sheet.width = columns * tileW + (columns + 1) * kBorder;
    sheet.height = rows * tileH + (rows + 1) * kBorder;
    sheet.rgb.assign(size_t(sheet.width) * sheet.height * 3, kBorderGrey);
    for (size_t t = 0; t < tiles.size(); ++t) {
        const int left = kBorder + int(t) % columns * (tileW + kBorder);
        const int top = kBorder + int(t) / columns * (tileH + kBorder);
        for (int y = 0; y < tileH; ++y)
            std::copy_n(&tiles[t].rgb[size_t(y) * tileW * 3], tileW * 3,
                        &sheet.rgb[(size_t(top + y) * sheet.width + left) * 3]);
    }
    return sheet;
}
