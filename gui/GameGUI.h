#pragma once

#include <OgrePrerequisites.h>

#include <string>

namespace Kelvo {

class CeGUIManager;
class GameToolbarWnd;
class InputBoxWnd;
class ItemWnd;
class MsgBoxWnd;
class QuestionListener;
class StoryWnd;
class SubtitleWnd;

// The windows shown during play, from "game_menu.xml": the status bar with the
// hero's energy bar and the item button, the item window, the dialogue
// choices "q1".."q4", the subtitle of the spoken line, and a message box and
// an input box. The world record of
// a play run owns it: it is initialised when play starts and destroyed when it
// ends, and it brings CEGUI up and down with it (the menu has shut CEGUI down
// before play starts and brings it up again after).
//
// The hero's script sets the energy every frame, the GUI script switches the
// mouse mode, and the old man's script opens the choice sets and hears the
// answer through a QuestionListener.
class GameGUI {
public:
    static const char* const kLayout;

    GameGUI();
    ~GameGUI();

    GameGUI(const GameGUI&) = delete;
    GameGUI& operator=(const GameGUI&) = delete;

    // False (with a log line) when there is no GUI manager or nothing to
    // draw on; the GUI is then left empty and every call below is harmless.
    bool initialise(Ogre::SceneManager* sceneManager);
    void destroy();

    // True: the cursor is centred and shown for clicking the windows; false:
    // it is hidden and the mouse steers the game again.
    void setMouseMode(bool on);

    // The energy bar's fill, 0 to 1; values outside are clamped. Reads 0
    // when there is no toolbar.
    void setEnergy(Ogre::Real energy);
    Ogre::Real getEnergy() const;

    void showItems();

    // The old man's four choice sets; the listener hears the number of the
    // answer clicked.
    void showQuestions1(QuestionListener* listener);
    void showQuestions2(QuestionListener* listener);
    void showQuestions3(QuestionListener* listener);
    void showQuestions4(QuestionListener* listener);
    // Closes an open question without an answer (the hero walked off).
    void closeQuestions();

    // The subtitle of the line being spoken (its sound's name), and its end.
    void showSubtitle(const std::string& key);
    void hideSubtitle();
    // The player's switch (key U); subtitles start on.
    void toggleSubtitles();
    bool areSubtitlesOn() const;

    CeGUIManager* getGuiManager() const { return mGuiManager; }
    StoryWnd* getStoryWnd() const { return mStoryWnd; }
    MsgBoxWnd* getMsgBox() const { return mMsgBox; }
    InputBoxWnd* getInputBox() const { return mInputBox; }
    GameToolbarWnd* getToolbar() const { return mToolbar; }
    ItemWnd* getItemWnd() const { return mItemWnd; }
    SubtitleWnd* getSubtitleWnd() const { return mSubtitleWnd; }

private:
    bool startGuiSystem();
    void showQuestions(int set, QuestionListener* listener);

    Ogre::SceneManager* mSceneManager = nullptr;
    CeGUIManager* mGuiManager = nullptr;
    MsgBoxWnd* mMsgBox = nullptr;
    InputBoxWnd* mInputBox = nullptr;
    GameToolbarWnd* mToolbar = nullptr;
    StoryWnd* mStoryWnd = nullptr;
    ItemWnd* mItemWnd = nullptr;
    SubtitleWnd* mSubtitleWnd = nullptr;
};

} // namespace Kelvo
