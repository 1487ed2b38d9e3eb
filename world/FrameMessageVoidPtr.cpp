#include "world/FrameMessageVoidPtr.h"

namespace Kelvo {

FrameMessageVoidPtr::FrameMessageVoidPtr(const std::string& name, void* pointer, bool persistent)
    : FrameMessage(name, persistent)
    , pointer(pointer)
{
}

} // namespace Kelvo
