#include "world/FrameMessage.h"

#include "world/FrameMessageManager.h"

namespace Kelvo {

long FrameMessage::sLiveCount = 0;

FrameMessage::FrameMessage(const std::string& name, bool persistent)
    : mName(name)
    , mPersistent(persistent)
{
    ++sLiveCount;
}

FrameMessage::~FrameMessage()
{
    --sLiveCount;
}

void FrameMessage::remove()
{
    if (mManager) {
        mManager->remove(this);
    }
}

std::string FrameMessage::makeKey(int type, const std::string& name)
{
    const std::string prefix = (type >= 0 && type <= 9) ? std::string(1, static_cast<char>(type)) : "NONE";
    return prefix + "_" + name;
}

} // namespace Kelvo
