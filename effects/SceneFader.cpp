#include "effects/SceneFader.h"

namespace Kelvo {

SceneFader* SceneFader::sInstance = nullptr;

} // namespace Kelvo
