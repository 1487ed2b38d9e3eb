#pragma once

#include "app/OptionEntry.h"
#include "world/InputListeners.h"

#include <OgrePrerequisites.h>

#include <cstdint>
#include <string>

class InputManager;

namespace Ogre {
class Overlay;
class OverlaySystem;
}

namespace Kelvo {

class OgreEventListener;
class PagingLandScapeSceneManagerFactory;

// Owns the engine: the root with its log, the plug-ins, the render system and
// window, the resource locations, the scene manager "MainScene", the input
// manager and the video option table. Created first by the entry point, set up
// by the state manager when the game starts and shut down by it at the end.
// The states reach it through getSingletonPtr(); scripts through their
// GameWorld.
class Application : public InputListeners {
public:
    enum RenderSystemKind : std::int16_t {
        kOpenGL = 1,
        kDirect3D9 = 2,
        kNoRenderSystem = 3,
    };

    static const char* const kMainSceneName;
    static const char* const kResourcesFile;

    Application();
    ~Application() override;

    static Application* getSingletonPtr() { return sInstance; }

    // Brings the engine up. Returns false (after reporting engine failures
    // in the error box) when it could not.
    bool setup(const std::string& windowTitle, const std::string& optionsFileName, std::int16_t renderSystemKind);
    void shutdown();

    void captureInput();
    void addInputListener(OgreEventListener* listener, const std::string& name) override;
    void removeInputListener(OgreEventListener* listener) override;

    // The current "MainScene": states replace it, so it is looked up by name
    // on every call.
    Ogre::SceneManager* getSceneManager() const;
    // Destroys "MainScene" and makes a new one of the given type under the
    // same name, with the overlays drawn in it (the play state and the
    // editor run on the terrain's manager, the menu on the generic one).
    Ogre::SceneManager* replaceSceneManager(const std::string& typeName);
    Ogre::Root* getRoot() const { return mRoot; }
    Ogre::RenderWindow* getRenderWindow() const { return mRenderWindow; }
    std::uint32_t getWindowHandle() const { return mWindowHandle; }
    Ogre::OverlaySystem* getOverlaySystem() const { return mOverlaySystem; }
    // The overlay of that name from the overlay scripts, or null (no
    // overlay system yet, or no such overlay).
    Ogre::Overlay* findOverlay(const std::string& name) const;
    InputManager* getInputManager() const { return mInputManager; }

    // Builds a UV sphere mesh of that name unless one exists; used for the
    // marker spheres of the scene records.
    void createSphere(const std::string& meshName, float radius, int rings, int segments);

    OptionEntry* getOption(const std::string& key);
    bool saveOptions();
    bool optionsValid() const { return mOptionsValid; }

private:
    void loadPlugins();
    bool chooseRenderSystem(std::int16_t kind);
    void loadAndApplyOptions(const std::string& optionsFileName);
    void applyTextureFiltering();
    void setRenderSystemOption(const std::string& name, const std::string& value);
    void declareResourceLocations();

    static Application* sInstance;

    bool mOptionsValid = false;
    std::uint32_t mWindowHandle = 0;
    std::string mOptionsFileName;
    Ogre::SceneManager* mSceneManager = nullptr;
    Ogre::Root* mRoot = nullptr;
    Ogre::RenderWindow* mRenderWindow = nullptr;
    Ogre::RenderSystem* mRenderSystem = nullptr;
    std::int16_t mRenderSystemKind = kNoRenderSystem;
    OptionTable mOptions;
    InputManager* mInputManager = nullptr;
    Ogre::OverlaySystem* mOverlaySystem = nullptr;
    PagingLandScapeSceneManagerFactory* mTerrainSceneManagers = nullptr;
};

} // namespace Kelvo
