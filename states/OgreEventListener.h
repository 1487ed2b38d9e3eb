#pragma once

#include <OIS.h>

namespace Kelvo {

// The input listener interface of the game: one object that hears both the
// keyboard and the mouse. The state manager, the states and the scripts that
// read input directly implement it and register with the Application.
class OgreEventListener : public OIS::KeyListener, public OIS::MouseListener {
public:
    ~OgreEventListener() override {}

    bool keyPressed(const OIS::KeyEvent& event) override = 0;
    bool keyReleased(const OIS::KeyEvent& event) override = 0;

    bool mouseMoved(const OIS::MouseEvent& event) override = 0;
    bool mousePressed(const OIS::MouseEvent& event, OIS::MouseButtonID id) override = 0;
    bool mouseReleased(const OIS::MouseEvent& event, OIS::MouseButtonID id) override = 0;
};

// Does nothing with every event and answers true, so listeners override only
// the events they care about.
class OgreEventAdapter : public OgreEventListener {
public:
    bool keyPressed(const OIS::KeyEvent&) override { return true; }
    bool keyReleased(const OIS::KeyEvent&) override { return true; }

    bool mouseMoved(const OIS::MouseEvent&) override { return true; }
    bool mousePressed(const OIS::MouseEvent&, OIS::MouseButtonID) override { return true; }
    bool mouseReleased(const OIS::MouseEvent&, OIS::MouseButtonID) override { return true; }
};

} // namespace Kelvo
