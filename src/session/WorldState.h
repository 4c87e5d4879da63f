#pragma once

#include <memory>
#include <string>

namespace tamsygraphics
{
class SceneManager;
class Camera;
}

namespace core
{
class Scene;
class StoryState;
class WorldHost;

// Where the party walks: the scene shown, a scene change waiting for the
// end of the frame, and the camera kept on the map. Part of the running
// session; the characters that left a scene for good are noted in, and
// left out by, the story it is given.
class WorldState
{
public:
    WorldState(WorldHost& host, StoryState& story);
    // Detaches the scenes' characters, which outlive them in the store.
    ~WorldState();
    WorldState(const WorldState&) = delete;
    WorldState& operator=(const WorldState&) = delete;

    // Borrowed: the renderer's scene manager and camera (null in tests).
    void setSceneManager(tamsygraphics::SceneManager* sm) { _sm = sm; }
    tamsygraphics::SceneManager* getSceneManager() const { return _sm; }
    void setCamera(tamsygraphics::Camera* cam) { _cam = cam; }
    tamsygraphics::Camera* getCamera() const { return _cam; }

    Scene* getCurrentScene() const { return _currentScene.get(); }
    Scene* getNextScene() const { return _nextScene.get(); }
    // An unknown scene, or a tile off its map or closed on every side, is
    // refused (false), and an earlier request stays: the party would stand
    // where it can never move. The reason goes to `why` when given, else to
    // the warning log.
    bool setNextScene(const std::string& sceneId, int row, int column, std::string* why = nullptr);
    // Enters the scene as a pending change; the scene may be null (a failed
    // lookup), in which case no change will happen. A pending scene that
    // this replaces is freed.
    void setNextScene(std::unique_ptr<Scene> scene, int row, int column);
    // The scene left behind is freed once the new one is shown.
    void attemptEnterScene(std::unique_ptr<Scene> scene, int row, int column);
    // Shows a scene rebuilt from changed files in place of the current one,
    // with the avatar on the tile it stood on and facing the same way; no
    // trigger fires, since the avatar took no step.
    void reenterScene(std::unique_ptr<Scene> scene);
    // The end of a frame: a pending change is made, or dropped with a
    // warning during a fight, and the camera fitted again when the scene or
    // the fight changed.
    void finishFrame();
    // Keeps the camera on the map, in a fight as far past its top and bottom
    // edges as the fight's view covers.
    void fitCameraToScene();
    // The maker's view of closed sides and trigger tiles (F3), kept from
    // one scene to the next.
    void showWalkingGrid(bool shown);
    bool isWalkingGridShown() const { return _walkingGridShown; }
    // Notes the current scene's removed entities as gone from it for good.
    void noteDeparted();
    // The scenes' characters stop pointing at them; the session calls it
    // before its fight and dialogs go.
    void detachEntities();

private:
    void leaveOutDeparted(Scene* scene);
    void republishCharacters();

    WorldHost& _host;
    StoryState& _story;
    tamsygraphics::SceneManager* _sm = nullptr;
    tamsygraphics::Camera* _cam = nullptr;
    // Whether the camera's bounds were set for the scene shown, and for a
    // fight or for walking.
    bool _cameraFitted = false;
    bool _cameraFitForFight = false;
    bool _walkingGridShown = false;
    std::unique_ptr<Scene> _currentScene;
    std::unique_ptr<Scene> _nextScene;
    int _nextRow = 0;
    int _nextCol = 0;
};
}
