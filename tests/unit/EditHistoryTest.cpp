// Undo, redo and the backup of the editor, on CEGUI's null renderer with the
// editor's own layout and the real scene loader in a temporary scene folder:
// every kind of edit made through the windows is one step whose undo and
// redo give back exactly the records and scene nodes; the history's bound;
// the modified marker; the backup beside the scene and its offer on load.

#include "EditorWindowFixture.h"

#include "editor/Autosave.h"
#include "editor/EditHistory.h"
#include "editor/LevelEditGUIScript.h"
#include "scene/LightDescription.h"
#include "scene/ParticleDescription.h"
#include "scene/SoundDescription.h"
#include "scene/TriggerDescription.h"
#include "world/GameWorld.h"
#include "world/ScriptManager.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <thread>

namespace {

using namespace KelvoTest;

class EditHistoryTest : public EditorWindowTest {
protected:
    void SetUp() override
    {
        EditorWindowTest::SetUp();
        hub->setLocatorPosition(kLocator);
    }

    // The records as the file would hold them, and every record's scene
    // node: which node it hangs under, where it is in the world and what is
    // attached to it.
    std::string state()
    {
        mSceneManager->getRootSceneNode()->_update(true, false);
        std::ostringstream out;
        out << mLoader->sceneText();
        auto nodes = [&](const auto& records) {
            for (const auto& entry : records) {
                const Ogre::SceneNode* node = entry.second->getSceneNode();
                out << entry.first << ": ";
                if (!node) {
                    out << "no node\n";
                    continue;
                }
                const Ogre::Vector3 at = node->_getDerivedPosition();
                out << "under " << (node->getParentSceneNode() ? node->getParentSceneNode()->getName() : "nothing")
                    << " at " << std::lround(at.x * 100) << " " << std::lround(at.y * 100) << " "
                    << std::lround(at.z * 100) << ", " << node->numAttachedObjects() << " objects, "
                    << node->numChildren() << " children\n";
            }
        };
        nodes(mLoader->entities());
        nodes(mLoader->triggers());
        nodes(mLoader->lights());
        nodes(mLoader->sounds());
        nodes(mLoader->particles());
        out << "shadow technique " << mSceneManager->getShadowTechnique() << "\n";
        return out.str();
    }

    void check(const std::string& name, bool checked)
    {
        static_cast<CEGUI::ToggleButton*>(window(name))->setSelected(checked);
    }

    std::string lastStepName() const
    {
        const Kelvo::EditHistory* history = hub->getHistory();
        return history->getPosition() ? history->getStep(history->getPosition() - 1).getName() : "(none)";
    }

    std::string title() { return text("leveledit_win"); }

