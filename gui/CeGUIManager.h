#pragma once

#include "states/OgreEventListener.h"

#include <OgreFrameListener.h>
#include <OgreRenderQueueListener.h>
#include <OgreSingleton.h>

#include <CEGUI/Colour.h>

#include <memory>
#include <string>
#include <vector>

namespace CEGUI {
class GUIContext;
class OgreRenderer;
class Window;
}

namespace Ogre {
class RenderWindow;
class SceneManager;
}

namespace Kelvo {

class CeguiLogFile;

// Brings CEGUI up and down for the states that show windows, loads their
// layouts, feeds CEGUI the keyboard and mouse, and offers the services every
// window uses: find a window by name anywhere in the loaded layout, show or
// hide one, fill list and combo boxes in the common selection style. It also
// counts the open modal boxes and the GUI elements under the mouse.
//
// The mouse is fed as the pointer's absolute position in the window rather
// than as relative motion: an ungrabbed pointer would otherwise drift away
// from the drawn cursor and clicks would land elsewhere.
class CeGUIManager : public OgreEventAdapter,
                     public Ogre::FrameListener,
                     public Ogre::RenderQueueListener,
                     public Ogre::Singleton<CeGUIManager> {
public:
    using NameList = std::shared_ptr<std::vector<std::string>>;

    static const char* const kScheme;
    static const char* const kFont;
    static const char* const kCursorImage;
    static const char* const kSelectionBrush;

    CeGUIManager();
    ~CeGUIManager() override;

    // Starts CEGUI on the engine's render window the first time; later
    // calls (each state that shows windows) reuse the running system.
    // Returns true.
    bool initialise();
    // Scheme, cursor, font and selection colour, on a CEGUI system that is
    // already running (initialise() calls it; tests on the null renderer too).
    void configureSystem();
    // Ends a state's use of the windows: its layout is destroyed and the
    // windows are no longer drawn or fed input; CEGUI itself keeps running.
    void shutdown();
    // Stops CEGUI; the state manager calls it at shut-down, while the
    // engine still exists.
    void destroySystem();
    bool isInitialised() const { return mInitialised; }

    bool loadLayout(Ogre::SceneManager* sceneManager, const std::string& layoutFile);
    CEGUI::Window* getLayoutRoot() const { return mLayoutRoot; }

    void centreMouse();
    void setMousePosition(float x, float y);

    // The window of that name in the loaded layout; null (after an error
    // box) when there is none.
    CEGUI::Window* getWindow(const std::string& name);
    // The same without the error box, for optional windows.
    CEGUI::Window* findWindow(const std::string& name) const;
    void setWindowVisible(const std::string& name, bool visible);
    // The timed demo measures frames without the windows: they are then
    // neither drawn nor cleared away; input still reaches them.
    void setDrawingEnabled(bool enabled) { mDrawingEnabled = enabled; }

    void addComboboxItem(const std::string& comboboxName, const std::string& text);
    void addListboxItem(const std::string& listboxName, const std::string& text);
    void fillCombobox(const std::string& comboboxName, const NameList& items);
    void fillListbox(const std::string& listboxName, const NameList& items);
    void clearListbox(const std::string& listboxName);

    void mouseEntered();
    void mouseLeft();
    int getMouseOverCount() const { return mMouseOverCount; }

    void openBox() { ++mOpenBoxCount; }
    void closeBox();
    int getOpenBoxCount() const { return mOpenBoxCount; }

    const CEGUI::Colour& getSelectionColour() const { return mSelectionColour; }

    bool keyPressed(const OIS::KeyEvent& event) override;
    bool keyReleased(const OIS::KeyEvent& event) override;
    bool mouseMoved(const OIS::MouseEvent& event) override;
    bool mousePressed(const OIS::MouseEvent& event, OIS::MouseButtonID id) override;
    bool mouseReleased(const OIS::MouseEvent& event, OIS::MouseButtonID id) override;

    // CEGUI's clock (caret, double clicks, tooltips).
    bool frameStarted(const Ogre::FrameEvent& event) override;
    // Draws the windows inside the window's own viewport render, just before
    // the engine's overlays: the fades and full-screen pictures then cover
    // the windows as they cover the 3D view.
    void renderQueueStarted(Ogre::uint8 queueGroupId, const Ogre::String& invocation, bool& repeatThisInvocation) override;

    // OIS button numbers to CEGUI's: 0 left, 1 right, 2 middle, 3 the first
    // extra button, anything else left.
    static int mapMouseButton(int oisButton);

private:
    CEGUI::GUIContext* context() const;
    bool canInject() const;

    void attachToSceneManager(Ogre::SceneManager* sceneManager);
    void detachFromSceneManager();
    void removeTexturesLeftByCegui();

    // Made before CEGUI starts for the first time, kept until the end.
    std::unique_ptr<CeguiLogFile> mLog;
    CEGUI::OgreRenderer* mRenderer = nullptr;
    // The scene manager whose render queue draws the windows.
    Ogre::SceneManager* mQueueSceneManager = nullptr;
    CEGUI::Window* mLayoutRoot = nullptr;
    CEGUI::Colour mSelectionColour;
    Ogre::RenderWindow* mRenderWindow = nullptr;
    bool mInitialised = false;
    bool mDrawingEnabled = true;
    int mOpenBoxCount = 0;
    int mMouseOverCount = 0;
};

} // namespace Kelvo
