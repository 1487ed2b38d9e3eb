#include "HeadlessEngine.h"

#include "app/Application.h"
#include "states/GameState.h"
#include "states/GameStateManager.h"
#include "states/InputManager.h"

#include <string>
#include <vector>

using Kelvo::Application;
using Kelvo::GameState;
using Kelvo::GameStateManager;

namespace {

// A state that runs no render loop and writes what happens to it into a
// shared journal (the log's own lines go there too, through the collector).
class JournalState : public GameState {
public:
    JournalState(const std::string& name, std::vector<std::string>& journal)
        : mName(name), mJournal(journal) {}

    void enter() override { mJournal.push_back(mName + " enter"); }
    void exit() override { mJournal.push_back(mName + " exit"); }
    void pause() override {}
    void resume() override {}
    bool frameStarted(const Ogre::FrameEvent&) override
    {
        // As the menu does after its fade-out: asks for the next state.
        if (nextState) {
            GameStateManager::getSingleton().changeState(nextState);
            mJournal.push_back(mName + " asked for the next state");
        }
        return frameAnswer;
    }
    bool frameEnded(const Ogre::FrameEvent&) override
    {
        mJournal.push_back(mName + " frame ended");
        return frameAnswer;
    }
    bool keyPressed(const OIS::KeyEvent& event) override
    {
        mJournal.push_back(mName + " key " + std::to_string(event.key));
        return false;
    }

    bool frameAnswer = true;
    GameState* nextState = nullptr;

private:
    std::string mName;
    std::vector<std::string>& mJournal;
};

// Copies state-change log lines into the journal so their order against
// enter and exit can be checked.
class JournalLog : public Ogre::LogListener {
public:
    explicit JournalLog(std::vector<std::string>& journal) : mJournal(journal) {}
    void messageLogged(const Ogre::String& message, Ogre::LogMessageLevel, bool, const Ogre::String&, bool&) override
    {
        mJournal.push_back(message);
    }

private:
    std::vector<std::string>& mJournal;
};

class StateMachineTest : public ::testing::Test {
protected:
    StateMachineTest()
        : journalLog(journal)
    {
        Ogre::LogManager::getSingleton().getDefaultLog()->addListener(&journalLog);
    }

    KelvoTest::InMemoryLog log;
    std::vector<std::string> journal;
    JournalLog journalLog;
    Application application;
    GameStateManager manager;
    JournalState menu{"menu", journal};
    JournalState game{"game", journal};
};

} // namespace

TEST_F(StateMachineTest, FirstChangeLogsOnlyTheChangeAndEntersTheState)
{
    manager.changeState(&menu);
    EXPECT_EQ((std::vector<std::string>{"___CHANGE STATE___", "menu enter"}), journal);
    EXPECT_EQ(&menu, manager.activeState());
}

TEST_F(StateMachineTest, LaterChangeExitsTheOldStateBeforeEnteringTheNew)
{
    manager.changeState(&menu);
    journal.clear();
    manager.changeState(&game);
    EXPECT_EQ((std::vector<std::string>{"___CHANGE STATE___", "___CHANGESTATE EXIT STATE___", "menu exit",
                                        "game enter"}),
              journal);
    EXPECT_EQ(&game, manager.activeState());
}

TEST_F(StateMachineTest, InputGoesToTheActiveStateAndAlwaysAnswersTrue)
{
    const OIS::KeyEvent escape(nullptr, OIS::KC_ESCAPE, 0);
    EXPECT_TRUE(manager.keyPressed(escape));
    EXPECT_TRUE(journal.empty()) << "events without an active state are dropped";

    manager.changeState(&menu);
    journal.clear();
    EXPECT_TRUE(manager.keyPressed(escape));
    EXPECT_EQ((std::vector<std::string>{"menu key 1"}), journal);
}

TEST_F(StateMachineTest, ChangeAskedForDuringAFrameHappensWhenTheFrameHasEnded)
{
    // Entering the next state inside the old state's frame would run the rest
    // of that frame on a state that has exited.
    const Ogre::FrameEvent frame{0.0f, 0.016f};
    manager.changeState(&menu);
    menu.nextState = &game;
    journal.clear();
    EXPECT_TRUE(manager.frameStarted(frame));
    EXPECT_EQ(&menu, manager.activeState());
    EXPECT_TRUE(manager.frameEnded(frame));
    EXPECT_EQ((std::vector<std::string>{"menu asked for the next state", "menu frame ended", "___CHANGE STATE___",
                                        "___CHANGESTATE EXIT STATE___", "menu exit", "game enter"}),
              journal);
    EXPECT_EQ(&game, manager.activeState());

    // The request is used once: the next frame runs the new state only.
    journal.clear();
    manager.frameStarted(frame);
    manager.frameEnded(frame);
    EXPECT_EQ((std::vector<std::string>{"game frame ended"}), journal);
}

