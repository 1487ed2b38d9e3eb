#pragma once

#include "world/FrameMessage.h"

namespace Kelvo {

// A message pointing at state its poster keeps (the editor's key and mouse
// records, its mode). The board does not own what it points at; readers cast
// it to the type the message name stands for.
class FrameMessageVoidPtr : public FrameMessage {
public:
    FrameMessageVoidPtr(const std::string& name, void* pointer, bool persistent);

    int getType() const override { return kVoidPtr; }

    void* pointer;
};

} // namespace Kelvo
