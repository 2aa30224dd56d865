// The reference pages: one per effect of the catalogue that has a reference
// entry (what it does, its gizmo, a table of its parameters in real units, a
// strip of renders across each parameter's range and an animated preview),
// and a contents page. Written as Markdown for the documents and as HTML for
// the demo's gallery, from the reference and fxhost's own renders.
#pragma once

#include <string>

enum class PageFormat { Markdown, Html };

struct PagesOptions {
    std::string pluginPath;
    std::string outDir;  // the pages; their pictures go to outDir/img
    PageFormat format = PageFormat::Markdown;
    int tileWidth = 176, tileHeight = 132;
};

// Throws UsageError (no renderer in this build) or RunError.
void writeReferencePages(const PagesOptions& options);

// The contents page's file name in `format`: README.md or index.html.
std::string contentsPage(PageFormat format);
