#pragma once

// The engine's GL render system in a plain window, as the window tests
// (run under Xvfb) need it. FreeImage is loaded first: the terrain's 16-bit
// heightmaps need it, and a second codec would claim PNG too.

#include <OgreRenderSystem.h>
#include <OgreRoot.h>

#include <string>

namespace KelvoTest {

// Loads the plug-ins, selects GL windowed at the video mode (e.g.
// "1024 x  768", two blanks) without vertical sync; null when GL is missing.
inline Ogre::RenderSystem* selectWindowedGL(Ogre::Root& root, const char* videoMode, bool particles)
{
    const std::string plugins = KELVO_OGRE_PLUGIN_DIR;
    root.loadPlugin(plugins + "/Codec_FreeImage");
    root.loadPlugin(plugins + "/RenderSystem_GL");
    if (particles) {
        root.loadPlugin(plugins + "/Plugin_ParticleFX");
    }
    Ogre::RenderSystem* renderSystem = root.getRenderSystemByName("OpenGL Rendering Subsystem");
    if (!renderSystem) {
        return nullptr;
    }
    renderSystem->setConfigOption("Full Screen", "No");
    renderSystem->setConfigOption("Video Mode", videoMode);
    renderSystem->setConfigOption("VSync", "No");
    root.setRenderSystem(renderSystem);
    return renderSystem;
}

} // namespace KelvoTest