    void setFileTime(const std::string& name, std::filesystem::file_time_type when)
    {
        std::filesystem::last_write_time(mFolder + name, when);
    }
};

// Each edit through the windows (a field of each window, a drag, making,
// attaching, pasting and deleting objects of every kind, the shadow
// technique) is recorded as one step; undoing all of them walks back
// through exactly the states between, and redoing walks forward again.
TEST_F(EditHistoryTest, EveryKindOfEditIsOneStepThatUndoAndRedoPutBackExactly)
{
    load("harbour.qormscene");
    std::vector<std::string> states{state()};
    std::vector<std::string> names;
    auto recorded = [&](const std::string& what) {
        EXPECT_TRUE(hub->recordEdits()) << what << " made no step";
        EXPECT_FALSE(hub->recordEdits()) << what << " made two steps";
        states.push_back(state());
        names.push_back(lastStepName());
    };

    chooseEntity("barrel");
    type("rot_y", "45");
    recorded("a rotation typed");
    type("trans_x", "7");
    recorded("a position typed");
    check("ishidden", true);
    recorded("hidden ticked");
    // What a drag does to the dragged node, frame after frame.
    Ogre::SceneNode* crate = mLoader->findEntity("crate")->getSceneNode();
    crate->setPosition(12, 0, -5);
    crate->setPosition(14, 1, -6);
    recorded("a drag");

    click("show_light_wnd");
    click("light_add");
    answer("lamp");
    recorded("a light made");
    type("att_range_edit", "300");
    recorded("a light's range");
    hub->selectObject("crate");
    click("attach_light_bt");
    recorded("the light attached");
    click("show_light_wnd");  // closes it

    hub->showAddEntityWindow(nullptr);
    click("create_entity");
    answer("web");
    choose("meshfile_list", "crate.mesh");
    choose("mat_list", "KELVO/Crate");
    choose("entity_type_list", "Spider");
    click("create_bt");
    recorded("an entity made in the dialog");
    choose("select_entity_list", "web");
    click("edit_entity_bt");
    choose("entity_type_list", "Player");
    click("create_bt");
    recorded("its type changed in the dialog");
    choose("select_entity_list", "web");
    click("clone_entity");
    recorded("a clone");
    choose("select_entity_list", "barrel");
    click("attach_trigger");
    answer("door", "2.5");
    recorded("a trigger made on an entity");
    choose("trigger_list", "door");
    choose("select_entity_list", "crate");
    click("trigger_reattach");
    recorded("the trigger re-attached");
    choose("trigger_list", "door");
    choose("select_entity_list", "barrel");
    click("trigger_reattach");
    recorded("the trigger re-attached back");
    click("exit_bt");

    click("show_sound_wnd");
    click("create_sound_bt");
    answer("hum");
    recorded("a sound made");
    choose("sound_file_list", "wind.wav");
    click("save_sound_bt");
    recorded("its file saved");
    hub->selectObject("barrel");
    click("attach_to_parent");
    recorded("the sound attached");

    click("show_particle_wnd");
    click("create_par_bt");
    answer("smoke");
    recorded("a particle system made");
    choose("particle_script_list", "Kelvo/Smoke");
    window("x_sca_par_edit")->setText("2");
    click("save_par_bt");
    recorded("its script saved");
    hub->selectObject("barrel");
    click("attach_par_bt");
    recorded("the particle system attached");

    click("show_shadow_wnd");
    pick("shadow_cb", "STENCIL_ADDITIVE");
    click("shad_apply_bt");
    recorded("the shadow technique");

    hub->copyObject("crate");
    hub->pasteObject();
    recorded("a paste");

    hub->deleteObject("barrel");
    EXPECT_EQ("Deleted.. / Object was deleted.", takeMessage());
    recorded("the barrel deleted with what hangs on it");
    EXPECT_EQ("delete barrel with 3 attached", names.back());
    EXPECT_EQ("move crate", names[3]);
    EXPECT_EQ("change the shadow technique", names[names.size() - 3]);
    EXPECT_EQ(nullptr, mLoader->findSound("hum"));

    for (size_t i = states.size() - 1; i > 0; --i) {
        ASSERT_TRUE(hub->undo()) << names[i - 1];
        ASSERT_EQ(states[i - 1], state()) << "undo of '" << names[i - 1] << "'";
    }
    EXPECT_FALSE(hub->undo()) << "nothing left to undo";
    for (size_t i = 1; i < states.size(); ++i) {
        ASSERT_TRUE(hub->redo()) << names[i - 1];
        ASSERT_EQ(states[i], state()) << "redo of '" << names[i - 1] << "'";
    }
    EXPECT_FALSE(hub->redo());

    // A window keeps its chosen record across an undo, its fields showing
    // the record as it is now.
    click("show_light_wnd");
    hub->selectObject("lamp");
    type("att_range_edit", "250");
    ASSERT_TRUE(hub->recordEdits());
    ASSERT_TRUE(hub->undo());
    EXPECT_EQ("lamp", selectedItem("light_list"));
    EXPECT_EQ("300", text("att_range_edit"));
    ASSERT_TRUE(hub->redo());
    EXPECT_EQ("250", text("att_range_edit"));
    ASSERT_TRUE(hub->undo());
    click("show_light_wnd");

    // The deleted barrel comes back with its trigger, sound and particle
    // system, each on it again.
    ASSERT_TRUE(hub->undo());
    Kelvo::EntityDescription* barrel = mLoader->findEntity("barrel");
    ASSERT_NE(nullptr, barrel);
    for (Kelvo::PlacedDescription* attached :
         std::initializer_list<Kelvo::PlacedDescription*>{mLoader->findTrigger("door"), mLoader->findSound("hum"),
                                                          mLoader->findParticle("smoke")}) {
        ASSERT_NE(nullptr, attached);
        EXPECT_EQ("barrel", attached->getParent());
        EXPECT_EQ(barrel->getSceneNode(), attached->getSceneNode()->getParentSceneNode());
    }
    EXPECT_EQ(std::vector<std::string>({"barrel", "crate", "crate#1", "web", "web#1"}), items("placed_obj_list"));
    for (const std::string& line : log().lines()) {
        EXPECT_EQ(std::string::npos, line.find("did not come back")) << line;
    }
}

// A drag is one step however many frames it moves the node: the hub records
// only once no button is held, and the GUI script tells it when that is.
TEST_F(EditHistoryTest, ADragIsOneStepRecordedWhenTheButtonIsReleased)
{
    load("harbour.qormscene");
    Kelvo::WorldParts parts;
    parts.sceneManager = mSceneManager;
    Kelvo::GameWorld world(parts);
    Kelvo::ScriptManager scripts(&world);
    Kelvo::LevelEditGUIScript script(&world, &scripts, gui.get(), hub.get());
    OIS::MouseState buttons;
    const OIS::MouseEvent event(nullptr, buttons);
    Ogre::SceneNode* crate = mLoader->findEntity("crate")->getSceneNode();

    script.mousePressed(event, OIS::MB_Left);
    for (int frame = 1; frame <= 5; ++frame) {
        crate->setPosition(10 + frame, 0, -5);
        hub->endOfFrame(script.isMouseButtonHeld());
        EXPECT_EQ(0u, hub->getHistory()->size()) << "recorded while the button is held";
    }
    script.mouseReleased(event, OIS::MB_Left);
    hub->endOfFrame(script.isMouseButtonHeld());
    ASSERT_EQ(1u, hub->getHistory()->size());
    EXPECT_EQ("move crate", lastStepName());
    EXPECT_TRUE(log().contains("EditHistory: did 'move crate'"));
    hub->endOfFrame(script.isMouseButtonHeld());
    EXPECT_EQ(1u, hub->getHistory()->size()) << "nothing new, no step";

    ASSERT_TRUE(hub->undo());
    EXPECT_EQ(Ogre::Vector3(10, 0, -5), mLoader->findEntity("crate")->currentPosition());
    EXPECT_TRUE(log().contains("EditHistory: undid 'move crate'"));
}

// The title's "*" follows the history: an edit marks the scene, a save
// clears the mark, an undo after the save marks it again and a redo back
// to the saved state clears it. Loading starts a new history.
TEST_F(EditHistoryTest, TheModifiedMarkFollowsTheHistoryAndLoadingClearsIt)
{
    EXPECT_EQ("Scene", title());
    load("harbour.qormscene");
    EXPECT_EQ("Scene: harbour.qormscene", title());
    chooseEntity("barrel");
    type("trans_y", "9");
    hub->recordEdits();
    EXPECT_EQ("Scene: harbour.qormscene *", title());

    click("Save XML");
    EXPECT_EQ("Saved / The XMLScene harbour.qormscene was successfully saved.", takeMessage());
    EXPECT_EQ("Scene: harbour.qormscene", title());
    ASSERT_TRUE(hub->undo());
    EXPECT_EQ("Scene: harbour.qormscene *", title());
    EXPECT_TRUE(wnd->hasUnsavedChanges());
    ASSERT_TRUE(hub->redo());
    EXPECT_EQ("Scene: harbour.qormscene", title());
    EXPECT_FALSE(wnd->hasUnsavedChanges());

    // An edit after an undo replaces the undone step: the saved state can
    // no longer be reached, so the scene stays marked.
    ASSERT_TRUE(hub->undo());
    chooseEntity("crate");
    type("trans_y", "3");
    hub->recordEdits();
    EXPECT_FALSE(hub->getHistory()->canRedo());
    ASSERT_TRUE(hub->undo());
    EXPECT_EQ("Scene: harbour.qormscene *", title());

    // Loading again (the changes given up) starts a new history.
    click("load_xml");
    EXPECT_EQ("No XMLScene File was selected.", text("msgbox_str"));
    takeMessage();
    choose("xml_list", "forest.qormscene");
    click("load_xml");
    click("ocb_discard");
    EXPECT_EQ("Loading Complete..  / The XMLScene File: forest.qormscene loaded succesfully.", takeMessage());
    EXPECT_EQ("Scene: forest.qormscene", title());
    EXPECT_EQ(0u, hub->getHistory()->size());
    EXPECT_FALSE(hub->undo());
}

// At least 200 steps are kept; step 201 drops the oldest, so undoing all
// stops after that one, and the saved state is then out of reach.
TEST_F(EditHistoryTest, TheHistoryKeepsTheNewestTwoHundredSteps)
{
    ASSERT_GE(Kelvo::EditHistory::kMaxSteps, 200u);
    load("harbour.qormscene");
    chooseEntity("barrel");
    const size_t edits = Kelvo::EditHistory::kMaxSteps + 1;
    for (size_t i = 1; i <= edits; ++i) {
        type("trans_x", std::to_string(100 + i));
        ASSERT_TRUE(hub->recordEdits());
    }
    EXPECT_EQ(Kelvo::EditHistory::kMaxSteps, hub->getHistory()->size());
    size_t undone = 0;
    while (hub->undo()) {
        ++undone;
    }
    EXPECT_EQ(Kelvo::EditHistory::kMaxSteps, undone);
    EXPECT_FLOAT_EQ(101, mLoader->findEntity("barrel")->currentPosition().x) << "the first edit stays done";
    EXPECT_TRUE(hub->isSceneModified());
    while (hub->redo()) {
    }
    EXPECT_FLOAT_EQ(100 + edits, mLoader->findEntity("barrel")->currentPosition().x);
}

// The backup goes beside the scene under "<scene>.autosave", only when
// something changed since the file or the last backup, never over the
// scene file, and a save removes it. The period is wall-clock time.
TEST_F(EditHistoryTest, TheBackupIsWrittenBesideTheSceneOnlyForChangesAndRemovedOnSave)
{
    load("harbour.qormscene");
    Kelvo::Autosave* autosave = hub->getAutosave();
    EXPECT_EQ(mFolder + "harbour.qormscene.autosave", autosave->backupPath("harbour.qormscene"));
    EXPECT_FALSE(autosave->writeIfChanged("harbour.qormscene")) << "nothing changed";
    EXPECT_FALSE(fileExists("harbour.qormscene.autosave"));

    chooseEntity("barrel");
    type("trans_z", "-40");
    ASSERT_TRUE(autosave->writeIfChanged("harbour.qormscene"));
    EXPECT_EQ(mLoader->sceneText(), readScene("harbour.qormscene.autosave"));
    EXPECT_EQ(kHarbour, readScene("harbour.qormscene")) << "the scene file is untouched";
    EXPECT_FALSE(autosave->writeIfChanged("harbour.qormscene")) << "no change since the backup";
    EXPECT_FALSE(autosave->writeIfChanged("forest.qormscene")) << "only the loaded scene";
    EXPECT_FALSE(mLoader->saveCopy("harbour.qormscene")) << "a copy never goes over the scene";
    EXPECT_EQ(kHarbour, readScene("harbour.qormscene"));

    click("Save XML");
    takeMessage();
    EXPECT_FALSE(fileExists("harbour.qormscene.autosave"));
    EXPECT_EQ(mLoader->sceneText(), readScene("harbour.qormscene"));

    // The period: nothing before it has passed, the backup once it has.
    Kelvo::Autosave quick(mLoader, 0.05);
    quick.sceneIsInFile();
    type("trans_z", "-41");
    EXPECT_FALSE(quick.update("harbour.qormscene"));
    std::this_thread::sleep_for(std::chrono::milliseconds(80));
    EXPECT_TRUE(quick.update("harbour.qormscene"));
    EXPECT_TRUE(fileExists("harbour.qormscene.autosave"));

    setenv(Kelvo::Autosave::kPeriodVariable, "7.5", 1);
    EXPECT_DOUBLE_EQ(7.5, Kelvo::Autosave::periodFromEnvironment());
    setenv(Kelvo::Autosave::kPeriodVariable, "soon", 1);
    EXPECT_DOUBLE_EQ(120, Kelvo::Autosave::periodFromEnvironment());
    unsetenv(Kelvo::Autosave::kPeriodVariable);
    EXPECT_DOUBLE_EQ(120, Kelvo::Autosave::periodFromEnvironment());
}

// A backup newer than its scene (the editor stopped before a save) is
// offered when the scene is loaded: OK loads its records as the scene,
// modified and not saved; cancel keeps both as they are. An older backup
// is not offered.
TEST_F(EditHistoryTest, ANewerBackupIsOfferedOnLoadAndRestoredUnsaved)
{
    load("harbour.qormscene");
    chooseEntity("barrel");
    type("trans_x", "55");
    ASSERT_TRUE(hub->getAutosave()->writeIfChanged("harbour.qormscene"));
    const std::string backup = readScene("harbour.qormscene.autosave");
    setFileTime("harbour.qormscene", std::filesystem::file_time_type::clock::now() - std::chrono::minutes(3));

    // Loaded again as after a crash: the changes are given up first.
    choose("xml_list", "harbour.qormscene");
    click("load_xml");
    click("ocb_discard");
    ASSERT_TRUE(visible("ok_cancel_box")) << "no offer";
    EXPECT_EQ("Restore the backup?", text("ok_cancel_box"));
    EXPECT_FLOAT_EQ(1, mLoader->findEntity("barrel")->currentPosition().x) << "the file is loaded meanwhile";
    click("ocb_cancel");
    EXPECT_FLOAT_EQ(1, mLoader->findEntity("barrel")->currentPosition().x);
    EXPECT_EQ(backup, readScene("harbour.qormscene.autosave")) << "cancel keeps the backup";
    EXPECT_EQ("Scene: harbour.qormscene", title());

    choose("xml_list", "harbour.qormscene");
    click("load_xml");
    ASSERT_TRUE(visible("ok_cancel_box"));
    click("ocb_ok");
    EXPECT_FLOAT_EQ(55, mLoader->findEntity("barrel")->currentPosition().x);
    EXPECT_EQ(backup, mLoader->sceneText());
    EXPECT_EQ("Scene: harbour.qormscene *", title());
    EXPECT_TRUE(wnd->hasUnsavedChanges());
    EXPECT_EQ(kHarbour, readScene("harbour.qormscene")) << "restored, not saved";
    EXPECT_EQ(std::vector<std::string>({"barrel", "crate"}), items("placed_obj_list"));
    EXPECT_STREQ("harbour.qormscene", mLoader->getCurrentFileName());

    click("Save XML");
    EXPECT_EQ("Saved / The XMLScene harbour.qormscene was successfully saved.", takeMessage());
    EXPECT_EQ(backup, readScene("harbour.qormscene"));
    EXPECT_FALSE(fileExists("harbour.qormscene.autosave"));

    // A backup older than its scene was overtaken by a save: not offered.
    chooseEntity("barrel");
    type("trans_x", "56");
    ASSERT_TRUE(hub->getAutosave()->writeIfChanged("harbour.qormscene"));
    setFileTime("harbour.qormscene.autosave",
                std::filesystem::file_time_type::clock::now() - std::chrono::minutes(3));
    choose("xml_list", "forest.qormscene");
    click("load_xml");
    click("ocb_discard");
    takeMessage();
    load("harbour.qormscene");
}

} // namespace
