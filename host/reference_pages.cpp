#include "reference_pages.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>

#include "apng.h"
#include "atomic_file.h"
#include "builtin_scene.h"
#include "cli_options.h"
#include "kit/effect_stack.h"
#include "kit/errors.h"
#include "kit/host_data.h"
#include "params_command.h"
#include "reference/real_value.h"
#include "renderer.h"
#include "sweep.h"

namespace fs = std::filesystem;

namespace {
constexpr double kFps = 24.0;           // the strips' frames
constexpr int kPreviewFps = 5, kPreviewFrames = 16;  // three seconds and a bit, looped: small files

// A page as a list of blocks, written as Markdown or HTML.
class Page {
public:
    explicit Page(PageFormat format) : format_(format) {}
    void heading(int level, const std::string& text) {
        if (md()) out_ += std::string(size_t(level), '#') + " " + text + "\n\n";
        else out_ += "<h" + std::to_string(level) + ">" + html(text) + "</h" + std::to_string(level) + ">\n";
    }
    void paragraph(const std::string& text) { out_ += md() ? text + "\n\n" : "<p>" + code(html(text)) + "</p>\n"; }
    void image(const std::string& path, const std::string& alt) {
        out_ += md() ? "![" + alt + "](" + path + ")\n\n" : "<p><img src=\"" + html(path) + "\" alt=\"" + html(alt) + "\"></p>\n";
    }
    void link(const std::string& path, const std::string& text, const std::string& after) {
        out_ += md() ? "- [" + text + "](" + path + ")" + after + "\n"
                     : "<li><a href=\"" + html(path) + "\">" + html(text) + "</a>" + code(html(after)) + "</li>\n";
    }
    void endList() { out_ += md() ? "\n" : ""; }
    void table(const std::vector<std::string>& header, const std::vector<std::vector<std::string>>& rows) {
        const auto row = [this](const std::vector<std::string>& cells, const char* tag) {
            std::string line = md() ? "|" : "<tr>";
            for (const std::string& c : cells)
                line += md() ? " " + cell(c) + " |" : std::string("<") + tag + ">" + html(c) + "</" + tag + ">";
            out_ += line + (md() ? "\n" : "</tr>\n");
        };
        if (!md()) out_ += "<table>\n";
        row(header, "th");
        if (md()) out_ += "|" + [&] { std::string s; for (size_t i = 0; i < header.size(); ++i) s += "---|"; return s; }() + "\n";
        for (const auto& r : rows) row(r, "td");
        out_ += md() ? "\n" : "</table>\n";
    }
    void write(const std::string& path, const std::string& title) const {
        const std::string text = md() ? out_ : "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>" + html(title) +
            "</title>\n<style>body{background:#121418;color:#dde;font-family:sans-serif;margin:2em;max-width:70em}"
            "a{color:#8bf}td,th{border-bottom:1px solid #334;padding:.3em .6em;text-align:left;vertical-align:top}"
            "img{max-width:100%}</style></head><body>\n" + out_ + "</body></html>\n";
        writeAtomically(path, [&text](const std::string& temporary) {
            std::ofstream file(temporary, std::ios::binary);
            file << text;
            return bool(file);
        });
    }

private:
    bool md() const { return format_ == PageFormat::Markdown; }
    static std::string cell(std::string text) {
        for (size_t at = 0; (at = text.find('|', at)) != std::string::npos; at += 2) text.replace(at, 1, "\\|");
        return text;
    }
    // `name` as <code>name</code>.
    static std::string code(std::string text) {
        bool open = false;
        for (size_t at = 0; (at = text.find('`', at)) != std::string::npos; open = !open)
            text.replace(at, 1, open ? "</code>" : "<code>");
        return text;
    }
    static std::string html(const std::string& text) {
        std::string out;
        for (char c : text) out += c == '&' ? "&amp;" : c == '<' ? "&lt;" : c == '>' ? "&gt;" : c == '"' ? "&quot;" : std::string(1, c);
        return out;
    }
    PageFormat format_;
    std::string out_;
};

// Runs one effect over the built-in scene and hands every frame to `shown`.
struct Runner {
    const Plugin& plugin;
    const std::vector<CatalogueRow>& catalogue;
    SceneRecords& records;
    Renderer& renderer;

