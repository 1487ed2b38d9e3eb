// The in-game windows on CEGUI's null renderer, driven by injected mouse
// input as the GUI script delivers it: the dialogue choices, the item
// window, the energy bar, and the GUI script's switch between game input and
// GUI input.

#include "HeadlessEngine.h"

#include "gui/CeGUIManager.h"
#include "gui/GameGUI.h"
#include "gui/QuestionListener.h"
#include "gui/StoryWnd.h"
#include "gui/SubtitleWnd.h"
#include "effects/CineFader.h"
#include "scripts/GUIScript.h"
#include "world/GameWorld.h"
#include "world/ScriptAtom.h"
#include "world/ScriptManager.h"

#include <CEGUI/CEGUI.h>
#include <CEGUI/RendererModules/Null/Renderer.h>

#include <gtest/gtest.h>

#include <clocale>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using Kelvo::CeGUIManager;
using Kelvo::GameGUI;
using Kelvo::GameWorld;

// Stands in for the hero's and the camera's scripts: only the user data the
// GUI script hands them matters here.
class FreezableScript : public Kelvo::ScriptAtom {
public:
    FreezableScript(GameWorld* world, Kelvo::ScriptManager* scripts, const std::string& name)
        : ScriptAtom(world, scripts)
        , mName(name)
    {
    }
    void update(Ogre::FrameEvent) override {}
    std::string getName() override { return mName; }

private:
    std::string mName;
};

class AnswerLog : public Kelvo::QuestionListener {
public:
    void onQuestionAnswered(int choice) override
    {
        answers.push_back(choice);
        if (then) {
            then(choice);
        }
    }
    std::vector<int> answers;
    std::function<void(int)> then;
};

// A play world's windows with nothing else of the world.
Kelvo::WorldParts withGui()
{
    Kelvo::WorldParts parts;
    parts.withGui = true;
    return parts;
}

class GameGuiTest : public ::testing::Test {
protected:
    static constexpr float kWidth = 1024;
    static constexpr float kHeight = 768;

    void SetUp() override
    {
        std::setlocale(LC_ALL, "C");
        CEGUI::NullRenderer::bootstrapSystem();
        CEGUI::System::getSingleton().notifyDisplaySizeChanged(CEGUI::Sizef(kWidth, kHeight));
        auto* files = static_cast<CEGUI::DefaultResourceProvider*>(CEGUI::System::getSingleton().getResourceProvider());
        files->setResourceGroupDirectory("schemes", "/usr/share/cegui-0.8.7/schemes/");
        files->setResourceGroupDirectory("imagesets", "/usr/share/cegui-0.8.7/imagesets/");
        files->setResourceGroupDirectory("fonts", "/usr/share/cegui-0.8.7/fonts/");
        files->setResourceGroupDirectory("looknfeel", "/usr/share/cegui-0.8.7/looknfeel/");
        // The game's own layout, not a copy.
        files->setResourceGroupDirectory("layouts", KELVO_TEST_DATA_DIR "/../../../media/gui/layouts/");
        CEGUI::Scheme::setDefaultResourceGroup("schemes");
        CEGUI::ImageManager::setImagesetDefaultResourceGroup("imagesets");
        CEGUI::Font::setDefaultResourceGroup("fonts");
        CEGUI::WidgetLookManager::setDefaultResourceGroup("looknfeel");
        CEGUI::WindowManager::setDefaultResourceGroup("layouts");
        // The faces our .font files describe, on the same TTF.
        CEGUI::FontManager& fonts = CEGUI::FontManager::getSingleton();
        fonts.createFreeTypeFont("Tahoma-10", 10, true, "DejaVuSans.ttf", "fonts");
        fonts.createFreeTypeFont("KelvoMenu-16", 16, true, "DejaVuSans.ttf", "fonts");
        gui.reset(new CeGUIManager());
        // What the menu leaves behind in the game: a running GUI system.
        gui->configureSystem();
        // The cursor keeps the display size it was made with, none here;
        // it would clamp every position it is given to nowhere.
        const CEGUI::Rectf screen(0, 0, kWidth, kHeight);
        context().getMouseCursor().setConstraintArea(&screen);
        world.reset(new GameWorld(withGui()));
        ASSERT_NE(nullptr, world->getGui());
    }

