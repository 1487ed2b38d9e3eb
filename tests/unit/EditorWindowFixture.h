#pragma once

// The editor's windows on CEGUI's null renderer with the editor's own
// layout, over the real scene loader working in a temporary scene folder
// (two small scenes in it), with the props, material, entity types, sound
// file and particle template the windows list.

#include "SceneTestFixture.h"
#include "WindowedGL.h"

#include "editor/EditorGUI.h"
#include "editor/LevelEditWnd.h"
#include "gui/CeGUIManager.h"
#include "scene/EntityDescription.h"

#include <CEGUI/CEGUI.h>
#include <CEGUI/RendererModules/Null/Renderer.h>
#include <Ogre.h>

#include <sys/stat.h>

#include <clocale>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace KelvoTest {

using Kelvo::CeGUIManager;
using Kelvo::EditorGUI;

inline const std::string kSource = std::string(KELVO_TEST_DATA_DIR) + "/../../..";

inline std::string entity(const std::string& name, const std::string& position, const std::string& shadows = "yes")
{
    return "\t\t<entity name=\"" + name + "\" hidden=\"false\" filename=\"ball.mesh\" CastShadows=\"" + shadows +
           "\" ReceiveShadows=\"" + shadows + "\">\n\t\t\t<position " + position +
           " />\n\t\t\t<rotation x=\"0\" y=\"0\" z=\"0\" w=\"1\" />\n\t\t\t<scale x=\"1\" y=\"1\" z=\"1\" />\n"
           "\t\t</entity>\n";
}

inline const std::string kHarbour = "<kelvo_scene>\n\t<entities>\n" + entity("barrel", "x=\"1\" y=\"2\" z=\"3\"") +
                             entity("crate", "x=\"10\" y=\"0\" z=\"-5\"", "no") + "\t</entities>\n</kelvo_scene>\n";
inline const std::string kForest =
    "<kelvo_scene>\n\t<entities>\n" + entity("tree", "x=\"0\" y=\"0\" z=\"0\"") + "\t</entities>\n</kelvo_scene>\n";

class EditorWindowTest : public SceneTest {
protected:
    void SetUp() override
    {
        SceneTest::SetUp();
        writeScene("harbour.qormscene", kHarbour);
        writeScene("forest.qormscene", kForest);

        std::setlocale(LC_ALL, "C");
        CEGUI::NullRenderer::bootstrapSystem();
        CEGUI::System::getSingleton().notifyDisplaySizeChanged(CEGUI::Sizef(1024, 768));
        auto* files = static_cast<CEGUI::DefaultResourceProvider*>(CEGUI::System::getSingleton().getResourceProvider());
        files->setResourceGroupDirectory("schemes", "/usr/share/cegui-0.8.7/schemes/");
        files->setResourceGroupDirectory("imagesets", "/usr/share/cegui-0.8.7/imagesets/");
        files->setResourceGroupDirectory("fonts", "/usr/share/cegui-0.8.7/fonts/");
        files->setResourceGroupDirectory("looknfeel", "/usr/share/cegui-0.8.7/looknfeel/");
        files->setResourceGroupDirectory("layouts", kSource + "/media/gui/layouts/");
        CEGUI::Scheme::setDefaultResourceGroup("schemes");
        CEGUI::ImageManager::setImagesetDefaultResourceGroup("imagesets");
        CEGUI::Font::setDefaultResourceGroup("fonts");
        CEGUI::WidgetLookManager::setDefaultResourceGroup("looknfeel");
        CEGUI::WindowManager::setDefaultResourceGroup("layouts");
        // The faces our .font files describe, made here on the same TTF.
        CEGUI::FontManager& fonts = CEGUI::FontManager::getSingleton();
        fonts.createFreeTypeFont(CeGUIManager::kFont, 10, true, "DejaVuSans.ttf", "fonts");
        fonts.createFreeTypeFont("KelvoMenu-16", 16, true, "DejaVuSans.ttf", "fonts");
        gui.reset(new CeGUIManager());
        gui->configureSystem();
        // The cursor's bounds were taken before the display had a size.
        const CEGUI::Rectf screen(0, 0, 1024, 768);
        context().getMouseCursor().setConstraintArea(&screen);

        addEditorMedia();
        hub.reset(new EditorGUI(gui.get(), mLoader, nullptr));
        ASSERT_TRUE(hub->initialise(mSceneManager, false));
        context().setRootWindow(gui->getLayoutRoot());
        wnd = hub->getLevelEditWnd();
    }

    void TearDown() override
    {
        hub.reset();
        gui.reset();
        CEGUI::NullRenderer::destroySystem();
        SceneTest::TearDown();
        // Particle systems hand back their controllers as the engine goes.
        mControllers.reset();
    }

