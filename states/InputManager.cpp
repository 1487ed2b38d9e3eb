#include "states/InputManager.h"

#include <OgreRenderWindow.h>

#include <sstream>

InputManager* InputManager::sInstance = nullptr;

InputManager* InputManager::getSingletonPtr()
{
    if (!sInstance) {
        sInstance = new InputManager();
    }
    return sInstance;
}

InputManager::~InputManager()
{
    if (mInputSystem) {
        if (mMouse) {
            mInputSystem->destroyInputObject(mMouse);
            mMouse = nullptr;
        }
        if (mKeyboard) {
            mInputSystem->destroyInputObject(mKeyboard);
            mKeyboard = nullptr;
        }
        for (OIS::JoyStick* joystick : mJoysticks) {
            mInputSystem->destroyInputObject(joystick);
        }
        mJoysticks.clear();
        OIS::InputManager::destroyInputSystem(mInputSystem);
        mInputSystem = nullptr;
    }
    mKeyListeners.clear();
    mMouseListeners.clear();
    mJoystickListeners.clear();
    if (sInstance == this) {
        sInstance = nullptr;
    }
}

void InputManager::initialise(Ogre::RenderWindow* renderWindow)
{
    if (mInputSystem) {
        return;
    }
    unsigned long windowHandle = 0;
    renderWindow->getCustomAttribute("WINDOW", &windowHandle);
    std::ostringstream handleText;
    handleText << windowHandle;

    OIS::ParamList parameters;
    parameters.insert(std::make_pair(std::string("WINDOW"), handleText.str()));
#if defined(__linux__)
    // A windowed game must not take the whole X display hostage: the GUI
    // cursor follows the real pointer's absolute position instead.
    parameters.insert(std::make_pair(std::string("x11_mouse_grab"), std::string("false")));
    parameters.insert(std::make_pair(std::string("x11_keyboard_grab"), std::string("false")));
#endif
    mInputSystem = OIS::InputManager::createInputSystem(parameters);

    if (mInputSystem->getNumberOfDevices(OIS::OISKeyboard) > 0) {
        mKeyboard = static_cast<OIS::Keyboard*>(mInputSystem->createInputObject(OIS::OISKeyboard, true));
        mKeyboard->setEventCallback(this);
    }
    if (mInputSystem->getNumberOfDevices(OIS::OISMouse) > 0) {
        mMouse = static_cast<OIS::Mouse*>(mInputSystem->createInputObject(OIS::OISMouse, true));
        mMouse->setEventCallback(this);
        unsigned int width, height, depth;
        int left, top;
        renderWindow->getMetrics(width, height, depth, left, top);
        setWindowExtents(static_cast<int>(width), static_cast<int>(height));
    }
    const int joystickCount = mInputSystem->getNumberOfDevices(OIS::OISJoyStick);
    if (joystickCount > 0) {
        mJoysticks.resize(joystickCount);
        for (OIS::JoyStick*& joystick : mJoysticks) {
            joystick = static_cast<OIS::JoyStick*>(mInputSystem->createInputObject(OIS::OISJoyStick, true));
            joystick->setEventCallback(this);
        }
    }
}

void InputManager::capture()
{
    if (mMouse) {
        mMouse->capture();
    }
    if (mKeyboard) {
        mKeyboard->capture();
    }
    for (OIS::JoyStick* joystick : mJoysticks) {
        joystick->capture();
    }
}

void InputManager::addKeyListener(OIS::KeyListener* listener, const std::string& name)
{
    if (mKeyboard && mKeyListeners.find(name) == mKeyListeners.end()) {
        mKeyListeners[name] = listener;
    }
}

void InputManager::addMouseListener(OIS::MouseListener* listener, const std::string& name)
{
    if (mMouse && mMouseListeners.find(name) == mMouseListeners.end()) {
        mMouseListeners[name] = listener;
    }
}

void InputManager::addJoystickListener(OIS::JoyStickListener* listener, const std::string& name)
{
    if (!mJoysticks.empty() && mJoystickListeners.find(name) == mJoystickListeners.end()) {
        mJoystickListeners[name] = listener;
    }
}

namespace {

template <typename Listener>
void eraseFirst(std::map<std::string, Listener*>& listeners, Listener* listener)
{
    for (auto it = listeners.begin(); it != listeners.end(); ++it) {
        if (it->second == listener) {
            listeners.erase(it);
            return;
        }
    }
}

} // namespace

void InputManager::removeKeyListener(OIS::KeyListener* listener)
{
    eraseFirst(mKeyListeners, listener);
}

void InputManager::removeMouseListener(OIS::MouseListener* listener)
{
    eraseFirst(mMouseListeners, listener);
}

void InputManager::removeJoystickListener(OIS::JoyStickListener* listener)
{
    eraseFirst(mJoystickListeners, listener);
}

void InputManager::setWindowExtents(int width, int height)
{
    if (!mMouse) {
        return;
    }
    const OIS::MouseState& state = mMouse->getMouseState();
    state.width = width;
    state.height = height;
}

void InputManager::setDevicesForTesting(OIS::Keyboard* keyboard, OIS::Mouse* mouse)
{
    mKeyboard = keyboard;
    mMouse = mouse;
}

// Listeners come and go only when states enter and exit, which happens in a
// frame callback, never inside capture(); the maps are walked directly.
bool InputManager::keyPressed(const OIS::KeyEvent& event)
{
    for (const auto& entry : mKeyListeners) {
        entry.second->keyPressed(event);
    }
    return true;
}

bool InputManager::keyReleased(const OIS::KeyEvent& event)
{
    for (const auto& entry : mKeyListeners) {
        entry.second->keyReleased(event);
    }
    return true;
}

bool InputManager::mouseMoved(const OIS::MouseEvent& event)
{
    for (const auto& entry : mMouseListeners) {
        entry.second->mouseMoved(event);
    }
    return true;
}

bool InputManager::mousePressed(const OIS::MouseEvent& event, OIS::MouseButtonID id)
{
    for (const auto& entry : mMouseListeners) {
        entry.second->mousePressed(event, id);
    }
    return true;
}

bool InputManager::mouseReleased(const OIS::MouseEvent& event, OIS::MouseButtonID id)
{
    for (const auto& entry : mMouseListeners) {
        entry.second->mouseReleased(event, id);
    }
    return true;
}

bool InputManager::buttonPressed(const OIS::JoyStickEvent& event, int button)
{
    for (const auto& entry : mJoystickListeners) {
        entry.second->buttonPressed(event, button);
    }
    return true;
}

bool InputManager::buttonReleased(const OIS::JoyStickEvent& event, int button)
{
    for (const auto& entry : mJoystickListeners) {
        entry.second->buttonReleased(event, button);
    }
    return true;
}

bool InputManager::axisMoved(const OIS::JoyStickEvent& event, int axis)
{
    for (const auto& entry : mJoystickListeners) {
        entry.second->axisMoved(event, axis);
    }
    return true;
}

bool InputManager::sliderMoved(const OIS::JoyStickEvent& event, int slider)
{
    for (const auto& entry : mJoystickListeners) {
        entry.second->sliderMoved(event, slider);
    }
    return true;
}

bool InputManager::povMoved(const OIS::JoyStickEvent& event, int pov)
{
    for (const auto& entry : mJoystickListeners) {
        entry.second->povMoved(event, pov);
    }
    return true;
}
