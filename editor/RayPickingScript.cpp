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
#include "world/TerrainProbe.h"

#include <OgreCamera.h>
#include <OgreMovableObject.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreStringConverter.h>
#include <OgreViewport.h>

namespace Kelvo {

namespace {

const char* axisName(int axis)
{
    return axis == RayPickingScript::kAxisX ? "X" : axis == RayPickingScript::kAxisY ? "Y" : "Z";
}

const int kAxisFlags[3] = {RayPickingScript::kAxisX, RayPickingScript::kAxisY, RayPickingScript::kAxisZ};

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
        // The mouse may rest for frames without a new message: its drag
        // started once (a second grab would begin the drag anew).
        mMouse.dragStart = false;
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
        mGizmo.setMode(mSettings.mode);
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
    } else if (mHandleDrag.isActive()) {
        mHandleDrag.follow(ray, mSettings.snap);
        mGizmo.attach(getSelectedNode(), true, kAxisFlags[mHandleDrag.getAxis()]);
    } else if (mHandleRefused) {
        return;
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
        const EditGizmo::Handle handle = EditGizmo::handleOf(hits.firstAxis());
        if (!mGrabByAxisPending && (handle.kind != EditGizmo::Handle::kArrow || mSettings.localAxes)) {
            grabHandle(ray, handle);
            return;
        }
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
    mDragAxis = kAxisFlags[EditGizmo::handleOf(hits.firstAxis()).axis];
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

void RayPickingScript::grabHandle(const Ogre::Ray& ray, const EditGizmo::Handle& handle)
{
    Ogre::SceneNode* node = getSelectedNode();
    SceneLoader* loader = mWorld->getSceneLoader();
    EntityDescription* entity = loader ? loader->findEntity(mSelectedName) : nullptr;
    HandleDrag::Kind kind = HandleDrag::kMoveAxis;
    if (handle.kind == EditGizmo::Handle::kRing) {
        kind = HandleDrag::kRotate;
    } else if (handle.kind == EditGizmo::Handle::kScaleBar) {
        kind = HandleDrag::kScaleAxis;
    } else if (handle.kind == EditGizmo::Handle::kScaleAll) {
        kind = HandleDrag::kScaleAll;
    }
    if (!mHandleDrag.begin(kind, handle.axis, node, entity, mGizmo.axesOrientation(node, mGizmo.getMode()), ray)) {
        mHandleRefused = true;
        logLine("RayPickingScript: '" + mSelectedName + "' " +
                (entity ? std::string("cannot be gripped there") : std::string("is no entity: only entities turn and scale")));
        return;
    }
    mDragStartPosition = node->_getDerivedPosition();
    logLine("RayPickingScript: drag started on '" + mSelectedName + "' " + mHandleDrag.describe() + " at " +
            vectorText(mDragStartPosition));
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
    HandleDrag::placeAtWorld(node, snappedTarget(target));
    mGizmo.attach(node, true, stretch);
}

Ogre::Vector3 RayPickingScript::snappedTarget(const Ogre::Vector3& target) const
{
    if (!mSettings.snap.on) {
        return target;
    }
    const float step = mSettings.snap.step(SnapSettings::kMoveStep);
    Ogre::Vector3 snapped = target;
    for (int axis = 0; axis < 3; ++axis) {
        // A free drag keeps the height it has.
        const bool dragged = mDraggingByAxis ? kAxisFlags[axis] == mDragAxis : axis != 1;
        if (dragged) {
            snapped[axis] = SnapSettings::snap(target[axis], step);
        }
    }
    return snapped;
}

void RayPickingScript::endDrag()
{
    if (mHandleDrag.isActive()) {
        logLine(mHandleDrag.end(mSelectedName));
    }
    mHandleRefused = false;
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

// --- gizmo settings and drop to ground ----------------------------------------------------

void RayPickingScript::setGizmoMode(GizmoMode mode)
{
    if (mode == mSettings.mode) {
        return;
    }
    mSettings.mode = mode;
    mGizmo.setMode(mode);
    if (Ogre::SceneNode* node = getSelectedNode()) {
        mGizmo.attach(node, true, 0);
    }
    logLine(std::string("RayPickingScript: mode ") + gizmoModeName(mode));
}

void RayPickingScript::setLocalAxes(bool local)
{
    if (local == mSettings.localAxes) {
        return;
    }
    mSettings.localAxes = local;
    mGizmo.setLocalAxes(local);
    if (Ogre::SceneNode* node = getSelectedNode()) {
        mGizmo.attach(node, true, 0);
    }
    logLine(std::string("RayPickingScript: axes ") + (local ? "local" : "world"));
}

void RayPickingScript::setSnapping(bool on)
{
    if (on == mSettings.snap.on) {
        return;
    }
    mSettings.snap.on = on;
    logLine(std::string("RayPickingScript: snapping ") + (on ? "on" : "off"));
}

bool RayPickingScript::setSnapStep(SnapSettings::Step step, const std::string& text)
{
    std::string refusal;
    const char* name = SnapSettings::stepName(step);
    if (!mSettings.snap.setStep(step, text, refusal)) {
        logWarning(std::string("RayPickingScript: ") + name + " step not changed: " + refusal + "; it stays " +
                   Ogre::StringConverter::toString(mSettings.snap.step(step)));
        return false;
    }
    logLine(std::string("RayPickingScript: ") + name + " step " + Ogre::StringConverter::toString(mSettings.snap.step(step)));
    return true;
}

bool RayPickingScript::dropToGround()
{
    Ogre::SceneNode* node = getSelectedNode();
    if (!node) {
        logLine("RayPickingScript: nothing is selected to drop to the ground");
        return false;
    }
    // The lowest point of what is drawn on the node; a record without a
    // mesh stands on its position.
    const Ogre::Vector3 position = node->_getDerivedPosition();
    float lowest = position.y;
    Ogre::Vector3 middle = position;
    if (node->numAttachedObjects() > 0) {
        const Ogre::AxisAlignedBox& box = node->getAttachedObject(0)->getWorldBoundingBox(true);
        if (box.isFinite()) {
            lowest = box.getMinimum().y;
            middle = box.getCenter();
        }
    }
    Ogre::Vector3 ground;
    TerrainProbe* probe = mWorld->getTerrainProbe();
    if (!probe || !probe->pointBelow(middle, ground, kGroundSearchHeight)) {
        logLine("RayPickingScript: no ground below '" + mSelectedName + "'; it stays at " + vectorText(position));
        return false;
    }
    HandleDrag::placeAtWorld(node, position + Ogre::Vector3(0, ground.y - lowest, 0));
    mGizmo.attach(node, true, 0);
    mSelectionChangedByRay = true;
    logLine("RayPickingScript: dropped '" + mSelectedName + "' to " +
            Ogre::StringConverter::toString(node->_getDerivedPosition().y));
    return true;
}

} // namespace Kelvo