TEST_F(StateMachineTest, AFrameThatEndsTheGameChangesNoState)
{
    const Ogre::FrameEvent frame{0.0f, 0.016f};
    manager.changeState(&menu);
    menu.nextState = &game;
    menu.frameAnswer = false;
    journal.clear();
    EXPECT_FALSE(manager.frameStarted(frame));
    EXPECT_FALSE(manager.frameEnded(frame));
    EXPECT_EQ(&menu, manager.activeState());
    EXPECT_EQ((std::vector<std::string>{"menu asked for the next state", "menu frame ended"}), journal);
}

TEST_F(StateMachineTest, FrameEndedPassesTheActiveStatesAnswer)
{
    const Ogre::FrameEvent frame{0.0f, 0.016f};
    EXPECT_TRUE(manager.frameEnded(frame));
    manager.changeState(&menu);
    menu.frameAnswer = false;
    EXPECT_FALSE(manager.frameEnded(frame));
    EXPECT_FALSE(manager.frameStarted(frame));
}

TEST_F(StateMachineTest, ShutdownExitsTheActiveStateOnceBeforeTheEngineGoes)
{
    manager.changeState(&menu);
    journal.clear();
    manager.shutdown();
    EXPECT_EQ((std::vector<std::string>{"menu exit", "___KELVO shutdown complete.___"}), journal);
    EXPECT_EQ(nullptr, manager.activeState());
}

namespace {

class CountingListener : public OIS::KeyListener, public OIS::MouseListener {
public:
    CountingListener(const std::string& name, std::vector<std::string>& calls)
        : mName(name), mCalls(calls) {}
    bool keyPressed(const OIS::KeyEvent&) override
    {
        mCalls.push_back(mName);
        return false;
    }
    bool keyReleased(const OIS::KeyEvent&) override { return false; }
    bool mouseMoved(const OIS::MouseEvent&) override
    {
        mCalls.push_back(mName + " moved");
        return false;
    }
    bool mousePressed(const OIS::MouseEvent&, OIS::MouseButtonID) override { return false; }
    bool mouseReleased(const OIS::MouseEvent&, OIS::MouseButtonID) override { return false; }

private:
    std::string mName;
    std::vector<std::string>& mCalls;
};

// The listener maps need devices to accept registrations; no device is
// ever touched here, so any distinct non-null address serves as one.
class InputManagerTest : public ::testing::Test {
protected:
    InputManagerTest()
        : input(InputManager::getSingletonPtr())
    {
        input->setDevicesForTesting(reinterpret_cast<OIS::Keyboard*>(&keyboardStandIn),
                                    reinterpret_cast<OIS::Mouse*>(&mouseStandIn));
    }
    ~InputManagerTest() override
    {
        input->setDevicesForTesting(nullptr, nullptr);
        delete input;
    }

    int keyboardStandIn = 0;
    int mouseStandIn = 0;
    InputManager* input;
    std::vector<std::string> calls;
};

} // namespace

TEST_F(InputManagerTest, OneObjectRegisteredForKeysAndMouseIsRemovedFromBoth)
{
    Application application;
    GameStateManager manager;
    input->addKeyListener(&manager, "GameStateManager");
    input->addMouseListener(&manager, "GameStateManager");
    EXPECT_EQ(1u, input->keyListenerCount());
    EXPECT_EQ(1u, input->mouseListenerCount());
    input->removeKeyListener(&manager);
    input->removeMouseListener(&manager);
    EXPECT_EQ(0u, input->keyListenerCount());
    EXPECT_EQ(0u, input->mouseListenerCount());
}

TEST_F(InputManagerTest, SecondListenerUnderATakenNameIsIgnored)
{
    CountingListener first("first", calls);
    CountingListener second("second", calls);
    input->addKeyListener(&first, "PLAYER");
    input->addKeyListener(&second, "PLAYER");
    input->keyPressed(OIS::KeyEvent(nullptr, OIS::KC_SPACE, 0));
    EXPECT_EQ((std::vector<std::string>{"first"}), calls);
}

TEST_F(InputManagerTest, EventsReachListenersInNameOrderWhateverTheyAnswer)
{
    CountingListener camera("camera", calls);
    CountingListener player("player", calls);
    input->addKeyListener(&player, "PLAYER");
    input->addKeyListener(&camera, "CAMERA");
    input->addMouseListener(&player, "PLAYER");
    input->addMouseListener(&camera, "CAMERA");
    EXPECT_TRUE(input->keyPressed(OIS::KeyEvent(nullptr, OIS::KC_W, 0)));
    EXPECT_TRUE(input->mouseMoved(OIS::MouseEvent(nullptr, OIS::MouseState())));
    EXPECT_EQ((std::vector<std::string>{"camera", "player", "camera moved", "player moved"}), calls);
}

TEST_F(InputManagerTest, WithoutDevicesRegistrationIsSkipped)
{
    input->setDevicesForTesting(nullptr, nullptr);
    CountingListener lonely("lonely", calls);
    input->addKeyListener(&lonely, "GUIScript");
    input->addMouseListener(&lonely, "GUIScript");
    EXPECT_EQ(0u, input->keyListenerCount());
    EXPECT_EQ(0u, input->mouseListenerCount());
}
