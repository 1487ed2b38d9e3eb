// The editor's object windows on CEGUI's null renderer over the real scene
// loader: the entity dialog and the entities-and-triggers window, the light,
// sound, particle, shadow and scene-settings windows, with the messages they
// give, where new objects are placed, what attaching does, and that a scene
// built with them from nothing loads back as it was saved.

#include "EditorWindowFixture.h"

#include "WindowedGL.h"

#include "editor/AddEntityWnd.h"
#include "editor/EntityWnd.h"
#include "editor/LightWnd.h"
#include "editor/ParticleWnd.h"
#include "editor/SkyDomeWnd.h"
#include "editor/SoundWnd.h"
#include "effects/SkyDome.h"
#include "scene/LightDescription.h"
#include "scene/ParticleDescription.h"
#include "scene/ShadowDescription.h"
#include "scene/SoundDescription.h"
#include "scene/TriggerDescription.h"

#include <unistd.h>

namespace {

using namespace KelvoTest;

class EditorObjectWindowsTest : public EditorWindowTest {
protected:
    void SetUp() override
    {
        EditorWindowTest::SetUp();
        hub->setLocatorPosition(kLocator);
    }

    // Opens the entity dialog from the entities window for a new entity.
    void startEntity(const std::string& name)
    {
        click("create_entity");
        EXPECT_EQ("Create Entity", text("inputbox"));
        EXPECT_EQ("Entity Name:", text("input_label"));
        answer(name);
        ASSERT_TRUE(visible("entity_win"));
    }

    void makeEntity(const std::string& name, const std::string& type = "Spider")
    {
        startEntity(name);
        choose("meshfile_list", "crate.mesh");
        choose("mat_list", "KELVO/Crate");
        choose("entity_type_list", type);
        click("create_bt");
        ASSERT_FALSE(visible("entity_win"));
    }

