#include "gui/GameGUI.h"

#include "gui/CeGUIManager.h"
#include "gui/GameToolbarWnd.h"
#include "gui/InputBoxWnd.h"
#include "gui/ItemWnd.h"
#include "gui/MsgBoxWnd.h"
#include "gui/StoryWnd.h"
#include "gui/SubtitleWnd.h"
#include "platform/Log.h"

#include <CEGUI/CEGUI.h>
#include <Ogre.h>

namespace Kelvo {

const char* const GameGUI::kLayout = "game_menu.xml";

namespace {

// The old man's choice sets. The texts are UTF-8 (CEGUI's own encoding), so
// the "ü" of the third set is two bytes here.
struct ChoiceSet {
    int count;
    const char* texts[StoryWnd::kMaxAnswers];
};

const ChoiceSet kChoiceSets[] = {
    {3,
     {"1. Ich bin auf der Suche nach etwas.",
      "2. Mein Schiff ist gesunken, ich bin hier gestrandet.",
      "3. Ich weiss nicht genau . . .",
      ""}},
    {3,
     {"1. Was ist der Preis?",
      "2. Ich fuerchte ich habe kein Geld. Koennte ich den Betrag abarbeiten?",
      "3. Ein Preis? Wenn das so ist, bin ich nicht interessiert.",
      ""}},
    {4,
     {"1. Wo sagten Sie, finde ich das Schiff?",
      "2. Was sagten Sie, ist der Preis f\xC3\xBCr das Schiff?",
      "3. Wo sagten Sie, finde ich diese Muenzen?",
      "4. Vielen Dank! . . . dann werde ich Sie nicht laenger aufhalten."}},
    {3,
     {"1. Staerke. (Amulett macht mehr Schaden)",
      "2. Hartnaeckigkeit. (Amulett gibt zusaetzliche Lebenspunkte)",
      "3. Vorsicht. (Amulett vermindert den genommenen Schaden)",
      ""}},
};

} // namespace

GameGUI::GameGUI() = default;

GameGUI::~GameGUI()
{
    destroy();
}

bool GameGUI::initialise(Ogre::SceneManager* sceneManager)
{
    destroy();
    mSceneManager = sceneManager;
    if (!startGuiSystem()) {
        return false;
    }
    mGuiManager->loadLayout(sceneManager, kLayout);

    mToolbar = new GameToolbarWnd();
    mMsgBox = new MsgBoxWnd();
    mInputBox = new InputBoxWnd();
    mStoryWnd = new StoryWnd();
    mItemWnd = new ItemWnd();
    mSubtitleWnd = new SubtitleWnd();
    mToolbar->initialise(this);
    mStoryWnd->initialise(this);
    mItemWnd->initialise(this);
    mInputBox->initialise();
    mMsgBox->initialise();
    mSubtitleWnd->initialise(mGuiManager);
    // Play starts with the mouse steering the hero.
    setMouseMode(false);
    return true;
}

bool GameGUI::startGuiSystem()
{
    mGuiManager = CeGUIManager::getSingletonPtr();
    if (!mGuiManager) {
        logWarning("GameGUI: there is no GUI manager; playing without the in-game windows");
        return false;
    }
    Ogre::Root* root = Ogre::Root::getSingletonPtr();
    if (root && root->getAutoCreatedWindow()) {
        mGuiManager->initialise();
        return true;
    }
    // No window to draw on: only a CEGUI system someone else runs without
    // a display (the window tests' null renderer) can hold our windows.
    if (CEGUI::System::getSingletonPtr() && mGuiManager->isInitialised()) {
        return true;
    }
    logWarning("GameGUI: there is no render window for the in-game windows; playing without them");
    mGuiManager = nullptr;
    return false;
}

void GameGUI::destroy()
{
    delete mInputBox;
    mInputBox = nullptr;
    delete mMsgBox;
    mMsgBox = nullptr;
    delete mToolbar;
    mToolbar = nullptr;
    delete mStoryWnd;
    mStoryWnd = nullptr;
    delete mItemWnd;
    mItemWnd = nullptr;
    delete mSubtitleWnd;
    mSubtitleWnd = nullptr;
    if (mGuiManager) {
        mGuiManager->shutdown();
        mGuiManager = nullptr;
    }
}

void GameGUI::setMouseMode(bool on)
{
    if (!mGuiManager) {
        return;
    }
    if (on) {
        mGuiManager->centreMouse();
    } else if (CEGUI::System* system = CEGUI::System::getSingletonPtr()) {
        system->getDefaultGUIContext().getMouseCursor().hide();
    }
}

void GameGUI::setEnergy(Ogre::Real energy)
{
    if (mToolbar) {
        mToolbar->setEnergy(Ogre::Math::Clamp<Ogre::Real>(energy, 0, 1));
    }
}

Ogre::Real GameGUI::getEnergy() const
{
    return mToolbar ? mToolbar->getEnergy() : 0;
}

void GameGUI::showItems()
{
    if (mItemWnd) {
        mItemWnd->show();
    }
}

void GameGUI::showQuestions(int set, QuestionListener* listener)
{
    if (!mStoryWnd) {
        return;
    }
    const ChoiceSet& choices = kChoiceSets[set - 1];
    for (int k = 0; k < choices.count; ++k) {
        mStoryWnd->setAnswerText(k + 1, CEGUI::String(reinterpret_cast<const CEGUI::utf8*>(choices.texts[k])));
    }
    mStoryWnd->showChoices(listener, choices.count);
}

void GameGUI::showQuestions1(QuestionListener* listener)
{
    showQuestions(1, listener);
}

void GameGUI::showQuestions2(QuestionListener* listener)
{
    showQuestions(2, listener);
}

void GameGUI::showQuestions3(QuestionListener* listener)
{
    showQuestions(3, listener);
}

void GameGUI::showQuestions4(QuestionListener* listener)
{
    showQuestions(4, listener);
}

void GameGUI::closeQuestions()
{
    if (mStoryWnd) {
        mStoryWnd->hideAll();
    }
}

void GameGUI::showSubtitle(const std::string& key)
{
    if (mSubtitleWnd) {
        mSubtitleWnd->show(key);
    }
}

void GameGUI::hideSubtitle()
{
    if (mSubtitleWnd) {
        mSubtitleWnd->hide();
    }
}

void GameGUI::toggleSubtitles()
{
    if (mSubtitleWnd) {
        mSubtitleWnd->setOn(!mSubtitleWnd->isOn());
    }
}

bool GameGUI::areSubtitlesOn() const
{
    return mSubtitleWnd && mSubtitleWnd->isOn();
}

} // namespace Kelvo
