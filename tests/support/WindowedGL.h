#pragma once

// The engine's GL render system in a plain window, as every window test and
// render test (run under Xvfb) and the terrain benchmark need it.

#include <OgreRenderSystem.h>
#include <OgreRoot.h>

namespace KelvoTest {

// One image codec only: a second one would claim PNG too. FreeImage reads
// the terrain's 16-bit heightmaps (STBI reduces them to 8 bit); the media
// render tests read the generated pictures through STBI, as they always have.
enum class ImageCodec { FreeImage, Stbi };

// Loads the codec, the GL render system and (when asked) the particle
// plug-in, then selects GL windowed at the video mode (e.g. "1024 x  768",
// two blanks) without vertical sync. Null when GL is missing.
Ogre::RenderSystem* selectWindowedGL(Ogre::Root& root, const char* videoMode, bool particles,
                                     ImageCodec codec = ImageCodec::FreeImage);

// Loads one more of the engine's plug-ins by its name ("Plugin_OctreeSceneManager").
void loadEnginePlugin(Ogre::Root& root, const char* name);

} // namespace KelvoTest
