#include "effects/CompositorEffects.h"

#include "platform/Log.h"

#include <OgreCompositionPass.h>
#include <OgreCompositionTargetPass.h>
#include <OgreCompositionTechnique.h>
#include <OgreCompositor.h>
#include <OgreCompositorChain.h>
#include <OgreCompositorInstance.h>
#include <OgreCompositorManager.h>
#include <OgreResourceGroupManager.h>
#include <OgreViewport.h>

namespace Kelvo {

CompositorEffects* CompositorEffects::sInstance = nullptr;

const char* const CompositorEffects::kMotionBlur = "Motion Blur";
const char* const CompositorEffects::kInvert = "Invert";
const char* const CompositorEffects::kWounded = "fxplugin_filter_wounded";

namespace {

// The chain in the order the compositors are applied.
const char* const kChain[] = {
    "Bloom",
    "Invert",
    "Motion Blur",
    "fxplugin_filter_wounded",
    "fxplugin_filter_tonemap",
    "fxplugin_filter_specular_bloom",
    "fxplugin_rain_window",
    "fxplugin/filter_filmgrain",
    "fxplugin_filter_hatching",
};

} // namespace

CompositorEffects::CompositorEffects()
{
    sInstance = this;
}

CompositorEffects::~CompositorEffects()
{
    sInstance = nullptr;
}

void CompositorEffects::buildMotionBlur()
{
    Ogre::CompositorManager& compositors = Ogre::CompositorManager::getSingleton();
    // A compositor of that name from an earlier root of this process (tests)
    // or a script would make create() throw; it serves as it is.
    if (compositors.resourceExists(kMotionBlur, Ogre::ResourceGroupManager::DEFAULT_RESOURCE_GROUP_NAME)) {
        mBuildMotionBlur = false;
        return;
    }
    Ogre::CompositorPtr blur = compositors.create(kMotionBlur, Ogre::ResourceGroupManager::DEFAULT_RESOURCE_GROUP_NAME);
    Ogre::CompositionTechnique* technique = blur->createTechnique();
    for (const char* name : {"scene", "sum", "temp"}) {
        Ogre::CompositionTechnique::TextureDefinition* texture = technique->createTextureDefinition(name);
        texture->width = 0;
        texture->height = 0;
        texture->formatList.push_back(Ogre::PF_R8G8B8);
    }

    Ogre::CompositionTargetPass* scene = technique->createTargetPass();
    scene->setInputMode(Ogre::CompositionTargetPass::IM_PREVIOUS);
    scene->setOutputName("scene");

    // The running sum starts as the first frame and from then on is only
    // blended into, which leaves the trails.
    Ogre::CompositionTargetPass* firstSum = technique->createTargetPass();
    firstSum->setInputMode(Ogre::CompositionTargetPass::IM_PREVIOUS);
    firstSum->setOutputName("sum");
    firstSum->setOnlyInitial(true);

    Ogre::CompositionTargetPass* combine = technique->createTargetPass();
    combine->setInputMode(Ogre::CompositionTargetPass::IM_NONE);
    combine->setOutputName("temp");
    Ogre::CompositionPass* combinePass = combine->createPass(Ogre::CompositionPass::PT_RENDERQUAD);
    combinePass->setMaterialName("Ogre/Compositor/Combine");
    combinePass->setInput(0, "scene");
    combinePass->setInput(1, "sum");

    Ogre::CompositionTargetPass* copyBack = technique->createTargetPass();
    copyBack->setInputMode(Ogre::CompositionTargetPass::IM_NONE);
    copyBack->setOutputName("sum");
    Ogre::CompositionPass* copyPass = copyBack->createPass(Ogre::CompositionPass::PT_RENDERQUAD);
    copyPass->setMaterialName("Ogre/Compositor/Copyback");
    copyPass->setInput(0, "temp");

    Ogre::CompositionTargetPass* output = technique->getOutputTargetPass();
    output->setInputMode(Ogre::CompositionTargetPass::IM_NONE);
    Ogre::CompositionPass* showPass = output->createPass(Ogre::CompositionPass::PT_RENDERQUAD);
    showPass->setMaterialName("Ogre/Compositor/MotionBlur");
    showPass->setInput(0, "sum");

    mBuildMotionBlur = false;
    ++mMotionBlurBuilds;
    logLine("CompositorEffects: built Motion Blur");
}

void CompositorEffects::install(Ogre::Viewport* viewport)
{
    if (!viewport) {
        return;
    }
    if (mBuildMotionBlur) {
        buildMotionBlur();
    }
    mViewport = viewport;
    Ogre::CompositorManager& compositors = Ogre::CompositorManager::getSingleton();
    for (const char* name : kChain) {
        Ogre::CompositorInstance* instance = nullptr;
        try {
            instance = compositors.addCompositor(viewport, name);
        } catch (const Ogre::Exception& e) {
            logWarning(std::string("CompositorEffects: ") + name + " not added: " + e.getDescription());
            continue;
        }
        if (!instance) {
            logWarning(std::string("CompositorEffects: no compositor ") + name);
        }
    }
    logLine("CompositorEffects: chain installed");
}

void CompositorEffects::remove()
{
    if (!mViewport) {
        return;
    }
    Ogre::CompositorManager& compositors = Ogre::CompositorManager::getSingleton();
    if (compositors.hasCompositorChain(mViewport)) {
        compositors.removeCompositorChain(mViewport);
    }
    mViewport = nullptr;
    logLine("CompositorEffects: chain removed");
}

void CompositorEffects::setEnabled(const std::string& compositor, bool enabled)
{
    if (!mViewport || isEnabled(compositor) == enabled) {
        return;
    }
    Ogre::CompositorManager& compositors = Ogre::CompositorManager::getSingleton();
    if (!compositors.hasCompositorChain(mViewport)) {
        return;
    }
    Ogre::CompositorChain* chain = compositors.getCompositorChain(mViewport);
    if (chain->getCompositorPosition(compositor) == Ogre::CompositorChain::NPOS) {
        return;
    }
    compositors.setCompositorEnabled(mViewport, compositor, enabled);
    // Logged only on a change: the cut-scene asks every frame.
    logLine("CompositorEffects: " + compositor + (enabled ? " on" : " off"));
}

bool CompositorEffects::isEnabled(const std::string& compositor) const
{
    if (!mViewport) {
        return false;
    }
    Ogre::CompositorManager& compositors = Ogre::CompositorManager::getSingleton();
    if (!compositors.hasCompositorChain(mViewport)) {
        return false;
    }
    Ogre::CompositorInstance* instance = compositors.getCompositorChain(mViewport)->getCompositor(compositor);
    return instance && instance->getEnabled();
}

} // namespace Kelvo
