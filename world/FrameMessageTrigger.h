#pragma once

#include "world/FrameMessage.h"

namespace Kelvo {

// A yes/no event: the hero entering (true) or leaving (false) a trigger
// volume, or the two moments of a throw ("PLAYER_THROW").
class FrameMessageTrigger : public FrameMessage {
public:
    FrameMessageTrigger(const std::string& name, bool value, bool persistent);

    int getType() const override { return kTrigger; }

    bool value;
};

} // namespace Kelvo
