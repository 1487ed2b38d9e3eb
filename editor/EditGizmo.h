#pragma once

#include <OgrePrerequisites.h>
#include <OgreVector.h>

namespace Kelvo {

class GameWorld;

// The editor's handles in the scene: three move arrows (red X, green Y, blue
// Z), three scale rings, three invisible drag planes, and the locator arrow
// that marks the picked ground. The arrows and rings are sized to the
// selected object and hang at its world position; the planes are moved to
// the grab point of a drag so the picking ray can meet them; the locator
// stands where the terrain was clicked.
//
// Its nodes hang on the scene's root ("LE_MOVE_AXES", "LE_SCALE_RINGS",
// "LE_MOVE_PLANES", "LE_MOVE_LOCATOR" and their children). Every operation
// first builds any group that is missing, so the gizmo comes back after the
// scene has been cleared. Owned by the picking script; per-frame calls.
class EditGizmo {
public:
    // Modes: the move arrows, the scale rings; any other shows no handle.
    static const int kMoveMode = 0;
    static const int kScaleMode = 1;
    // Stretch flags: the dragged axis is drawn thicker; a free drag
    // thickens both horizontal axes (X | Z).
    static const int kStretchX = 1;
    static const int kStretchY = 2;
    static const int kStretchZ = 4;

    explicit EditGizmo(GameWorld* world);

    void ensureCreated();
    // Puts the handles of the mode on the node (sized to it, at its world
    // position) and its bounding box on; show false takes them and the
    // bounding box off; a null node hides every handle.
    void attach(Ogre::SceneNode* node, bool show, int stretchFlags);
    void setMode(int mode);
    int getMode() const { return mMode; }
    void setLocatorPosition(const Ogre::Vector3& position);
    void showLocator(bool shown);
    void setPlanesPosition(const Ogre::Vector3& position);
    Ogre::Vector3 getLocatorPosition();
    Ogre::Vector3 getPlanesPosition();

    bool areAxesShown();
    bool areRingsShown();
    bool isLocatorShown();
    const Ogre::Vector3& getStretch() const { return mStretch; }

private:
    Ogre::SceneManager* scene() const;
    Ogre::SceneNode* makeNode(Ogre::SceneNode* parent, const char* name);
    Ogre::SceneNode* makeHandle(Ogre::SceneNode* parent, const char* name, const char* mesh, const char* material);
    void buildAxes();
    void buildRings();
    void buildPlanes();
    void buildLocator();
    void hideHandles();

    GameWorld* mWorld;
    int mMode = kMoveMode;
    Ogre::Vector3 mStretch = Ogre::Vector3::UNIT_SCALE;

    Ogre::SceneNode* mLocatorRoot = nullptr;
    Ogre::SceneNode* mPlanesRoot = nullptr;
    Ogre::SceneNode* mAxesRoot = nullptr;
    Ogre::SceneNode* mAxisShaft[3] = {};
    Ogre::SceneNode* mAxisHead[3] = {};
    Ogre::SceneNode* mRingsRoot = nullptr;
    Ogre::SceneNode* mRing[3] = {};
};

} // namespace Kelvo
