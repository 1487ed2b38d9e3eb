#pragma once

#include <OgreVector.h>

namespace Kelvo {

// The editor's mouse as the control script publishes it with
// "NEW_MOUSE_POS": the tracked cursor (x, y in window pixels, z a wheel value
// in [0, 1]), the movement since the last publication and the buttons. The
// control script keeps two of them, one collecting clicks (dragging false)
// and one collecting drags (dragging true); the camera and picking scripts
// copy the one they are shown.
struct EditMouseState {
    Ogre::Vector3 position{0.5f, 0.5f, 0.0f};
    Ogre::Vector3 relative = Ogre::Vector3::ZERO;
    bool left = false;
    bool middle = false;
    bool right = false;
    bool dragging = false;
    // True only in the first publication of a drag: picking grabs then.
    bool dragStart = true;

    explicit EditMouseState(bool isDragging = false)
        : dragging(isDragging)
    {
    }

    // Back to no buttons and no movement; whether this record describes a
    // drag is its owner's and stays.
    void reset()
    {
        position = Ogre::Vector3(0.5f, 0.5f, 0.0f);
        relative = Ogre::Vector3::ZERO;
        left = middle = right = false;
        dragStart = true;
    }
};

} // namespace Kelvo
