#include "editor/EditGizmo.h"

#include "world/GameWorld.h"

#include <OgreCamera.h>
#include <OgreEntity.h>
#include <OgreMeshManager.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

#include <algorithm>

namespace Kelvo {

namespace {

const char* const kAxesRoot = "LE_MOVE_AXES";
const char* const kRingsRoot = "LE_SCALE_RINGS";
const char* const kScaleRoot = "LE_SIZE_HANDLES";
const char* const kPlanesRoot = "LE_MOVE_PLANES";
const char* const kLocatorRoot = "LE_MOVE_LOCATOR";
const char* const kLocatorContainer = "LE_MOVE_LOCATOR_CONTAINER";
const char* const kLocatorEntity = "LE_MOVE_LOCATOR";

const char* const kShaftMesh = "pfeil_schaft.mesh";
const char* const kHeadMesh = "pfeil_spitze.mesh";
const char* const kRingMesh = "torus.mesh";
const char* const kLocatorMesh = "arrow.mesh";
const char* const kAxisMaterials[3] = {"KELVO/XAxe", "KELVO/YAxe", "KELVO/ZAxe"};
const char* const kPlaneMaterial = "KELVO/Transparent";

const char* const kAxisContainers[3] = {"LE_MOVE_AXES_X", "LE_MOVE_AXES_Y", "LE_MOVE_AXES_Z"};
const char* const kAxisShafts[3] = {"LE_MOVE_AXES_X_SHAFT", "LE_MOVE_AXES_Y_SHAFT", "LE_MOVE_AXES_Z_SHAFT"};
const char* const kAxisHeads[3] = {"LE_MOVE_AXES_X_HEAD", "LE_MOVE_AXES_Y_HEAD", "LE_MOVE_AXES_Z_HEAD"};
const char* const kRings[3] = {"LE_MOVE_AXES_X_SCALE", "LE_MOVE_AXES_Y_SCALE", "LE_MOVE_AXES_Z_SCALE"};
const char* const kScaleContainers[3] = {"LE_MOVE_AXES_X_SIZE", "LE_MOVE_AXES_Y_SIZE", "LE_MOVE_AXES_Z_SIZE"};
const char* const kScaleShafts[3] = {"LE_MOVE_AXES_X_SIZE_SHAFT", "LE_MOVE_AXES_Y_SIZE_SHAFT",
                                     "LE_MOVE_AXES_Z_SIZE_SHAFT"};
const char* const kScaleHeads[3] = {"LE_MOVE_AXES_X_SIZE_HEAD", "LE_MOVE_AXES_Y_SIZE_HEAD",
                                    "LE_MOVE_AXES_Z_SIZE_HEAD"};
const char* const kScaleAll = "LE_MOVE_AXES_ALL_SIZE";
const char* const kScaleAllMaterial = "KELVO/Locator";
const char* const kHandlePrefix = "LE_MOVE_AXES_";
const char* const kRingSuffix = "_SCALE";
const char* const kScaleMark = "_SIZE";

const float kPlaneSize = 10000.0f;
const float kPlaneTiling = 5.0f;
const float kLocatorScale = 20.0f;

// The handles grow with the object: a margin around its box, and arrows at
// least as long as a length that grows fast for small objects and slowly
// for large ones, so a hut's arrows do not reach across the island.
const float kBoxMargin = 1.2f;
const float kHandleLengthPerSize = 1.7f;
const float kSmallObjectLength = 25.0f;
const float kSmallObjectFactor = 0.7f;
const float kLargeObjectFactor = 0.05f;
const float kLargeObjectBase = 20.0f;
// The scale handles' boxes, as parts of the handle length (the engine's
// cube prefab is 100 units on a side); the all-axes box is larger.
const float kPrefabCubeSize = 100.0f;
const float kScaleHeadSize = 0.12f;
const float kScaleAllSize = 0.2f;

// Local X of each axis container points along world X, Y and -Z.
Ogre::Quaternion axisTurn(int axis)
{
    if (axis == 1) {
        return Ogre::Quaternion(Ogre::Degree(90), Ogre::Vector3::UNIT_Z);
    }
    if (axis == 2) {
        return Ogre::Quaternion(Ogre::Degree(90), Ogre::Vector3::UNIT_Y);
    }
    return Ogre::Quaternion::IDENTITY;
}

struct DragPlaneShape {
    const char* node;
    const char* mesh;
    Ogre::Vector3 normal;
    Ogre::Vector3 up;
};

const DragPlaneShape kPlanes[3] = {
    {"LE_MOVE_PLANE_XZ", "LE_MOVE_PLANE_PLANE_XZ", Ogre::Vector3::UNIT_Y, Ogre::Vector3::UNIT_X},
    {"LE_MOVE_PLANE_YX", "LE_MOVE_PLANE_PLANE_YX", Ogre::Vector3::UNIT_Z, Ogre::Vector3::UNIT_Y},
    {"LE_MOVE_PLANE_YZ", "LE_MOVE_PLANE_PLANE_YZ", Ogre::Vector3::UNIT_X, Ogre::Vector3::UNIT_Y},
};

} // namespace

EditGizmo::Handle EditGizmo::handleOf(const Ogre::MovableObject* object)
{
    Handle handle;
    const Ogre::SceneNode* node = object ? object->getParentSceneNode() : nullptr;
    if (!node) {
        return handle;
    }
    const std::string& name = node->getName();
    const size_t prefix = std::char_traits<char>::length(kHandlePrefix);
    if (name.compare(0, prefix, kHandlePrefix) != 0 || name.size() <= prefix) {
        return handle;
    }
    const char axis = name[prefix];
    handle.axis = axis == 'Y' ? 1 : axis == 'Z' ? 2 : 0;
    const size_t suffix = std::char_traits<char>::length(kRingSuffix);
    if (name.size() >= suffix && name.compare(name.size() - suffix, suffix, kRingSuffix) == 0) {
        handle.kind = Handle::kRing;
    } else if (name == kScaleAll) {
        handle.kind = Handle::kScaleAll;
    } else if (name.find(kScaleMark, prefix) != std::string::npos) {
        handle.kind = Handle::kScaleBar;
    } else {
        handle.kind = Handle::kArrow;
    }
    return handle;
}

EditGizmo::EditGizmo(GameWorld* world)
    : mWorld(world)
{
}

Ogre::SceneManager* EditGizmo::scene() const
{
    return mWorld->getSceneManager() ? mWorld->getSceneManager() : mWorld->getCamera()->getSceneManager();
}

void EditGizmo::ensureCreated()
{
    Ogre::SceneManager* manager = scene();
    // Cleared with the scene (a new scene loaded, a new visit): built again.
    if (!manager->hasSceneNode(kAxesRoot)) {
        buildAxes();
    }
    if (!manager->hasSceneNode(kRingsRoot)) {
        buildRings();
    }
    if (!manager->hasSceneNode(kScaleRoot)) {
        buildScaleHandles();
    }
    if (!manager->hasSceneNode(kPlanesRoot)) {
        buildPlanes();
    }
    if (!manager->hasSceneNode(kLocatorRoot)) {
        buildLocator();
    }
}

Ogre::SceneNode* EditGizmo::makeNode(Ogre::SceneNode* parent, const char* name)
{
    return parent->createChildSceneNode(name, Ogre::Vector3::ZERO, Ogre::Quaternion::IDENTITY);
}

Ogre::SceneNode* EditGizmo::makeHandle(Ogre::SceneNode* parent, const char* name, const char* mesh,
                                       const char* material)
{
    Ogre::SceneNode* node = makeNode(parent, name);
    Ogre::Entity* entity = scene()->createEntity(name, mesh);
    entity->setMaterialName(material);
    entity->setCastShadows(false);
    node->attachObject(entity);
    return node;
}

void EditGizmo::buildAxes()
{
    mAxesRoot = makeNode(scene()->getRootSceneNode(), kAxesRoot);
    for (int axis = 0; axis < 3; ++axis) {
        Ogre::SceneNode* container = makeNode(mAxesRoot, kAxisContainers[axis]);
        container->setOrientation(axisTurn(axis));
        mAxisShaft[axis] = makeHandle(container, kAxisShafts[axis], kShaftMesh, kAxisMaterials[axis]);
        mAxisHead[axis] = makeHandle(container, kAxisHeads[axis], kHeadMesh, kAxisMaterials[axis]);
    }
    mAxesRoot->setVisible(false, true);
}

void EditGizmo::buildRings()
{
    mRingsRoot = makeNode(scene()->getRootSceneNode(), kRingsRoot);
    for (int axis = 0; axis < 3; ++axis) {
        mRing[axis] = makeHandle(mRingsRoot, kRings[axis], kRingMesh, kAxisMaterials[axis]);
        mRing[axis]->setOrientation(axisTurn(axis));
    }
    mRingsRoot->setVisible(false, true);
}

void EditGizmo::buildScaleHandles()
{
    mScaleRoot = makeNode(scene()->getRootSceneNode(), kScaleRoot);
    auto makeCube = [this](Ogre::SceneNode* parent, const char* name, const char* material) {
        Ogre::SceneNode* node = makeNode(parent, name);
        Ogre::Entity* cube = scene()->createEntity(name, Ogre::SceneManager::PT_CUBE);
        cube->setMaterialName(material);
        cube->setCastShadows(false);
        node->attachObject(cube);
        return node;
    };
    for (int axis = 0; axis < 3; ++axis) {
        Ogre::SceneNode* container = makeNode(mScaleRoot, kScaleContainers[axis]);
        container->setOrientation(axisTurn(axis));
        mScaleShaft[axis] = makeHandle(container, kScaleShafts[axis], kShaftMesh, kAxisMaterials[axis]);
        mScaleHead[axis] = makeCube(container, kScaleHeads[axis], kAxisMaterials[axis]);
    }
    mScaleAll = makeCube(mScaleRoot, kScaleAll, kScaleAllMaterial);
    mScaleRoot->setVisible(false, true);
}

void EditGizmo::buildPlanes()
{
    mPlanesRoot = makeNode(scene()->getRootSceneNode(), kPlanesRoot);
    Ogre::MeshManager& meshes = Ogre::MeshManager::getSingleton();
    for (const DragPlaneShape& plane : kPlanes) {
        // The meshes outlive the scene: made once a run.
        if (!meshes.resourceExists(plane.mesh)) {
            meshes.createPlane(plane.mesh, Ogre::ResourceGroupManager::DEFAULT_RESOURCE_GROUP_NAME,
                               Ogre::Plane(plane.normal, 0), kPlaneSize, kPlaneSize, 1, 1, false, 1, kPlaneTiling,
                               kPlaneTiling, plane.up, Ogre::HardwareBuffer::HBU_STATIC_WRITE_ONLY,
                               Ogre::HardwareBuffer::HBU_STATIC_WRITE_ONLY, true, true);
        }
        makeHandle(mPlanesRoot, plane.node, plane.mesh, kPlaneMaterial);
    }
}

void EditGizmo::buildLocator()
{
    mLocatorRoot = makeNode(scene()->getRootSceneNode(), kLocatorRoot);
    Ogre::SceneNode* container = makeNode(mLocatorRoot, kLocatorContainer);
    Ogre::Entity* arrow = scene()->createEntity(kLocatorEntity, kLocatorMesh);
    arrow->setCastShadows(false);
    container->attachObject(arrow);
    // The arrow's point (its +X end) comes down onto the locator's position.
    container->roll(Ogre::Degree(-90));
    container->setScale(kLocatorScale, kLocatorScale, kLocatorScale);
    container->setPosition(0, kLocatorScale, 0);
    mLocatorRoot->setVisible(false, true);
}

void EditGizmo::hideHandles()
{
    mPlanesRoot->setVisible(false, true);
    mAxesRoot->setVisible(false, true);
    mRingsRoot->setVisible(false, true);
    mScaleRoot->setVisible(false, true);
}

void EditGizmo::attach(Ogre::SceneNode* node, bool show, int stretchFlags)
{
    ensureCreated();
    if (!node) {
        hideHandles();
        return;
    }
    if (!show) {
        node->showBoundingBox(false);
        hideHandles();
        return;
    }
    mStretch = Ogre::Vector3((stretchFlags & kStretchX) ? 2 : 1, (stretchFlags & kStretchY) ? 2 : 1,
                             (stretchFlags & kStretchZ) ? 2 : 1);
    mAxesRoot->setVisible(false, true);
    mRingsRoot->setVisible(false, true);
    mScaleRoot->setVisible(false, true);

    // A node with nothing drawn on it (a record still without a mesh) gets
    // handles of a unit box, so they can still be seen and grabbed.
    Ogre::Vector3 size = Ogre::Vector3::UNIT_SCALE;
    if (node->numAttachedObjects() > 0) {
        const Ogre::AxisAlignedBox& box = node->getAttachedObject(0)->getBoundingBox();
        if (box.isFinite()) {
            size = (box.getMaximum() - box.getMinimum()) * node->_getDerivedScale();
        }
    }
    size = Ogre::Vector3(std::abs(size.x), std::abs(size.y), std::abs(size.z));
    Ogre::Vector3 extent = size * kBoxMargin;
    const float baseLength = size.length() * kHandleLengthPerSize;
    const float length = baseLength < kSmallObjectLength ? baseLength * kSmallObjectFactor
                                                         : baseLength * kLargeObjectFactor + kLargeObjectBase;
    const Ogre::Vector3 thickness = mStretch * length;
    extent.makeCeil(Ogre::Vector3(length, length, length));
    const Ogre::Vector3 worldPosition = node->_getDerivedPosition();

    if (mMode == GizmoMode::kMove) {
        for (int axis = 0; axis < 3; ++axis) {
            mAxisShaft[axis]->setScale(extent[axis], thickness[axis], thickness[axis]);
            mAxisHead[axis]->setPosition(extent[axis], 0, 0);
            mAxisHead[axis]->setScale(thickness[axis], thickness[axis], thickness[axis]);
        }
        mAxesRoot->setPosition(worldPosition);
        mAxesRoot->setOrientation(axesOrientation(node, mMode));
        mAxesRoot->setVisible(true, true);
    } else if (mMode == GizmoMode::kRotate) {
        for (Ogre::SceneNode* ring : mRing) {
            ring->setScale(baseLength / 2, baseLength / 2, baseLength / 2);
        }
        mRingsRoot->setPosition(worldPosition);
        mRingsRoot->setOrientation(axesOrientation(node, mMode));
        mRingsRoot->setVisible(true, true);
    } else if (mMode == GizmoMode::kScale) {
        for (int axis = 0; axis < 3; ++axis) {
            const float head = thickness[axis] * kScaleHeadSize / kPrefabCubeSize;
            mScaleShaft[axis]->setScale(extent[axis], thickness[axis], thickness[axis]);
            mScaleHead[axis]->setPosition(extent[axis], 0, 0);
            mScaleHead[axis]->setScale(head, head, head);
        }
        // At the corner beyond the box, where a press cannot land on the
        // object instead.
        const float all = length * kScaleAllSize / kPrefabCubeSize;
        mScaleAll->setPosition(extent.x, extent.y, -extent.z);
        mScaleAll->setScale(all, all, all);
        mScaleRoot->setPosition(worldPosition);
        mScaleRoot->setOrientation(axesOrientation(node, mMode));
        mScaleRoot->setVisible(true, true);
    }
    node->showBoundingBox(true);
}

Ogre::Quaternion EditGizmo::axesOrientation(const Ogre::SceneNode* node, GizmoMode mode) const
{
    if (!node || (!mLocalAxes && mode != GizmoMode::kScale)) {
        return Ogre::Quaternion::IDENTITY;
    }
    return node->_getDerivedOrientation();
}

void EditGizmo::setMode(GizmoMode mode)
{
    // Only remembered: the next attach shows the mode's handles.
    mMode = mode;
}

void EditGizmo::setLocatorPosition(const Ogre::Vector3& position)
{
    ensureCreated();
    mLocatorRoot->setPosition(position);
}

void EditGizmo::showLocator(bool shown)
{
    ensureCreated();
    mLocatorRoot->setVisible(shown, true);
}

void EditGizmo::setPlanesPosition(const Ogre::Vector3& position)
{
    ensureCreated();
    mPlanesRoot->setPosition(position);
}

Ogre::Vector3 EditGizmo::getLocatorPosition()
{
    ensureCreated();
    return mLocatorRoot->_getDerivedPosition();
}

Ogre::Vector3 EditGizmo::getPlanesPosition()
{
    ensureCreated();
    return mPlanesRoot->_getDerivedPosition();
}

bool EditGizmo::areAxesShown()
{
    ensureCreated();
    return scene()->getEntity(kAxisShafts[0])->isVisible();
}

bool EditGizmo::areRingsShown()
{
    ensureCreated();
    return scene()->getEntity(kRings[0])->isVisible();
}

bool EditGizmo::areScaleHandlesShown()
{
    ensureCreated();
    return scene()->getEntity(kScaleAll)->isVisible();
}

bool EditGizmo::isLocatorShown()
{
    ensureCreated();
    return scene()->getEntity(kLocatorEntity)->isVisible();
}

} // namespace Kelvo
