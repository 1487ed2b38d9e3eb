#include "world/FrameMessageString.h"

namespace Kelvo {

FrameMessageString::FrameMessageString(const std::string& name, const std::string& text, bool persistent)
    : FrameMessage(name, persistent)
    , text(text)
{
}

} // namespace Kelvo