    void run(const std::string& effect, const std::vector<ParamSetting>& settings, int frames, double fps,
             const std::function<void(int, EffectStack&, const HostData&)>& shown) {
        EffectStack stack(plugin, catalogue, {effect});
        const std::vector<Assignment> assignments = stack.resolve(settings, frames);
        stack.start(assignments);
        HostData data;
        for (int frame = 1; frame <= frames; ++frame) {
            data.serve(records);
            stack.runFrame(frame, float(frame / fps), data, assignments);
            shown(frame, stack, data);
        }
    }
    Image render(EffectStack& stack, const HostData& data, const std::string& label) {
        return renderer.render(sceneFromRecords(data.mesh, data.spline, data.particles),
                               [&stack] { stack.drawGizmos(); }, label);
    }
};

std::string fileName(std::string text) {
    for (char& c : text)
        if (c == ' ') c = '_';
    return text;
}

// The values a strip shows, as --set writes them: the entry's own, or the usual ones for its kind.
std::vector<std::string> stripValues(const ParamReference& entry) {
    std::vector<std::string> values;
    if (entry.strip.is_boolean()) return values;
    nlohmann::json chosen = entry.strip;
    if (chosen.is_null()) {
        if (entry.kind == "flag") chosen = {0, 1};
        else if (entry.kind == "scalar" || entry.curve) chosen = {0, 0.25, 0.5, 0.75, 1};
    }
    for (const nlohmann::json& v : chosen) {
        if (!v.is_array()) {
            values.push_back(shortNumber(v.get<double>()));
            continue;
        }
        std::string point;
        for (const nlohmann::json& x : v) point += (point.empty() ? "" : ",") + shortNumber(x.get<double>());
        values.push_back(point);
    }
    return values;
}

std::string kindText(const ParamReference& entry) { return entry.kind == "scalar" ? "scalar 0..1" : entry.kind; }

std::string rangeText(const nlohmann::json& p) {
    if (p["kind"] == "flag") return "off, on";
    if (p["kind"] == "point") return "any position (units)";
    if (!p.contains("rangeText")) return "any number";
    std::string text = p["rangeText"][0].get<std::string>() + " to " + p["rangeText"][1].get<std::string>();
    if (p.contains("alternateRangeText"))
        text += "; with " + p["alternateFlag"].get<std::string>() + " on, " + p["alternateRangeText"][0].get<std::string>() +
                " to " + p["alternateRangeText"][1].get<std::string>();
    return text;
}

std::string joined(const std::vector<std::string>& parts, const std::string& separator) {
    std::string out;
    for (const std::string& p : parts) out += (out.empty() ? "" : separator) + p;
    return out;
}

void writeEffectPage(const PagesOptions& o, Runner& runner, const CatalogueRow& row, const EffectReference& ref) {
    const fs::path img = fs::path(o.outDir) / "img";
    const std::string md = o.format == PageFormat::Markdown ? ".md" : ".html";
    Page page(o.format);
    page.heading(1, ref.title);
    page.paragraph("Catalogue name `" + row.name + "`; the plug-in describes it as \"" + row.description +
                   "\". This page is written by `fxhost pages` from `host/reference/" + ref.page +
                   ".json` and fxhost's own renders: edit those, not the page.");
    page.paragraph(ref.does);
    page.paragraph("Gizmo: " + ref.gizmo);

    // The preview: the demo's settings, a few seconds at a few frames a second.
    std::vector<ParamSetting> demo;
    for (const std::string& s : ref.demo)
        for (ParamSetting& setting : expandSweep(s, kPreviewFrames)) demo.push_back(setting);
    std::vector<Image> frames;
    runner.run(row.name, demo, kPreviewFrames, kPreviewFps, [&](int frame, EffectStack& stack, const HostData& data) {
        char label[32];
        std::snprintf(label, sizeof label, "t=%.2f s", frame / double(kPreviewFps));
        frames.push_back(runner.render(stack, data, label));
    });
    const std::string preview = ref.page + "_preview.png";
    writeAnimatedPng((img / preview).string(), frames, kPreviewFps);
    page.image("img/" + preview, ref.title + " on the built-in scene, animated");
    page.paragraph("Above: the built-in scene for 3.2 seconds at 5 frames a second, gizmo on" +
                   (ref.demo.empty() ? std::string(", every parameter at its default.")
                                     : ", with " + joined(ref.demo, ", ") + " (A..B: moved from A to B over the run)."));

    // The table, from what the plug-in registers and the reference says of it.
    const EffectStack stack(runner.plugin, runner.catalogue, {row.name});
    const std::vector<DescribedParam> params = describe(stack.params(0), &ref);
    std::vector<std::vector<std::string>> rows;
    for (const DescribedParam& p : params) {
        if (!p.entry) throw RunError(row.name + ": parameter '" + p.param->name + "' has no reference entry");
        const nlohmann::json j = paramJson(p);
        const bool plain = p.param->kind == ParamKind::Point || p.param->kind == ParamKind::Flag;
        const std::string stored = plain ? "" : shortNumber(j["stored"].get<double>()) + ": ";
        std::string meaning = p.entry->meaning + (p.entry->more.empty() ? "" : " " + p.entry->more);
        if (!p.entry->follows.empty()) meaning += " Follows \"" + p.entry->follows + "\" when it moves.";
        rows.push_back({p.param->name, kindText(*p.entry), rangeText(j), stored + currentRealText(p), meaning});
    }
    page.heading(2, "Parameters");
    page.paragraph("In the order the effect registers them; \"range\" is what the ends of the host's 0..1 slider give.");
    page.table({"name", "kind", "range", "default", "meaning"}, rows);

    page.heading(2, "Each parameter across its range");
    char when[320];
    std::snprintf(when, sizeof when,
                  "Each strip shows the built-in scene at frame %d (%.2f s at %.0f frames a second), gizmo on, with the "
                  "parameter set as a user's edit at the first frame and every other at its default unless said.",
                  ref.frame, ref.frame / kFps, kFps);
    page.paragraph(when);
    for (const DescribedParam& p : params) {
        const std::vector<std::string> values = stripValues(*p.entry);
        if (values.empty()) continue;
        std::vector<Image> tiles;
        std::vector<std::string> captions;
        for (const std::string& value : values) {
            std::vector<ParamSetting> settings;
            for (const std::string& s : p.entry->settings) settings.push_back(parseSetting(s));
            settings.push_back(parseSetting("1:" + p.param->name + "=" + value));
            std::string caption;
            const size_t index = size_t(p.param - stack.params(0).data());
            runner.run(row.name, settings, ref.frame, kFps, [&](int frame, EffectStack& s, const HostData& data) {
                if (frame != ref.frame) return;
                caption = value + ": " + currentRealText(describe(s.params(0), &ref)[index]);
                tiles.push_back(runner.render(s, data, caption));
            });
            captions.push_back(caption);
        }
        const std::string file = ref.page + "_" + fileName(p.param->name) + ".png";
        writePng((img / file).string(), contactSheet(tiles, int(tiles.size())));
        page.heading(3, p.param->name);
        page.image("img/" + file, p.param->name + " at " + joined(values, ", "));
        page.paragraph(joined(captions, "; ") +
                       (p.entry->settings.empty() ? "." : "; with " + joined(p.entry->settings, ", ") + "."));
    }
    page.write((fs::path(o.outDir) / (ref.page + md)).string(), ref.title);
}
}  // namespace

