// The panel on the left of the viewer and the status line below the picture.
#include <GLFW/glfw3.h>
#include <imgui.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "../params_command.h"
#include "kit/errors.h"
#include "viewer.h"

template <class Action>
void Viewer::attempt(Action action) {
    try {
        action();
    } catch (const std::exception& e) {
        say(messageOf(e), true);
    }
}

namespace {
std::string text(const HostParam& param, float x, float y = 0.0f, float z = 0.0f) {
    return valueText(Assignment{0, &param, {x, y, z}});
}

Vec3 current(const HostParam& p) {
    return {p.value[0] ? *p.value[0] : 0.0f, p.value[1] ? *p.value[1] : 0.0f, p.value[2] ? *p.value[2] : 0.0f};
}

// What the hovered parameter means, and its real value now.
void explain(const DescribedParam& p) {
    if (!ImGui::IsItemHovered() || !p.entry) return;
    ImGui::BeginTooltip();
    ImGui::PushTextWrapPos(ImGui::GetFontSize() * 32.0f);
    ImGui::TextUnformatted((p.param->name + (p.entry->quantity.empty() ? "" : ": " + p.entry->quantity) + " = " +
                            currentRealText(p)).c_str());
    ImGui::TextUnformatted(p.entry->meaning.c_str());
    if (!p.entry->more.empty()) ImGui::TextUnformatted(p.entry->more.c_str());
    ImGui::PopTextWrapPos();
    ImGui::EndTooltip();
}
}  // namespace

void Viewer::fitToScene(size_t effect) {
    const EffectReference* reference = findReference(timeline_.effect(effect).name);
    const Bounds bounds = timeline_.sourceBounds();
    if (!reference || bounds.empty) return;
    const Vec3 centre{(bounds.min.x + bounds.max.x) * 0.5f, (bounds.min.y + bounds.max.y) * 0.5f,
                      (bounds.min.z + bounds.max.z) * 0.5f};
    const float reach = std::max(bounds.radius * 0.5f, 1e-4f);
    // Centres first; a point that follows a moved centre is dragged by as much in the same update,
    // so it is given its place less that move.
    std::vector<std::pair<std::string, Vec3>> was, edits;
    for (const HostParam& p : timeline_.params(effect)) was.emplace_back(p.name, current(p));
    const auto before = [&was](const std::string& name) {
        for (const auto& [n, v] : was)
            if (n == name) return v;
        return Vec3{0, 0, 0};
    };
    for (const ParamReference& e : reference->params)
        if (e.fit == "centre") edits.emplace_back(e.name, centre);
    for (const ParamReference& e : reference->params) {
        if (e.fit != "reach") continue;
        const Vec3 anchor = before(e.follows), point = before(e.name);
        Vec3 d{point.x - anchor.x, point.y - anchor.y, point.z - anchor.z};
        const float length = std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
        d = length > 0.0f ? Vec3{d.x / length, d.y / length, d.z / length} : Vec3{0, 1, 0};
        const bool anchorMoves = reference->find(e.follows) && reference->find(e.follows)->fit == "centre";
        const Vec3 to = anchorMoves ? centre : anchor, moved = anchorMoves ? Vec3{centre.x - anchor.x, centre.y - anchor.y,
                                                                              centre.z - anchor.z} : Vec3{0, 0, 0};
        edits.emplace_back(e.name, Vec3{to.x + d.x * reach - moved.x, to.y + d.y * reach - moved.y,
                                        to.z + d.z * reach - moved.z});
    }
    // An edit replays the stack, which registers the parameters anew: the value is worded first.
    for (const auto& [name, v] : edits) {
        std::string value;
        for (const HostParam& p : timeline_.params(effect))
            if (p.name == name) value = text(p, v.x, v.y, v.z);
        if (!value.empty()) edit(effect, name, value);
    }
    say("fitted " + timeline_.effect(effect).name + " to the scene", false);
}

void Viewer::paramControl(size_t effect, const HostParam& param) {
    const EffectReference* reference = findReference(timeline_.effect(effect).name);
    const size_t index = size_t(&param - timeline_.params(effect).data());
    const DescribedParam described = describe(timeline_.params(effect), reference).at(index);
    paramWidget(effect, param);
    explain(described);
}