    static CEGUI::GUIContext& context() { return CEGUI::System::getSingleton().getDefaultGUIContext(); }
    CEGUI::Window* window(const std::string& name) { return gui->findWindow(name); }
    CEGUI::Listbox* list(const std::string& name) { return static_cast<CEGUI::Listbox*>(window(name)); }
    bool visible(const std::string& name) { return window(name)->isVisible(); }
    std::string text(const std::string& name) { return window(name)->getText().c_str(); }

    void click(const std::string& name)
    {
        CEGUI::MouseEventArgs press(window(name));
        press.button = CEGUI::LeftButton;
        window(name)->fireEvent(CEGUI::Window::EventMouseButtonDown, press, CEGUI::Window::EventNamespace);
    }

    // Types into an edit box and presses Enter there.
    void type(const std::string& name, const std::string& value)
    {
        window(name)->setText(value);
        CEGUI::WindowEventArgs args(window(name));
        window(name)->fireEvent(CEGUI::Editbox::EventTextAccepted, args, CEGUI::Editbox::EventNamespace);
    }

    void choose(const std::string& listName, const std::string& item)
    {
        CEGUI::ListboxItem* found = list(listName)->findItemWithText(item, nullptr);
        ASSERT_NE(nullptr, found) << item << " is not in " << listName;
        list(listName)->setItemSelectState(found, true);
    }

    // Answers the open input box.
    void answer(const std::string& name, const std::string& value = "")
    {
        ASSERT_TRUE(visible("inputbox"));
        window("input_edit")->setText(name);
        window("value_edit")->setText(value);
        click("input_ok");
    }

    // Picks an entry of a combo box's list, as a click on it does.
    void pick(const std::string& combo, const std::string& entry)
    {
        window(combo)->setText(entry);
        CEGUI::WindowEventArgs args(window(combo));
        window(combo)->fireEvent(CEGUI::Combobox::EventListSelectionAccepted, args, CEGUI::Combobox::EventNamespace);
    }

    std::vector<std::string> items(const std::string& listName)
    {
        std::vector<std::string> names;
        for (size_t i = 0; i < list(listName)->getItemCount(); ++i) {
            names.push_back(list(listName)->getListboxItemFromIndex(i)->getText().c_str());
        }
        return names;
    }

    std::string selectedItem(const std::string& listName)
    {
        const CEGUI::ListboxItem* item = list(listName)->getFirstSelectedItem();
        return item ? item->getText().c_str() : "";
    }

    // The message box's title and text, and it is closed again.
    std::string takeMessage()
    {
        if (!visible("msgbox")) {
            return "(no message)";
        }
        const std::string shown = text("msgbox") + " / " + text("msgbox_str");
        click("msgbox_ok");
        return shown;
    }

    void load(const std::string& fileName)
    {
        choose("xml_list", fileName);
        click("load_xml");
        ASSERT_EQ("Loading Complete..  / The XMLScene File: " + fileName + " loaded succesfully.", takeMessage());
    }

    Kelvo::EntityDescription* chooseEntity(const std::string& name)
    {
        choose("placed_obj_list", name);
        return mLoader->findEntity(name);
    }

    // What the entity, sound and particle windows offer: a prop mesh file,
    // a material, the entity types, a sound file and a particle template.
    void addEditorMedia()
    {
        const std::string props = mFolder + "props";
        mkdir(props.c_str(), 0700);
        Ogre::MeshPtr ball = Ogre::MeshManager::getSingleton().getByName("ball.mesh");
        Ogre::MeshSerializer().exportMesh(ball.get(), props + "/crate.mesh");
        std::ofstream(props + "/entitytypes.def") << "Player\nSpider\nStatic";
        std::ofstream(props + "/wind.wav") << "not played in these tests";
        Ogre::ResourceGroupManager::getSingleton().addResourceLocation(props, "FileSystem", "General");
        Ogre::MaterialManager::getSingleton().create("KELVO/Crate", "General");
        // Particle systems are drawn by the engine's particle plug-in.
        loadEnginePlugin(*mRoot, "Plugin_ParticleFX");
        Ogre::ParticleSystemManager::getSingleton()._initialise();
        // What a rendering root has: particle systems run on its controllers.
        if (!Ogre::ControllerManager::getSingletonPtr()) {
            mControllers.reset(new Ogre::ControllerManager());
        }
        Ogre::ParticleSystemManager::getSingleton().createTemplate("Kelvo/Smoke", "General");
    }

    std::unique_ptr<Ogre::ControllerManager> mControllers;
    std::unique_ptr<CeGUIManager> gui;
    std::unique_ptr<EditorGUI> hub;
    Kelvo::LevelEditWnd* wnd = nullptr;
    // Where the locator stands in these tests.
    const Ogre::Vector3 kLocator{30, 4, -70};
};

} // namespace KelvoTest
