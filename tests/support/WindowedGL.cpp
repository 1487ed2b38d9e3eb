#include "WindowedGL.h"

#include <string>

namespace KelvoTest {

void loadEnginePlugin(Ogre::Root& root, const char* name)
{
    root.loadPlugin(std::string(KELVO_OGRE_PLUGIN_DIR) + "/" + name);
}

Ogre::RenderSystem* selectWindowedGL(Ogre::Root& root, const char* videoMode, bool particles, ImageCodec codec)
{
    loadEnginePlugin(root, codec == ImageCodec::FreeImage ? "Codec_FreeImage" : "Codec_STBI");
    loadEnginePlugin(root, "RenderSystem_GL");
    if (particles) {
        loadEnginePlugin(root, "Plugin_ParticleFX");
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
