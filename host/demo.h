// Every built effect of the catalogue on the built-in scene for a few
// seconds: one contact sheet per effect, a picture of the scene itself, and
// an index.html gallery of them.
#pragma once

#include <string>

#include "camera.h"

struct DemoOptions {
    std::string pluginPath;
    std::string outDir;
    double seconds = 3.0;
    double fps = 24.0;
    int tileWidth = 360, tileHeight = 270;
    UpAxis up = UpAxis::Y;
    View view = View::ThreeQuarter;
};

// The options against their ranges, before any work: throws UsageError.
void checkDemo(const DemoOptions& options);
// Throws UsageError or RunError.
void runDemo(const DemoOptions& options);
