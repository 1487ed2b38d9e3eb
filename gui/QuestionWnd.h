#pragma once

#include "gui/GUIWnd.h"

#include <CEGUI/Event.h>

#include <functional>
#include <string>

namespace CEGUI {
class EventArgs;
class Window;
}

namespace Kelvo {

class CeGUIManager;

// An OK/Cancel question ("ok_cancel_box", "okcancel_label", "ocb_ok",
// "ocb_cancel"). An owner may show the box itself, set the question and read
// the answer once the box has closed; or ask() shows it, counts it as an
// open box, disables the owner meanwhile and hands the answer to a callback.
// ask() may offer a third answer, "ocb_discard" (the editor's "save, discard
// or cancel?" before work would be lost); layouts without it get two.
class QuestionWnd : public GUIWnd {
public:
    enum class Answer { Ok, Discard, Cancel };
    using AnswerHandler = std::function<void(Answer)>;

    QuestionWnd();
    ~QuestionWnd() override;

    void initialise(GUIWnd* listener);
    // Shows the question; the handler hears the answer after the box has
    // closed and the owner is enabled again. A question asked while another
    // is open replaces it, and the first one counts as cancelled.
    void ask(GUIWnd* owner, const std::string& title, const std::string& question, bool offerDiscard,
             AnswerHandler onAnswer);
    bool isAsking() const { return static_cast<bool>(mOnAnswer); }
    bool getAnswer() const { return mAnswer; }
    void setEnabled(bool enabled) override { mEnabled = enabled; }

private:
    bool onOkClicked(const CEGUI::EventArgs& args);
    bool onDiscardClicked(const CEGUI::EventArgs& args);
    bool onCancelClicked(const CEGUI::EventArgs& args);
    void answer(Answer given);

    CeGUIManager* mGui;
    CEGUI::Window* mFrame = nullptr;
    CEGUI::Window* mLabel = nullptr;
    CEGUI::Window* mDiscard = nullptr;
    CEGUI::Event::Connection mOkConnection;
    CEGUI::Event::Connection mDiscardConnection;
    CEGUI::Event::Connection mCancelConnection;
    GUIWnd* mListener = nullptr;
    GUIWnd* mOwner = nullptr;
    AnswerHandler mOnAnswer;
    bool mAnswer = false;
    bool mEnabled = true;
};

} // namespace Kelvo