    Ogre::Vector3 worldPosition(Ogre::SceneNode* node)
    {
        mSceneManager->getRootSceneNode()->_update(true, false);
        return node->_getDerivedPosition();
    }
};

TEST_F(EditorObjectWindowsTest, EntityDialogWantsEveryListAndRefusesATakenName)
{
    load("harbour.qormscene");
    click("add_entity");
    ASSERT_TRUE(visible("add_entity_win"));
    EXPECT_FALSE(wnd->isEnabled()) << "its opener waits";
    EXPECT_EQ((std::vector<std::string>{"barrel", "crate"}), items("select_entity_list"));

    startEntity("rock");
    EXPECT_EQ("Create Entity...", text("entity_win"));
    EXPECT_EQ("rock", text("entity_name_edit"));
    choose("meshfile_list", "crate.mesh");
    choose("mat_list", "KELVO/Crate");
    click("create_bt");
    EXPECT_EQ("Error Saving... / There attributes with no value!", takeMessage());
    EXPECT_TRUE(visible("entity_win"));
    EXPECT_EQ(nullptr, mLoader->findEntity("rock"));

    choose("entity_type_list", "Spider");
    click("create_bt");
    EXPECT_FALSE(visible("entity_win"));
    Kelvo::EntityDescription* rock = mLoader->findEntity("rock");
    ASSERT_NE(nullptr, rock);
    EXPECT_EQ("crate.mesh", rock->getFileName());
    EXPECT_EQ("KELVO/Crate", rock->getMaterial());
    EXPECT_EQ("Spider", rock->getType());
    ASSERT_NE(nullptr, rock->getSceneNode());
    EXPECT_EQ(kLocator, worldPosition(rock->getSceneNode()));
    EXPECT_EQ((std::vector<std::string>{"barrel", "crate", "rock"}), items("select_entity_list"));

    // A taken name: the message, the dialog closed, nothing made or changed.
    startEntity("barrel");
    choose("meshfile_list", "crate.mesh");
    choose("mat_list", "KELVO/Crate");
    choose("entity_type_list", "Player");
    click("create_bt");
    EXPECT_EQ("Error Saving... / A Entity with the same name already exists!", takeMessage());
    EXPECT_FALSE(visible("entity_win"));
    EXPECT_EQ(3u, mLoader->entities().size());
    EXPECT_EQ("ball.mesh", mLoader->findEntity("barrel")->getFileName());
    EXPECT_EQ("", mLoader->findEntity("barrel")->getType());

    // Edit: the dialog shows the entity's own choices and changes them.
    choose("select_entity_list", "rock");
    click("edit_entity_bt");
    EXPECT_EQ("Edit Entity...", text("entity_win"));
    EXPECT_EQ("Spider", selectedItem("entity_type_list"));
    choose("entity_type_list", "Static");
    click("create_bt");
    EXPECT_EQ("Static", rock->getType());

    click("exit_bt");
    EXPECT_FALSE(visible("add_entity_win"));
    EXPECT_TRUE(wnd->isEnabled());
    EXPECT_EQ(0, gui->getOpenBoxCount());
    EXPECT_EQ((std::vector<std::string>{"barrel", "crate", "rock"}), items("placed_obj_list"));
    EXPECT_TRUE(log().contains("EntityWnd: created 'rock'"));
}

TEST_F(EditorObjectWindowsTest, TriggersTakeTheirRadiusParentTypeAndPlace)
{
    load("harbour.qormscene");
    hub->showAddEntityWindow(nullptr);

    click("add_trigger");
    EXPECT_EQ("Create Tigger", text("inputbox"));
    EXPECT_EQ("Radius:", text("value"));
    answer("gate");
    Kelvo::TriggerDescription* gate = mLoader->findTrigger("gate");
    ASSERT_NE(nullptr, gate);
    EXPECT_FLOAT_EQ(5, gate->getRadius());
    EXPECT_EQ(kLocator, worldPosition(gate->getSceneNode()));
    EXPECT_EQ(std::vector<std::string>{"gate"}, items("trigger_list"));

    click("add_trigger");
    click("input_cancel");
    EXPECT_EQ("Failed / Could not Create Trigger with empty Name!", takeMessage());
    click("add_trigger");
    answer("gate", "3");
    EXPECT_EQ("Failed / The entered name is already used by the System!", takeMessage());
    click("add_trigger");
    answer("bog", "wide");
    EXPECT_EQ("Failed / The radius must be a number above 0.", takeMessage());
    EXPECT_EQ(nullptr, mLoader->findTrigger("bog"));
    click("attach_trigger");
    EXPECT_EQ("Failed / No Object Selected to Attach!", takeMessage());

    choose("trigger_list", "gate");
    EXPECT_EQ("30", text("trigger_x_edit"));
    EXPECT_EQ("-70", text("trigger_z_edit"));
    type("trigger_parent_edit", "nobody");
    EXPECT_EQ("Error Attaching to Entity... / The provided Entity doesnt exists!", takeMessage());
    EXPECT_EQ("", gate->getParent());
    choose("trigger_type_list", "Spider");
    click("trigger_type_bt");
    EXPECT_EQ("Spider", gate->getAttachedType());

    // An entity made after the trigger becomes its parent: the trigger is
    // then written after it and finds it again on loading.
    makeEntity("web");
    choose("trigger_list", "gate");
    type("trigger_parent_edit", "web");
    EXPECT_EQ("web", gate->getParent());
    EXPECT_EQ(mLoader->findEntity("web")->getSceneNode(), gate->getSceneNode()->getParentSceneNode());

    choose("select_entity_list", "crate");
    click("attach_trigger");
    answer("door", "2.5");
    Kelvo::TriggerDescription* door = mLoader->findTrigger("door");
    ASSERT_NE(nullptr, door);
    EXPECT_FLOAT_EQ(2.5f, door->getRadius());
    EXPECT_EQ("crate", door->getParent());
    EXPECT_EQ(Ogre::Vector3(10, 0, -5), worldPosition(door->getSceneNode()));

    // Re-attached to another entity, it sits at that one's origin.
    choose("trigger_list", "door");
    choose("select_entity_list", "barrel");
    click("trigger_reattach");
    EXPECT_EQ("barrel", door->getParent());
    EXPECT_EQ(Ogre::Vector3(1, 2, 3), worldPosition(door->getSceneNode()));
    window("trigger_x_edit")->setText("1");
    window("trigger_y_edit")->setText("0");
    type("trigger_z_edit", "0");
    EXPECT_EQ(Ogre::Vector3(2, 2, 3), worldPosition(door->getSceneNode()));

    ASSERT_TRUE(wnd->saveScene());
    takeMessage();
    load("harbour.qormscene");
    ASSERT_NE(nullptr, mLoader->findTrigger("gate"));
    EXPECT_EQ("web", mLoader->findTrigger("gate")->getParent());
    EXPECT_EQ("Spider", mLoader->findTrigger("gate")->getAttachedType());
    EXPECT_EQ("barrel", mLoader->findTrigger("door")->getParent());
    EXPECT_EQ(Ogre::Vector3(2, 2, 3), worldPosition(mLoader->findTrigger("door")->getSceneNode()));
}

TEST_F(EditorObjectWindowsTest, LightsAreSpotLightsAtTheLocatorWithLabelledColours)
{
    load("harbour.qormscene");
    click("show_light_wnd");
    ASSERT_TRUE(visible("light_win"));
    EXPECT_FALSE(visible("leveledit_win"));

    click("light_add");
    EXPECT_EQ("Create Light:", text("inputbox"));
    answer("lamp");
    Kelvo::LightDescription* lamp = mLoader->findLight("lamp");
    ASSERT_NE(nullptr, lamp);
    EXPECT_EQ("Spot_Light", lamp->getType());
    EXPECT_EQ(Ogre::Light::LT_SPOTLIGHT, lamp->getLight()->getType());
    EXPECT_EQ(kLocator, worldPosition(lamp->getSceneNode()));
    EXPECT_EQ("lamp", text("curr_light_edit"));
    EXPECT_EQ("Spot_Light", text("light_type_cb"));
    EXPECT_TRUE(visible("spot_inner_edit"));
    EXPECT_TRUE(visible("lbl_spot"));
    EXPECT_EQ("80", text("spot_inner_edit"));

    // The middle field holds green and says so; the last one blue.
    EXPECT_EQ("green", text("diff_green_lbl"));
    EXPECT_EQ("blue", text("diff_blue_lbl"));
    window("diff_r_edit")->setText("1");
    window("diff_g_edit")->setText("0.25");
    type("diff_b_edit", "0.5");
    EXPECT_EQ(Ogre::ColourValue(1, 0.5f, 0.25f, 1), lamp->getDiffuse());
    EXPECT_EQ(Ogre::ColourValue(1, 0.5f, 0.25f, 1), lamp->getLight()->getDiffuseColour());
    type("att_range_edit", "300");
    EXPECT_FLOAT_EQ(300, lamp->getLight()->getAttenuationRange());

    pick("light_type_cb", "Point_Light");
    EXPECT_EQ("Point_Light", lamp->getType());
    EXPECT_EQ(Ogre::Light::LT_POINT, mSceneManager->getLight("lamp")->getType());
    EXPECT_FALSE(visible("spot_inner_edit"));
    EXPECT_FALSE(visible("lbl_outer"));

    click("light_add");
    answer("crate");
    EXPECT_EQ("Failed to create light... / The entered name is already used by the System!", takeMessage());

    // Attach needs an entity picked first; the light stays where it shone.
    click("attach_light_bt");
    EXPECT_EQ("", lamp->getParent());
    hub->selectObject("crate");
    click("attach_light_bt");
    EXPECT_EQ("crate", lamp->getParent());
    EXPECT_TRUE(kLocator.positionEquals(worldPosition(lamp->getSceneNode()), 1e-3f));

    hub->selectObject("lamp");
    EXPECT_EQ("lamp", selectedItem("light_list"));
    choose("light_list", "lamp");
    click("light_remove");
    EXPECT_EQ(nullptr, mLoader->findLight("lamp"));
    EXPECT_TRUE(items("light_list").empty());
}

TEST_F(EditorObjectWindowsTest, SoundsArePlacedAtTheLocatorAndSavedOnlyWithAFile)
{
    load("harbour.qormscene");
    click("show_sound_wnd");
    ASSERT_TRUE(visible("sound_win"));
    EXPECT_EQ(0, gui->getOpenBoxCount()) << "the sound window is no box";

    click("create_sound_bt");
    EXPECT_EQ("Create Sound Description...", text("inputbox"));
    answer("hum");
    Kelvo::SoundDescription* hum = mLoader->findSound("hum");
    ASSERT_NE(nullptr, hum);
    EXPECT_EQ(kLocator, worldPosition(hum->getSceneNode()));
    EXPECT_EQ("30", text("sound_x_edit"));
    EXPECT_EQ("hum", selectedItem("sound_node_list"));

    type("max_3d_edit", "400");
    window("sound_x_edit")->setText("99");
    click("save_sound_bt");
    EXPECT_EQ("Error Saving... / You must select a Sound file.", takeMessage());
    EXPECT_EQ("", hum->getFile());
    EXPECT_EQ(kLocator, worldPosition(hum->getSceneNode()));

    choose("sound_file_list", "wind.wav");
    pick("soundtype_cb", "3D_SOUND_LOOPED");
    window("sound_x_edit")->setText("31");
    type("volume_edit", "1.7");
    EXPECT_EQ("1", text("volume_edit")) << "the volume is kept in 0..1";
    click("save_sound_bt");
    EXPECT_EQ("wind.wav", hum->getFile());
    EXPECT_EQ("3D_SOUND_LOOPED", hum->getType());
    EXPECT_FLOAT_EQ(400, hum->getMaxDistance());
    EXPECT_EQ(Ogre::Vector3(31, 4, -70), worldPosition(hum->getSceneNode()));

    // Attached twice to the same entity: at its origin, not twice moved.
    hub->selectObject("crate");
    click("attach_to_parent");
    click("attach_to_parent");
    EXPECT_EQ("crate", hum->getParent());
    EXPECT_EQ(mLoader->findEntity("crate")->getSceneNode(), hum->getSceneNode()->getParentSceneNode());
    EXPECT_EQ(Ogre::Vector3(10, 0, -5), worldPosition(hum->getSceneNode()));

    click("create_sound_bt");
    answer("hum");
    EXPECT_EQ("Error Creating sound... / SoundDescription with this name already exists.", takeMessage());

    click("close_snd_wnd");
    EXPECT_FALSE(visible("sound_win"));
}

TEST_F(EditorObjectWindowsTest, ParticleSystemsAreMadeFromTheChosenScript)
{
    load("harbour.qormscene");
    click("show_particle_wnd");
    ASSERT_TRUE(visible("particle_win"));
    click("create_par_bt");
    EXPECT_EQ("Create new ParticleDescription...", text("inputbox"));
    answer("smoke");
    Kelvo::ParticleDescription* smoke = mLoader->findParticle("smoke");
    ASSERT_NE(nullptr, smoke);
    EXPECT_EQ(kLocator, worldPosition(smoke->getSceneNode()));

    click("save_par_bt");
    EXPECT_EQ("Error Saving... / You must select a ParticleScript.", takeMessage());
    EXPECT_EQ(nullptr, smoke->getParticleSystem());

    choose("particle_script_list", "Kelvo/Smoke");
    window("x_sca_par_edit")->setText("2");
    window("y_sca_par_edit")->setText("3");
    window("z_sca_par_edit")->setText("0.5");
    click("save_par_bt");
    ASSERT_NE(nullptr, smoke->getParticleSystem());
    EXPECT_EQ("Kelvo/Smoke", smoke->getFile());
    EXPECT_FLOAT_EQ(2, smoke->getParticleSystem()->getDefaultWidth());
    EXPECT_FLOAT_EQ(0.5f, smoke->getParticleSystem()->getSpeedFactor());

    hub->selectObject("barrel");
    click("attach_par_bt");
    click("attach_par_bt");
    EXPECT_EQ("barrel", smoke->getParent());
    EXPECT_EQ(Ogre::Vector3(1, 2, 3), worldPosition(smoke->getSceneNode()));

    hub->selectObject("smoke");
    EXPECT_EQ("smoke", selectedItem("particle_node_list"));
    click("remove_par_bt");
    EXPECT_EQ(nullptr, mLoader->findParticle("smoke"));
}

// Deleting an entity takes what hangs on it; loading a scene takes every
// record. A window that had one of them chosen would write the next typed
// value into a record that is gone.
TEST_F(EditorObjectWindowsTest, NoWindowKeepsARecordThatADeleteOrALoadTookAway)
{
    load("harbour.qormscene");
    click("show_sound_wnd");
    click("create_sound_bt");
    answer("hum");
    hub->selectObject("crate");
    click("attach_to_parent");
    click("show_particle_wnd");
    click("create_par_bt");
    answer("smoke");
    hub->selectObject("crate");
    click("attach_par_bt");
    ASSERT_NE(nullptr, hub->getSoundWnd()->current());
    ASSERT_NE(nullptr, hub->getParticleWnd()->current());

    hub->deleteObject("crate");
    EXPECT_EQ("Deleted.. / Object was deleted.", takeMessage());
    EXPECT_EQ(nullptr, hub->getSoundWnd()->current());
    EXPECT_EQ(nullptr, hub->getParticleWnd()->current());
    EXPECT_TRUE(items("sound_node_list").empty());
    EXPECT_TRUE(items("particle_node_list").empty());
    type("volume_edit", "0.5");
    type("x_pos_par_edit", "3");

    click("show_light_wnd");
    click("light_add");
    answer("lamp");
    ASSERT_NE(nullptr, hub->getLightWnd()->getCurrentLight());
    choose("xml_list", "forest.qormscene");
    click("load_xml");
    click("ocb_discard");
    EXPECT_EQ("Loading Complete..  / The XMLScene File: forest.qormscene loaded succesfully.", takeMessage());
    EXPECT_EQ(nullptr, hub->getLightWnd()->getCurrentLight());
    EXPECT_TRUE(items("light_list").empty());
}

TEST_F(EditorObjectWindowsTest, ShadowTechniqueChangesOnlyOnApply)
{
    load("harbour.qormscene");
    click("show_shadow_wnd");
    ASSERT_TRUE(visible("shadow_win"));
    EXPECT_EQ("NONE", text("shadow_cb"));

    // (The view's shadows need a render system: the end-to-end test sees them.)
    pick("shadow_cb", "STENCIL_ADDITIVE");
    EXPECT_EQ("NONE", mLoader->getShadow()->getType());
    EXPECT_TRUE(wnd->isSceneLoaded() && !wnd->hasUnsavedChanges());
    click("shad_apply_bt");
    EXPECT_EQ("STENCIL_ADDITIVE", mLoader->getShadow()->getType());
    EXPECT_TRUE(wnd->hasUnsavedChanges());

    click("shad_cancel_bt");
    EXPECT_FALSE(visible("shadow_win"));
    click("show_shadow_wnd");
    EXPECT_EQ("STENCIL_ADDITIVE", text("shadow_cb"));
}

// A scene made from nothing before any load: every object shows at once,
// and what is saved loads back as it was, also the sound without a file and
// the particle system without a script the designer left for later.
TEST_F(EditorObjectWindowsTest, ASceneBuiltFromNothingLoadsBackWithEveryRecord)
{
    click("new_xml");
    answer("cove");
    hub->showAddEntityWindow(nullptr);
    makeEntity("hero", "Player");
    ASSERT_NE(nullptr, mLoader->findEntity("hero")->getEntity()) << "shown before any load";
    choose("select_entity_list", "hero");
    click("attach_trigger");
    answer("ring", "12");
    click("exit_bt");
    click("show_light_wnd");
    click("light_add");
    answer("lamp");
    pick("light_type_cb", "Point_Light");
    click("show_sound_wnd");
    click("create_sound_bt");
    answer("quiet");
    click("show_particle_wnd");
    click("create_par_bt");
    answer("embers");
    click("show_shadow_wnd");
    pick("shadow_cb", "TEXTURE_MODULATIVE");
    click("shad_apply_bt");

    const std::string built = mLoader->sceneText();
    ASSERT_TRUE(wnd->saveScene());
    EXPECT_EQ("Saved / The XMLScene cove.qormscene was successfully saved.", takeMessage());
    EXPECT_EQ(built, readScene("cove.qormscene"));
    load("cove.qormscene");
    EXPECT_EQ(built, mLoader->sceneText());
    EXPECT_EQ("hero", mLoader->findTrigger("ring")->getParent());
    EXPECT_EQ("Point_Light", mLoader->findLight("lamp")->getType());
    EXPECT_NE(nullptr, mLoader->findSound("quiet"));
    EXPECT_NE(nullptr, mLoader->findParticle("embers"));
    EXPECT_EQ("TEXTURE_MODULATIVE", mLoader->getShadow()->getType());
}

// The sky of these tests: the dome's colour strips, mesh and materials.
class SkyDomeWndTest : public EditorObjectWindowsTest {
protected:
    void SetUp() override
    {
        EditorObjectWindowsTest::SetUp();
        KelvoTest::loadEnginePlugin(*mRoot, "Codec_STBI");
        const std::string folder = mFolder + "sky";
        mkdir(folder.c_str(), 0700);
        std::vector<unsigned char> strip(256 * 3);
        for (int k = 0; k < 256 * 3; ++k) {
            strip[k] = static_cast<unsigned char>(k / 3);
        }
        for (const char* name : {"skydome.png", "hazeColours.png", "suncolours.png"}) {
            Ogre::Image image;
            image.loadDynamicImage(strip.data(), 256, 1, 1, Ogre::PF_BYTE_RGB);
            image.save(folder + "/" + name);
        }
        Ogre::ResourceGroupManager::getSingleton().addResourceLocation(folder, "FileSystem", "General");
        Ogre::MaterialManager::getSingleton().create("KELVO/SkyDome", "General");
        Ogre::MaterialManager::getSingleton().create("KELVO/Sun", "General");
        Ogre::MeshManager::getSingleton().createPlane("SkyDome.mesh", "General",
                                                      Ogre::Plane(Ogre::Vector3::NEGATIVE_UNIT_Y, 1), 2, 2, 1, 1,
                                                      true, 1, 1, 1, Ogre::Vector3::UNIT_Z);
        Ogre::Camera* camera = mSceneManager->createCamera("PrimaryCamera");
        mSceneManager->getRootSceneNode()->createChildSceneNode()->attachObject(camera);
        ASSERT_TRUE(sky.create(mSceneManager, camera, 16, 14, 45));
        hub->setSkyDome(&sky);
    }

