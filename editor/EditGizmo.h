#pragma once

#include "editor/GizmoSettings.h"

#include <OgrePrerequisites.h>
#include <OgreQuaternion.h>
#include <OgreVector.h>

namespace Kelvo {

class GameWorld;

// The editor's handles in the scene: three move arrows (red X, green Y, blue
// Z), three rotation rings, three scale bars with a box at the end and a
// box that scales all three axes, three invisible drag planes, and the
// locator arrow that marks the picked ground. Each mode shows its own
// handles only, sized to the selected object at its world position, along
// the world's axes or (local axes) the object's own; the scale handles
// always follow the object's axes, the only ones its scale is kept along.
// The planes are moved to the grab point of a drag so the picking ray can
// meet them; the locator stands where the terrain was clicked.
//
// Its nodes hang on the scene's root ("LE_MOVE_AXES", "LE_SCALE_RINGS",
// "LE_SIZE_HANDLES", "LE_MOVE_PLANES", "LE_MOVE_LOCATOR" and their
// children). Every handle's node name begins "LE_MOVE_AXES_", so a pick
// counts any of them as a gizmo axis; handleOf tells them apart: rings end
// in "_SCALE", scale handles carry "_SIZE". Every operation
// first builds any group that is missing, so the gizmo comes back after the
// scene has been cleared. Owned by the picking script; per-frame calls.
class EditGizmo {
public:
    // Stretch flags: the dragged axis is drawn thicker; a free drag
    // thickens both horizontal axes (X | Z).
    static const int kStretchX = 1;
    static const int kStretchY = 2;
    static const int kStretchZ = 4;

    // What a picked gizmo part is; axis 0, 1, 2 for X, Y, Z.
    struct Handle {
        enum Kind { kNone, kArrow, kRing, kScaleBar, kScaleAll };
        Kind kind = kNone;
        int axis = 0;
    };
    static Handle handleOf(const Ogre::MovableObject* object);

    explicit EditGizmo(GameWorld* world);

    void ensureCreated();
    // Puts the handles of the mode on the node (sized to it, at its world
    // position) and its bounding box on; show false takes them and the
    // bounding box off; a null node hides every handle.
    void attach(Ogre::SceneNode* node, bool show, int stretchFlags);
    void setMode(GizmoMode mode);
    GizmoMode getMode() const { return mMode; }
    // Arrows and rings along the selected object's axes instead of the world's.
    void setLocalAxes(bool local) { mLocalAxes = local; }
    bool hasLocalAxes() const { return mLocalAxes; }
    // The world directions the handles of the mode stand for, for the node.
    Ogre::Quaternion axesOrientation(const Ogre::SceneNode* node, GizmoMode mode) const;
    void setLocatorPosition(const Ogre::Vector3& position);
    void showLocator(bool shown);
    void setPlanesPosition(const Ogre::Vector3& position);
    Ogre::Vector3 getLocatorPosition();
    Ogre::Vector3 getPlanesPosition();

    bool areAxesShown();
    bool areRingsShown();
    bool areScaleHandlesShown();
    bool isLocatorShown();
    const Ogre::Vector3& getStretch() const { return mStretch; }

private:
    Ogre::SceneManager* scene() const;
    Ogre::SceneNode* makeNode(Ogre::SceneNode* parent, const char* name);
    Ogre::SceneNode* makeHandle(Ogre::SceneNode* parent, const char* name, const char* mesh, const char* material);
    void buildAxes();
    void buildRings();
    void buildScaleHandles();
    void buildPlanes();
    void buildLocator();
    void hideHandles();

    GameWorld* mWorld;
    GizmoMode mMode = GizmoMode::kMove;
    bool mLocalAxes = false;
    Ogre::Vector3 mStretch = Ogre::Vector3::UNIT_SCALE;

    Ogre::SceneNode* mLocatorRoot = nullptr;
    Ogre::SceneNode* mPlanesRoot = nullptr;
    Ogre::SceneNode* mAxesRoot = nullptr;
    Ogre::SceneNode* mAxisShaft[3] = {};
    Ogre::SceneNode* mAxisHead[3] = {};
    Ogre::SceneNode* mRingsRoot = nullptr;
    Ogre::SceneNode* mRing[3] = {};
    Ogre::SceneNode* mScaleRoot = nullptr;
    Ogre::SceneNode* mScaleShaft[3] = {};
    Ogre::SceneNode* mScaleHead[3] = {};
    Ogre::SceneNode* mScaleAll = nullptr;
};

} // namespace Kelvo
