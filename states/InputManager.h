#pragma once

#include <OIS.h>

#include <map>
#include <string>
#include <vector>

namespace Ogre {
class RenderWindow;
}

// Wraps OIS for the whole program: creates the buffered keyboard, mouse and
// joysticks of the render window, polls them once per frame from the state
// manager, and hands every event to the named listeners in name order. The
// Application creates and deletes the one instance.
class InputManager : public OIS::KeyListener, public OIS::MouseListener, public OIS::JoyStickListener {
public:
    ~InputManager() override;

    // Returns the one instance, creating it without devices when needed.
    static InputManager* getSingletonPtr();

    void initialise(Ogre::RenderWindow* renderWindow);
    void capture();

    void addKeyListener(OIS::KeyListener* listener, const std::string& name);
    void addMouseListener(OIS::MouseListener* listener, const std::string& name);
    void addJoystickListener(OIS::JoyStickListener* listener, const std::string& name);
    void removeKeyListener(OIS::KeyListener* listener);
    void removeMouseListener(OIS::MouseListener* listener);
    void removeJoystickListener(OIS::JoyStickListener* listener);

    void setWindowExtents(int width, int height);

    OIS::Keyboard* getKeyboard() const { return mKeyboard; }
    OIS::Mouse* getMouse() const { return mMouse; }

    size_t keyListenerCount() const { return mKeyListeners.size(); }
    size_t mouseListenerCount() const { return mMouseListeners.size(); }

    bool keyPressed(const OIS::KeyEvent& event) override;
    bool keyReleased(const OIS::KeyEvent& event) override;
    bool mouseMoved(const OIS::MouseEvent& event) override;
    bool mousePressed(const OIS::MouseEvent& event, OIS::MouseButtonID id) override;
    bool mouseReleased(const OIS::MouseEvent& event, OIS::MouseButtonID id) override;
    bool buttonPressed(const OIS::JoyStickEvent& event, int button) override;
    bool buttonReleased(const OIS::JoyStickEvent& event, int button) override;
    bool axisMoved(const OIS::JoyStickEvent& event, int axis) override;
    bool sliderMoved(const OIS::JoyStickEvent& event, int slider) override;
    bool povMoved(const OIS::JoyStickEvent& event, int pov) override;

    // Registration needs a device; tests of the listener maps stand in
    // devices through this. The pointers are never dereferenced there.
    void setDevicesForTesting(OIS::Keyboard* keyboard, OIS::Mouse* mouse);

private:
    InputManager() = default;

    static InputManager* sInstance;

    OIS::InputManager* mInputSystem = nullptr;
    OIS::Mouse* mMouse = nullptr;
    OIS::Keyboard* mKeyboard = nullptr;
    std::vector<OIS::JoyStick*> mJoysticks;
    std::map<std::string, OIS::KeyListener*> mKeyListeners;
    std::map<std::string, OIS::MouseListener*> mMouseListeners;
    std::map<std::string, OIS::JoyStickListener*> mJoystickListeners;
};
