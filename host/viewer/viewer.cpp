#include "viewer.h"

#include <GLFW/glfw3.h>
#include <GL/gl.h>
#include <backends/imgui_impl_glfw.h>
#include <backends/imgui_impl_opengl2.h>
#include <imgui.h>

#include <algorithm>
#include <cmath>
#include <iostream>

#include "../image.h"
#include "../interrupt.h"
#include "../ranges.h"
#include "../session.h"
#include "kit/errors.h"
#include "viewer_script.h"

static_assert(kMinWindowWidth - kPanelWidth >= 260, "the smallest window keeps a picture beside the panel");

namespace {
Viewer* viewerOf(GLFWwindow* window) { return static_cast<Viewer*>(glfwGetWindowUserPointer(window)); }
}  // namespace

std::string viewerHelp() {
    std::string out = "Keys, over the picture:\n";
    for (const Viewer::Key& k : Viewer::keys()) {
        std::string head = std::string("  ") + k.name;
        head.resize(30, ' ');
        out += head + k.does + "\n";
    }
    return out +
           "Mouse, over the picture:\n"
           "  drag                        orbit\n"
           "  right-drag or Shift+drag    pan\n"
           "  wheel                       zoom\n"
           "  drop an .obj file           open it\n"
           "Script actions (--script FILE, one a line, # begins a comment; N counts the stack from 1):\n" +
           scriptActions() +
           "The first action that fails ends the script with status 1; the window closes at the script's end\n"
           "unless --stay is given.";
}

const std::vector<Viewer::Key>& Viewer::keys() {
    static const std::vector<Key> table = {
        {GLFW_KEY_SPACE, false, "Space", "play or pause", [](Viewer& v) { v.playing_ = !v.playing_; }},
        {GLFW_KEY_RIGHT, false, "Right", "the next frame", [](Viewer& v) { v.timeline_.show(v.timeline_.frame() + 1); }},
        {GLFW_KEY_LEFT, false, "Left", "the frame before", [](Viewer& v) { v.timeline_.show(v.timeline_.frame() - 1); }},
        {GLFW_KEY_HOME, false, "Home", "frame 1", [](Viewer& v) { v.timeline_.show(1); }},
        {GLFW_KEY_F, false, "F", "frame the whole scene", [](Viewer& v) { v.frameAll(); }},
        {GLFW_KEY_1, false, "1", "look from the front", [](Viewer& v) { v.setView(View::Front); }},
        {GLFW_KEY_3, false, "3", "look from the side", [](Viewer& v) { v.setView(View::Side); }},
        {GLFW_KEY_7, false, "7", "look from the top", [](Viewer& v) { v.setView(View::Top); }},
        {GLFW_KEY_0, false, "0", "look from three-quarter", [](Viewer& v) { v.setView(View::ThreeQuarter); }},
        {GLFW_KEY_F12, false, "F12", "save the picture as NAME_N.png (NAME from the panel)",
         [](Viewer& v) { v.screenshot(v.nameField_ + std::string("_") + std::to_string(++v.shotCounter_) + ".png", false); }},
        {GLFW_KEY_Q, true, "Ctrl+Q", "close the window", [](Viewer& v) { v.quit(); }},
    };
    return table;
}

