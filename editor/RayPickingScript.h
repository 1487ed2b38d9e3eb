#pragma once

#include "editor/EditGizmo.h"
#include "editor/EditMouseState.h"
#include "editor/GizmoSettings.h"
#include "editor/HandleDrag.h"
#include "world/ScriptAtom.h"

#include <OgreRay.h>

#include <string>

namespace Kelvo {

class PickResult;

// Picks scene objects with a ray from the editor's cursor, keeps the
// selection, places the locator on clicked ground and drags the selected
// object with the gizmo. Last in the editor's run list: it reads the control
// script's "NEW_MOUSE_POS" of the same frame, follows the windows' choice
// ("SCENE_NODE_HAS_CHANGED_FROM_GUI"), tells them of its own picks
// ("SCENE_NODE_HAS_CHANGED_FROM_RAY") and publishes the locator every frame
// ("LOCATOR_POS_CHANGED").
//
// A click picks the nearest object under the cursor; a middle click the next
// one stacked behind it, wrapping round; a click whose nearest hit is the
// terrain moves the locator there and keeps the selection. A drag that
// starts on a gizmo arrow moves the object along that world axis only; one
// that starts on an object moves it in the horizontal plane through the grab
// point (it keeps its height). A grab takes two frames: the first puts the
// drag planes at the grab point, the second queries them once the scene
// knows where they are. Grab points and targets are in world space; the
// target is turned into the parent's space when the position is set, so a
// child of a moved, turned or scaled parent follows the cursor exactly.
//
// The gizmo's mode (move, rotate, scale), its axes (the world's or the
// selection's own) and snapping are set here by the editor's keys and the
// toolbar, and logged. A drag on a ring or a scale handle (or on an arrow
// with local axes) is a HandleDrag, grabbed at once without the planes.
// Snapping puts a dragged position on the grid (the dragged axis, or X and
// Z of a free drag). Drop to ground puts the selection's lowest point on
// the terrain below its middle.
class RayPickingScript : public ScriptAtom {
public:
    static const int kAxisX = 1;
    static const int kAxisY = 2;
    static const int kAxisZ = 4;

    RayPickingScript(GameWorld* world, ScriptManager* scripts);

    void update(Ogre::FrameEvent event) override;
    std::string getName() override { return "RAYPICKING"; }

    // Position in window pixels.
    void pickAt(const Ogre::Vector3& position);
    void pickNext();
    bool select(Ogre::SceneNode* node);
    bool selectByName(const std::string& name);
    // Null without a selection or once the selected node has been destroyed
    // (the selection is then dropped and the gizmo hidden).
    Ogre::SceneNode* getSelectedNode();
    void drag(const Ogre::Vector3& position, bool dragStart);

    // The terrain below a selection is searched from this far above it, so
    // an object sunk into a hill is lifted out.
    static constexpr float kGroundSearchHeight = 5000.0f;

    const GizmoSettings& getSettings() const { return mSettings; }
    void setGizmoMode(GizmoMode mode);
    void setLocalAxes(bool local);
    void setSnapping(bool on);
    // False (logged, the step kept) when the text is no positive number.
    bool setSnapStep(SnapSettings::Step step, const std::string& text);
    // False (logged) without a selection or without terrain below it.
    bool dropToGround();

    EditGizmo& getGizmo() { return mGizmo; }
    bool isDragActive() const { return mDragActive; }
    bool isGrabPending() const { return mGrabByAxisPending || mGrabFreePending; }
    bool isDraggingByAxis() const { return mDraggingByAxis; }
    bool isDraggingFree() const { return mDraggingFree; }
    bool isDraggingHandle() const { return mHandleDrag.isActive(); }
    int getDragAxis() const { return mDragAxis; }

private:
    Ogre::SceneManager* scene() const;
    Ogre::Ray rayThrough(const Ogre::Vector3& position) const;
    void runQuery();
    void grab(const Ogre::Ray& ray);
    void grabByAxis(const Ogre::Ray& ray, const PickResult& hits);
    void grabFree(const Ogre::Ray& ray, const PickResult& hits);
    bool finishGrab(bool free);
    // A ring, a scale handle or a local arrow: grabbed at once.
    void grabHandle(const Ogre::Ray& ray, const EditGizmo::Handle& handle);
    Ogre::Vector3 snappedTarget(const Ogre::Vector3& target) const;
    void move(const Ogre::Ray& ray);
    void endDrag();
    void followGuiSelection();
    std::string dragDescription(bool free) const;

    EditGizmo mGizmo;
    GizmoSettings mSettings;
    HandleDrag mHandleDrag;
    // A press on a handle that could not grab (a ring of a light): the drag
    // does nothing until the button is let go.
    bool mHandleRefused = false;
    Ogre::Vector3 mPickPoint = Ogre::Vector3::ZERO;
    std::string mSelectedName;
    bool mHasSelection = false;
    // A held button picks again every frame: a pick is logged when it
    // changes the selection, the locator when a click moves it.
    Ogre::Vector3 mLoggedLocator = Ogre::Vector3(Ogre::Math::POS_INFINITY);
    Ogre::Ray mPickRay;
    size_t mPickIndex = 0;
    EditMouseState mMouse{false};
    bool mSelectionChangedByRay = false;
    bool mGrabByAxisPending = false;
    bool mGrabFreePending = false;
    bool mDraggingByAxis = false;
    bool mDraggingFree = false;
    bool mDragActive = false;
    Ogre::Vector3 mDragOffset = Ogre::Vector3::ZERO;
    int mDragAxis = kAxisX;
    // Where the dragged object was when it was grabbed, for the log.
    Ogre::Vector3 mDragStartPosition = Ogre::Vector3::ZERO;
    float mWidth = 1;
    float mHeight = 1;
};

} // namespace Kelvo
