// The editor's scene window and its hub on CEGUI's null renderer with the
// editor's own layout, over the real scene loader working in a temporary
// scene folder: loading, saving, new and deleted scene files with every
// message they give, the transform and flag fields, the question before
// unsaved work would be lost, the GUI script's shortcuts and selections, the
// toolbar's toggles and the count of widgets under the cursor.

#include "EditorWindowFixture.h"

#include "editor/EditorGUI.h"
#include "editor/EditorMessages.h"
#include "editor/GUIWndElement.h"
#include "editor/LevelEditGUIScript.h"
#include "editor/LevelEditWnd.h"
#include "editor/RayPickingScript.h"
#include "gui/CeGUIManager.h"
#include "gui/QuestionWnd.h"
#include "scene/EntityDescription.h"
#include "world/FrameMessageManager.h"
#include "world/FrameMessageString.h"
#include "world/FrameMessageVector3D.h"
#include "world/FrameMessageVoidPtr.h"
#include "editor/EditMouseState.h"
#include "world/GameWorld.h"
#include "world/ScriptManager.h"

#include <CEGUI/CEGUI.h>
#include <CEGUI/RendererModules/Null/Renderer.h>

#include <algorithm>
#include <chrono>
#include <clocale>
#include <thread>
#include <memory>

namespace {

using namespace KelvoTest;

class LevelEditWndTest : public EditorWindowTest {};

TEST_F(LevelEditWndTest, LoadingListsTheEntitiesAndSaysHowItWent)
{
    std::vector<std::string> files = items("xml_list");
    std::sort(files.begin(), files.end());
    EXPECT_EQ((std::vector<std::string>{"forest.qormscene", "harbour.qormscene"}), files);
    click("load_xml");
    EXPECT_EQ("Error loading... / No XMLScene File was selected.", takeMessage());

    load("harbour.qormscene");
    EXPECT_EQ("harbour.qormscene", text("name_edit"));
    EXPECT_EQ((std::vector<std::string>{"barrel", "crate"}), items("placed_obj_list"));
    EXPECT_EQ(nullptr, list("xml_list")->getFirstSelectedItem());
    EXPECT_TRUE(log().contains("LevelEditWnd: loaded 'harbour.qormscene'"));

    chooseEntity("crate");
    EXPECT_EQ("10", text("trans_x"));
    EXPECT_EQ("-5", text("trans_z"));
    EXPECT_EQ("1", text("scale_y"));
    EXPECT_FALSE(static_cast<CEGUI::ToggleButton*>(window("shadow_caster"))->isSelected());
    EXPECT_TRUE(hub->takeSelectionChanged());
    EXPECT_FALSE(hub->takeSelectionChanged());
    EXPECT_EQ("crate", hub->getSelectedName());

    // A name whose file was never written.
    gui->addListboxItem("xml_list", "ghost.qormscene");
    choose("xml_list", "ghost.qormscene");
    click("load_xml");
    EXPECT_EQ("Error / The XMLScene File: ghost.qormscene doesen Exist.\nThis Means you have probarly not saved the "
              "new XMLScene.",
              takeMessage());
    EXPECT_FALSE(wnd->isSceneLoaded());
    EXPECT_TRUE(items("placed_obj_list").empty());
    EXPECT_EQ(nullptr, wnd->getCurrentEntity());
}

TEST_F(LevelEditWndTest, FieldsEditOnlyTheChosenEntity)
{
    load("harbour.qormscene");
    // Nothing is chosen after a load: typing changes nothing.
    type("trans_x", "99");
    EXPECT_EQ(Ogre::Vector3(10, 0, -5), mLoader->findEntity("crate")->currentPosition());

    Kelvo::EntityDescription* barrel = chooseEntity("barrel");
    type("rot_y", "90");
    const Ogre::Quaternion quarterTurn(Ogre::Degree(90), Ogre::Vector3::UNIT_Y);
    EXPECT_TRUE(barrel->getSceneNode()->getOrientation().equals(quarterTurn, Ogre::Degree(0.01f)))
        << barrel->getSceneNode()->getOrientation();
    EXPECT_FLOAT_EQ(90, barrel->getRotation()[1]);

    window("trans_x")->setText("4");
    window("trans_y")->setText("not a number");
    type("trans_z", "-6.5");
    EXPECT_EQ(Ogre::Vector3(4, 0, -6.5f), barrel->getSceneNode()->getPosition());
    window("scale_edit")->setText("2");
    window("scale_y")->setText("3");
    type("scale_z", "4");
    EXPECT_EQ(Ogre::Vector3(2, 3, 4), barrel->getSceneNode()->getScale());

    static_cast<CEGUI::ToggleButton*>(window("shadow_caster"))->setSelected(false);
    static_cast<CEGUI::ToggleButton*>(window("ishidden"))->setSelected(true);
    EXPECT_FALSE(barrel->getCastShadows());
    EXPECT_TRUE(barrel->getReceiveShadows());
    EXPECT_TRUE(barrel->isHidden());
    EXPECT_FALSE(barrel->getSceneNode()->getAttachedObject(0)->isVisible());

    // Emptying the fields after a refill leaves every entity's flags alone.
    hub->refreshPlacedObjects();
    EXPECT_EQ("", text("rot_y"));
    EXPECT_TRUE(mLoader->findEntity("crate")->isHidden() == false);
    EXPECT_TRUE(barrel->isHidden());
    EXPECT_TRUE(barrel->getReceiveShadows());
}

TEST_F(LevelEditWndTest, SaveWritesOnlyTheLoadedSceneUnderItsName)
{
    click("Save XML");
    EXPECT_EQ("Error Saving / The XMLScene  is not loaded and thats why it could not be saved.\n First you have to "
              "load a XMLScene.",
              takeMessage());

    load("harbour.qormscene");
    chooseEntity("barrel");
    type("trans_x", "7");
    window("name_edit")->setText("forest.qormscene");
    click("Save XML");
    EXPECT_EQ("Error Saving / The XMLScene forest.qormscene is not loaded and thats why it could not be saved.\n "
              "First you have to load a XMLScene.",
              takeMessage());
    EXPECT_EQ(kForest, readScene("forest.qormscene"));
    EXPECT_EQ(kHarbour, readScene("harbour.qormscene"));

    window("name_edit")->setText("harbour.qormscene");
    click("Save XML");
    EXPECT_EQ("Saved / The XMLScene harbour.qormscene was successfully saved.", takeMessage());
    const std::string saved = readScene("harbour.qormscene");
    EXPECT_NE(std::string::npos, saved.find("<position x=\"7\" y=\"2\" z=\"3\" />")) << saved;
    EXPECT_NE(std::string::npos, saved.find("name=\"crate\"")) << saved;
    EXPECT_FALSE(fileExists("harbour.qormscene.saving"));
    EXPECT_EQ(kForest, readScene("forest.qormscene"));
    EXPECT_FALSE(wnd->hasUnsavedChanges());
}

TEST_F(LevelEditWndTest, NewSceneIsEmptyLoadedAndSavableAndNeverReplacesAFile)
{
    load("harbour.qormscene");
    click("new_xml");
    ASSERT_TRUE(visible("inputbox"));
    EXPECT_EQ("New XMLScene", text("inputbox"));
    EXPECT_EQ("XMLScene Name:", text("input_label"));
    EXPECT_FALSE(visible("value_edit"));
    click("input_cancel");
    EXPECT_EQ("Failed / Could not Create XMLScene File with empty Filename!", takeMessage());
    EXPECT_EQ("harbour.qormscene", wnd->getLoadedName());

    click("new_xml");
    window("input_edit")->setText("cove");
    click("input_ok");
    EXPECT_EQ("(no message)", takeMessage());
    EXPECT_TRUE(wnd->isSceneLoaded());
    EXPECT_EQ("cove.qormscene", text("name_edit"));
    EXPECT_TRUE(items("placed_obj_list").empty());
    EXPECT_EQ("<kelvo_scene>\n</kelvo_scene>\n", readScene("cove.qormscene").substr(0, 14) + "</kelvo_scene>\n");
    EXPECT_EQ(3u, items("xml_list").size());
    click("Save XML");
    EXPECT_EQ("Saved / The XMLScene cove.qormscene was successfully saved.", takeMessage());
    EXPECT_TRUE(log().contains("LevelEditWnd: new scene 'cove.qormscene'"));

    // A name with the extension is taken as it is; an existing file's name
    // is refused and the file stays whole.
    click("new_xml");
    window("input_edit")->setText("bay.qormscene");
    click("input_ok");
    EXPECT_EQ("bay.qormscene", wnd->getLoadedName());
    EXPECT_TRUE(fileExists("bay.qormscene"));
    click("new_xml");
    window("input_edit")->setText("forest");
    click("input_ok");
    EXPECT_EQ("Failed / An XMLScene named forest.qormscene exists already. Choose another name.", takeMessage());
    EXPECT_EQ(kForest, readScene("forest.qormscene"));
    EXPECT_EQ("bay.qormscene", wnd->getLoadedName());
}

TEST_F(LevelEditWndTest, UnsavedChangesAreSavedDiscardedOrKeptBeforeLoadNewAndLeaving)
{
    load("harbour.qormscene");
    chooseEntity("barrel");
    type("trans_x", "50");
    ASSERT_TRUE(wnd->hasUnsavedChanges());

    // Cancel: nothing happens, the change is still there.
    click("new_xml");
    ASSERT_TRUE(visible("ok_cancel_box"));
    EXPECT_TRUE(visible("ocb_discard"));
    EXPECT_FALSE(visible("inputbox"));
    EXPECT_TRUE(log().contains("LevelEditWnd: asked: unsaved changes in 'harbour.qormscene' before make a new scene"));
    click("ocb_cancel");
    EXPECT_FALSE(visible("ok_cancel_box"));
    EXPECT_FALSE(visible("inputbox"));
    EXPECT_EQ(0, gui->getOpenBoxCount());
    EXPECT_EQ(50, mLoader->findEntity("barrel")->currentPosition().x);
    EXPECT_TRUE(wnd->isEnabled());

    // Leaving the editor: cancel keeps it open, discard leaves.
    bool left = false;
    hub->whenSceneIsSafe(nullptr, "leave the editor", [&left] { left = true; });
    click("ocb_cancel");
    EXPECT_FALSE(left);
    hub->whenSceneIsSafe(nullptr, "leave the editor", [&left] { left = true; });
    click("ocb_discard");
    EXPECT_TRUE(left);
    EXPECT_EQ(kHarbour, readScene("harbour.qormscene"));

    // Save, then load the other scene.
    choose("xml_list", "forest.qormscene");
    click("load_xml");
    ASSERT_TRUE(visible("ok_cancel_box"));
    click("ocb_ok");
    // The box shows the last of the two messages; one OK closes it.
    EXPECT_EQ("Loading Complete..  / The XMLScene File: forest.qormscene loaded succesfully.", takeMessage());
    EXPECT_EQ(0, gui->getOpenBoxCount());
    EXPECT_TRUE(log().contains("LevelEditWnd: saved 'harbour.qormscene'"));
    EXPECT_NE(std::string::npos, readScene("harbour.qormscene").find("<position x=\"50\""));
    EXPECT_EQ("forest.qormscene", wnd->getLoadedName());

    // An unchanged scene asks nothing.
    left = false;
    hub->whenSceneIsSafe(nullptr, "leave the editor", [&left] { left = true; });
    EXPECT_TRUE(left);
    EXPECT_FALSE(visible("ok_cancel_box"));
}

// 20 ms apart: well within CEGUI's double-click time, faster than a hand.
TEST_F(LevelEditWndTest, AQuickSecondClickOnTheSamePlaceIsAPressToo)
{
    load("harbour.qormscene");
    chooseEntity("barrel");
    type("trans_x", "50");
    const CEGUI::Rectf cancel = window("ocb_cancel")->getUnclippedOuterRect().get();
    int answers = 0;
    for (int i = 0; i < 2; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        hub->whenSceneIsSafe(nullptr, "leave the editor", [] {});
        ASSERT_TRUE(visible("ok_cancel_box"));
        context().injectMousePosition(cancel.left() + 10, cancel.top() + 10);
        context().injectMouseButtonDown(CEGUI::LeftButton);
        context().injectMouseButtonUp(CEGUI::LeftButton);
        answers += visible("ok_cancel_box") ? 0 : 1;
    }
    EXPECT_EQ(2, answers);
    EXPECT_EQ(2, log().count("LevelEditWnd: answer: cancel"));
}

TEST_F(LevelEditWndTest, DeletingASceneFileAsksFirstAndKeepsAnotherLoadedScene)
{
    click("remove_xml_bt");
    EXPECT_EQ("Error Deleting... / Could not Delete because no XMLScene File was selected.", takeMessage());

    load("harbour.qormscene");
    choose("xml_list", "forest.qormscene");
    click("remove_xml_bt");
    ASSERT_TRUE(visible("ok_cancel_box"));
    EXPECT_FALSE(visible("ocb_discard"));
    click("ocb_cancel");
    EXPECT_TRUE(fileExists("forest.qormscene"));

    click("remove_xml_bt");
    click("ocb_ok");
    EXPECT_EQ("Deleting... / The XMLScene forest.qormscene was successfully deleted.", takeMessage());
    EXPECT_FALSE(fileExists("forest.qormscene"));
    EXPECT_EQ((std::vector<std::string>{"harbour.qormscene"}), items("xml_list"));
    EXPECT_TRUE(wnd->isSceneLoaded());
    EXPECT_EQ("harbour.qormscene", text("name_edit"));
    EXPECT_EQ(2u, items("placed_obj_list").size());

    // The loaded scene's own file takes the scene with it.
    choose("xml_list", "harbour.qormscene");
    click("remove_xml_bt");
    click("ocb_ok");
    EXPECT_EQ("Deleting... / The XMLScene harbour.qormscene was successfully deleted.", takeMessage());
    EXPECT_FALSE(wnd->isSceneLoaded());
    EXPECT_EQ("", text("name_edit"));
    EXPECT_TRUE(items("placed_obj_list").empty());
}

TEST_F(LevelEditWndTest, RemovingAndEditingTheChosenEntity)
{
    click("remove_entity");
    EXPECT_EQ("Failed / Could not delete Object!", takeMessage());
    click("edit_entity");
    EXPECT_EQ("Error Editing... / No Entity is Selected!", takeMessage());

    load("harbour.qormscene");
    chooseEntity("crate");
    click("edit_entity");
    EXPECT_EQ("(no message)", takeMessage());
    ASSERT_TRUE(visible("entity_win"));
    EXPECT_EQ("Edit Entity...", text("entity_win"));
    EXPECT_EQ("crate", text("entity_name_edit"));
    EXPECT_FALSE(wnd->isEnabled()) << "the dialog is modal";
    click("cancel_bt");
    EXPECT_FALSE(visible("entity_win"));
    EXPECT_TRUE(wnd->isEnabled());
    EXPECT_EQ(0, gui->getOpenBoxCount());

    click("remove_entity");
    EXPECT_EQ("Deleted.. / Object was deleted.", takeMessage());
    EXPECT_EQ(nullptr, mLoader->findEntity("crate"));
    EXPECT_EQ((std::vector<std::string>{"barrel"}), items("placed_obj_list"));
    hub->deleteObject("crate");
    EXPECT_EQ("Failed / Could not delete Object!", takeMessage());
}

// Runs after the GUI script, as the picking script does, and keeps what the
// GUI announced in that frame.
class AnnouncementReader : public Kelvo::ScriptAtom {
public:
    using ScriptAtom::ScriptAtom;
    void update(Ogre::FrameEvent) override
    {
        if (auto* message = static_cast<Kelvo::FrameMessageString*>(mWorld->getMessages()->find(
                Kelvo::EditorMessages::kNodeChangedFromGui, Kelvo::FrameMessage::kString))) {
            announced.push_back(message->text);
        }
        if (mWorld->getMessages()->find(Kelvo::EditorMessages::kNewMousePos, Kelvo::FrameMessage::kVoidPtr)) {
            ++mouseMessagesLeft;
        }
    }
    std::string getName() override { return "AnnouncementReader"; }
    std::vector<std::string> announced;
    // Mouse messages the GUI script left for picking.
    int mouseMessagesLeft = 0;
};

// The GUI script between the scripts' messages, the keys and the hub.
class EditorShortcutsTest : public LevelEditWndTest {
protected:
    void SetUp() override
    {
        LevelEditWndTest::SetUp();
        Kelvo::WorldParts parts;
        parts.sceneManager = mSceneManager;
        world.reset(new Kelvo::GameWorld(parts));
        scripts.reset(new Kelvo::ScriptManager(world.get()));
        script.reset(new Kelvo::LevelEditGUIScript(world.get(), scripts.get(), gui.get(), hub.get()));
        scripts->add(script.get());
        reader.reset(new AnnouncementReader(world.get(), scripts.get()));
        scripts->add(reader.get());
        load("harbour.qormscene");
    }