    void TearDown() override
    {
        world.reset();
        gui->shutdown();
        gui.reset();
        CEGUI::NullRenderer::destroySystem();
    }

    GameGUI& gameGui() { return *world->getGui(); }
    static CEGUI::GUIContext& context() { return CEGUI::System::getSingleton().getDefaultGUIContext(); }
    CEGUI::Window* window(const std::string& name) { return gui->findWindow(name); }
    bool visible(const std::string& name) { return window(name)->isEffectiveVisible(); }
    std::string text(const std::string& name) { return window(name)->getText().c_str(); }

    CEGUI::Vector2f centreOf(const std::string& name)
    {
        const CEGUI::Rectf area = window(name)->getUnclippedOuterRect().get();
        return CEGUI::Vector2f(area.left() + area.getWidth() / 2, area.top() + area.getHeight() / 2);
    }

    // A left click where the window is on screen, through CEGUI's own input:
    // it reaches whatever window lies there, or none.
    void click(const std::string& name)
    {
        const CEGUI::Vector2f at = centreOf(name);
        context().injectMousePosition(at.d_x, at.d_y);
        context().injectMouseButtonDown(CEGUI::LeftButton);
        context().injectMouseButtonUp(CEGUI::LeftButton);
    }

    // The same click as OIS reports it, for listeners that take OIS events.
    // An OIS event only refers to its device's state, so the state lives here.
    void oisClick(OIS::MouseListener& listener, const std::string& name)
    {
        const CEGUI::Vector2f at = centreOf(name);
        mouseState.width = static_cast<int>(kWidth);
        mouseState.height = static_cast<int>(kHeight);
        mouseState.X.abs = static_cast<int>(at.d_x);
        mouseState.Y.abs = static_cast<int>(at.d_y);
        const OIS::MouseEvent event(nullptr, mouseState);
        listener.mouseMoved(event);
        listener.mousePressed(event, OIS::MB_Left);
        listener.mouseReleased(event, OIS::MB_Left);
    }

    static OIS::KeyEvent key(OIS::KeyCode code) { return OIS::KeyEvent(nullptr, code, 0); }

    KelvoTest::InMemoryLog log;
    OIS::MouseState mouseState;
    std::unique_ptr<CeGUIManager> gui;
    std::unique_ptr<GameWorld> world;
};

const char* const kAnswerNames[] = {"q1", "q2", "q3", "q4"};

TEST_F(GameGuiTest, PlayStartsWithFullEnergyAndOnlyTheStatusBarShowing)
{
    EXPECT_TRUE(visible("status_bar"));
    EXPECT_FLOAT_EQ(1.0f, gameGui().getEnergy());
    EXPECT_FALSE(visible("items"));
    for (const char* answer : kAnswerNames) {
        EXPECT_FALSE(visible(answer)) << answer;
    }
    // The root covers the screen: it must let the game's clicks through.
    context().injectMousePosition(kWidth / 2, kHeight / 2);
    EXPECT_EQ(gui->getLayoutRoot(), context().getWindowContainingMouse()) << "the middle of the screen belongs to the game";
    EXPECT_FALSE(context().injectMouseButtonDown(CEGUI::LeftButton)) << "a click on the 3D view was taken";
    context().injectMouseButtonUp(CEGUI::LeftButton);

    gameGui().setEnergy(0.25f);
    EXPECT_FLOAT_EQ(0.25f, gameGui().getEnergy());
    EXPECT_FLOAT_EQ(0.25f, static_cast<CEGUI::ProgressBar*>(window("energy_bar"))->getProgress());
    gameGui().setEnergy(1.5f);
    EXPECT_FLOAT_EQ(1.0f, gameGui().getEnergy());
    gameGui().setEnergy(-0.5f);
    EXPECT_FLOAT_EQ(0.0f, gameGui().getEnergy());
}

