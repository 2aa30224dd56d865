#include "catalogue_commands.h"

#include <unistd.h>

#include <cstdio>

#include "kit/plugin_loader.h"

namespace {
void replaceAll(std::string& text, const std::string& from, const std::string& to) {
    for (size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size()) text.replace(at, from.size(), to);
}
}  // namespace

std::string renderBold(const std::string& text, bool bold) {
    std::string out = text;
    replaceAll(out, "<b>", bold ? "\033[1m" : "");
    replaceAll(out, "</b>", bold ? "\033[0m" : "");
    return out;
}

void listCatalogue(const std::string& pluginPath, Bold bold, std::ostream& out) {
    const Plugin plugin(pluginPath);
    const bool useBold = bold == Bold::Always || (bold == Bold::Auto && isatty(STDOUT_FILENO) == 1);
    const char* info = plugin.libinfo();
    out << plugin.path() << "\n\n" << renderBold(info ? info : "", useBold) << "\n\n";
    for (const CatalogueRow& row : readCatalogue(plugin)) {
        char line[512];
        std::snprintf(line, sizeof line, "%2d  %-28s  ", row.index, row.name.c_str());
        out << line;
        if (row.built) out << row.description << " (" << row.author << ")\n";
        else out << "(not built)\n";
    }
}
