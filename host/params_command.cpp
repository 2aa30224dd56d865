#include "params_command.h"

#include <algorithm>
#include <cstdio>

#include "kit/effect_stack.h"
#include "kit/errors.h"
#include "kit/param_setting.h"
#include "kit/plugin_loader.h"
#include "reference/real_value.h"

namespace {
std::string storedText(const HostParam& p) {
    return valueText(Assignment{0, &p, {storedValue(p, 0), storedValue(p, 1), storedValue(p, 2)}});
}

std::vector<std::string> unregistered(const std::vector<HostParam>& params, const EffectReference* reference) {
    std::vector<std::string> names;
    if (!reference) return names;
    for (const ParamReference& entry : reference->params)
        if (std::none_of(params.begin(), params.end(), [&](const HostParam& p) { return p.name == entry.name; }))
            names.push_back(entry.name);
    return names;
}

std::string escapeCell(std::string text) {
    for (size_t at = 0; (at = text.find('|', at)) != std::string::npos; at += 2) text.replace(at, 1, "\\|");
    return text;
}
}  // namespace

ParamsFormat parseParamsFormat(const std::string& text) {
    if (text == "text") return ParamsFormat::Text;
    if (text == "markdown") return ParamsFormat::Markdown;
    if (text == "json") return ParamsFormat::Json;
    throw UsageError("--format " + text + ": expected text, markdown or json");
}

void listParams(const std::string& pluginPath, const std::string& effect, ParamsFormat format, std::ostream& out) {
    const Plugin plugin(pluginPath);
    const std::vector<CatalogueRow> catalogue = readCatalogue(plugin);
    const EffectStack stack(plugin, catalogue, {effect});
    const CatalogueRow& row = findEffect(catalogue, effect);
    const EffectReference* reference = findReference(row.name);
    const std::vector<DescribedParam> params = describe(stack.params(0), reference);
    const std::vector<std::string> missing = unregistered(stack.params(0), reference);

    if (format == ParamsFormat::Json) {
        nlohmann::json j = {{"effect", row.name}, {"description", row.description}, {"author", row.author},
                            {"params", nlohmann::json::array()}, {"unregistered", missing}};
        if (reference)
            j.update({{"title", reference->title}, {"does", reference->does}, {"gizmo", reference->gizmo},
                      {"page", reference->page}});
        for (const DescribedParam& p : params) j["params"].push_back(paramJson(p));
        out << j.dump(2) << '\n';
        return;
    }
    const auto meaning = [](const DescribedParam& p) { return p.entry ? p.entry->meaning : "(not in fxhost's reference)"; };
    if (format == ParamsFormat::Markdown) {
        out << "## " << row.name << "\n\n" << (reference ? reference->does : row.description) << "\n\n"
            << "| name | kind | stored | real | meaning |\n|---|---|---|---|---|\n";
        for (const DescribedParam& p : params)
            out << "| " << p.param->name << " | " << kindName(p.param->kind) << " | " << storedText(*p.param) << " | "
                << escapeCell(currentRealText(p)) << " | " << escapeCell(meaning(p)) << " |\n";
    } else {
        out << row.name << ": " << row.description << '\n';
        if (reference) out << "  " << reference->does << "\n  gizmo: " << reference->gizmo << '\n';
        size_t name = 4, stored = 6, real = 4;
        for (const DescribedParam& p : params) {
            name = std::max(name, p.param->name.size());
            stored = std::max(stored, storedText(*p.param).size());
            real = std::max(real, currentRealText(p).size());
        }
        const auto line = [&](const std::string& k, const std::string& n, const std::string& s, const std::string& r,
                              const std::string& m) {
            char text[1024];
            std::snprintf(text, sizeof text, "  %-7s %-*s  %-*s  %-*s  %s\n", k.c_str(), int(name), n.c_str(), int(stored),
                          s.c_str(), int(real), r.c_str(), m.c_str());
            out << text;
        };
        line("kind", "name", "stored", "real", "meaning");
        for (const DescribedParam& p : params)
            line(kindName(p.param->kind), p.param->name, storedText(*p.param), currentRealText(p), meaning(p));
    }
    for (const std::string& name : missing) out << "  (in fxhost's reference but not registered: " << name << ")\n";
}
