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
    std::string page;  // the effect's reference page beside the gallery, "" without one
    std::string model;  // the run as a script for the live viewer (NAME.glb.js), "" without one
    double msPerFrame = 0.0;
};

// Writes index.html (through a temporary file); throws RunError. `viewerScript`:
// the live viewers' script beside the page, "" to show pictures only.
void writeGallery(const std::string& path, const std::string& scenePicture, const std::vector<GalleryCard>& cards,
                  const std::string& viewerScript);

// NAME.glb.js: the glTF file's bytes handed to the live viewer, which cannot
// read files beside a page opened from a folder. Throws RunError.
void writeModelScript(const std::string& gltfPath, const std::string& name, const std::string& scriptPath);
