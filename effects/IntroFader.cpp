#include "effects/IntroFader.h"

namespace Kelvo {

IntroFader* IntroFader::sInstance = nullptr;

} // namespace Kelvo
