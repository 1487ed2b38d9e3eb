#include "editor/RayPickingScript.h"

#include "editor/EditorMessages.h"
#include "editor/PickResult.h"
#include "platform/Log.h"
#include "scene/EntityDescription.h"
#include "scene/SceneLoader.h"
#include "world/FrameMessageManager.h"
#include "world/FrameMessageString.h"
#include "world/FrameMessageVector3D.h"
#include "world/FrameMessageVoidPtr.h"
#include "world/GameWorld.h"

#include <OgreCamera.h>
#include <OgreMovableObject.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreViewport.h>

namespace Kelvo {

namespace {

// Which axis an arrow stands for, by the name of the node it hangs on.
int axisOf(const Ogre::MovableObject* handle)
{
    const std::string name = handle->getParentSceneNode()->getName();
    if (name.compare(0, 14, "LE_MOVE_AXES_X") == 0) {
        return RayPickingScript::kAxisX;
    }
    if (name.compare(0, 14, "LE_MOVE_AXES_Y") == 0) {
        return RayPickingScript::kAxisY;
    }
    return RayPickingScript::kAxisZ;
}

const char* axisName(int axis)
{
    return axis == RayPickingScript::kAxisX ? "X" : axis == RayPickingScript::kAxisY ? "Y" : "Z";
}

// Sets a node's position so that it lands on a world point, whatever its
// parent's place, turn and scale.
void placeAtWorld(Ogre::SceneNode* node, const Ogre::Vector3& target)
{
    Ogre::Node* parent = node->getParent();
    node->setPosition(parent ? parent->convertWorldToLocalPosition(target) : target);
}

} // namespace

RayPickingScript::RayPickingScript(GameWorld* world, ScriptManager* scripts)
    : ScriptAtom(world, scripts)
    , mGizmo(world)
{
    if (Ogre::Viewport* viewport = world->getCamera()->getViewport()) {
        mWidth = static_cast<float>(viewport->getActualWidth());
        mHeight = static_cast<float>(viewport->getActualHeight());
    }
}

Ogre::SceneManager* RayPickingScript::scene() const
{
    return mWorld->getSceneManager() ? mWorld->getSceneManager() : mWorld->getCamera()->getSceneManager();
}

Ogre::Ray RayPickingScript::rayThrough(const Ogre::Vector3& position) const
{
    return mWorld->getCamera()->getCameraToViewportRay(position.x / mWidth, position.y / mHeight);
}

// --- each frame ----------------------------------------------------------------

void RayPickingScript::update(Ogre::FrameEvent)
{
    if (getUserData()) {
        return;
    }
    // A drag goes on from the mouse of the frame before: a grab's second
    // step needs the drag planes the first step moved to be in the scene.
    if ((mMouse.dragging && mMouse.left) || isGrabPending()) {
        drag(mMouse.position, mMouse.dragStart);
        mSelectionChangedByRay = true;
    } else if (mDragActive) {
        endDrag();
    }

    FrameMessageManager* messages = mWorld->getMessages();
    if (auto* mouse = static_cast<FrameMessageVoidPtr*>(
            messages->find(EditorMessages::kNewMousePos, FrameMessage::kVoidPtr))) {
        mMouse = *static_cast<EditMouseState*>(mouse->pointer);
        if (mMouse.dragging) {
            mDragActive = true;
        }
        // The release that ends a drag is not a click.
        if (!mDragActive) {
            if (mMouse.left) {
                pickAt(mMouse.position);
                mSelectionChangedByRay = true;
            } else if (mMouse.middle) {
                pickNext();
                mSelectionChangedByRay = true;
            }
        }
        mGizmo.setMode(mGizmoMode);
        mGizmo.attach(getSelectedNode(), true, 0);
    }

    followGuiSelection();
    messages->post(new FrameMessageVector3D(EditorMessages::kLocatorPosChanged, mGizmo.getLocatorPosition(), true));
}

void RayPickingScript::followGuiSelection()
{
    FrameMessageManager* messages = mWorld->getMessages();
    if (auto* chosen = static_cast<FrameMessageString*>(
            messages->find(EditorMessages::kNodeChangedFromGui, FrameMessage::kString))) {
        SceneLoader* loader = mWorld->getSceneLoader();
        EntityDescription* entity = loader ? loader->findEntity(chosen->getText()) : nullptr;
        if (entity && entity->getSceneNode()) {
            select(entity->getSceneNode());
        }
        // The windows' own choice is not echoed back to them.
        mSelectionChangedByRay = false;
        return;
    }
    if (mSelectionChangedByRay && getSelectedNode()) {
        messages->post(new FrameMessageString(EditorMessages::kNodeChangedFromRay, mSelectedName, true));
    }
    mSelectionChangedByRay = false;
}

// --- picking -----------------------------------------------------------------------

void RayPickingScript::pickAt(const Ogre::Vector3& position)
{
    mPickRay = rayThrough(position);
    mPickIndex = 0;
    runQuery();
}

void RayPickingScript::pickNext()
{
    ++mPickIndex;
    runQuery();
}

void RayPickingScript::runQuery()
{
    const PickResult hits(mPickRay, scene());
    // A click on a handle belongs to the drag it starts. Only a handle in
    // front counts: the selected object's arrows start inside it, so any
    // ray through its middle passes them, and cycling through the objects
    // stacked there must still work.
    if (hits.firstDistance() < 0 || hits.firstKind() == kPickGizmoAxis) {
        return;
    }
    if (mPickIndex >= hits.objectCount()) {
        mPickIndex = 0;
    }
    if ((mPickIndex != 0 || hits.firstKind() != kPickTerrain) && hits.objectCount() > 0) {
        select(hits.object(mPickIndex)->getParentSceneNode());
    } else if (hits.firstKind() == kPickTerrain) {
        mPickPoint = mPickRay.getPoint(hits.firstDistance());
        mGizmo.setLocatorPosition(mPickPoint);
        mGizmo.showLocator(true);
        if (!mDragActive && mPickPoint != mLoggedLocator) {
            logLine("RayPickingScript: locator at " + vectorText(mPickPoint));
            mLoggedLocator = mPickPoint;
        }
    }
}

bool RayPickingScript::select(Ogre::SceneNode* node)
{
    if (!node) {
        return false;
    }
    mGizmo.attach(getSelectedNode(), false, 0);
    const bool samePick = mHasSelection && mSelectedName == node->getName();
    mSelectedName = node->getName();
    mHasSelection = true;
    mGizmo.attach(node, true, 0);
    if (!samePick) {
        logLine("RayPickingScript: picked '" + mSelectedName + "'");
    }
    return true;
}

bool RayPickingScript::selectByName(const std::string& name)
{
    return scene()->hasSceneNode(name) && select(scene()->getSceneNode(name));
}

Ogre::SceneNode* RayPickingScript::getSelectedNode()
{
    if (!mHasSelection) {
        return nullptr;
    }
    if (!scene()->hasSceneNode(mSelectedName)) {
        logLine("RayPickingScript: '" + mSelectedName + "' is gone; nothing is selected");
        mHasSelection = false;
        mSelectedName.clear();
        mGizmo.attach(nullptr, false, 0);
        return nullptr;
    }
    return scene()->getSceneNode(mSelectedName);
}

// --- dragging ------------------------------------------------------------------------

void RayPickingScript::drag(const Ogre::Vector3& position, bool dragStart)
{
    mDragActive = true;
    const Ogre::Ray ray = rayThrough(position);
    if (dragStart || isGrabPending()) {
        grab(ray);
    }
    if (mDraggingFree || mDraggingByAxis) {
        move(ray);
    } else if (!isGrabPending()) {
        // Started on the terrain or on nothing: the locator follows the cursor.
        pickAt(position);
    }
}

void RayPickingScript::grab(const Ogre::Ray& ray)
{
    mDraggingByAxis = false;
    mDraggingFree = false;
    mDragOffset = Ogre::Vector3::ZERO;
    const PickResult hits(ray, scene());
    // A handle grabs when it is in front, as for clicks.
    if (mGrabByAxisPending || (hits.firstKind() == kPickGizmoAxis && !mGrabFreePending && getSelectedNode())) {
        grabByAxis(ray, hits);
    } else if (mGrabFreePending || hits.firstKind() == kPickSceneObject) {
        grabFree(ray, hits);
    }
}

void RayPickingScript::grabByAxis(const Ogre::Ray& ray, const PickResult& hits)
{
    if (mGrabByAxisPending) {
        mGrabByAxisPending = false;
        mDraggingByAxis = finishGrab(false);
        return;
    }
    mGrabByAxisPending = true;
    mGizmo.setPlanesPosition(ray.getPoint(hits.firstAxisDistance()));
    mDragAxis = axisOf(hits.firstAxis());
}

void RayPickingScript::grabFree(const Ogre::Ray& ray, const PickResult& hits)
{
    if (mGrabFreePending) {
        mGrabFreePending = false;
        mDraggingFree = finishGrab(true);
        return;
    }
    Ogre::SceneNode* selected = getSelectedNode();
    float distance = -1;
    for (size_t i = 0; i < hits.objectCount(); ++i) {
        if (hits.object(i)->getParentSceneNode() == selected) {
            distance = hits.objectDistance(i);
            break;
        }
    }
    if (distance < 0) {
        if (!select(hits.object(0)->getParentSceneNode())) {
            return;
        }
        distance = hits.objectDistance(0);
    }
    mGrabFreePending = true;
    mGizmo.setPlanesPosition(ray.getPoint(distance));
}

// The second frame of a grab: the offset from the grab point to the object.
// False when the object has gone meanwhile.
bool RayPickingScript::finishGrab(bool free)
{
    Ogre::SceneNode* node = getSelectedNode();
    if (!node) {
        return false;
    }
    mDragStartPosition = node->_getDerivedPosition();
    mDragOffset = mDragStartPosition - mGizmo.getPlanesPosition();
    logLine("RayPickingScript: drag started on '" + mSelectedName + "' " + dragDescription(free) + " at " +
            vectorText(mDragStartPosition));
    return true;
}

std::string RayPickingScript::dragDescription(bool free) const
{
    return free ? "free" : std::string("along ") + axisName(mDragAxis);
}

void RayPickingScript::move(const Ogre::Ray& ray)
{
    Ogre::SceneNode* node = getSelectedNode();
    if (!node) {
        mDraggingByAxis = mDraggingFree = false;
        return;
    }
    const PickResult hits(ray, scene());
    const bool vertical = mDraggingByAxis && mDragAxis == kAxisY;
    const float distance = hits.planeDistance(vertical ? kPickVerticalPlane : kPickHorizontalPlane);
    // A ray that misses the plane (above the horizon) leaves the object.
    if (distance < 0) {
        return;
    }
    const Ogre::Vector3 current = node->_getDerivedPosition();
    Ogre::Vector3 target = ray.getPoint(distance) + mDragOffset;
    int stretch = EditGizmo::kStretchX | EditGizmo::kStretchZ;
    if (mDraggingByAxis) {
        stretch = mDragAxis;
        for (int axis = 0; axis < 3; ++axis) {
            if ((1 << axis) != mDragAxis) {
                target[axis] = current[axis];
            }
        }
    }
    placeAtWorld(node, target);
    mGizmo.attach(node, true, stretch);
}

void RayPickingScript::endDrag()
{
    if (mDraggingByAxis || mDraggingFree) {
        Ogre::SceneNode* node = getSelectedNode();
        if (node) {
            logLine("RayPickingScript: drag ended on '" + mSelectedName + "' " + dragDescription(mDraggingFree) +
                    " from " +
                    vectorText(mDragStartPosition) + " to " + vectorText(node->_getDerivedPosition()));
        }
    }
    mDraggingByAxis = mDraggingFree = false;
    mGizmo.attach(getSelectedNode(), true, 0);
    mDragActive = false;
}

} // namespace Kelvo