TEST_F(GameGuiTest, ThreeChoicesAfterFourLeaveTheFourthHidden)
{
    AnswerLog oldman;
    gameGui().showQuestions3(&oldman);
    for (const char* answer : kAnswerNames) {
        EXPECT_TRUE(visible(answer)) << answer;
    }
    EXPECT_EQ("4. Vielen Dank! . . . dann werde ich Sie nicht laenger aufhalten.", text("q4"));

    gameGui().showQuestions1(&oldman);
    EXPECT_TRUE(visible("q1"));
    EXPECT_TRUE(visible("q3"));
    EXPECT_FALSE(visible("q4"));
    EXPECT_EQ("1. Ich bin auf der Suche nach etwas.", text("q1"));
    EXPECT_EQ("3. Ich weiss nicht genau . . .", text("q3"));

    gameGui().showQuestions4(&oldman);
    EXPECT_EQ("2. Hartnaeckigkeit. (Amulett gibt zusaetzliche Lebenspunkte)", text("q2"));
    EXPECT_FALSE(visible("q4"));
    EXPECT_TRUE(oldman.answers.empty());
}

TEST_F(GameGuiTest, UmlautReachesTheWindowAsOneCharacter)
{
    AnswerLog oldman;
    gameGui().showQuestions3(&oldman);
    const CEGUI::String& shown = window("q2")->getText();
    EXPECT_EQ("2. Was sagten Sie, ist der Preis f\xC3\xBC"
              "r das Schiff?",
              std::string(shown.c_str()));
    const CEGUI::String::size_type u = shown.find(static_cast<CEGUI::utf32>('f'), 25) + 1;
    EXPECT_EQ(0xFCu, shown[u]) << "the two UTF-8 bytes were taken as two characters";
    EXPECT_EQ(std::string("2. Was sagten Sie, ist der Preis fur das Schiff?").size(), shown.length());
}

TEST_F(GameGuiTest, AnswerClickWhileDisabledIsIgnoredThenAnswersAndCloses)
{
    AnswerLog oldman;
    gameGui().showQuestions2(&oldman);
    Kelvo::StoryWnd& story = *gameGui().getStoryWnd();

    story.setEnabled(false);
    click("q2");
    EXPECT_TRUE(oldman.answers.empty());
    EXPECT_TRUE(visible("q1"));
    EXPECT_TRUE(visible("q2"));
    EXPECT_TRUE(visible("q3"));
    EXPECT_TRUE(story.isQuestionOpen());

    story.setEnabled(true);
    click("q2");
    EXPECT_EQ(std::vector<int>{2}, oldman.answers);
    for (const char* answer : kAnswerNames) {
        EXPECT_FALSE(visible(answer)) << answer;
    }
    // The empty spot where the answer was takes no more answers.
    click("q2");
    EXPECT_EQ(std::vector<int>{2}, oldman.answers);
}

TEST_F(GameGuiTest, AnswerUnderTheMouseLightsUp)
{
    AnswerLog oldman;
    gameGui().showQuestions3(&oldman);
    const CEGUI::Vector2f over = centreOf("q3");
    context().injectMousePosition(over.d_x, over.d_y);
    EXPECT_FLOAT_EQ(Kelvo::StoryWnd::kHoverAlpha, window("q3")->getAlpha());
    EXPECT_FLOAT_EQ(Kelvo::StoryWnd::kIdleAlpha, window("q1")->getAlpha());
    const CEGUI::Vector2f next = centreOf("q4");
    context().injectMousePosition(next.d_x, next.d_y);
    EXPECT_FLOAT_EQ(Kelvo::StoryWnd::kIdleAlpha, window("q3")->getAlpha());
    EXPECT_FLOAT_EQ(Kelvo::StoryWnd::kHoverAlpha, window("q4")->getAlpha());
}

TEST_F(GameGuiTest, ListenerMayOpenTheNextQuestionFromItsAnswer)
{
    AnswerLog oldman;
    oldman.then = [this, &oldman](int) { gameGui().showQuestions3(&oldman); };
    gameGui().showQuestions1(&oldman);
    click("q1");
    EXPECT_EQ(std::vector<int>{1}, oldman.answers);
    EXPECT_TRUE(visible("q4")) << "the question opened from the answer was closed again";
    EXPECT_EQ("1. Wo sagten Sie, finde ich das Schiff?", text("q1"));
}