    void TearDown() override
    {
        reader.reset();
        script.reset();
        scripts.reset();
        world.reset();
        LevelEditWndTest::TearDown();
    }

    void press(int key) { script->keyPressed(OIS::KeyEvent(nullptr, static_cast<OIS::KeyCode>(key), 0)); }
    void release(int key) { script->keyReleased(OIS::KeyEvent(nullptr, static_cast<OIS::KeyCode>(key), 0)); }
    void ctrl(int key)
    {
        press(Kelvo::LevelEditGUIScript::kKeyLeftCtrl);
        press(key);
        release(key);
        release(Kelvo::LevelEditGUIScript::kKeyLeftCtrl);
    }
    void step() { scripts->update(Ogre::FrameEvent{0, 1.0f / 60}); }
    Kelvo::FrameMessageManager* messages() { return world->getMessages(); }

    std::unique_ptr<Kelvo::GameWorld> world;
    std::unique_ptr<Kelvo::ScriptManager> scripts;
    std::unique_ptr<Kelvo::LevelEditGUIScript> script;
    std::unique_ptr<AnnouncementReader> reader;
};

TEST_F(EditorShortcutsTest, DeleteTypedIntoAFieldEditsTheFieldNotTheScene)
{
    chooseEntity("barrel");
    window("trans_x")->activate();
    press(Kelvo::LevelEditGUIScript::kKeyDelete);
    EXPECT_NE(nullptr, mLoader->findEntity("barrel"));
    EXPECT_EQ("(no message)", takeMessage());

    // A click into the view takes the keyboard back for the scene.
    hub->releaseKeyboard();
    press(Kelvo::LevelEditGUIScript::kKeyDelete);
    EXPECT_EQ(nullptr, mLoader->findEntity("barrel"));
    EXPECT_EQ("Deleted.. / Object was deleted.", takeMessage());
}

// Ctrl+Z and Ctrl+Y undo and redo the scene's edits, as the toolbar's
// buttons do, but not while an edit box has the keyboard: there they are
// the field's.
TEST_F(EditorShortcutsTest, UndoAndRedoKeysActOnTheSceneOnlyWhenNoFieldHasTheKeyboard)
{
    chooseEntity("barrel");
    type("trans_x", "40");
    hub->endOfFrame(false);
    window("trans_x")->activate();
    ctrl(Kelvo::LevelEditGUIScript::kKeyZ);
    EXPECT_FLOAT_EQ(40, mLoader->findEntity("barrel")->currentPosition().x) << "the key was the field's";

    hub->releaseKeyboard();
    ctrl(Kelvo::LevelEditGUIScript::kKeyZ);
    EXPECT_FLOAT_EQ(1, mLoader->findEntity("barrel")->currentPosition().x);
    press(Kelvo::LevelEditGUIScript::kKeyY);  // no Ctrl: not a redo
    EXPECT_FLOAT_EQ(1, mLoader->findEntity("barrel")->currentPosition().x);
    ctrl(Kelvo::LevelEditGUIScript::kKeyY);
    EXPECT_FLOAT_EQ(40, mLoader->findEntity("barrel")->currentPosition().x);

    click("undo_bt");
    EXPECT_FLOAT_EQ(1, mLoader->findEntity("barrel")->currentPosition().x);
    click("redo_bt");
    EXPECT_FLOAT_EQ(40, mLoader->findEntity("barrel")->currentPosition().x);

    // While a box waits for an answer about the scene, the scene stays.
    hub->showMessage(nullptr, "Saved", "the scene");
    click("undo_bt");
    EXPECT_FLOAT_EQ(40, mLoader->findEntity("barrel")->currentPosition().x);
    EXPECT_TRUE(log().contains("EditHistory: no undo while a dialog is open"));
}

TEST_F(EditorShortcutsTest, CopyAndPastePlaceACopyAtTheLocator)
{
    ctrl(Kelvo::LevelEditGUIScript::kKeyV);
    EXPECT_EQ(2u, items("placed_obj_list").size()) << "nothing copied, nothing pasted";

    chooseEntity("crate");
    press(Kelvo::LevelEditGUIScript::kKeyC);  // no Ctrl: not a copy
    EXPECT_EQ("", hub->getClipboard());
    ctrl(Kelvo::LevelEditGUIScript::kKeyC);
    EXPECT_EQ("crate", hub->getClipboard());

    messages()->post(new Kelvo::FrameMessageVector3D(Kelvo::EditorMessages::kLocatorPosChanged,
                                                     Ogre::Vector3(30, 4, -70), true));
    step();
    ctrl(Kelvo::LevelEditGUIScript::kKeyV);
    Kelvo::EntityDescription* copy = mLoader->findEntity("crate#1");
    ASSERT_NE(nullptr, copy);
    EXPECT_EQ(Ogre::Vector3(30, 4, -70), copy->currentPosition());
    EXPECT_EQ((std::vector<std::string>{"barrel", "crate", "crate#1"}), items("placed_obj_list"));
}

TEST_F(EditorShortcutsTest, SelectionsPassBothWays)
{
    // A pick in the view chooses the list's item and fills the fields.
    messages()->post(new Kelvo::FrameMessageString(Kelvo::EditorMessages::kNodeChangedFromRay, "crate", true));
    step();
    EXPECT_EQ("crate", hub->getSelectedName());
    EXPECT_EQ("10", text("trans_x"));
    EXPECT_EQ(nullptr, messages()->find(Kelvo::EditorMessages::kNodeChangedFromRay, Kelvo::FrameMessage::kString));

    // A choice in the list is announced to the picking script, once; the
    // pick that followed the ray was not announced back.
    choose("placed_obj_list", "barrel");
    step();
    step();
    EXPECT_EQ(std::vector<std::string>{"barrel"}, reader->announced);
    EXPECT_EQ("1", text("trans_x"));
}

TEST_F(EditorShortcutsTest, AClickThatClosesABoxDoesNotPickThroughIt)
{
    int editMode = 1;
    Kelvo::EditMouseState mouse;
    mouse.position = Ogre::Vector3(512, 384, 0);  // over the view, no window there
    OIS::MouseState buttons;
    const OIS::MouseEvent event(nullptr, buttons);
    auto frameWithMouse = [&] {
        messages()->post(new Kelvo::FrameMessageVoidPtr(Kelvo::EditorMessages::kEditModeChanged, &editMode, false));
        messages()->post(new Kelvo::FrameMessageVoidPtr(Kelvo::EditorMessages::kNewMousePos, &mouse, false));
        step();
    };
    hub->showMessage(nullptr, "Saved", "the scene");
    frameWithMouse();
    EXPECT_EQ(0, reader->mouseMessagesLeft) << "the box is open";

    // The press closes the box (its OK); press and release fall in one frame.
    script->mousePressed(event, OIS::MB_Left);
    click("msgbox_ok");
    script->mouseReleased(event, OIS::MB_Left);
    EXPECT_EQ(0, gui->getOpenBoxCount());
    frameWithMouse();
    EXPECT_EQ(0, reader->mouseMessagesLeft) << "the click went through the closed box";

    // The next click into the view picks.
    script->mousePressed(event, OIS::MB_Left);
    script->mouseReleased(event, OIS::MB_Left);
    frameWithMouse();
    EXPECT_EQ(1, reader->mouseMessagesLeft);
}

// The entities and light windows count as open boxes (no picking through
// them); closed from the toolbar, they give picking back and their opener
// works again.
TEST_F(EditorShortcutsTest, HidingAWindowThroughTheToolbarRestoresPicking)
{
    int editMode = 1;
    Kelvo::EditMouseState mouse;
    mouse.position = Ogre::Vector3(512, 384, 0);
    mouse.left = true;
    auto clickIntoTheView = [&] {
        reader->mouseMessagesLeft = 0;
        messages()->post(new Kelvo::FrameMessageVoidPtr(Kelvo::EditorMessages::kEditModeChanged, &editMode, false));
        messages()->post(new Kelvo::FrameMessageVoidPtr(Kelvo::EditorMessages::kNewMousePos, &mouse, false));
        step();
        return reader->mouseMessagesLeft;
    };
    click("add_entity");
    ASSERT_TRUE(visible("add_entity_win"));
    EXPECT_FALSE(wnd->isEnabled());
    EXPECT_EQ(0, clickIntoTheView());
    click("show_trigger_wnd");
    EXPECT_FALSE(visible("add_entity_win"));
    EXPECT_TRUE(wnd->isEnabled());
    EXPECT_EQ(1, clickIntoTheView());

    click("show_light_wnd");
    EXPECT_EQ(0, clickIntoTheView());
    // Opening another window of the column closes the light window too.
    click("show_main_wnd");
    EXPECT_FALSE(visible("light_win"));
    EXPECT_EQ(0, gui->getOpenBoxCount());
    EXPECT_EQ(1, clickIntoTheView());
}

TEST_F(LevelEditWndTest, ToolbarTogglesTheSceneWindow)
{
    click("show_main_wnd");
    EXPECT_FALSE(visible("leveledit_win"));
    gui->setWindowVisible("particle_win", true);
    gui->setWindowVisible("sound_win", true);
    click("show_main_wnd");
    EXPECT_TRUE(visible("leveledit_win"));
    EXPECT_FALSE(visible("particle_win"));
    EXPECT_FALSE(visible("sound_win"));
}

TEST_F(LevelEditWndTest, TheCursorCountsAsOverTheWindowAnywhereInsideIt)
{
    context().injectMousePosition(512, 384);
    EXPECT_EQ(0, gui->getMouseOverCount());
    const CEGUI::Rectf field = window("rot_y")->getUnclippedOuterRect().get();
    context().injectMousePosition(field.left() + 3, field.top() + 3);
    EXPECT_GT(gui->getMouseOverCount(), 0);
    const CEGUI::Rectf title = window("leveledit_win")->getUnclippedOuterRect().get();
    context().injectMousePosition(title.left() + 40, title.top() + 5);
    EXPECT_GT(gui->getMouseOverCount(), 0) << "the window's title bar";
    const CEGUI::Rectf bar = window("toolbar")->getUnclippedOuterRect().get();
    context().injectMousePosition(bar.right() - 3, bar.top() + 3);
    EXPECT_GT(gui->getMouseOverCount(), 0) << "the toolbar";
    context().injectMousePosition(512, 384);
    EXPECT_EQ(0, gui->getMouseOverCount());

    // More leaves than enters never count below nothing.
    CEGUI::MouseEventArgs leave(window("rot_x"));
    for (int i = 0; i < 3; ++i) {
        window("rot_x")->fireEvent(CEGUI::Window::EventMouseLeavesArea, leave, CEGUI::Window::EventNamespace);
    }
    EXPECT_EQ(0, gui->getMouseOverCount());
    context().injectMousePosition(field.left() + 3, field.top() + 3);
    EXPECT_GT(gui->getMouseOverCount(), 0);
}

} // namespace

