#include "effects/FresnelWater.h"

namespace Kelvo {

FresnelWater* FresnelWater::sInstance = nullptr;

} // namespace Kelvo