TEST_F(GameGuiTest, ItemButtonOpensAndClosesTheItemWindow)
{
    click("item_bt");
    EXPECT_TRUE(visible("items"));
    EXPECT_NE(std::string::npos, text("items_list").find("Amulett"));
    click("item_bt");
    EXPECT_FALSE(visible("items"));

    gameGui().showItems();
    EXPECT_TRUE(visible("items"));
}

TEST_F(GameGuiTest, F1HandsInputToTheWindowsAndBackWithHeroAndCameraFrozenMeanwhile)
{
    Kelvo::ScriptManager scripts(world.get());
    Kelvo::GUIScript guiScript(world.get(), &scripts);
    FreezableScript hero(world.get(), &scripts, "PLAYER");
    FreezableScript camera(world.get(), &scripts, "CAMERA");
    scripts.add(&guiScript);
    scripts.add(&hero);
    scripts.add(&camera);
    world->setInputMode(1);

    // Game input: the windows hear nothing.
    oisClick(guiScript, "item_bt");
    EXPECT_FALSE(visible("items"));

    guiScript.keyPressed(key(OIS::KC_F1));
    EXPECT_EQ(GameWorld::kGuiInputMode, world->getInputMode());
    EXPECT_NE(nullptr, hero.getUserData());
    EXPECT_NE(nullptr, camera.getUserData());
    EXPECT_TRUE(context().getMouseCursor().isVisible());
    EXPECT_TRUE(log.collector.contains("GUIScript: GUI mode on"));

    oisClick(guiScript, "item_bt");
    EXPECT_TRUE(visible("items"));

    guiScript.keyReleased(key(OIS::KC_F1));
    guiScript.keyPressed(key(OIS::KC_F1));
    EXPECT_EQ(1, world->getInputMode());
    EXPECT_EQ(nullptr, hero.getUserData());
    EXPECT_EQ(nullptr, camera.getUserData());
    EXPECT_FALSE(context().getMouseCursor().isVisible());
    EXPECT_TRUE(log.collector.contains("GUIScript: GUI mode off"));

    oisClick(guiScript, "item_bt");
    EXPECT_TRUE(visible("items")) << "a click in game input reached the windows";
}

TEST_F(GameGuiTest, QuestionAskedWhileAlreadyInGuiModeStillReturnsToGameInput)
{
    Kelvo::ScriptManager scripts(world.get());
    Kelvo::GUIScript guiScript(world.get(), &scripts);
    FreezableScript hero(world.get(), &scripts, "PLAYER");
    scripts.add(&guiScript);
    scripts.add(&hero);

    guiScript.keyPressed(key(OIS::KC_F1));
    // The old man asks while the player has the windows open.
    guiScript.enterGuiMode();
    guiScript.leaveGuiMode();
    EXPECT_EQ(0, world->getInputMode());
    EXPECT_EQ(nullptr, hero.getUserData());

    // Leaving again, as the old man does at the end of a talk, changes
    // nothing but keeps the hero free.
    hero.setUserData(reinterpret_cast<void*>(1));
    guiScript.leaveGuiMode();
    EXPECT_EQ(0, world->getInputMode());
    EXPECT_EQ(nullptr, hero.getUserData());
}

TEST_F(GameGuiTest, NextPlayVisitGetsFreshWindows)
{
    AnswerLog oldman;
    gameGui().showQuestions3(&oldman);
    gameGui().setEnergy(0.1f);
    click("item_bt");
    world.reset();
    EXPECT_EQ(nullptr, gui->getLayoutRoot());
    EXPECT_FALSE(gui->isInitialised());

    // The menu brings the GUI up again in between.
    gui->configureSystem();
    world.reset(new GameWorld(withGui()));
    ASSERT_NE(nullptr, world->getGui());
    EXPECT_FLOAT_EQ(1.0f, gameGui().getEnergy());
    EXPECT_FALSE(visible("q1"));
    EXPECT_FALSE(visible("items"));
    gameGui().showQuestions2(&oldman);
    click("q3");
    EXPECT_EQ(std::vector<int>{3}, oldman.answers);
}

