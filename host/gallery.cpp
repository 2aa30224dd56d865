#include "gallery.h"

#include <cstdio>
#include <fstream>

#include "atomic_file.h"

namespace {
std::string escape(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default: out += c;
        }
    }
    return out;
}

constexpr const char* kStyle =
    "body{background:#121418;color:#dde;font-family:sans-serif;margin:2em}"
    "h1{font-weight:normal}.card{background:#1b1e24;border-radius:6px;padding:1em;margin:1em 0}"
    ".card img{max-width:100%;display:block;margin-top:.6em}.missing{color:#889}"
    "code{color:#fb5}.timing{color:#9c9}";
}  // namespace

void writeGallery(const std::string& path, const std::string& scenePicture, const std::vector<GalleryCard>& cards) {
    writeAtomically(path, [&](const std::string& temporary) {
        std::ofstream out(temporary, std::ios::binary);
        out << "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>generic.fx demo</title>\n<style>"
            << kStyle << "</style></head><body>\n<h1>generic.fx: every effect on the built-in scene</h1>\n"
            << "<p>Each sheet shows frames from the start to the end of the run, left to right and top to bottom, "
               "with the effect's gizmo drawn on top. The mesh is lit with its normals, curves are orange lines, "
               "particles blue points.</p>\n";
        if (!scenePicture.empty())
            out << "<div class=\"card\"><h2>The scene without effects</h2><img src=\"" << escape(scenePicture)
                << "\" alt=\"scene\"></div>\n";
        for (const GalleryCard& card : cards) {
            out << "<div class=\"card\"><h2>" << escape(card.name) << "</h2>\n";
            if (card.picture.empty()) {
                out << "<p class=\"missing\">not built in this plug-in</p></div>\n";
                continue;
            }
            char timing[64];
            std::snprintf(timing, sizeof timing, "%.3f", card.msPerFrame);
            out << "<p>" << escape(card.description) << " <i>" << escape(card.author) << "</i></p>\n";
            if (!card.settings.empty()) out << "<p>Demo settings (A..B: moved from A to B over the run): <code>" << escape(card.settings)
                    << "</code></p>\n";
            out << "<p class=\"timing\">" << timing << " ms per frame (update + process)</p>\n";
            if (!card.animation.empty())
                out << "<p>The whole run, animated: <a href=\"" << escape(card.animation) << "\">"
                    << escape(card.animation) << "</a> (glTF 2.0: Blender, three.js, any glTF viewer)</p>\n";
            out
                << "<img src=\"" << escape(card.picture) << "\" alt=\"" << escape(card.name) << "\"></div>\n";
        }
        out << "</body></html>\n";
        out.close();
        return bool(out);
    });
}
