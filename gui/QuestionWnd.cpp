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
    for (CEGUI::Event::Connection* connection : {&mOkConnection, &mDiscardConnection, &mCancelConnection}) {
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
    mDiscard = mGui->findWindow("ocb_discard");
    if (mDiscard) {
        mDiscardConnection = mDiscard->subscribeEvent(
            CEGUI::Window::EventMouseButtonDown, CEGUI::Event::Subscriber(&QuestionWnd::onDiscardClicked, this));
    }
    if (CEGUI::Window* cancel = mGui->getWindow("ocb_cancel")) {
        mCancelConnection = cancel->subscribeEvent(CEGUI::Window::EventMouseButtonDown,
                                                   CEGUI::Event::Subscriber(&QuestionWnd::onCancelClicked, this));
    }
}

void QuestionWnd::ask(GUIWnd* owner, const std::string& title, const std::string& question, bool offerDiscard,
                      AnswerHandler onAnswer)
{
    if (isAsking()) {
        answer(Answer::Cancel);
    }
    mOwner = owner;
    if (mOwner) {
        mOwner->setEnabled(false);
    }
    mOnAnswer = onAnswer ? std::move(onAnswer) : [](Answer) {};
    if (mFrame) {
        mFrame->activate();
        mFrame->setText(title);
        mFrame->setVisible(true);
    }
    if (mLabel) {
        mLabel->setText(question);
    }
    if (mDiscard) {
        mDiscard->setVisible(offerDiscard);
    }
    mGui->openBox();
    mEnabled = true;
}

void QuestionWnd::answer(Answer given)
{
    mAnswer = given == Answer::Ok;
    if (mFrame) {
        mFrame->setVisible(false);
    }
    if (mDiscard) {
        mDiscard->setVisible(false);
    }
    if (!isAsking()) {
        return;
    }
    // Taken before it runs: the handler may ask the next question.
    AnswerHandler handler = std::move(mOnAnswer);
    mOnAnswer = nullptr;
    mGui->closeBox();
    if (mOwner) {
        mOwner->setEnabled(true);
        mOwner = nullptr;
    }
    handler(given);
}

bool QuestionWnd::onOkClicked(const CEGUI::EventArgs&)
{
    if (mEnabled) {
        answer(Answer::Ok);
    }
    return true;
}

bool QuestionWnd::onDiscardClicked(const CEGUI::EventArgs&)
{
    if (mEnabled && isAsking()) {
        answer(Answer::Discard);
    }
    return true;
}

bool QuestionWnd::onCancelClicked(const CEGUI::EventArgs&)
{
    if (mEnabled) {
        answer(Answer::Cancel);
    }
    return true;
}

} // namespace Kelvo
