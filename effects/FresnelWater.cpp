#include "effects/FresnelWater.h"

#include "platform/Log.h"

#include <Ogre.h>

namespace Kelvo {

FresnelWater* FresnelWater::sInstance = nullptr;

const char* const FresnelWater::kEntityName = "KelvoFresnelPlane";
const char* const FresnelWater::kMeshName = "KelvoFresnelPlane_Plane";
const char* const FresnelWater::kNodeName = "FresnelNode";
const char* const FresnelWater::kMaterialName = "Examples/FresnelReflectionRefraction";
const char* const FresnelWater::kReflectionName = "Reflection";
const char* const FresnelWater::kRefractionName = "Refraction";

FresnelWater::FresnelWater()
{
    sInstance = this;
}

FresnelWater::~FresnelWater()
{
    // At shut-down the engine (and the textures with it) is gone by now;
    // if it still lives, its targets must not keep our listeners.
    if (Ogre::Root::getSingletonPtr()) {
        detachListeners();
    }
    delete mReflectionListener;
    delete mRefractionListener;
    mReflectionListener = nullptr;
    mRefractionListener = nullptr;
    mRefractionHide.clear();
    mReflectionHide.clear();
    sInstance = nullptr;
}

void FresnelWater::showHidden(const std::vector<Ogre::Entity*>& list, bool visible)
{
    for (Ogre::Entity* entity : list) {
        entity->setVisible(visible);
    }
}

void FresnelWater::showParticles(bool visible)
{
    // Smoke and sparks cover many pixels with blended sprites, the most
    // costly thing to draw on a software renderer, and their mirror images
    // are lost in the ripples anyway.
    Ogre::SceneManager* scene = mCamera->getSceneManager();
    for (const auto& entry : scene->getMovableObjects(Ogre::ParticleSystemFactory::FACTORY_TYPE_NAME)) {
        if (visible) {
            // only what this hid: a system the game hid stays hidden
            if (mHiddenParticles.count(entry.second)) {
                entry.second->setVisible(true);
            }
        } else if (entry.second->getVisible()) {
            mHiddenParticles.insert(entry.second);
            entry.second->setVisible(false);
        }
    }
    if (visible) {
        mHiddenParticles.clear();
    }
}

void ReflectionTextureListener::preRenderTargetUpdate(const Ogre::RenderTargetEvent&)
{
    mWater->mPlaneEntity->setVisible(false);
    mWater->showHidden(mWater->mReflectionHide, false);
    mWater->showParticles(false);
    mWater->mCamera->enableReflection(mWater->mPlane);
    // Whatever lies under the water must not appear above it in the mirror
    // (the sea floor would cover the reflected sky and shore).
    mWater->mCamera->enableCustomNearClipPlane(mWater->mPlane);
}

void ReflectionTextureListener::postRenderTargetUpdate(const Ogre::RenderTargetEvent&)
{
    mWater->mPlaneEntity->setVisible(true);
    mWater->showHidden(mWater->mReflectionHide, true);
    mWater->showParticles(true);
    mWater->mCamera->disableReflection();
    mWater->mCamera->disableCustomNearClipPlane();
}

void RefractionTextureListener::preRenderTargetUpdate(const Ogre::RenderTargetEvent&)
{
    mWater->mPlaneEntity->setVisible(false);
    mWater->showHidden(mWater->mRefractionHide, false);
    mWater->showParticles(false);
}

void RefractionTextureListener::postRenderTargetUpdate(const Ogre::RenderTargetEvent&)
{
    mWater->mPlaneEntity->setVisible(true);
    mWater->showHidden(mWater->mRefractionHide, true);
    mWater->showParticles(true);
}

void FresnelWater::release()
{
    detachListeners();
    delete mReflectionListener;
    delete mRefractionListener;
    mReflectionListener = nullptr;
    mRefractionListener = nullptr;
    mRefractionHide.clear();
    mReflectionHide.clear();
    // Everything below is found by name: the scene manager of an earlier
    // load may be gone, and with it the plane and its node.
    auto& textures = Ogre::TextureManager::getSingleton();
    for (const char* name : {kRefractionName, kReflectionName}) {
        if (textures.resourceExists(name, Ogre::ResourceGroupManager::DEFAULT_RESOURCE_GROUP_NAME)) {
            textures.remove(name, Ogre::ResourceGroupManager::DEFAULT_RESOURCE_GROUP_NAME);
        }
    }
    mReflectionTarget = nullptr;
    mRefractionTarget = nullptr;
    auto& meshes = Ogre::MeshManager::getSingleton();
    if (meshes.resourceExists(kMeshName, Ogre::ResourceGroupManager::DEFAULT_RESOURCE_GROUP_NAME)) {
        meshes.remove(kMeshName, Ogre::ResourceGroupManager::DEFAULT_RESOURCE_GROUP_NAME);
    }
    mPlaneEntity = nullptr;
    mSetUp = false;
}

bool FresnelWater::setUp(Ogre::Camera* camera, const Ogre::Vector3& position, float size)
{
    if (!camera) {
        logLine("FresnelWater: no camera to render the water's pictures with; the water stays off");
        return false;
    }
    if (mSetUp) {
        release();
    }
    mCamera = camera;
    Ogre::SceneManager* scene = camera->getSceneManager();
    // An earlier load in this same scene may have left its plane behind.
    if (scene->hasEntity(kEntityName)) {
        scene->destroyEntity(kEntityName);
    }
    if (scene->hasSceneNode(kNodeName)) {
        scene->destroySceneNode(kNodeName);
    }
    mReflectionListener = new ReflectionTextureListener(this);
    mRefractionListener = new RefractionTextureListener(this);
    const Ogre::String& group = Ogre::ResourceGroupManager::DEFAULT_RESOURCE_GROUP_NAME;
    try {
        auto& textures = Ogre::TextureManager::getSingleton();
        for (const char* name : {kRefractionName, kReflectionName}) {
            if (textures.resourceExists(name, group)) {
                textures.remove(name, group);
            }
            Ogre::TexturePtr texture = textures.createManual(name, group, Ogre::TEX_TYPE_2D, kTextureSize,
                                                             kTextureSize, 0, Ogre::PF_R8G8B8, Ogre::TU_RENDERTARGET);
            Ogre::RenderTarget* target = texture->getBuffer()->getRenderTarget();
            Ogre::Viewport* viewport = target->addViewport(camera);
            viewport->setShadowsEnabled(false);
            viewport->setClearEveryFrame(true, Ogre::FBT_COLOUR | Ogre::FBT_DEPTH);
            viewport->setBackgroundColour(Ogre::ColourValue::Black);
            viewport->setOverlaysEnabled(false);
            (std::string(name) == kReflectionName ? mReflectionTarget : mRefractionTarget) = target;
        }

        Ogre::MaterialPtr material = Ogre::MaterialManager::getSingleton().getByName(kMaterialName);
        if (!material) {
            OGRE_EXCEPT(Ogre::Exception::ERR_ITEM_NOT_FOUND, std::string("no material ") + kMaterialName,
                        "FresnelWater::setUp");
        }
        material->setReceiveShadows(false);
        Ogre::Pass* pass = material->getTechnique(0)->getPass(0);
        if (pass->getNumTextureUnitStates() < 3) {
            OGRE_EXCEPT(Ogre::Exception::ERR_INVALIDPARAMS,
                        std::string(kMaterialName) + " has no texture units for the reflection and refraction",
                        "FresnelWater::setUp");
        }
        const std::pair<unsigned short, const char*> units[] = {{2, kRefractionName}, {1, kReflectionName}};
        for (const auto& [index, name] : units) {
            Ogre::TextureUnitState* unit = pass->getTextureUnitState(index);
            unit->setTextureName(name, Ogre::TEX_TYPE_2D);
            unit->setTextureAddressingMode(Ogre::TextureUnitState::TAM_CLAMP);
            unit->setProjectiveTexturing(true, camera);
        }

        // Ogre's plane is n.p + d = 0: d = -height puts it at y = height.
        mPlane.normal = Ogre::Vector3::UNIT_Y;
        mPlane.d = -position.y;
        auto& meshes = Ogre::MeshManager::getSingleton();
        if (meshes.resourceExists(kMeshName, group)) {
            meshes.remove(kMeshName, group);
        }
        meshes.createPlane(
            kMeshName, group, mPlane, size, size, 1, 1, true, 1, 5, 5, Ogre::Vector3::UNIT_Z,
            Ogre::HardwareBuffer::HBU_STATIC_WRITE_ONLY, Ogre::HardwareBuffer::HBU_STATIC_WRITE_ONLY, true, true);
        mPlaneEntity = scene->createEntity(kEntityName, kMeshName);
        mPlaneEntity->setMaterialName(kMaterialName);
        mPlaneEntity->setCastShadows(false);
        scene->getRootSceneNode()->createChildSceneNode(kNodeName, Ogre::Vector3::ZERO)->attachObject(mPlaneEntity);
    } catch (const Ogre::Exception& e) {
        logWarning("FresnelWater: the water cannot be built: " + e.getDescription());
        if (scene->hasEntity(kEntityName)) {
            scene->destroyEntity(kEntityName);
        }
        if (scene->hasSceneNode(kNodeName)) {
            scene->destroySceneNode(kNodeName);
        }
        forgetCamera();
        release();
        return false;
    }
    mSetUp = true;
    return true;
}

void FresnelWater::attachListeners()
{
    if (!mSetUp) {
        return;
    }
    try {
        mRefractionTarget->addListener(mRefractionListener);
        mReflectionTarget->addListener(mReflectionListener);
    } catch (const Ogre::Exception&) {
    }
    mTurn = 0;
    if (!mTakingTurns) {
        Ogre::Root::getSingleton().addFrameListener(this);
        mTakingTurns = true;
    }
}

bool FresnelWater::frameStarted(const Ogre::FrameEvent&)
{
    if (!mReflectionTarget || !mRefractionTarget) {
        return true;
    }
    // Both on the first frame, so neither picture starts out empty.
    ++mTurn;
    mReflectionTarget->setActive(mTurn == 1 || mTurn % 2 == 1);
    mRefractionTarget->setActive(mTurn == 1 || mTurn % 2 == 0);
    return true;
}

void FresnelWater::forgetCamera()
{
    // The material outlives the play camera; a projector left in it would
    // point at a destroyed camera the next time anything draws the water.
    Ogre::MaterialPtr material = Ogre::MaterialManager::getSingleton().getByName(kMaterialName);
    if (!material || material->getNumTechniques() == 0 || material->getTechnique(0)->getNumPasses() == 0) {
        return;
    }
    Ogre::Pass* pass = material->getTechnique(0)->getPass(0);
    for (unsigned short index : {1, 2}) {
        if (index < pass->getNumTextureUnitStates()) {
            pass->getTextureUnitState(index)->setProjectiveTexturing(false);
        }
    }
}

void FresnelWater::detachListeners()
{
    if (mTakingTurns && Ogre::Root::getSingletonPtr()) {
        Ogre::Root::getSingleton().removeFrameListener(this);
    }
    mTakingTurns = false;
    if (!mReflectionTarget || !mRefractionTarget) {
        return;
    }
    // the targets live only as long as their textures
    auto& textures = Ogre::TextureManager::getSingleton();
    const Ogre::String& group = Ogre::ResourceGroupManager::DEFAULT_RESOURCE_GROUP_NAME;
    if (!textures.resourceExists(kReflectionName, group) || !textures.resourceExists(kRefractionName, group)) {
        mReflectionTarget = nullptr;
        mRefractionTarget = nullptr;
        return;
    }
    forgetCamera();
    try {
        if (mRefractionListener && mReflectionListener) {
            mRefractionTarget->removeListener(mRefractionListener);
            mReflectionTarget->removeListener(mReflectionListener);
        }
        mRefractionTarget->removeAllViewports();
        mReflectionTarget->removeAllViewports();
    } catch (const Ogre::Exception&) {
    }
}

} // namespace Kelvo
