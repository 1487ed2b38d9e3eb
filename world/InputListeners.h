#pragma once

#include <string>

namespace Kelvo {

class OgreEventListener;

// Where the listeners that hear the keyboard and the mouse are registered:
// the Application in the game. Scripts reach it through their GameWorld and
// follow the listener rule written in ScriptAtom.h.
class InputListeners {
public:
    virtual ~InputListeners() = default;

    // A second listener under a name already taken is not added.
    virtual void addInputListener(OgreEventListener* listener, const std::string& name) = 0;
    // Removing a listener that is not registered does nothing.
    virtual void removeInputListener(OgreEventListener* listener) = 0;
};

} // namespace Kelvo
