#include "gui/CeGUIManager.h"
#include "gui/InputBoxWnd.h"
#include "gui/MsgBoxWnd.h"
#include "gui/QuestionWnd.h"

#include <CEGUI/CEGUI.h>
#include <CEGUI/RendererModules/Null/Renderer.h>

#include <gtest/gtest.h>

#include <clocale>
#include <memory>
#include <string>

using Kelvo::CeGUIManager;

namespace {

// CEGUI's null renderer: real windows, events and input with no display.
class GuiTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::setlocale(LC_ALL, "C");
        CEGUI::NullRenderer::bootstrapSystem();
        // The null renderer starts with an empty display; windows laid out
        // on it would have no area to click.
        CEGUI::System::getSingleton().notifyDisplaySizeChanged(CEGUI::Sizef(1024, 768));
        auto* files = static_cast<CEGUI::DefaultResourceProvider*>(CEGUI::System::getSingleton().getResourceProvider());
        files->setResourceGroupDirectory("schemes", "/usr/share/cegui-0.8.7/schemes/");
        files->setResourceGroupDirectory("imagesets", "/usr/share/cegui-0.8.7/imagesets/");
        files->setResourceGroupDirectory("fonts", "/usr/share/cegui-0.8.7/fonts/");
        files->setResourceGroupDirectory("looknfeel", "/usr/share/cegui-0.8.7/looknfeel/");
        files->setResourceGroupDirectory("layouts", KELVO_TEST_DATA_DIR "/");
        CEGUI::Scheme::setDefaultResourceGroup("schemes");
        CEGUI::ImageManager::setImagesetDefaultResourceGroup("imagesets");
        CEGUI::Font::setDefaultResourceGroup("fonts");
        CEGUI::WidgetLookManager::setDefaultResourceGroup("looknfeel");
        CEGUI::WindowManager::setDefaultResourceGroup("layouts");
        CEGUI::SchemeManager::getSingleton().createFromFile(CeGUIManager::kScheme);
        gui.reset(new CeGUIManager());
        gui->loadLayout(nullptr, "boxes.layout");
        context().setRootWindow(gui->getLayoutRoot());
    }

    void TearDown() override
    {
        gui->shutdown();
        gui.reset();
        CEGUI::NullRenderer::destroySystem();
    }

    static CEGUI::GUIContext& context() { return CEGUI::System::getSingleton().getDefaultGUIContext(); }

    // A press of the left button on the window, as CEGUI delivers it; real
    // clicks through X are the end-to-end tests' business.
    void click(const std::string& window)
    {
        CEGUI::Window* target = gui->findWindow(window);
        CEGUI::MouseEventArgs press(target);
        press.button = CEGUI::LeftButton;
        target->fireEvent(CEGUI::Window::EventMouseButtonDown, press, CEGUI::Window::EventNamespace);
    }

    void type(const std::string& editbox, const std::string& text)
    {
        gui->findWindow(editbox)->setText(text);
    }

    bool visible(const std::string& window) { return gui->findWindow(window)->isVisible(); }

    std::unique_ptr<CeGUIManager> gui;
};

// Remembers every answer an input box gives.
class AnswerLog : public Kelvo::GUIWndListener {
public:
    void setEnabled(bool enabled) override { this->enabled = enabled; }
    void onInput(bool ok, const char* text, const char* value) override
    {
        answers.push_back(std::string(ok ? "ok" : "cancel") + " text=" + (text ? text : "(null)") +
                          " value=" + (value ? value : "(null)"));
    }

    bool enabled = true;
    std::vector<std::string> answers;
};

} // namespace

TEST_F(GuiTest, InputBoxAcceptedEmptyStaysOpenAndAnswersNobody)
{
    Kelvo::InputBoxWnd box;
    box.initialise();
    AnswerLog listener;
    box.show(&listener, "Create Tigger", "Name:");
    EXPECT_TRUE(visible("inputbox"));
    EXPECT_FALSE(listener.enabled);
    EXPECT_EQ(1, gui->getOpenBoxCount());

    click("input_ok");
    EXPECT_TRUE(visible("inputbox"));
    EXPECT_TRUE(listener.answers.empty());
    EXPECT_EQ(1, gui->getOpenBoxCount());

    type("input_edit", "gate");
    click("input_ok");
    EXPECT_FALSE(visible("inputbox"));
    EXPECT_TRUE(listener.enabled);
    EXPECT_EQ((std::vector<std::string>{"ok text=gate value=(null)"}), listener.answers);
    EXPECT_EQ(0, gui->getOpenBoxCount());
}

TEST_F(GuiTest, EnterInTheFieldAcceptsAndTheValueFieldIsPassedOn)
{
    Kelvo::InputBoxWnd box;
    box.initialise();
    AnswerLog listener;
    box.show(&listener, "Create Tigger", "Name:", "Radius:");
    EXPECT_TRUE(visible("value"));
    EXPECT_TRUE(visible("value_edit"));
    type("input_edit", "gate");
    type("value_edit", "7.5");
    gui->findWindow("input_edit")->activate();
    context().injectKeyDown(CEGUI::Key::Return);
    EXPECT_EQ((std::vector<std::string>{"ok text=gate value=7.5"}), listener.answers);
    EXPECT_FALSE(visible("value"));
    EXPECT_FALSE(visible("value_edit"));
}

TEST_F(GuiTest, CancelHidesTheValuePairAndAnswersNothing)
{
    Kelvo::InputBoxWnd box;
    box.initialise();
    AnswerLog listener;
    box.show(&listener, "Create Tigger", "Name:", "Radius:");
    type("input_edit", "typed but cancelled");
    click("input_cancel");
    EXPECT_FALSE(visible("inputbox"));
    EXPECT_FALSE(visible("value"));
    EXPECT_FALSE(visible("value_edit"));
    EXPECT_EQ((std::vector<std::string>{"cancel text=(null) value=(null)"}), listener.answers);
    EXPECT_EQ(0, gui->getOpenBoxCount());
}

