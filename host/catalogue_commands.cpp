#include "catalogue_commands.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "kit/effect_stack.h"
#include "kit/param_host.h"
#include "kit/plugin_loader.h"

namespace {
std::string number(float v) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", double(v));
    return text;
}

std::string describe(const HostParam& p) {
    switch (p.kind) {
        case ParamKind::Flag: return number(p.initial[0]) + (flagOn(p.initial[0]) ? " (on)" : " (off)");
        case ParamKind::Scalar: return number(p.initial[0]) + " (signed " + number(2.0f * p.initial[0] - 1.0f) + ")";
        case ParamKind::Point: {
            std::string out;
            for (int k = 0; k < 3; ++k) out += (k ? ", " : "") + (p.value[k] ? number(p.initial[k]) : "-");
            return out;
        }
        case ParamKind::Bare: return number(p.initial[0]);
    }
    return "";
}

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

void listParams(const std::string& pluginPath, const std::string& effect, std::ostream& out) {
    const Plugin plugin(pluginPath);
    const std::vector<CatalogueRow> catalogue = readCatalogue(plugin);
    const EffectStack stack(plugin, catalogue, {effect});
    const CatalogueRow& row = findEffect(catalogue, effect);
    out << row.name << ": " << row.description << '\n';
    size_t width = 0;
    for (const HostParam& p : stack.params(0)) width = std::max(width, p.name.size());
    for (const HostParam& p : stack.params(0)) {
        char line[512];
        std::snprintf(line, sizeof line, "  %-7s %-*s = ", kindName(p.kind), int(width), p.name.c_str());
        out << line << describe(p) << '\n';
    }
}
