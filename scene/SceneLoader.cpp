#include "scene/SceneLoader.h"

namespace Kelvo {

SceneLoader* SceneLoader::sInstance = nullptr;

} // namespace Kelvo