TEST_F(GuiTest, ListenerMayAskAgainFromItsAnswer)
{
    // An editor window answers a taken name by asking for another one.
    struct AskAgain : AnswerLog {
        Kelvo::InputBoxWnd* box = nullptr;
        void onInput(bool ok, const char* text, const char* value) override
        {
            AnswerLog::onInput(ok, text, value);
            if (answers.size() == 1) {
                box->show(this, "Create Entity...", "Name:");
            }
        }
    } listener;
    Kelvo::InputBoxWnd box;
    box.initialise();
    listener.box = &box;
    box.show(&listener, "Create Entity...", "Name:");
    type("input_edit", "taken");
    click("input_ok");
    EXPECT_EQ(1u, listener.answers.size());
    EXPECT_TRUE(visible("inputbox"));
    EXPECT_EQ("", std::string(gui->findWindow("input_edit")->getText().c_str()));
    EXPECT_EQ(1, gui->getOpenBoxCount());
}

TEST_F(GuiTest, DisabledMessageBoxIgnoresOkAndItsOwnerWaits)
{
    Kelvo::MsgBoxWnd message;
    message.initialise();
    AnswerLog owner;
    message.show(&owner, "Failed", "No Object Selected to Attach!");
    EXPECT_FALSE(owner.enabled);
    EXPECT_EQ("No Object Selected to Attach!", std::string(gui->findWindow("msgbox_str")->getText().c_str()));
    EXPECT_EQ("Failed", std::string(gui->findWindow("msgbox")->getText().c_str()));

    message.setEnabled(false);
    click("msgbox_ok");
    EXPECT_TRUE(visible("msgbox"));
    EXPECT_FALSE(owner.enabled);
    EXPECT_EQ(1, gui->getOpenBoxCount());

    message.setEnabled(true);
    click("msgbox_ok");
    EXPECT_FALSE(visible("msgbox"));
    EXPECT_TRUE(owner.enabled);
    EXPECT_EQ(0, gui->getOpenBoxCount());
}

TEST_F(GuiTest, OpenBoxCountReturnsToZeroAfterAnyMixOfBoxes)
{
    Kelvo::MsgBoxWnd message;
    Kelvo::InputBoxWnd input;
    message.initialise();
    input.initialise();
    AnswerLog listener;
    input.show(&listener, "Load", "File:");
    message.show(&listener, "Hint", "Type a name");
    EXPECT_EQ(2, gui->getOpenBoxCount());
    click("msgbox_ok");
    click("msgbox_ok");  // a second OK on the closed box changes nothing
    click("input_cancel");
    click("input_cancel");
    EXPECT_EQ(0, gui->getOpenBoxCount());
}

TEST_F(GuiTest, QuestionBoxRemembersTheAnswer)
{
    Kelvo::QuestionWnd question;
    question.initialise(nullptr);
    gui->setWindowVisible("ok_cancel_box", true);
    click("ocb_ok");
    EXPECT_TRUE(question.getAnswer());
    EXPECT_FALSE(visible("ok_cancel_box"));
    gui->setWindowVisible("ok_cancel_box", true);
    click("ocb_cancel");
    EXPECT_FALSE(question.getAnswer());
}

TEST_F(GuiTest, ListItemsTakeTheCommonSelectionStyle)
{
    auto names = std::make_shared<std::vector<std::string>>(std::vector<std::string>{"a.mesh", "b.mesh"});
    gui->fillListbox("items", names);
    gui->addListboxItem("items", "c.mesh");
    auto* list = static_cast<CEGUI::Listbox*>(gui->findWindow("items"));
    ASSERT_EQ(3u, list->getItemCount());
    EXPECT_EQ("b.mesh", std::string(list->getListboxItemFromIndex(1)->getText().c_str()));
    auto* item = static_cast<CEGUI::ListboxTextItem*>(list->getListboxItemFromIndex(0));
    EXPECT_EQ(CEGUI::Colour(0, 0, 1, 0.5f), item->getSelectionColours().d_top_left);
    gui->clearListbox("items");
    EXPECT_EQ(0u, list->getItemCount());
}

TEST_F(GuiTest, UnknownWindowNameGivesNullAndTheManagerGoesOn)
{
    EXPECT_EQ(nullptr, gui->getWindow("no_such_window"));
    gui->setWindowVisible("no_such_window", true);
    EXPECT_NE(nullptr, gui->getWindow("test_root"));
}

TEST_F(GuiTest, MouseOverCountNeverGoesBelowZero)
{
    gui->mouseLeft();
    EXPECT_EQ(0, gui->getMouseOverCount());
    gui->mouseEntered();
    gui->mouseEntered();
    gui->mouseLeft();
    EXPECT_EQ(1, gui->getMouseOverCount());
}

TEST(GuiInputTest, OisButtonsMapToCeguiButtons)
{
    EXPECT_EQ(CEGUI::LeftButton, CeGUIManager::mapMouseButton(0));
    EXPECT_EQ(CEGUI::RightButton, CeGUIManager::mapMouseButton(1));
    EXPECT_EQ(CEGUI::MiddleButton, CeGUIManager::mapMouseButton(2));
    EXPECT_EQ(CEGUI::X1Button, CeGUIManager::mapMouseButton(3));
    EXPECT_EQ(CEGUI::LeftButton, CeGUIManager::mapMouseButton(7));
}
