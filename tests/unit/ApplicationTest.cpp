#include "HeadlessEngine.h"

#include "app/Application.h"

using Kelvo::Application;

class SphereMeshTest : public KelvoTest::HeadlessEngineTest {};

TEST_F(SphereMeshTest, MarkerSphereHasTheRingAndSegmentLayoutOnTheRadius)
{
    Application application;
    application.createSphere("marker_sphere", 2.0f, 16, 16);

    Ogre::MeshPtr mesh = Ogre::MeshManager::getSingleton().getByName("marker_sphere");
    ASSERT_TRUE(mesh);
    ASSERT_EQ(1u, mesh->getNumSubMeshes());
    const Ogre::VertexData* vertices = mesh->sharedVertexData;
    const Ogre::IndexData* indices = mesh->getSubMesh(0)->indexData;
    EXPECT_TRUE(mesh->getSubMesh(0)->useSharedVertices);
    EXPECT_EQ(17u * 17u, vertices->vertexCount);
    EXPECT_EQ(6u * 16u * 17u, indices->indexCount);
    EXPECT_EQ(Ogre::HardwareIndexBuffer::IT_16BIT, indices->indexBuffer->getType());
    EXPECT_FLOAT_EQ(2.0f, mesh->getBoundingSphereRadius());
    EXPECT_EQ(Ogre::Vector3(-2, -2, -2), mesh->getBounds().getMinimum());
    EXPECT_EQ(Ogre::Vector3(2, 2, 2), mesh->getBounds().getMaximum());

    // Every vertex lies on the sphere with an outward unit normal; every
    // index points at a vertex.
    Ogre::HardwareVertexBufferSharedPtr vertexBuffer = vertices->vertexBufferBinding->getBuffer(0);
    ASSERT_EQ(8u * sizeof(float), vertexBuffer->getVertexSize());
    const float* data = static_cast<const float*>(vertexBuffer->lock(Ogre::HardwareBuffer::HBL_READ_ONLY));
    for (size_t v = 0; v < vertices->vertexCount; ++v) {
        const Ogre::Vector3 position(data[0], data[1], data[2]);
        const Ogre::Vector3 normal(data[3], data[4], data[5]);
        EXPECT_NEAR(2.0f, position.length(), 1e-4f) << "vertex " << v;
        EXPECT_NEAR(1.0f, normal.length(), 1e-4f) << "vertex " << v;
        EXPECT_GT(normal.dotProduct(position), 0.0f) << "vertex " << v;
        EXPECT_GE(data[6], 0.0f);
        EXPECT_LE(data[7], 1.0f);
        data += 8;
    }
    vertexBuffer->unlock();
    const Ogre::uint16* index = static_cast<const Ogre::uint16*>(indices->indexBuffer->lock(Ogre::HardwareBuffer::HBL_READ_ONLY));
    const Ogre::uint16 largest = *std::max_element(index, index + indices->indexCount);
    indices->indexBuffer->unlock();
    EXPECT_LT(largest, vertices->vertexCount);
}

TEST_F(SphereMeshTest, SecondRequestForTheSameNameKeepsTheFirstMesh)
{
    Application application;
    application.createSphere("shared_sphere", 1.0f, 16, 16);
    application.createSphere("shared_sphere", 5.0f, 16, 16);
    Ogre::MeshPtr mesh = Ogre::MeshManager::getSingleton().getByName("shared_sphere");
    EXPECT_FLOAT_EQ(1.0f, mesh->getBoundingSphereRadius());
}
