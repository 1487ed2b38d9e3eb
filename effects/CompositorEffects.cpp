#include "effects/CompositorEffects.h"

namespace Kelvo {

CompositorEffects* CompositorEffects::sInstance = nullptr;

} // namespace Kelvo