// The toolbar's gizmo controls and the scene window's snapping steps work on
// the picking script, and show what the editor's keys set there.
TEST_F(LevelEditWndTest, GizmoControlsSetThePickingScriptAndFollowItAndABadStepIsRefused)
{
    Ogre::Camera* camera = mSceneManager->createCamera("PrimaryCamera");
    Kelvo::WorldParts parts;
    parts.sceneManager = mSceneManager;
    parts.camera = camera;
    Kelvo::GameWorld world(parts);
    Kelvo::ScriptManager scripts(&world);
    Kelvo::RayPickingScript picking(&world, &scripts);
    hub->setPicking(&picking);
    auto toggle = [&](const std::string& name) { return static_cast<CEGUI::ToggleButton*>(window(name)); };

    toggle("gizmo_rotate_rb")->setSelected(true);
    EXPECT_EQ(Kelvo::GizmoMode::kRotate, picking.getSettings().mode);
    EXPECT_FALSE(toggle("gizmo_move_rb")->isSelected());
    toggle("gizmo_snap_cb")->setSelected(true);
    toggle("gizmo_local_cb")->setSelected(true);
    EXPECT_TRUE(picking.getSettings().snap.on);
    EXPECT_TRUE(picking.getSettings().localAxes);

    // What the keys change shows on the toolbar at the end of the frame.
    picking.setGizmoMode(Kelvo::GizmoMode::kScale);
    picking.setSnapping(false);
    hub->endOfFrame(false);
    EXPECT_TRUE(toggle("gizmo_scale_rb")->isSelected());
    EXPECT_FALSE(toggle("gizmo_rotate_rb")->isSelected());
    EXPECT_FALSE(toggle("gizmo_snap_cb")->isSelected());
    EXPECT_EQ(Kelvo::GizmoMode::kScale, picking.getSettings().mode) << "showing it changed nothing back";

    EXPECT_EQ("1", text("snap_grid_edit"));
    type("snap_grid_edit", "-2");
    EXPECT_EQ("Snapping step / The grid step must be a number above 0, not '-2'.\nIt stays 1.", takeMessage());
    EXPECT_EQ("1", text("snap_grid_edit"));
    EXPECT_EQ(1.0f, picking.getSettings().snap.step(Kelvo::SnapSettings::kMoveStep));
    type("snap_angle_edit", "22.5");
    EXPECT_EQ(22.5f, picking.getSettings().snap.step(Kelvo::SnapSettings::kRotateStep));
    EXPECT_EQ("22.5", text("snap_angle_edit"));
    hub->setPicking(nullptr);
}