std::string contentsPage(PageFormat format) { return format == PageFormat::Markdown ? "README.md" : "index.html"; }

void writeReferencePages(const PagesOptions& o) {
    Renderer::require("pages");
    if (o.outDir.empty()) throw UsageError("pages needs --out DIR");
    checkFolderOutput(o.outDir, "pages writes a folder of pages and their pictures");
    std::error_code error;
    fs::create_directories(fs::path(o.outDir) / "img", error);
    if (error) throw RunError("cannot create " + o.outDir + ": " + error.message());

    const Plugin plugin(o.pluginPath);
    const std::vector<CatalogueRow> catalogue = readCatalogue(plugin);
    Scene scene = builtinScene();
    SceneRecords records(scene);
    Renderer renderer(o.tileWidth, o.tileHeight);
    renderer.camera().setView(View::ThreeQuarter);
    renderer.camera().frameAll(boundsOf(scene), renderer.aspect());
    Runner runner{plugin, catalogue, records, renderer};

    const std::string extension = o.format == PageFormat::Markdown ? ".md" : ".html";
    Page contents(o.format);
    contents.heading(1, "The effects");
    contents.paragraph("What every effect of generic.fx does and what each of its parameters means, in real units, "
                       "with renders of the built-in scene across each parameter's range. Written by `fxhost pages`.");
    for (const CatalogueRow& row : catalogue) {
        const EffectReference* ref = findReference(row.name);
        if (!row.built || !ref) {
            contents.link("#", row.name, row.built ? ": no reference entry" : ": not built");
            continue;
        }
        writeEffectPage(o, runner, row, *ref);
        contents.link(ref->page + extension, ref->title, " (`" + row.name + "`): " + ref->does.substr(0, ref->does.find(". ") + 1));
        std::cout << "page: " << (fs::path(o.outDir) / (ref->page + extension)).string() << '\n';
    }
    contents.endList();
    contents.write((fs::path(o.outDir) / contentsPage(o.format)).string(), "generic.fx effects");
}
