#include "world/FrameMessageTrigger.h"

namespace Kelvo {

FrameMessageTrigger::FrameMessageTrigger(const std::string& name, bool value, bool persistent)
    : FrameMessage(name, persistent)
    , value(value)
{
}

} // namespace Kelvo