    void TearDown() override
    {
        sky.destroy();
        EditorObjectWindowsTest::TearDown();
    }

    Kelvo::SkyDome sky;
};

TEST_F(SkyDomeWndTest, TheTimeOfDayIsPreviewedAndNeverSaved)
{
    load("harbour.qormscene");
    const std::string scene = mLoader->sceneText();
    click("show_scene_settings");
    ASSERT_TRUE(visible("dome_win"));
    EXPECT_EQ("16:15", text("dome_time_edit"));

    click("dome_dawn_bt");
    EXPECT_FLOAT_EQ(6 * 3600, sky.getTime());
    EXPECT_EQ("6:00", text("dome_time_edit"));
    EXPECT_FLOAT_EQ(6, static_cast<CEGUI::Slider*>(window("dome_time_slider"))->getCurrentValue());
    const Ogre::ColourValue dawn = mSceneManager->getAmbientLight();
    click("dome_night_bt");
    EXPECT_FLOAT_EQ(22 * 3600, sky.getTime());
    EXPECT_NE(dawn, mSceneManager->getAmbientLight()) << "the light follows the hour";
    EXPECT_EQ(Ogre::FOG_NONE, mSceneManager->getFogMode()) << "the editor's view stays clear";

    type("dome_time_edit", "13:30");
    EXPECT_FLOAT_EQ(13.5f * 3600, sky.getTime());
    type("dome_time_edit", "25");
    EXPECT_EQ("Time of day / Type the hour as 6.5 or 6:30, from 0 to 24.", takeMessage());
    EXPECT_FLOAT_EQ(13.5f * 3600, sky.getTime());
    EXPECT_EQ("13:30", text("dome_time_edit"));
    static_cast<CEGUI::Slider*>(window("dome_time_slider"))->setCurrentValue(9);
    EXPECT_FLOAT_EQ(9 * 3600, sky.getTime());

    EXPECT_EQ(scene, mLoader->sceneText());
    EXPECT_FALSE(wnd->hasUnsavedChanges());
    click("show_scene_settings");
    EXPECT_FALSE(visible("dome_win"));
}

} // namespace