void Viewer::paramWidget(size_t effect, const HostParam& param) {
    const char* label = param.name.c_str();
    if (param.kind == ParamKind::Point) {
        float v[3] = {0, 0, 0};
        for (int k = 0; k < 3; ++k)
            if (param.value[k]) v[k] = *param.value[k];
        // Scene units: a drag of the whole width moves about the scene's size.
        const float speed = float(std::max(1e-3, camera_.radius * 0.005));
        if (ImGui::DragFloat3(label, v, speed, 0.0f, 0.0f, "%.3f"))
            attempt([&] { edit(effect, param.name, text(param, v[0], v[1], v[2])); });
        return;
    }
    float v = param.value[0] ? *param.value[0] : 0.0f;
    switch (param.kind) {
        case ParamKind::Flag: {
            bool on = flagOn(v);
            if (ImGui::Checkbox(label, &on)) attempt([&] { edit(effect, param.name, on ? "1" : "0"); });
            break;
        }
        case ParamKind::Scalar: {
            // The value beside the slider, where its handle cannot cover it.
            ImGui::PushID(label);
            ImGui::SetNextItemWidth(120.0f);
            const bool moved = ImGui::SliderFloat("##value", &v, 0.0f, 1.0f, "", ImGuiSliderFlags_AlwaysClamp);
            ImGui::PopID();
            ImGui::SameLine();
            ImGui::Text("%.3f (%+.3f)  %s", double(v), 2.0 * v - 1.0, label);
            if (moved) attempt([&] { edit(effect, param.name, text(param, v)); });
            break;
        }
        default:  // a bare float: drag it, or double-click and type a value
            if (ImGui::DragFloat(label, &v, 0.01f, 0.0f, 0.0f, "%.4g"))
                attempt([&] { edit(effect, param.name, text(param, v)); });
            break;
    }
}

void Viewer::stackPanel() {
    if (ImGui::BeginCombo("add effect", "choose...")) {
        for (const CatalogueRow& row : timeline_.catalogue())
            if (row.built && ImGui::Selectable(row.name.c_str())) attempt([&] { timeline_.add(row.name); });
        ImGui::EndCombo();
    }
    for (size_t i = 0; i < timeline_.size(); ++i) {
        ImGui::PushID(int(i));
        const SessionEffect& e = timeline_.effect(i);
        char title[320];
        std::snprintf(title, sizeof title, "%zu. %s%s###effect", i + 1, e.name.c_str(), e.bypassed ? " (bypassed)" : "");
        const bool open = ImGui::CollapsingHeader(title, ImGuiTreeNodeFlags_DefaultOpen);
        bool bypassed = e.bypassed;
        bool changed = false;
        if (ImGui::Checkbox("bypass", &bypassed)) attempt([&] { timeline_.setBypassed(i, bypassed); }), changed = true;
        ImGui::SameLine();
        if (ImGui::SmallButton("up") && i > 0) attempt([&] { timeline_.move(i, i - 1); }), changed = true;
        ImGui::SameLine();
        if (ImGui::SmallButton("down") && i + 1 < timeline_.size()) attempt([&] { timeline_.move(i, i + 1); }), changed = true;
        ImGui::SameLine();
        if (ImGui::SmallButton("remove")) attempt([&] { timeline_.remove(i); }), changed = true;
        const EffectReference* reference = findReference(e.name);
        if (reference && std::any_of(reference->params.begin(), reference->params.end(),
                                     [](const ParamReference& p) { return !p.fit.empty(); })) {
            ImGui::SameLine();
            if (ImGui::SmallButton("fit to scene")) attempt([&] { fitToScene(i); });
            if (ImGui::IsItemHovered())
                ImGui::SetTooltip("Centre and range or axes to the scene's centre and half its radius, as edits");
        }
        // A change rebuilt the stack: its parameters are those of new objects, drawn next frame.
        if (open && !changed)
            for (const HostParam& param : timeline_.params(i)) paramControl(i, param);
        ImGui::PopID();
        if (changed) break;
    }
}

