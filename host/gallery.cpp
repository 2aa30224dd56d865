#include "gallery.h"

#include <cstdio>
#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>

#include "atomic_file.h"
#include "kit/errors.h"

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

std::string base64(const std::string& bytes) {
    static const char* digits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    for (size_t i = 0; i < bytes.size(); i += 3) {
        const size_t n = std::min<size_t>(3, bytes.size() - i);
        uint32_t v = 0;
        for (size_t k = 0; k < 3; ++k) v = v << 8 | (k < n ? uint8_t(bytes[i + k]) : 0);
        for (size_t k = 0; k < 4; ++k) out += k <= n ? digits[(v >> (18 - 6 * k)) & 63] : '=';
    }
    return out;
}

constexpr const char* kStyle =
    "body{background:#121418;color:#dde;font-family:sans-serif;margin:2em}"
    "h1{font-weight:normal}.card{background:#1b1e24;border-radius:6px;padding:1em;margin:1em 0}"
    ".card img{max-width:100%;display:block;margin-top:.6em}.missing{color:#889}"
    "code{color:#fb5}.timing{color:#9c9}a{color:#8bf}"
    ".live{display:grid;grid-template-columns:repeat(3,1fr);gap:.6em}.live figure{margin:0}"
    ".live figcaption{margin:.2em 0}.model{background:#121418;height:16em;border-radius:4px;cursor:grab}";
}  // namespace

void writeModelScript(const std::string& gltfPath, const std::string& name, const std::string& scriptPath) {
    std::ifstream in(gltfPath, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (!in && !in.eof()) throw RunError("cannot read " + gltfPath);
    writeAtomically(scriptPath, [&](const std::string& temporary) {
        std::ofstream out(temporary, std::ios::binary);
        out << "fxModel(\"" << name << "\", \"" << base64(bytes) << "\");\n";
        return bool(out);
    });
}

void writeGallery(const std::string& path, const std::string& scenePicture, const std::vector<GalleryCard>& cards,
                  const std::string& viewerScript) {
    writeAtomically(path, [&](const std::string& temporary) {
        std::ofstream out(temporary, std::ios::binary);
        out << "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>generic.fx demo</title>\n<style>"
            << kStyle << "</style>\n";
        if (!viewerScript.empty()) out << "<script src=\"" << escape(viewerScript) << "\"></script>\n";
        out << "</head><body>\n<h1>generic.fx: every effect on the built-in scene</h1>\n";
        if (!viewerScript.empty()) {
            out << "<p>Each effect's run, playing: drag to turn, right-drag to pan, the wheel to zoom.</p>\n"
                   "<div class=\"live\">\n";
            for (const GalleryCard& card : cards)
                if (!card.model.empty())
                    out << "<figure><figcaption><a href=\"#" << escape(card.name) << "\">" << escape(card.name)
                        << "</a></figcaption><div class=\"model\" data-model=\"" << escape(card.name)
                        << "\"></div></figure>\n";
            out << "</div>\n";
        }
        out
            << "<p>Each sheet shows frames from the start to the end of the run, left to right and top to bottom, "
               "with the effect's gizmo drawn on top. The mesh is lit with its normals, curves are orange lines, "
               "particles blue points.</p>\n";
        if (!scenePicture.empty())
            out << "<div class=\"card\"><h2>The scene without effects</h2><img src=\"" << escape(scenePicture)
                << "\" alt=\"scene\"></div>\n";
        for (const GalleryCard& card : cards) {
            out << "<div class=\"card\" id=\"" << escape(card.name) << "\"><h2>" << escape(card.name) << "</h2>\n";
            if (card.picture.empty()) {
                out << "<p class=\"missing\">not built in this plug-in</p></div>\n";
                continue;
            }
            char timing[64];
            std::snprintf(timing, sizeof timing, "%.3f", card.msPerFrame);
            out << "<p>" << escape(card.description) << " <i>" << escape(card.author) << "</i></p>\n";
            if (!card.page.empty())
                out << "<p>What it does and what each parameter means: <a href=\"" << escape(card.page)
                    << "\">its reference page</a></p>\n";
            if (!card.settings.empty()) out << "<p>Demo settings (A..B: moved from A to B over the run): <code>" << escape(card.settings)
                    << "</code></p>\n";
            out << "<p class=\"timing\">" << timing << " ms per frame (update + process)</p>\n";
            if (!card.animation.empty())
                out << "<p>The whole run, animated: <a href=\"" << escape(card.animation) << "\">"
                    << escape(card.animation) << "</a> (glTF 2.0: Blender, three.js, any glTF viewer)</p>\n";
            out
                << "<img src=\"" << escape(card.picture) << "\" alt=\"" << escape(card.name) << "\"></div>\n";
        }
        // Each model's script runs as it arrives, after the viewers it fills.
        for (const GalleryCard& card : cards)
            if (!viewerScript.empty() && !card.model.empty())
                out << "<script async src=\"" << escape(card.model) << "\"></script>\n";
        out << "</body></html>\n";
        out.close();
        return bool(out);
    });
}