TEST(GameGuiWorldTest, WorldWithoutWindowsToDrawOnPlaysWithoutGui)
{
    KelvoTest::InMemoryLog log;
    CeGUIManager gui;
    GameWorld world(withGui());
    EXPECT_EQ(nullptr, world.getGui());
    EXPECT_TRUE(log.collector.contains("GameWorld: playing without the in-game GUI"));
    GameWorld editorWorld((Kelvo::WorldParts()));
    EXPECT_EQ(nullptr, editorWorld.getGui());
}

} // namespace

// --- subtitles ------------------------------------------------------------------------

// The subtitles with the game's own table of lines.
class SubtitleTest : public GameGuiTest {
protected:
    void SetUp() override
    {
        GameGuiTest::SetUp();
        std::ifstream table(KELVO_TEST_DATA_DIR "/../../../tools/media/text/dialogue_de.txt");
        ASSERT_TRUE(table.good());
        subtitles().texts().read(table, "dialogue_de.txt");
    }

    Kelvo::SubtitleWnd& subtitles() { return *gameGui().getSubtitleWnd(); }
};

TEST_F(SubtitleTest, ALineShowsItsGermanTextAboveTheLowerBarUntilItEnds)
{
    EXPECT_FALSE(visible("subtitle"));
    gameGui().showSubtitle("oldman4");
    EXPECT_TRUE(visible("subtitle"));
    EXPECT_EQ("Du wei\xC3\x9F" "t es nicht? Der Sturm hat dir wohl ordentlich den Kopf verdreht. "
              "H\xC3\xB6r zu: Wer von dieser Insel fort will, braucht ein Schiff.",
              text("subtitle"));
    // The two bytes of an umlaut are one character on screen.
    EXPECT_EQ(0xDFu, window("subtitle")->getText()[6]);
    EXPECT_TRUE(log.collector.contains("Subtitle: oldman4"));

    // Above the lower cinematic bar, and clear of the middle of the view.
    const CEGUI::Rectf area = window("subtitle")->getUnclippedOuterRect().get();
    EXPECT_LE(area.bottom(), kHeight - Kelvo::CineFader::barHeight(static_cast<int>(kHeight)));
    EXPECT_GT(area.top(), kHeight * 0.7f);
    // It never takes a click meant for the game or an answer.
    context().injectMousePosition(area.left() + area.getWidth() / 2, area.top() + area.getHeight() / 2);
    EXPECT_NE(window("subtitle"), context().getWindowContainingMouse());

    gameGui().hideSubtitle();
    EXPECT_FALSE(visible("subtitle"));
}

TEST_F(SubtitleTest, ALineWithoutTextShowsNothingAndSaysSo)
{
    gameGui().showSubtitle("oldman1");
    gameGui().showSubtitle("player99");
    EXPECT_FALSE(visible("subtitle")) << "the last line's text stayed up";
    EXPECT_TRUE(log.collector.contains("Subtitle: no text for player99"));
    EXPECT_FALSE(log.collector.contains("Subtitle: player99"));
}

TEST_F(SubtitleTest, KeyUSwitchesThemOffAndOnInEitherInputMode)
{
    Kelvo::ScriptManager scripts(world.get());
    Kelvo::GUIScript guiScript(world.get(), &scripts);
    scripts.add(&guiScript);
    EXPECT_TRUE(gameGui().areSubtitlesOn());

    gameGui().showSubtitle("player6");
    guiScript.keyPressed(key(Kelvo::GUIScript::kSubtitleKey));
    EXPECT_FALSE(gameGui().areSubtitlesOn());
    EXPECT_FALSE(visible("subtitle"));
    EXPECT_TRUE(log.collector.contains("Subtitle: off"));
    const int shownBefore = log.collector.count("Subtitle: player7");
    gameGui().showSubtitle("player7");
    EXPECT_FALSE(visible("subtitle"));
    EXPECT_EQ(shownBefore, log.collector.count("Subtitle: player7"));

    // On again in GUI mode, while the line still plays: it shows at once.
    guiScript.enterGuiMode();
    guiScript.keyPressed(key(Kelvo::GUIScript::kSubtitleKey));
    EXPECT_TRUE(gameGui().areSubtitlesOn());
    EXPECT_TRUE(visible("subtitle"));
    EXPECT_EQ("Ein Preis? Wenn das so ist, bin ich nicht interessiert.", text("subtitle"));
    guiScript.leaveGuiMode();
}
