// `fxhost view`: a window that plays a stack of effects over a scene, with a
// panel to tune them and a camera to turn it. A script of the same actions
// drives it for tests and measurements.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "../camera.h"
#include "../scene_drawing.h"
#include "timeline.h"

struct GLFWwindow;

constexpr int kPanelWidth = 380, kStatusHeight = 26;  // pixels: the panel on the left, the status line below

struct ViewerOptions {
    std::string pluginPath;
    std::vector<std::string> effects;
    std::string scenePath, sessionPath, scriptPath;
    bool stay = false;  // the window outlives its script
    int width = 1280, height = 800;
    UpAxis up = UpAxis::Y;
    View view = View::ThreeQuarter;
};

class ViewerScript;

// What `fxhost view --help` tells below the options: the keys, the mouse and the script's actions.
std::string viewerHelp();

class Viewer {
public:
    explicit Viewer(const ViewerOptions& options);  // opens the window; throws RunError
    ~Viewer();
    Viewer(const Viewer&) = delete;
    Viewer& operator=(const Viewer&) = delete;

    // Until the window closes, or its script ends (unless told to stay): 0,
    // or 1 when an action of the script failed. Throws Interrupted.
    int run();

    // The keys, each with what it does.
    struct Key {
        int key;
        bool control;
        const char* name;
        const char* does;
        void (*act)(Viewer&);
    };
    static const std::vector<Key>& keys();

    // What the panel, the keys and a script do. Each throws UsageError or
    // RunError with a one-line reason; the viewer shows it and goes on.
    Timeline& timeline() { return timeline_; }
    Camera& camera() { return camera_; }
    DrawOptions& show() { return show_; }
    void openScene(const std::string& path);
    void frameAll();
    void setView(View view);
    void setUp(UpAxis up);
    void edit(size_t effect, const std::string& name, const std::string& value);
    // Brings the effect's centre to the scene's and its range or axes to half the scene's
    // radius, keeping their directions: edits, as a user's would be.
    void fitToScene(size_t effect);
    void play(bool on) { playing_ = on; }
    bool playing() const { return playing_; }
    // After this frame is drawn; a failure ends the script when `scriptLine` (its action's line) is given.
    void screenshot(const std::string& path, bool wholeWindow, int scriptLine = 0);
    void saveSession(const std::string& path);
    void loadSession(const std::string& path);
    void say(const std::string& message, bool error);
    void quit();

private:
    void panel();
    void stackPanel();
    void paramControl(size_t effect, const HostParam& param);  // with its meaning when hovered
    void paramWidget(size_t effect, const HostParam& param);
    // Runs an action of the panel; a refusal becomes the message shown.
    template <class Action>
    void attempt(Action action);
    void statusLine();
    void handleMouse();
    void key(int key, int mods);
    void advance();
    void drawFrame();
    void takeScreenshots();
    struct Rect {
        int x, y, width, height;  // in OpenGL's pixels, from the bottom left
    };
    Rect viewRect() const;

    GLFWwindow* window_ = nullptr;
    Timeline timeline_;
    Camera camera_;
    DrawOptions show_;
    std::unique_ptr<SceneDrawer> drawer_;
    std::unique_ptr<ViewerScript> script_;
    bool playing_ = false, loop_ = true, cameraFromSession_ = false, stay_ = false, scriptFailed_ = false;
    double lastTick_ = 0.0;
    struct Shot {
        std::string path;
        bool wholeWindow;
        int scriptLine;
    };
    std::vector<Shot> shots_;
    std::string message_;
    bool messageIsError_ = false;
    char sceneField_[512] = "", nameField_[256] = "fxhost_view";
    int shotCounter_ = 0;
    std::vector<std::string> dropped_;

    static void onDrop(GLFWwindow* window, int count, const char** paths);
    static void onKey(GLFWwindow* window, int key, int scancode, int action, int mods);
};
