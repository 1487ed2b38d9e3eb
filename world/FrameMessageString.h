#pragma once

#include "world/FrameMessage.h"

namespace Kelvo {

// A message carrying a text, such as the name of the scene node the editor's
// picking chose.
class FrameMessageString : public FrameMessage {
public:
    FrameMessageString(const std::string& name, const std::string& text, bool persistent);

    int getType() const override { return kString; }
    std::string getText() const { return text; }

    std::string text;
};

} // namespace Kelvo