void Viewer::panel() {
    int width = 0, height = 0;
    glfwGetWindowSize(window_, &width, &height);
    ImGui::SetNextWindowPos(ImVec2(0, 0));
    ImGui::SetNextWindowSize(ImVec2(float(kPanelWidth), float(height)));
    ImGui::Begin("fxhost view", nullptr, ImGuiWindowFlags_NoMove | ImGuiWindowFlags_NoResize |
                                             ImGuiWindowFlags_NoCollapse | ImGuiWindowFlags_NoTitleBar);
    ImGui::PushItemWidth(200);
    ImGui::Checkbox("gizmos", &show_.gizmos);
    ImGui::SameLine();
    ImGui::Checkbox("mesh", &show_.mesh);
    ImGui::SameLine();
    ImGui::Checkbox("wireframe", &show_.wireframe);
    ImGui::Checkbox("curves", &show_.curves);
    ImGui::SameLine();
    ImGui::Checkbox("particles", &show_.particles);

    if (ImGui::CollapsingHeader("Time", ImGuiTreeNodeFlags_DefaultOpen)) {
        if (ImGui::Button(playing_ ? "pause" : "play", ImVec2(60, 0))) playing_ = !playing_;
        ImGui::SameLine();
        ImGui::Checkbox("loop", &loop_);
        int frame = timeline_.frame();
        if (ImGui::SliderInt("frame", &frame, 1, timeline_.frames())) attempt([&] { timeline_.show(frame); });
        int frames = timeline_.frames();
        if (ImGui::InputInt("frames", &frames, 1, 24, ImGuiInputTextFlags_EnterReturnsTrue))
            attempt([&] { timeline_.setFrames(frames); });
        double fps = timeline_.fps();
        if (ImGui::InputDouble("fps", &fps, 1.0, 10.0, "%.2f", ImGuiInputTextFlags_EnterReturnsTrue))
            attempt([&] { timeline_.setFps(fps); });
    }
    if (ImGui::CollapsingHeader("Camera", ImGuiTreeNodeFlags_DefaultOpen)) {
        if (ImGui::Button("frame all (F)")) frameAll();
        for (View v : {View::Front, View::Top, View::Side, View::ThreeQuarter}) {
            ImGui::SameLine();
            if (ImGui::Button(viewName(v))) setView(v);
        }
        ImGui::Text("up:");
        ImGui::SameLine();
        if (ImGui::RadioButton("Y", camera_.up == UpAxis::Y)) setUp(UpAxis::Y);
        ImGui::SameLine();
        if (ImGui::RadioButton("Z", camera_.up == UpAxis::Z)) setUp(UpAxis::Z);
        ImGui::TextDisabled("orbit: drag  pan: right-drag  zoom: wheel");
    }
    if (ImGui::CollapsingHeader("Files", ImGuiTreeNodeFlags_DefaultOpen)) {
        ImGui::InputText("scene", sceneField_, sizeof sceneField_);
        ImGui::SameLine();
        if (ImGui::Button("open")) attempt([&] { openScene(sceneField_); });
        ImGui::InputText("name", nameField_, sizeof nameField_);
        const std::string name = nameField_;
        char frameName[32];
        std::snprintf(frameName, sizeof frameName, "_%04d", timeline_.frame());
        if (ImGui::Button("save frame .obj"))
            attempt([&] {
                timeline_.saveFrame(name + frameName + ".obj");
                say("wrote " + name + frameName + ".obj", false);
            });
        ImGui::SameLine();
        if (ImGui::Button("save picture .png (F12)")) screenshot(name + "_" + std::to_string(++shotCounter_) + ".png", false);
        if (ImGui::Button("save session .json")) attempt([&] { saveSession(name + ".json"); });
        ImGui::SameLine();
        if (ImGui::Button("load session .json")) attempt([&] { loadSession(name + ".json"); });
        ImGui::TextDisabled("or drop an .obj file onto the window");
    }
    if (!message_.empty()) {
        ImGui::PushStyleColor(ImGuiCol_Text, messageIsError_ ? ImVec4(1.0f, 0.45f, 0.4f, 1.0f)
                                                             : ImVec4(0.6f, 0.85f, 0.6f, 1.0f));
        ImGui::TextWrapped("%s", message_.c_str());
        ImGui::PopStyleColor();
    }
    if (ImGui::CollapsingHeader("Stack", ImGuiTreeNodeFlags_DefaultOpen)) stackPanel();
    ImGui::PopItemWidth();
    ImGui::End();
}

void Viewer::statusLine() {
    int width = 0, height = 0;
    glfwGetWindowSize(window_, &width, &height);
    ImGui::SetNextWindowPos(ImVec2(float(kPanelWidth), float(height - kStatusHeight)));
    ImGui::SetNextWindowSize(ImVec2(float(width - kPanelWidth), float(kStatusHeight)));
    ImGui::Begin("status", nullptr, ImGuiWindowFlags_NoDecoration | ImGuiWindowFlags_NoMove |
                                        ImGuiWindowFlags_NoSavedSettings | ImGuiWindowFlags_NoFocusOnAppearing);
    const Scene& scene = timeline_.current();
    size_t curvePoints = 0;
    for (const SceneCurve& c : scene.curves) curvePoints += c.points.size();
    // Most telling first; a narrow window shows the parts that fit whole.
    std::vector<std::string> parts;
    const auto add = [&parts](const char* format, auto... values) {
        char part[256];
        std::snprintf(part, sizeof part, format, values...);
        parts.emplace_back(part);
    };
    add("%.0f fps", double(ImGui::GetIO().Framerate));
    add("|  frame %d/%d  t=%.2fs", timeline_.frame(), timeline_.frames(), timeline_.frame() / timeline_.fps());
    add("|  mesh %zu", scene.vertices.size());
    add("curve points %zu", curvePoints);
    add("particles %zu  |", scene.particles.size());
    const std::vector<double> ms = timeline_.msPerEffect();
    for (size_t i = 0; i < ms.size(); ++i)
        add("%s %.2f ms", timeline_.effect(i).name.c_str(), ms[i]);
    const float room = ImGui::GetContentRegionAvail().x;
    std::string text;
    for (const std::string& p : parts) {
        const std::string longer = text.empty() ? p : text + "  " + p;
        if (ImGui::CalcTextSize(longer.c_str()).x > room) break;
        text = longer;
    }
    ImGui::TextUnformatted(text.c_str());
    ImGui::End();
}
