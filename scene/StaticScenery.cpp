#include "scene/StaticScenery.h"

#include <Ogre.h>

#include <algorithm>
#include <map>

namespace Kelvo {

namespace {

bool isStatic(const EntityDescription& record)
{
    return record.getType() == "Static" || record.getType() == "StaticNonCollide";
}

// Small props (flowers, tufts, crates) are baked apart and end before the
// fog has swallowed them: beyond this they are a pixel or two, yet a
// software renderer pays for every one. Everything larger fades in the fog.
const float kSmallPropRadius = 3.0f;
const float kSmallPropDistance = 300.0f;
// Regions this wide are culled one by one; the engine's default (1000) put
// most of the island into one batch drawn whatever the camera saw.
const float kRegionSize = 200.0f;

bool isSmallProp(const EntityDescription& record)
{
    const Ogre::Entity* entity = record.getEntity();
    const Ogre::Vector3 scale = record.getSceneNode()->_getDerivedScale();
    return entity && entity->getBoundingRadius() * std::max(scale.x, std::max(scale.y, scale.z)) < kSmallPropRadius;
}

} // namespace

void StaticScenery::build(Ogre::SceneManager* manager, const RecordTable<EntityDescription>::Map& entities,
                          int rootCount)
{
    if (!manager) {
        return;
    }
    mManager = manager;
    // One pass over the entities, sorted by root; one build per root:
    // building after every entity gives the same batches at a quadratic cost.
    std::map<std::pair<int, bool>, std::vector<EntityDescription*>> byRootAndSize;
    for (const auto& entry : entities) {
        EntityDescription* record = entry.second;
        if (record->getSceneNode() && isStatic(*record) && record->getRootIndex() >= 0 &&
            record->getRootIndex() <= rootCount) {
            byRootAndSize[{record->getRootIndex(), isSmallProp(*record)}].push_back(record);
        }
    }
    for (const auto& group : byRootAndSize) {
        const bool small = group.first.second;
        const std::string name = "StaticGeo_" + std::to_string(group.first.first) + (small ? "_small" : "");
        if (manager->hasStaticGeometry(name)) {
            manager->destroyStaticGeometry(name);
        }
        Ogre::StaticGeometry* geometry = manager->createStaticGeometry(name);
        geometry->setCastShadows(true);
        geometry->setRegionDimensions(Ogre::Vector3(kRegionSize));
        if (small) {
            geometry->setRenderingDistance(kSmallPropDistance);
        }
        for (EntityDescription* record : group.second) {
            record->setHidden(true);
            // The record's own entity only. Baking its node would take what
            // hangs under it too: the markers of its triggers, lights and
            // sounds, hidden in the game, would show as coloured balls, and
            // a static child entity would be baked twice.
            if (Ogre::Entity* entity = record->getEntity()) {
                const Ogre::SceneNode* node = record->getSceneNode();
                geometry->addEntity(entity, node->_getDerivedPosition(), node->_getDerivedOrientation(),
                                    node->_getDerivedScale());
            }
        }
        geometry->build();
        mGeometries.push_back(geometry);
    }
}

void StaticScenery::destroy(Ogre::SceneManager* liveManager)
{
    if (mManager && mManager == liveManager) {
        for (Ogre::StaticGeometry* geometry : mGeometries) {
            mManager->destroyStaticGeometry(geometry);
        }
    }
    mGeometries.clear();
    mManager = nullptr;
}

void StaticScenery::makeGrassBlades()
{
    Ogre::MeshManager& meshes = Ogre::MeshManager::getSingleton();
    if (meshes.resourceExists("grassblades")) {
        return;
    }
    const float kHalfWidth = 125.0f;
    const float kHeight = 300.0f;
    const int kQuads = 3;
    Ogre::MeshPtr mesh = meshes.createManual("grassblades", Ogre::ResourceGroupManager::DEFAULT_RESOURCE_GROUP_NAME);
    Ogre::SubMesh* subMesh = mesh->createSubMesh();
    subMesh->useSharedVertices = false;
    subMesh->vertexData = new Ogre::VertexData();
    Ogre::VertexDeclaration* declaration = subMesh->vertexData->vertexDeclaration;
    size_t offset = 0;
    offset += declaration->addElement(0, offset, Ogre::VET_FLOAT3, Ogre::VES_POSITION).getSize();
    offset += declaration->addElement(0, offset, Ogre::VET_FLOAT3, Ogre::VES_NORMAL).getSize();
    declaration->addElement(0, offset, Ogre::VET_FLOAT2, Ogre::VES_TEXTURE_COORDINATES, 0);
    subMesh->vertexData->vertexCount = 4 * kQuads;
    Ogre::HardwareVertexBufferSharedPtr vertices = Ogre::HardwareBufferManager::getSingleton().createVertexBuffer(
        declaration->getVertexSize(0), 4 * kQuads, Ogre::HardwareBuffer::HBU_STATIC_WRITE_ONLY);
    subMesh->vertexData->vertexBufferBinding->setBinding(0, vertices);
    Ogre::HardwareIndexBufferSharedPtr indices = Ogre::HardwareBufferManager::getSingleton().createIndexBuffer(
        Ogre::HardwareIndexBuffer::IT_16BIT, 6 * kQuads, Ogre::HardwareBuffer::HBU_STATIC_WRITE_ONLY);
    subMesh->indexData->indexBuffer = indices;
    subMesh->indexData->indexCount = 6 * kQuads;

    float* vertex = static_cast<float*>(vertices->lock(Ogre::HardwareBuffer::HBL_DISCARD));
    Ogre::uint16* index = static_cast<Ogre::uint16*>(indices->lock(Ogre::HardwareBuffer::HBL_DISCARD));
    for (int quad = 0; quad < kQuads; ++quad) {
        const Ogre::Radian turn = Ogre::Degree(60.0f * quad);
        const Ogre::Vector3 along(Ogre::Math::Cos(turn), 0, -Ogre::Math::Sin(turn));
        const Ogre::Vector3 normal = along.crossProduct(Ogre::Vector3::UNIT_Y);
        const Ogre::Vector3 corners[4] = {-along * kHalfWidth + Ogre::Vector3(0, kHeight, 0),
                                          along * kHalfWidth + Ogre::Vector3(0, kHeight, 0), -along * kHalfWidth,
                                          along * kHalfWidth};
        const float uv[4][2] = {{0, 0}, {1, 0}, {0, 1}, {1, 1}};
        for (int corner = 0; corner < 4; ++corner) {
            *vertex++ = corners[corner].x;
            *vertex++ = corners[corner].y;
            *vertex++ = corners[corner].z;
            *vertex++ = normal.x;
            *vertex++ = normal.y;
            *vertex++ = normal.z;
            *vertex++ = uv[corner][0];
            *vertex++ = uv[corner][1];
        }
        const Ogre::uint16 base = static_cast<Ogre::uint16>(quad * 4);
        const Ogre::uint16 quadIndices[6] = {base, static_cast<Ogre::uint16>(base + 3),
                                             static_cast<Ogre::uint16>(base + 1), base,
                                             static_cast<Ogre::uint16>(base + 2), static_cast<Ogre::uint16>(base + 3)};
        for (Ogre::uint16 i : quadIndices) {
            *index++ = i;
        }
    }
    vertices->unlock();
    indices->unlock();
    subMesh->setMaterialName("Examples/GrassBlades");
    mesh->_setBounds(Ogre::AxisAlignedBox(-kHalfWidth, 0, -kHalfWidth, kHalfWidth, kHeight, kHalfWidth), false);
    mesh->_setBoundingSphereRadius(Ogre::Math::Sqrt(kHalfWidth * kHalfWidth + kHeight * kHeight));
    mesh->load();
}

} // namespace Kelvo
