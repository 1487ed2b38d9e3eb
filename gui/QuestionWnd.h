#pragma once

#include "gui/GUIWnd.h"

#include <CEGUI/Event.h>

namespace CEGUI {
class EventArgs;
class Window;
}

namespace Kelvo {

class CeGUIManager;

// An OK/Cancel question ("ok_cancel_box", "okcancel_label", "ocb_ok",
// "ocb_cancel"). Its owner shows the box, sets the question and reads the
// answer once the box has closed.
class QuestionWnd : public GUIWnd {
public:
    QuestionWnd();
    ~QuestionWnd() override;

    void initialise(GUIWnd* listener);
    bool getAnswer() const { return mAnswer; }
    void setEnabled(bool enabled) override { mEnabled = enabled; }

private:
    bool onOkClicked(const CEGUI::EventArgs& args);
    bool onCancelClicked(const CEGUI::EventArgs& args);

    CeGUIManager* mGui;
    CEGUI::Window* mFrame = nullptr;
    CEGUI::Window* mLabel = nullptr;
    CEGUI::Event::Connection mOkConnection;
    CEGUI::Event::Connection mCancelConnection;
    GUIWnd* mListener = nullptr;
    bool mAnswer = false;
    bool mEnabled = true;
};

} // namespace Kelvo
