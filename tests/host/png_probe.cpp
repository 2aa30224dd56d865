// Reads a PNG with stb_image and prints what the render tests look for:
// the size, how many pixels are not background, how many distinct colours,
// and the count, centroid and box of the pixels of each gizmo or data colour.
// Given two files of one size, it prints how far they differ instead.
#include <stb_image.h>

#include <cstdio>
#include <cstdlib>
#include <set>

namespace {
struct ColourClass {
    const char* name;
    bool (*test)(int r, int g, int b);
    long count = 0;
    double sumX = 0, sumY = 0;
    int minX = 1 << 30, minY = 1 << 30, maxX = -1, maxY = -1;
};
}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: png_probe FILE.png [OTHER.png]\n");
        return 2;
    }
    int width = 0, height = 0, channels = 0;
    unsigned char* pixels = stbi_load(argv[1], &width, &height, &channels, 3);
    if (!pixels) {
        std::fprintf(stderr, "png_probe: cannot read %s\n", argv[1]);
        return 1;
    }
    if (argc == 3) {
        // The pixels whose channels differ by more than 32, and the mean difference per channel.
        int otherWidth = 0, otherHeight = 0;
        unsigned char* other = stbi_load(argv[2], &otherWidth, &otherHeight, &channels, 3);
        if (!other || otherWidth != width || otherHeight != height) {
            std::printf("differ %d\nmean 255\n", width * height);
            return 0;
        }
        long differ = 0;
        double sum = 0;
        for (size_t i = 0; i < size_t(width) * height; ++i) {
            int worst = 0;
            for (int k = 0; k < 3; ++k) {
                const int d = std::abs(int(pixels[i * 3 + k]) - int(other[i * 3 + k]));
                worst = d > worst ? d : worst;
                sum += d;
            }
            differ += worst > 32;
        }
        std::printf("differ %ld\nmean %.4f\n", differ, sum / (3.0 * width * height));
        stbi_image_free(other);
        stbi_image_free(pixels);
        return 0;
    }
    ColourClass classes[] = {
        {"red", [](int r, int g, int b) { return r >= 150 && g <= 90 && b <= 90; }},
        {"green", [](int r, int g, int b) { return g >= 150 && r <= 90 && b <= 90; }},
        {"orange", [](int r, int g, int b) { return r >= 200 && g >= 110 && g <= 190 && b <= 100; }},
        {"blue", [](int r, int g, int b) { return b >= 200 && g >= 150 && r <= 160; }},
        {"background", [](int r, int g, int b) { return r <= 24 && g <= 26 && b <= 32; }},
        // the lit, checkered surface: light and nearly grey
        {"surface", [](int r, int g, int b) { return r >= 70 && g >= 70 && b >= 80 && b - r <= 70; }},
    };
    std::set<int> colours;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const unsigned char* p = pixels + (size_t(y) * width + x) * 3;
            colours.insert(p[0] << 16 | p[1] << 8 | p[2]);
            for (ColourClass& c : classes) {
                if (!c.test(p[0], p[1], p[2])) continue;
                ++c.count;
                c.sumX += x, c.sumY += y;
                if (x < c.minX) c.minX = x;
                if (y < c.minY) c.minY = y;
                if (x > c.maxX) c.maxX = x;
                if (y > c.maxY) c.maxY = y;
            }
        }
    }
    std::printf("width %d\nheight %d\ncolours %zu\n", width, height, colours.size());
    for (const ColourClass& c : classes)
        std::printf("%s %ld %.1f %.1f %d %d %d %d\n", c.name, c.count, c.count ? c.sumX / c.count : -1.0,
                    c.count ? c.sumY / c.count : -1.0, c.minX, c.minY, c.maxX, c.maxY);
    stbi_image_free(pixels);
    return 0;
}