Viewer::Viewer(const ViewerOptions& options) : timeline_(options.pluginPath), stay_(options.stay) {
    // Everything the command line names is checked before a window opens.
    if (!options.scriptPath.empty()) script_ = std::make_unique<ViewerScript>(options.scriptPath);
    if (!options.sessionPath.empty()) loadSession(options.sessionPath);
    if (!options.scenePath.empty()) timeline_.loadScene(options.scenePath);
    for (const std::string& effect : options.effects) timeline_.add(effect);
    std::snprintf(sceneField_, sizeof sceneField_, "%s", timeline_.scenePath().c_str());

    if (!glfwInit()) throw RunError("cannot open a window: no display (is DISPLAY set?)");
    // No multisampling: on a software renderer it halves the frame rate.
    glfwWindowHint(GLFW_SAMPLES, 0);
    window_ = glfwCreateWindow(options.width, options.height, "fxhost view", nullptr, nullptr);
    if (!window_) {
        glfwTerminate();
        throw RunError("cannot open a window with an OpenGL context");
    }
    glfwSetWindowSizeLimits(window_, kMinWindowWidth, kMinWindowHeight, GLFW_DONT_CARE, GLFW_DONT_CARE);
    glfwMakeContextCurrent(window_);
    glfwSwapInterval(script_ ? 0 : 1);  // a script runs as fast as it can
    glfwSetWindowUserPointer(window_, this);
    glfwSetDropCallback(window_, onDrop);
    glfwSetKeyCallback(window_, onKey);  // before ImGui's, which calls it in turn

    IMGUI_CHECKVERSION();
    ImGui::CreateContext();
    ImGui::GetIO().IniFilename = nullptr;  // the layout is fixed: no imgui.ini in the user's folder
    ImGui::StyleColorsDark();
    // Opaque panels: the picture beside them is all that needs clearing each frame.
    ImGui::GetStyle().Colors[ImGuiCol_WindowBg].w = 1.0f;
    ImGui_ImplGlfw_InitForOpenGL(window_, true);
    ImGui_ImplOpenGL2_Init();
    drawer_ = std::make_unique<SceneDrawer>();

    if (cameraFromSession_) return;
    camera_.up = options.up;
    camera_.setView(options.view);
    frameAll();
}

Viewer::~Viewer() {
    if (!window_) return;
    drawer_.reset();
    ImGui_ImplOpenGL2_Shutdown();
    ImGui_ImplGlfw_Shutdown();
    ImGui::DestroyContext();
    glfwDestroyWindow(window_);
    glfwTerminate();
}

Viewer::Rect Viewer::viewRect() const {
    int width = 0, height = 0;
    glfwGetFramebufferSize(window_, &width, &height);
    return Rect{kPanelWidth, kStatusHeight, std::max(16, width - kPanelWidth), std::max(16, height - kStatusHeight)};
}

void Viewer::openScene(const std::string& path) {
    try {
        timeline_.loadScene(path);
    } catch (const RunError& e) {
        throw RunError(e.what() + std::string(" (the current scene stays)"));
    }
    std::snprintf(sceneField_, sizeof sceneField_, "%s", path.c_str());
    frameAll();
    say("opened " + (path.empty() ? std::string("the built-in scene") : path), false);
}

void Viewer::frameAll() {
    const Rect r = viewRect();
    camera_.frameAll(boundsOf(timeline_.current()), double(r.width) / r.height);
}

void Viewer::setView(View view) {
    camera_.setView(view);
    frameAll();
}

void Viewer::setUp(UpAxis up) {
    camera_.up = up;
    frameAll();
}

void Viewer::edit(size_t effect, const std::string& name, const std::string& value) {
    timeline_.edit(effect, name, value, playing_);
}

void Viewer::screenshot(const std::string& path, bool wholeWindow, int scriptLine) {
    shots_.push_back({path, wholeWindow, scriptLine});
}

void Viewer::saveSession(const std::string& path) {
    timeline_.refuseScene(path, "the session");
    Session session = timeline_.session();
    session.camera = camera_;
    ::saveSession(session, path);
    say("saved the session " + path, false);
}

void Viewer::loadSession(const std::string& path) {
    const Session session = ::loadSession(path);
    timeline_.useSession(session);
    std::snprintf(sceneField_, sizeof sceneField_, "%s", timeline_.scenePath().c_str());
    if (session.camera) camera_ = *session.camera;
    cameraFromSession_ = session.camera.has_value();
    say("loaded the session " + path, false);
}

void Viewer::say(const std::string& message, bool error) {
    message_ = message;
    messageIsError_ = error;
    if (error && script_) std::cerr << "fxhost view: " << printable(message) << '\n';
}

void Viewer::quit() { glfwSetWindowShouldClose(window_, GLFW_TRUE); }

void Viewer::onDrop(GLFWwindow* window, int count, const char** paths) {
    for (int i = 0; i < count; ++i) viewerOf(window)->dropped_.emplace_back(paths[i]);
}

void Viewer::onKey(GLFWwindow* window, int key, int, int action, int mods) {
    if (action != GLFW_RELEASE && !ImGui::GetIO().WantCaptureKeyboard) viewerOf(window)->key(key, mods);
}

