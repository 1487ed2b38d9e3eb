#include "gui/StoryWnd.h"

#include "gui/CeGUIManager.h"
#include "gui/GameGUI.h"
#include "gui/QuestionListener.h"
#include "platform/Log.h"

#include <CEGUI/CEGUI.h>
#include <OgreStringConverter.h>

namespace Kelvo {

StoryWnd::StoryWnd() = default;

StoryWnd::~StoryWnd()
{
    for (CEGUI::Event::Connection& connection : mConnections) {
        if (connection.isValid()) {
            connection->disconnect();
        }
    }
}

void StoryWnd::initialise(GameGUI* owner)
{
    mOwner = owner;
    mGui = owner->getGuiManager();
    std::size_t next = 0;
    for (int k = 0; k < kMaxAnswers; ++k) {
        CEGUI::Window* answer = mGui->getWindow("q" + std::to_string(k + 1));
        mAnswers[k] = answer;
        if (!answer) {
            continue;
        }
        answer->setVisible(false);
        answer->setAlpha(kIdleAlpha);
        mConnections[next++] = answer->subscribeEvent(CEGUI::Window::EventMouseEntersArea,
                                                      CEGUI::Event::Subscriber(&StoryWnd::onAnswerEntered, this));
        mConnections[next++] = answer->subscribeEvent(CEGUI::Window::EventMouseLeavesArea,
                                                      CEGUI::Event::Subscriber(&StoryWnd::onAnswerLeft, this));
        mConnections[next++] = answer->subscribeEvent(CEGUI::Window::EventMouseClick,
                                                      CEGUI::Event::Subscriber(&StoryWnd::onAnswerClicked, this));
    }
}

void StoryWnd::setAnswerText(int answer, const CEGUI::String& text)
{
    if (answer < 1 || answer > kMaxAnswers) {
        logWarning("StoryWnd: there is no answer line " +
                   Ogre::StringConverter::toString(answer) + "; text ignored");
        return;
    }
    if (CEGUI::Window* window = mAnswers[answer - 1]) {
        window->setText(text);
    }
}

void StoryWnd::showChoices(QuestionListener* listener, int count)
{
    hideAll();
    mListener = listener;
    if (count < 1 || count > kMaxAnswers) {
        logLine("StoryWnd: a question with " +
                Ogre::StringConverter::toString(count) +
                " answers cannot be shown; showing up to 4");
    }
    for (int k = 0; k < count && k < kMaxAnswers; ++k) {
        if (CEGUI::Window* window = mAnswers[k]) {
            window->setAlpha(kIdleAlpha);
            window->setVisible(true);
        }
    }
}

void StoryWnd::hideAll()
{
    for (CEGUI::Window* window : mAnswers) {
        if (window) {
            window->setVisible(false);
        }
    }
}

bool StoryWnd::isQuestionOpen() const
{
    for (CEGUI::Window* window : mAnswers) {
        if (window && window->isVisible()) {
            return true;
        }
    }
    return false;
}

void StoryWnd::setEnabled(bool enabled)
{
    mEnabled = enabled;
    for (CEGUI::Window* window : mAnswers) {
        if (!window) {
            continue;
        }
        window->setEnabled(enabled);
        if (enabled) {
            window->setAlpha(kIdleAlpha);
        }
    }
}

int StoryWnd::answerOf(const CEGUI::EventArgs& args) const
{
    const CEGUI::Window* window = static_cast<const CEGUI::WindowEventArgs&>(args).window;
    for (int k = 0; k < kMaxAnswers; ++k) {
        if (mAnswers[k] == window) {
            return k + 1;
        }
    }
    return 0;
}

bool StoryWnd::onAnswerEntered(const CEGUI::EventArgs& args)
{
    const int answer = answerOf(args);
    if (mEnabled && answer) {
        mAnswers[answer - 1]->setAlpha(kHoverAlpha);
    }
    return true;
}

bool StoryWnd::onAnswerLeft(const CEGUI::EventArgs& args)
{
    const int answer = answerOf(args);
    if (mEnabled && answer) {
        mAnswers[answer - 1]->setAlpha(kIdleAlpha);
    }
    return true;
}

bool StoryWnd::onAnswerClicked(const CEGUI::EventArgs& args)
{
    const int answer = answerOf(args);
    if (!mEnabled || !answer) {
        return true;
    }
    // Closed before the listener hears the answer: a listener that opens its
    // next question straight from the answer must not see it closed again.
    QuestionListener* listener = mListener;
    hideAll();
    if (listener) {
        listener->onQuestionAnswered(answer);
    }
    return true;
}

} // namespace Kelvo
