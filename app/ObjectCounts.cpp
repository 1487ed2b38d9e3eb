#include "app/ObjectCounts.h"

#include "audio/AudioSystem.h"
#include "platform/Log.h"
#include "SoundManager/SoundManager.h"
#include "world/FrameMessage.h"
#include "world/ScriptAtom.h"

#include <CEGUI/CEGUI.h>
#include <Ogre.h>
#include <OgreCompositorChain.h>
#include <OgreCompositorManager.h>
#include <OgreHighLevelGpuProgramManager.h>
#include <OgreOverlayManager.h>

#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <fstream>
#include <sstream>
#include <vector>

namespace Kelvo {

namespace {

// The engine keeps the lists that matter most here (every overlay element,
// also those no overlay holds; every compositor chain; every scene node,
// also those detached from the graph) in members without a public getter.
// An explicit instantiation may name a private member, and the friend it
// defines hands the member pointer out: the standard way to read them
// without patching the engine.
template <typename Tag, typename Tag::type Member>
struct MemberReader {
    friend typename Tag::type memberOf(Tag) { return Member; }
};

struct OverlayElementsTag {
    using type = std::map<Ogre::String, Ogre::OverlayElement*> Ogre::OverlayManager::*;
    friend type memberOf(OverlayElementsTag);
};
template struct MemberReader<OverlayElementsTag, &Ogre::OverlayManager::mInstances>;

struct CompositorChainsTag {
    using type = std::map<const Ogre::Viewport*, Ogre::CompositorChain*> Ogre::CompositorManager::*;
    friend type memberOf(CompositorChainsTag);
};
template struct MemberReader<CompositorChainsTag, &Ogre::CompositorManager::mChains>;

struct SceneNodesTag {
    using type = std::vector<Ogre::SceneNode*> Ogre::SceneManager::*;
    friend type memberOf(SceneNodesTag);
};
template struct MemberReader<SceneNodesTag, &Ogre::SceneManager::mSceneNodes>;

const char* const kMovableTypes[][2] = {
    {"entities", "Entity"},
    {"particle_systems", "ParticleSystem"},
    {"lights", "Light"},
    {"manual_objects", "ManualObject"},
    {"billboard_sets", "BillboardSet"},
    {"ribbon_trails", "RibbonTrail"},
};

long resourceCount(Ogre::ResourceManager* manager)
{
    if (!manager) {
        return 0;
    }
    long count = 0;
    auto resources = manager->getResourceIterator();
    while (resources.hasMoreElements()) {
        resources.moveNext();
        ++count;
    }
    return count;
}

void countScenes(std::map<std::string, long>& counts)
{
    Ogre::Root* root = Ogre::Root::getSingletonPtr();
    counts["scene_managers"] = 0;
    counts["scene_nodes"] = 0;
    counts["cameras"] = 0;
    for (const auto& type : kMovableTypes) {
        counts[type[0]] = 0;
    }
    if (!root) {
        return;
    }
    for (const auto& named : root->getSceneManagers()) {
        Ogre::SceneManager* manager = named.second;
        ++counts["scene_managers"];
        counts["scene_nodes"] += static_cast<long>((manager->*memberOf(SceneNodesTag())).size());
        // Cameras are kept apart from the other movable objects.
        counts["cameras"] += static_cast<long>(manager->getCameras().size());
        for (const auto& type : kMovableTypes) {
            counts[type[0]] += static_cast<long>(manager->getMovableObjects(type[1]).size());
        }
    }
    long targets = 0;
    long viewports = 0;
    if (Ogre::RenderSystem* renderSystem = root->getRenderSystem()) {
        auto renderTargets = renderSystem->getRenderTargetIterator();
        while (renderTargets.hasMoreElements()) {
            ++targets;
            viewports += renderTargets.getNext()->getNumViewports();
        }
    }
    counts["render_targets"] = targets;
    counts["viewports"] = viewports;
}

void countResources(std::map<std::string, long>& counts)
{
    counts["meshes"] = resourceCount(Ogre::MeshManager::getSingletonPtr());
    counts["skeletons"] = resourceCount(Ogre::SkeletonManager::getSingletonPtr());
    counts["materials"] = resourceCount(Ogre::MaterialManager::getSingletonPtr());
    counts["textures"] = resourceCount(Ogre::TextureManager::getSingletonPtr());
    counts["gpu_programs"] = resourceCount(Ogre::GpuProgramManager::getSingletonPtr()) +
                             resourceCount(Ogre::HighLevelGpuProgramManager::getSingletonPtr());
}

void countOverlaysAndCompositors(std::map<std::string, long>& counts)
{
    counts["overlays"] = 0;
    counts["overlay_elements"] = 0;
    if (Ogre::OverlayManager* overlays = Ogre::OverlayManager::getSingletonPtr()) {
        auto each = overlays->getOverlayIterator();
        while (each.hasMoreElements()) {
            each.moveNext();
            ++counts["overlays"];
        }
        counts["overlay_elements"] = static_cast<long>((overlays->*memberOf(OverlayElementsTag())).size());
    }
    counts["compositor_chains"] = 0;
    counts["compositor_instances"] = 0;
    if (Ogre::CompositorManager* compositors = Ogre::CompositorManager::getSingletonPtr()) {
        for (const auto& chain : compositors->*memberOf(CompositorChainsTag())) {
            ++counts["compositor_chains"];
            counts["compositor_instances"] += static_cast<long>(chain.second->getCompositorInstances().size());
        }
    }
}

void countGui(std::map<std::string, long>& counts)
{
    counts["gui_windows"] = 0;
    counts["gui_images"] = 0;
    if (!CEGUI::System::getSingletonPtr()) {
        return;
    }
    auto windows = CEGUI::WindowManager::getSingleton().getIterator();
    for (; !windows.isAtEnd(); ++windows) {
        ++counts["gui_windows"];
    }
    auto images = CEGUI::ImageManager::getSingleton().getIterator();
    for (; !images.isAtEnd(); ++images) {
        ++counts["gui_images"];
    }
}

void countSound(std::map<std::string, long>& counts)
{
    counts["sound_channels"] = 0;
    counts["sounds"] = 0;
    counts["sound_table"] = 0;
    SoundManager* sound = SoundManager::getSingletonPtr();
    if (!sound) {
        return;
    }
    counts["sound_table"] = sound->getSoundCount();
    if (AudioSystem* system = sound->getAudioSystem()) {
        counts["sound_channels"] = system->getChannelsPlaying();
        counts["sounds"] = system->getSoundCount();
    }
}

} // namespace

const char* const ObjectCounts::kCountsPrefix = "ObjectCounts: ";
const char* const ObjectCounts::kMemoryPrefix = "ResidentMemory: ";

std::map<std::string, long> ObjectCounts::take()
{
    std::map<std::string, long> counts;
    countScenes(counts);
    countResources(counts);
    countOverlaysAndCompositors(counts);
    countGui(counts);
    countSound(counts);
    counts["frame_messages"] = FrameMessage::liveCount();
    counts["scripts"] = ScriptAtom::liveCount();
    return counts;
}

std::string ObjectCounts::line(const std::map<std::string, long>& counts)
{
    std::ostringstream text;
    text << kCountsPrefix;
    const char* separator = "";
    for (const auto& count : counts) {
        text << separator << count.first << "=" << count.second;
        separator = " ";
    }
    return text.str();
}

long ObjectCounts::residentKilobytes()
{
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "VmRSS:") {
            long kilobytes = -1;
            status >> kilobytes;
            return kilobytes;
        }
        status.ignore(1 << 16, '\n');
    }
    return -1;
}

long ObjectCounts::heapInUseKilobytes()
{
#ifdef __GLIBC__
    return static_cast<long>(mallinfo2().uordblks / 1024);
#else
    return -1;
#endif
}

void ObjectCounts::log()
{
    logLine(line(take()));
    logLine(std::string(kMemoryPrefix) + std::to_string(residentKilobytes()) + " kB, heap in use " +
            std::to_string(heapInUseKilobytes()) + " kB");
}

} // namespace Kelvo
