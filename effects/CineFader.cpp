#include "effects/CineFader.h"

namespace Kelvo {

CineFader* CineFader::sInstance = nullptr;

} // namespace Kelvo