void Viewer::key(int key, int mods) {
    for (const Key& k : keys())
        if (k.key == key && k.control == ((mods & GLFW_MOD_CONTROL) != 0)) k.act(*this);
}

void Viewer::handleMouse() {
    const ImGuiIO& io = ImGui::GetIO();
    if (io.WantCaptureMouse) return;
    const float dx = io.MouseDelta.x, dy = io.MouseDelta.y;
    const Rect r = viewRect();
    const bool moved = dx != 0.0f || dy != 0.0f;
    const bool panning = ImGui::IsMouseDown(ImGuiMouseButton_Right) || ImGui::IsMouseDown(ImGuiMouseButton_Middle) ||
                         (ImGui::IsMouseDown(ImGuiMouseButton_Left) && io.KeyShift);
    if (moved && panning)
        camera_.pan(dx / r.height, -dy / r.height);
    else if (moved && ImGui::IsMouseDown(ImGuiMouseButton_Left))
        camera_.orbit(0.4 * dx, 0.4 * dy);
    if (io.MouseWheel != 0.0f) camera_.zoom(std::pow(1.15, double(io.MouseWheel)));
}

// While playing, one frame per 1/fps of wall time (a script: one per loop).
void Viewer::advance() {
    if (!playing_) return;
    const double now = glfwGetTime();
    if (!script_ && now - lastTick_ < 1.0 / timeline_.fps()) return;
    lastTick_ = now;
    if (timeline_.frame() < timeline_.frames())
        timeline_.show(timeline_.frame() + 1);
    else if (loop_)
        timeline_.show(1);
    else
        playing_ = false;
}

void Viewer::drawFrame() {
    int width = 0, height = 0;
    glfwGetFramebufferSize(window_, &width, &height);
    const Rect r = viewRect();
    drawer_->draw(timeline_.current(), camera_, r.x, r.y, r.width, r.height, show_, [this] { timeline_.drawGizmos(); },
                  "");
    glViewport(0, 0, width, height);
    ImGui::Render();
    ImGui_ImplOpenGL2_RenderDrawData(ImGui::GetDrawData());
}

void Viewer::takeScreenshots() {
    for (const auto& [path, whole, scriptLine] : shots_) {
        int width = 0, height = 0;
        glfwGetFramebufferSize(window_, &width, &height);
        const Rect r = whole ? Rect{0, 0, width, height} : viewRect();
        std::vector<uint8_t> rgb(size_t(r.width) * r.height * 3);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadBuffer(GL_BACK);
        glReadPixels(r.x, r.y, r.width, r.height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
        Image image{r.width, r.height, std::vector<uint8_t>(rgb.size())};
        const size_t row = size_t(r.width) * 3;
        for (int y = 0; y < r.height; ++y)  // OpenGL's rows run bottom to top
            std::copy_n(rgb.begin() + long(size_t(r.height - 1 - y) * row), row, image.rgb.begin() + long(y * row));
        try {
            timeline_.refuseScene(path, "the picture");
            writePng(path, image);
            say("wrote " + path, false);
        } catch (const std::exception& e) {
            if (scriptLine && script_) {
                script_->fail(*this, scriptLine, messageOf(e));
                scriptFailed_ = true;
            } else {
                say(messageOf(e), true);
            }
        }
    }
    shots_.clear();
}

int Viewer::run() {
    lastTick_ = glfwGetTime();
    while (!glfwWindowShouldClose(window_)) {
        stopIfInterrupted();
        const double start = glfwGetTime();
        glfwPollEvents();
        try {
            for (const std::string& path : dropped_) openScene(path);
            dropped_.clear();
            if (script_ && !script_->step(*this)) scriptFailed_ = true;
            if (script_ && script_->finished() && !stay_) quit();
            advance();
        } catch (const Interrupted&) {
            throw;
        } catch (const std::exception& e) {
            dropped_.clear();
            say(messageOf(e), true);
        }
        ImGui_ImplOpenGL2_NewFrame();
        ImGui_ImplGlfw_NewFrame();
        ImGui::NewFrame();
        handleMouse();
        panel();
        statusLine();
        drawFrame();
        takeScreenshots();
        glfwSwapBuffers(window_);
        if (script_) script_->frameDone(glfwGetTime() - start);
    }
    return scriptFailed_ ? 1 : 0;
}
