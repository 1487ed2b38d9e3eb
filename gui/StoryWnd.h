#pragma once

#include "gui/GUIWnd.h"

#include <CEGUI/Event.h>

#include <array>

namespace CEGUI {
class EventArgs;
class String;
class Window;
}

namespace Kelvo {

class CeGUIManager;
class GameGUI;
class QuestionListener;

// The dialogue choices: up to four answer lines "q1".."q4" in the lower third
// of the screen. Only the lines of the open question are shown; the one under
// the mouse lights up, and a click on one tells the question's listener its
// number and closes the question. While disabled (a box is open over it) the
// lines ignore the mouse and the question stays open.
class StoryWnd : public GUIWndListener {
public:
    static constexpr int kMaxAnswers = 4;
    // Answers not under the mouse are dimmed so the one about to be picked
    // stands out.
    static constexpr float kIdleAlpha = 0.6f;
    static constexpr float kHoverAlpha = 1.0f;

    StoryWnd();
    ~StoryWnd() override;

    StoryWnd(const StoryWnd&) = delete;
    StoryWnd& operator=(const StoryWnd&) = delete;

    void initialise(GameGUI* owner);

    // Answer 1 to 4; other numbers are refused with a log line.
    void setAnswerText(int answer, const CEGUI::String& text);
    // Closes whatever question was open and opens the first count answers.
    void showChoices(QuestionListener* listener, int count);
    void hideAll();
    bool isQuestionOpen() const;

    void setEnabled(bool enabled) override;
    bool isEnabled() const { return mEnabled; }
    void onInput(bool ok, const char* text, const char* value) override {}

private:
    bool onAnswerEntered(const CEGUI::EventArgs& args);
    bool onAnswerLeft(const CEGUI::EventArgs& args);
    bool onAnswerClicked(const CEGUI::EventArgs& args);
    int answerOf(const CEGUI::EventArgs& args) const;

    bool mEnabled = true;
    CeGUIManager* mGui = nullptr;
    GameGUI* mOwner = nullptr;
    QuestionListener* mListener = nullptr;
    std::array<CEGUI::Window*, kMaxAnswers> mAnswers{};
    std::array<CEGUI::Event::Connection, kMaxAnswers * 3> mConnections;
};

} // namespace Kelvo
