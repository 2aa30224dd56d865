// The demo's gallery page: one card per effect of the catalogue, with its
// contact sheet when the effect is built.
#pragma once

#include <string>
#include <vector>

struct GalleryCard {
    std::string name, description, author;
    std::string picture;  // file name beside the page; empty: not built
    std::string animation;  // the run as an animated .glb beside the page
    std::string settings;  // what the demo changed, as --set would say it
    std::string page;  // the effect's reference page, without its extension
    double msPerFrame = 0.0;
};

// Writes index.html (through a temporary file); throws RunError.
void writeGallery(const std::string& path, const std::string& scenePicture, const std::vector<GalleryCard>& cards);
