#include "gui/QuestionWnd.h"

#include "gui/CeGUIManager.h"

#include <CEGUI/CEGUI.h>

namespace Kelvo {

QuestionWnd::QuestionWnd()
    : mGui(CeGUIManager::getSingletonPtr())
{
}

QuestionWnd::~QuestionWnd()
{
    for (CEGUI::Event::Connection* connection : {&mOkConnection, &mCancelConnection}) {
        if (connection->isValid()) {
            (*connection)->disconnect();
        }
    }
}

void QuestionWnd::initialise(GUIWnd* listener)
{
    mListener = listener;
    mFrame = mGui->getWindow("ok_cancel_box");
    mLabel = mGui->getWindow("okcancel_label");
    if (CEGUI::Window* ok = mGui->getWindow("ocb_ok")) {
        mOkConnection = ok->subscribeEvent(CEGUI::Window::EventMouseButtonDown,
                                           CEGUI::Event::Subscriber(&QuestionWnd::onOkClicked, this));
    }
    if (CEGUI::Window* cancel = mGui->getWindow("ocb_cancel")) {
        mCancelConnection = cancel->subscribeEvent(CEGUI::Window::EventMouseButtonDown,
                                                   CEGUI::Event::Subscriber(&QuestionWnd::onCancelClicked, this));
    }
}

bool QuestionWnd::onOkClicked(const CEGUI::EventArgs&)
{
    if (mEnabled) {
        mAnswer = true;
        if (mFrame) {
            mFrame->setVisible(false);
        }
    }
    return true;
}

bool QuestionWnd::onCancelClicked(const CEGUI::EventArgs&)
{
    if (mEnabled) {
        mAnswer = false;
        if (mFrame) {
            mFrame->setVisible(false);
        }
    }
    return true;
}

} // namespace Kelvo
