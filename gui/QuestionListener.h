#pragma once

namespace Kelvo {

// Hears which answer the player picked in the dialogue window: choice is the
// number printed in front of the answer, 1 to 4. The old man's script is the
// one listener; it is called from inside CEGUI's click handling, while input
// is being injected.
class QuestionListener {
public:
    virtual ~QuestionListener() = default;
    virtual void onQuestionAnswered(int choice) = 0;
};

} // namespace Kelvo
