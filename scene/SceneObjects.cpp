#include "scene/SceneObjects.h"

#include "scene/SceneLoader.h"

#include <Ogre.h>

#include <cmath>

namespace Kelvo {

namespace {
const int kMarkerRings = 16;
const int kMarkerSegments = 16;
} // namespace

SceneObjects::~SceneObjects()
{
    // A live scene manager means a live engine (the root destroys its scene
    // managers before its meshes): what is left of the markers goes now.
    freeMarkers();
    use(nullptr);
}

void SceneObjects::use(Ogre::SceneManager* manager)
{
    if (manager == mManager) {
        return;
    }
    if (mManager) {
        mManager->removeListener(this);
    }
    mManager = manager;
    if (mManager) {
        mManager->addListener(this);
    }
}

void SceneObjects::sceneManagerDestroyed(Ogre::SceneManager* source)
{
    if (source != mManager) {
        return;
    }
    // The manager tells before it destroys its objects: the markers go now,
    // while their spheres can still be freed. (No removeListener here: the
    // manager is walking its listeners.)
    freeMarkers();
    mManager = nullptr;
}

Ogre::SceneNode* SceneObjects::loaderRoot() const
{
    if (!mManager || !mManager->hasSceneNode(SceneLoader::kLoaderRootName)) {
        return nullptr;
    }
    return mManager->getSceneNode(SceneLoader::kLoaderRootName);
}

void SceneObjects::destroyNode(Ogre::SceneNode* node)
{
    if (!mManager || !node) {
        return;
    }
    node->detachAllObjects();
    mManager->destroySceneNode(node);
}

Ogre::SceneNode* SceneObjects::placeNode(const std::string& name, Ogre::SceneNode* parent)
{
    if (!mManager) {
        return nullptr;
    }
    if (!parent) {
        parent = loaderRoot();
    }
    if (!parent) {
        parent = mManager->getRootSceneNode();
    }
    // A scene's names are mostly new: making the node straight away saves a
    // look-up per record, and the engine's refusal says it exists already.
    try {
        return parent->createChildSceneNode(name);
    } catch (const Ogre::ItemIdentityException&) {
    }
    Ogre::SceneNode* node = mManager->getSceneNode(name);
    if (node == parent) {
        return node;
    }
    // Hanging a node under one of its own descendants would close a loop
    // in the scene graph; it stays where it is instead.
    for (Ogre::Node* above = parent; above; above = above->getParent()) {
        if (above == node) {
            logProblem("Scene: node '" + name + "' cannot hang under its own child '" + parent->getName() + "'");
            return node;
        }
    }
    if (node->getParentSceneNode()) {
        node->getParentSceneNode()->removeChild(node);
    }
    parent->addChild(node);
    return node;
}

Ogre::Entity* SceneObjects::makeMarker(const std::string& meshName, const std::string& entityName, float radius,
                                       const std::string& material)
{
    if (!mManager) {
        return nullptr;
    }
    if (mManager->hasEntity(entityName)) {
        Ogre::Entity* existing = mManager->getEntity(entityName);
        if (existing->getMesh()->getName() != meshName) {
            // Something else of the scene carries this name: it keeps it,
            // and this object goes without a marker.
            logProblem("Scene: marker '" + entityName + "' would replace another object, left out");
            return nullptr;
        }
        if (existing->isAttached()) {
            existing->detachFromParent();
        }
        mManager->destroyEntity(existing);
    }
    // Sphere meshes are kept by name; one left from an earlier scene or an
    // earlier radius is made again at the size asked for now.
    Ogre::MeshManager& meshes = Ogre::MeshManager::getSingleton();
    Ogre::MeshPtr existing = meshes.getByName(meshName);
    if (existing && existing->getBoundingSphereRadius() != radius) {
        meshes.remove(existing);
    }
    existing.reset();
    makeSphereMesh(meshName, radius, kMarkerRings, kMarkerSegments);
    mMarkerMeshes[meshName] = entityName;
    Ogre::Entity* marker = mManager->createEntity(entityName, meshName);
    marker->setVisible(true);
    if (!material.empty()) {
        setMaterialIfKnown(marker, material);
    }
    return marker;
}

void SceneObjects::destroyMarker(const std::string& entityName)
{
    if (!mManager || !mManager->hasEntity(entityName)) {
        return;
    }
    Ogre::Entity* marker = mManager->getEntity(entityName);
    const std::string meshName = marker->getMesh()->getName();
    auto made = mMarkerMeshes.find(meshName);
    if (made == mMarkerMeshes.end() || made->second != entityName) {
        // Not a marker of ours: something else of the scene has the name.
        return;
    }
    if (marker->isAttached()) {
        marker->detachFromParent();
    }
    mManager->destroyEntity(marker);
    freeMarkerMesh(meshName);
}

void SceneObjects::freeMarkers()
{
    const std::map<std::string, std::string> made = mMarkerMeshes;
    for (const auto& entry : made) {
        if (mManager && mManager->hasEntity(entry.second)) {
            destroyMarker(entry.second);
        } else {
            freeMarkerMesh(entry.first);
        }
    }
}

void SceneObjects::freeMarkerMesh(const std::string& meshName)
{
    mMarkerMeshes.erase(meshName);
    Ogre::MeshManager& meshes = Ogre::MeshManager::getSingleton();
    Ogre::MeshPtr mesh = meshes.getByName(meshName);
    // A scene entity whose file names the sphere holds it too; removing
    // the mesh under it would unload what it draws.
    if (mesh && mesh.use_count() <= Ogre::ResourceGroupManager::RESOURCE_SYSTEM_NUM_REFERENCE_COUNTS + 1) {
        meshes.remove(mesh);
    }
}

void SceneObjects::makeSphereMesh(const std::string& meshName, float radius, int rings, int segments)
{
    Ogre::MeshManager& meshes = Ogre::MeshManager::getSingleton();
    if (meshes.resourceExists(meshName)) {
        return;
    }
    Ogre::MeshPtr mesh = meshes.createManual(meshName, Ogre::ResourceGroupManager::DEFAULT_RESOURCE_GROUP_NAME);
    Ogre::SubMesh* subMesh = mesh->createSubMesh();
    subMesh->useSharedVertices = true;

    Ogre::VertexData* vertexData = new Ogre::VertexData();
    mesh->sharedVertexData = vertexData;
    Ogre::VertexDeclaration* declaration = vertexData->vertexDeclaration;
    size_t offset = 0;
    declaration->addElement(0, offset, Ogre::VET_FLOAT3, Ogre::VES_POSITION);
    offset += Ogre::VertexElement::getTypeSize(Ogre::VET_FLOAT3);
    declaration->addElement(0, offset, Ogre::VET_FLOAT3, Ogre::VES_NORMAL);
    offset += Ogre::VertexElement::getTypeSize(Ogre::VET_FLOAT3);
    declaration->addElement(0, offset, Ogre::VET_FLOAT2, Ogre::VES_TEXTURE_COORDINATES, 0);

    const size_t vertexCount = static_cast<size_t>(rings + 1) * (segments + 1);
    const size_t indexCount = static_cast<size_t>(6) * rings * (segments + 1);
    vertexData->vertexCount = vertexCount;
    Ogre::HardwareBufferManager& buffers = Ogre::HardwareBufferManager::getSingleton();
    Ogre::HardwareVertexBufferSharedPtr vertexBuffer = buffers.createVertexBuffer(
        declaration->getVertexSize(0), vertexCount, Ogre::HardwareBuffer::HBU_STATIC_WRITE_ONLY, false);
    vertexData->vertexBufferBinding->setBinding(0, vertexBuffer);
    Ogre::HardwareIndexBufferSharedPtr indexBuffer = buffers.createIndexBuffer(
        Ogre::HardwareIndexBuffer::IT_16BIT, indexCount, Ogre::HardwareBuffer::HBU_STATIC_WRITE_ONLY, false);
    subMesh->indexData->indexBuffer = indexBuffer;
    subMesh->indexData->indexCount = indexCount;
    subMesh->indexData->indexStart = 0;

    float* vertex = static_cast<float*>(vertexBuffer->lock(Ogre::HardwareBuffer::HBL_DISCARD));
    Ogre::uint16* index = static_cast<Ogre::uint16*>(indexBuffer->lock(Ogre::HardwareBuffer::HBL_DISCARD));
    const float ringStep = Ogre::Math::PI / rings;
    const float segmentStep = 2.0f * Ogre::Math::PI / segments;
    Ogre::uint16 vertexIndex = 0;
    for (int ring = 0; ring <= rings; ++ring) {
        const float r = radius * std::sin(ring * ringStep);
        const float y = radius * std::cos(ring * ringStep);
        for (int segment = 0; segment <= segments; ++segment) {
            const float x = r * std::sin(segment * segmentStep);
            const float z = r * std::cos(segment * segmentStep);
            *vertex++ = x;
            *vertex++ = y;
            *vertex++ = z;
            const Ogre::Vector3 normal = Ogre::Vector3(x, y, z).normalisedCopy();
            *vertex++ = normal.x;
            *vertex++ = normal.y;
            *vertex++ = normal.z;
            *vertex++ = static_cast<float>(segment) / segments;
            *vertex++ = static_cast<float>(ring) / rings;
            if (ring != rings) {
                *index++ = vertexIndex + segments + 1;
                *index++ = vertexIndex;
                *index++ = vertexIndex + segments;
                *index++ = vertexIndex + segments + 1;
                *index++ = vertexIndex + 1;
                *index++ = vertexIndex;
                ++vertexIndex;
            }
        }
    }
    vertexBuffer->unlock();
    indexBuffer->unlock();

    mesh->_setBounds(Ogre::AxisAlignedBox(-radius, -radius, -radius, radius, radius, radius), false);
    mesh->_setBoundingSphereRadius(radius);
    mesh->load();
}

void SceneObjects::setMaterialIfKnown(Ogre::Entity* entity, const std::string& material)
{
    if (!entity) {
        return;
    }
    // One look-up: a scene sets the same few materials on thousands of props.
    Ogre::MaterialPtr found = Ogre::MaterialManager::getSingleton().getByName(material);
    if (!found) {
        logProblem("Scene: material '" + material + "' for '" + entity->getName() + "' does not exist");
        return;
    }
    entity->setMaterial(found);
}

void SceneObjects::logProblem(const std::string& line)
{
    Ogre::LogManager::getSingleton().logMessage(line, Ogre::LML_CRITICAL);
}

} // namespace Kelvo
