// The level editor's layout as the editor's windows will find it, on CEGUI's
// null renderer at 1024 x 768: every name they look up is there, of the kind
// they drive, inside the window they show and hide; the windows leave the
// middle of the view clear and keep apart from the ones that can be open
// with them; the boxes sit centred on top; every edit box has a label that
// says what it holds, and every control takes a click at its centre.

#include "gui/CeGUIManager.h"

#include <CEGUI/CEGUI.h>
#include <CEGUI/RendererModules/Null/Renderer.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <clocale>
#include <map>
#include <memory>
#include <ostream>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

using Kelvo::CeGUIManager;

constexpr float kWidth = 1024;
constexpr float kHeight = 768;

// The middle of the view: 40 % of the screen's width and of its height.
const CEGUI::Rectf kMiddleOfTheView(0.3f * kWidth, 0.3f * kHeight, 0.7f * kWidth, 0.7f * kHeight);

enum class Kind { Frame, Static, Label, Edit, List, Combo, Check, Button, Slider };

struct Widget {
    const char* name;
    Kind kind;
};

struct LayoutWindow {
    const char* name;
    Kind kind;
    std::vector<Widget> widgets;
};

constexpr Kind F = Kind::Frame, S = Kind::Static, L = Kind::Label, E = Kind::Edit, LB = Kind::List,
               CB = Kind::Combo, CK = Kind::Check, B = Kind::Button, SL = Kind::Slider;

// Every name the editor's window classes look up, by the window that shows
// and hides them. Labels are listed where the editor tracks the mouse over
// them by name.
const std::vector<LayoutWindow> kEditorWindows = {
    {"toolbar", S,
     {{"show_main_wnd", B}, {"show_trigger_wnd", B}, {"show_light_wnd", B}, {"show_shadow_wnd", B},
      {"show_sound_wnd", B}, {"show_scene_settings", B}, {"show_particle_wnd", B}, {"undo_bt", B},
      {"redo_bt", B}, {"gizmo_move_rb", CK}, {"gizmo_rotate_rb", CK}, {"gizmo_scale_rb", CK},
      {"gizmo_local_cb", CK}, {"gizmo_snap_cb", CK}, {"drop_bt", B}}},
    {"leveledit_win", F,
     {{"rot_x", E}, {"rot_y", E}, {"rot_z", E}, {"trans_x", E}, {"trans_y", E}, {"trans_z", E},
      {"scale_edit", E}, {"scale_y", E}, {"scale_z", E}, {"name_edit", E},
      {"shadow_receiver", CK}, {"shadow_caster", CK}, {"ishidden", CK},
      {"xml_list", LB}, {"placed_obj_list", LB},
      {"load_xml", B}, {"Save XML", B}, {"new_xml", B}, {"remove_xml_bt", B},
      {"add_entity", B}, {"edit_entity", B}, {"remove_entity", B},
      {"name_st", L}, {"placed_objects", L}, {"Rotation", L}, {"Translation", L}, {"x", L}, {"y", L}, {"z", L},
      {"tr_x", L}, {"tr_y", L}, {"tr_z", L}, {"Scale", L}, {"Shadows", L},
      {"scale_x_edit", L}, {"scale_y_edit", L}, {"scale_z_edit", L}, {"OutPut", L},
      {"snap_grid_edit", E}, {"snap_angle_edit", E}, {"snap_scale_edit", E}}},
    {"light_win", F,
     {{"light_list", LB}, {"curr_light_edit", E}, {"light_add", B}, {"light_remove", B}, {"light_type_cb", CB},
      {"parent_edit", E}, {"attach_light_bt", B}, {"light_x_edit", E}, {"light_y_edit", E}, {"light_z_edit", E},
      {"diff_r_edit", E}, {"diff_b_edit", E}, {"diff_g_edit", E}, {"spec_r_edit", E}, {"spec_b_edit", E},
      {"spec_g_edit", E}, {"cast_shadow", CK}, {"att_range_edit", E}, {"att_cons_edit", E}, {"att_linear", E},
      {"att_quad_edit", E}, {"spot_inner_edit", E}, {"spot_outer_edit", E},
      {"lbl_spot", L}, {"lbl_inner", L}, {"lbl_outer", L}}},
    {"particle_win", F,
     {{"particle_node_list", LB}, {"particle_script_list", LB}, {"create_par_bt", B}, {"remove_par_bt", B},
      {"attach_par_bt", B}, {"parent_par_edit", E}, {"x_pos_par_edit", E}, {"y_pos_par_edit", E},
      {"z_pos_par_edit", E}, {"x_sca_par_edit", E}, {"y_sca_par_edit", E}, {"z_sca_par_edit", E},
      {"save_par_bt", B}, {"close_par_wnd_bt", B}}},
    {"add_entity_win", F,
     {{"trigger_list", LB}, {"select_entity_list", LB}, {"create_entity", B}, {"edit_entity_bt", B},
      {"remove_entity_bt", B}, {"exit_bt", B}, {"clone_entity", B}, {"add_trigger", B}, {"remove_trigger", B},
      {"attach_trigger", B}, {"save_trigger", B}, {"trigger_type_list", LB}, {"trigger_type_bt", B},
      {"trigger_parent_edit", E}, {"trigger_reattach", B}, {"trigger_x_edit", E}, {"trigger_y_edit", E},
      {"trigger_z_edit", E}}},
    {"sound_win", F,
     {{"sound_node_list", LB}, {"sound_file_list", LB}, {"create_sound_bt", B}, {"remove_sound_bt", B},
      {"soundtype_cb", CB}, {"play_sound", B}, {"stop_sound", B}, {"attach_to_parent", B}, {"min_3d_edit", E},
      {"max_3d_edit", E}, {"volume_edit", E}, {"sound_x_edit", E}, {"sound_y_edit", E}, {"sound_z_edit", E},
      {"sound_parent_edit", E}, {"save_sound_bt", B}, {"close_snd_wnd", B}}},
    {"entity_win", F,
     {{"meshfile_list", LB}, {"mat_list", LB}, {"entity_type_list", LB}, {"entity_name_edit", E},
      {"create_bt", B}, {"cancel_bt", B}}},
    {"shadow_win", F, {{"shadow_cb", CB}, {"shad_apply_bt", B}, {"shad_cancel_bt", B}}},
    {"dome_win", F,
     {{"dome_time_edit", E}, {"dome_time_slider", SL}, {"dome_dawn_bt", B}, {"dome_noon_bt", B},
      {"dome_night_bt", B}}},
};

// The modal boxes, in the order they are stacked (the message box above
// all: an answer to the others may be a message).
const std::vector<LayoutWindow> kModalBoxes = {
    {"ok_cancel_box", F, {{"okcancel_label", S}, {"ocb_ok", B}, {"ocb_discard", B}, {"ocb_cancel", B}}},
    {"inputbox", F,
     {{"input_label", L}, {"input_edit", E}, {"value", L}, {"value_edit", E}, {"input_ok", B}, {"input_cancel", B}}},
    {"msgbox", F, {{"msgbox_str", S}, {"msgbox_ok", B}}},
};

// Windows that share a column: the toolbar never shows one while the other
// is open, and nothing else opens them.
const std::set<std::pair<std::string, std::string>> kNeverOpenTogether = {
    {"leveledit_win", "light_win"},
    {"leveledit_win", "particle_win"},
    {"light_win", "particle_win"},
    {"add_entity_win", "sound_win"},
};

const char* kindName(Kind kind)
{
    switch (kind) {
    case Kind::Frame: return "frame window";
    case Kind::Static: return "static text";
    case Kind::Label: return "label";
    case Kind::Edit: return "edit box";
    case Kind::List: return "list box";
    case Kind::Combo: return "combo box";
    case Kind::Check: return "check box";
    case Kind::Button: return "push button";
    case Kind::Slider: return "slider";
    }
    return "?";
}

bool isText(const CEGUI::Window* window)
{
    return window->getType() == "TaharezLook/Label" || window->getType() == "TaharezLook/StaticText";
}

bool isOfKind(CEGUI::Window* window, Kind kind)
{
    switch (kind) {
    case Kind::Frame: return dynamic_cast<CEGUI::FrameWindow*>(window) != nullptr;
    case Kind::Static: return window->getType() == "TaharezLook/StaticText";
    case Kind::Label: return isText(window);
    case Kind::Edit: return dynamic_cast<CEGUI::Editbox*>(window) != nullptr;
    case Kind::List: return dynamic_cast<CEGUI::Listbox*>(window) != nullptr;
    case Kind::Combo: return dynamic_cast<CEGUI::Combobox*>(window) != nullptr;
    case Kind::Check: return dynamic_cast<CEGUI::ToggleButton*>(window) != nullptr;
    case Kind::Button: return dynamic_cast<CEGUI::PushButton*>(window) != nullptr;
    case Kind::Slider: return dynamic_cast<CEGUI::Slider*>(window) != nullptr;
    }
    return false;
}

bool isControl(Kind kind)
{
    return kind != Kind::Frame && kind != Kind::Static && kind != Kind::Label;
}

bool overlap(const CEGUI::Rectf& a, const CEGUI::Rectf& b)
{
    return a.left() < b.right() && b.left() < a.right() && a.top() < b.bottom() && b.top() < a.bottom();
}

std::string lowerCase(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

// The layout's own windows below a window, without the parts CEGUI makes
// for a widget (title bars, scroll bars, a combo box's edit box).
void collectLayoutWindows(CEGUI::Window* window, std::vector<CEGUI::Window*>& into)
{
    for (size_t i = 0; i < window->getChildCount(); ++i) {
        CEGUI::Window* child = window->getChildAtIdx(i);
        if (!child->isAutoWindow()) {
            into.push_back(child);
            collectLayoutWindows(child, into);
        }
    }
}

// Keeps what CEGUI reports as an error while the layout loads: a property
// it does not know or a value it cannot read is only logged, and the
// window is left as it would be without it.
class ErrorLog : public CEGUI::Logger {
public:
    void logEvent(const CEGUI::String& message, CEGUI::LoggingLevel level) override
    {
        if (level == CEGUI::Errors) {
            errors.push_back(message.c_str());
        }
    }
    void setLogFilename(const CEGUI::String&, bool) override {}

    std::vector<std::string> errors;
};

// Windows later among their siblings are drawn over the earlier ones.
size_t stackPosition(const CEGUI::Window* window)
{
    const CEGUI::Window* parent = window->getParent();
    for (size_t i = 0; i < parent->getChildCount(); ++i) {
        if (parent->getChildAtIdx(i) == window) {
            return i;
        }
    }
    return parent->getChildCount();
}

} // namespace

namespace CEGUI {
// Rectangles in failure messages.
void PrintTo(const Rectf& r, std::ostream* out)
{
    *out << "(" << r.left() << ", " << r.top() << ") - (" << r.right() << ", " << r.bottom() << ")";
}
} // namespace CEGUI

class LevelEditLayoutTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::setlocale(LC_ALL, "C");
        // CEGUI takes a logger made before it as its own.
        errorLog.reset(new ErrorLog());
        CEGUI::NullRenderer::bootstrapSystem();
        CEGUI::System::getSingleton().notifyDisplaySizeChanged(CEGUI::Sizef(kWidth, kHeight));
        auto* files = static_cast<CEGUI::DefaultResourceProvider*>(CEGUI::System::getSingleton().getResourceProvider());
        files->setResourceGroupDirectory("schemes", "/usr/share/cegui-0.8.7/schemes/");
        files->setResourceGroupDirectory("imagesets", "/usr/share/cegui-0.8.7/imagesets/");
        files->setResourceGroupDirectory("fonts", "/usr/share/cegui-0.8.7/fonts/");
        files->setResourceGroupDirectory("looknfeel", "/usr/share/cegui-0.8.7/looknfeel/");
        // The editor's own layout, not a copy.
        files->setResourceGroupDirectory("layouts", KELVO_TEST_DATA_DIR "/../../../media/gui/layouts/");
        CEGUI::Scheme::setDefaultResourceGroup("schemes");
        CEGUI::ImageManager::setImagesetDefaultResourceGroup("imagesets");
        CEGUI::Font::setDefaultResourceGroup("fonts");
        CEGUI::WidgetLookManager::setDefaultResourceGroup("looknfeel");
        CEGUI::WindowManager::setDefaultResourceGroup("layouts");
        // The faces our .font files describe, on the same TTF; made here, the
        // manager does not look for them in the game's resource groups.
        CEGUI::FontManager& fonts = CEGUI::FontManager::getSingleton();
        fonts.createFreeTypeFont(CeGUIManager::kFont, 10, true, "DejaVuSans.ttf", "fonts");
        fonts.createFreeTypeFont("KelvoMenu-16", 16, true, "DejaVuSans.ttf", "fonts");
        gui.reset(new CeGUIManager());
        gui->configureSystem();
        const CEGUI::Rectf screen(0, 0, kWidth, kHeight);
        context().getMouseCursor().setConstraintArea(&screen);
        ASSERT_TRUE(gui->loadLayout(nullptr, "leveledit_gui.xml"));
        root = gui->getLayoutRoot();
        ASSERT_NE(nullptr, root);
    }

    void TearDown() override
    {
        gui->shutdown();
        gui.reset();
        CEGUI::NullRenderer::destroySystem();
        errorLog.reset();
    }

    static CEGUI::GUIContext& context() { return CEGUI::System::getSingleton().getDefaultGUIContext(); }

    CEGUI::Window* window(const std::string& name) { return gui->findWindow(name); }

    static CEGUI::Rectf area(const CEGUI::Window* window) { return window->getUnclippedOuterRect().get(); }
    CEGUI::Rectf area(const std::string& name) { return area(window(name)); }

    // The window a click at this point reaches, as CEGUI finds it.
    CEGUI::Window* windowAt(const CEGUI::Vector2f& point)
    {
        context().injectMousePosition(point.d_x, point.d_y);
        return context().getWindowContainingMouse();
    }

    // The text that says what an edit box holds: the label just left of it
    // on its row, else the one just above it.
    static CEGUI::Window* labelOf(const CEGUI::Window* edit)
    {
        const CEGUI::Rectf box = area(edit);
        const float row = (box.top() + box.bottom()) / 2;
        CEGUI::Window* beside = nullptr;
        CEGUI::Window* above = nullptr;
        float besideGap = 16;
        float aboveGap = 8;
        const CEGUI::Window* parent = edit->getParent();
        for (size_t i = 0; i < parent->getChildCount(); ++i) {
            CEGUI::Window* sibling = parent->getChildAtIdx(i);
            if (sibling->isAutoWindow() || !isText(sibling)) {
                continue;
            }
            const CEGUI::Rectf text = area(sibling);
            const bool onTheRow = text.top() <= row && row <= text.bottom();
            const float leftGap = box.left() - text.right();
            if (onTheRow && leftGap >= -1 && leftGap < besideGap) {
                beside = sibling;
                besideGap = leftGap;
            }
            const bool overIt = text.left() <= box.left() + 2 && text.right() > box.left();
            const float topGap = box.top() - text.bottom();
            if (overIt && topGap >= -1 && topGap < aboveGap) {
                above = sibling;
                aboveGap = topGap;
            }
        }
        return beside ? beside : above;
    }

    std::unique_ptr<ErrorLog> errorLog;
    std::unique_ptr<CeGUIManager> gui;
    CEGUI::Window* root = nullptr;
};

TEST_F(LevelEditLayoutTest, LoadsWithoutAnError)
{
    EXPECT_EQ(std::vector<std::string>{}, errorLog->errors);
}

TEST_F(LevelEditLayoutTest, EveryNameTheEditorLooksUpIsThereWithItsKindInItsWindow)
{
    std::vector<LayoutWindow> all = kEditorWindows;
    all.insert(all.end(), kModalBoxes.begin(), kModalBoxes.end());
    for (const LayoutWindow& expected : all) {
        CEGUI::Window* frame = window(expected.name);
        ASSERT_NE(nullptr, frame) << expected.name << " is missing";
        EXPECT_TRUE(isOfKind(frame, expected.kind)) << expected.name << " is a " << frame->getType()
                                                    << ", not a " << kindName(expected.kind);
        // Shown, hidden and stacked on its own, not inside another window.
        EXPECT_EQ(root, frame->getParent()) << expected.name;
        for (const Widget& widget : expected.widgets) {
            CEGUI::Window* found = window(widget.name);
            ASSERT_NE(nullptr, found) << widget.name << " (in " << expected.name << ") is missing";
            EXPECT_TRUE(isOfKind(found, widget.kind)) << widget.name << " is a " << found->getType()
                                                      << ", not a " << kindName(widget.kind);
            EXPECT_TRUE(found->isAncestor(frame)) << widget.name << " is not inside " << expected.name;
            // Not cut off by the window's edges.
            const CEGUI::Rectf inner = frame->getUnclippedInnerRect().get();
            const CEGUI::Rectf own = area(found);
            EXPECT_TRUE(own.left() >= inner.left() && own.right() <= inner.right() && own.top() >= inner.top() &&
                        own.bottom() <= inner.bottom())
                << widget.name << " " << ::testing::PrintToString(own) << " reaches out of " << expected.name << " "
                << ::testing::PrintToString(inner);
        }
    }
}

TEST_F(LevelEditLayoutTest, NoNameIsUsedTwice)
{
    // A look-up by name finds the first window of that name: a second one
    // would never be driven.
    std::vector<CEGUI::Window*> windows;
    collectLayoutWindows(root, windows);
    std::map<std::string, int> uses;
    for (CEGUI::Window* each : windows) {
        ++uses[each->getName().c_str()];
    }
    for (const auto& use : uses) {
        EXPECT_EQ(1, use.second) << "\"" << use.first << "\" names " << use.second << " windows";
    }
    EXPECT_GT(uses.size(), 200u);
}

TEST_F(LevelEditLayoutTest, EditorWindowsLeaveTheMiddleOfTheViewClear)
{
    const CEGUI::Rectf screen(0, 0, kWidth, kHeight);
    const CEGUI::Rectf toolbar = area("toolbar");
    EXPECT_EQ(0, toolbar.top());
    EXPECT_EQ(kWidth, toolbar.getWidth());
    EXPECT_LE(toolbar.getHeight(), 40);

    for (size_t i = 0; i < kEditorWindows.size(); ++i) {
        const std::string name = kEditorWindows[i].name;
        const CEGUI::Rectf own = area(name);
        EXPECT_GE(own.left(), screen.left()) << name << " " << ::testing::PrintToString(own);
        EXPECT_GE(own.top(), screen.top()) << name << " " << ::testing::PrintToString(own);
        EXPECT_LE(own.right(), screen.right()) << name << " " << ::testing::PrintToString(own);
        EXPECT_LE(own.bottom(), screen.bottom()) << name << " " << ::testing::PrintToString(own);
        if (name == "toolbar") {
            continue;
        }
        EXPECT_FALSE(overlap(own, kMiddleOfTheView)) << name << " covers the middle of the view: "
                                                     << ::testing::PrintToString(own);
        EXPECT_FALSE(overlap(own, toolbar)) << name << " covers the toolbar";
        for (size_t j = i + 1; j < kEditorWindows.size(); ++j) {
            const std::string other = kEditorWindows[j].name;
            if (other == "toolbar" || kNeverOpenTogether.count({name, other}) ||
                kNeverOpenTogether.count({other, name})) {
                continue;
            }
            EXPECT_FALSE(overlap(own, area(other)))
                << name << " " << ::testing::PrintToString(own) << " covers " << other << " "
                << ::testing::PrintToString(area(other)) << ", which can be open with it";
        }
    }
}

TEST_F(LevelEditLayoutTest, ModalBoxesStartHiddenCentredAndAboveEveryEditorWindow)
{
    const CEGUI::Vector2f centre(kWidth / 2, kHeight / 2);
    size_t lastEditorWindow = 0;
    for (const LayoutWindow& editor : kEditorWindows) {
        lastEditorWindow = std::max(lastEditorWindow, stackPosition(window(editor.name)));
    }
    for (const LayoutWindow& box : kModalBoxes) {
        CEGUI::Window* frame = window(box.name);
        EXPECT_FALSE(frame->isVisible()) << box.name;
        EXPECT_GT(stackPosition(frame), lastEditorWindow) << box.name << " is stacked below an editor window";
        const CEGUI::Rectf own = area(frame);
        EXPECT_NEAR(centre.d_x, (own.left() + own.right()) / 2, 1) << box.name;
        EXPECT_NEAR(centre.d_y, (own.top() + own.bottom()) / 2, 1) << box.name;
        for (const LayoutWindow& editor : kEditorWindows) {
            // Still above after the designer clicks into an editor window.
            window(editor.name)->activate();
            EXPECT_TRUE(frame->isInFront(*window(editor.name))) << box.name << " behind " << editor.name;
        }
    }
    // The third answer shows only for a question that offers it.
    EXPECT_FALSE(window("ocb_discard")->isVisible());
    EXPECT_FALSE(window("value")->isVisible());
    EXPECT_FALSE(window("value_edit")->isVisible());
}

TEST_F(LevelEditLayoutTest, OnlyTheToolbarAndTheSceneWindowStartOpenAndTheViewTakesOtherClicks)
{
    for (const LayoutWindow& editor : kEditorWindows) {
        const std::string name = editor.name;
        EXPECT_EQ(name == "toolbar" || name == "leveledit_win", window(name)->isVisible()) << name;
    }
    EXPECT_TRUE(root->isMousePassThroughEnabled());
    // CEGUI names the root as the window under the mouse when no window of
    // it is there; the root lets the click through to the view.
    CEGUI::Window* middle = windowAt(CEGUI::Vector2f(kWidth / 2, kHeight / 2));
    EXPECT_EQ(root, middle) << (middle ? middle->getNamePath().c_str() : "nothing");
    EXPECT_EQ(window("show_light_wnd"), windowAt(area("show_light_wnd").getPosition() + CEGUI::Vector2f(5, 5)));
}

TEST_F(LevelEditLayoutTest, EveryEditBoxHasALabelSayingWhatItHolds)
{
    std::vector<CEGUI::Window*> windows;
    collectLayoutWindows(root, windows);
    int editBoxes = 0;
    for (CEGUI::Window* each : windows) {
        if (!dynamic_cast<CEGUI::Editbox*>(each)) {
            continue;
        }
        ++editBoxes;
        const CEGUI::Window* label = labelOf(each);
        ASSERT_NE(nullptr, label) << each->getName() << " has no label beside or above it";
        EXPECT_FALSE(label->getText().empty()) << each->getName() << "'s label " << label->getName() << " is empty";
    }
    EXPECT_GT(editBoxes, 40);

    // The light's colour edits hold the components crosswise to their names.
    const std::map<std::string, std::string> holds = {
        {"diff_r_edit", "red"}, {"diff_b_edit", "green"}, {"diff_g_edit", "blue"},
        {"spec_r_edit", "red"}, {"spec_b_edit", "green"}, {"spec_g_edit", "blue"},
    };
    for (const auto& edit : holds) {
        const CEGUI::Window* label = labelOf(window(edit.first));
        ASSERT_NE(nullptr, label) << edit.first;
        const std::string text = lowerCase(label->getText().c_str());
        EXPECT_NE(std::string::npos, text.find(edit.second)) << edit.first << " is labelled \"" << text << "\"";
        for (const char* other : {"red", "green", "blue"}) {
            if (other != edit.second) {
                EXPECT_EQ(std::string::npos, text.find(other)) << edit.first << " is labelled \"" << text << "\"";
            }
        }
    }
}

TEST_F(LevelEditLayoutTest, EveryControlTakesAClickAtItsCentre)
{
    std::vector<LayoutWindow> all = kEditorWindows;
    all.insert(all.end(), kModalBoxes.begin(), kModalBoxes.end());
    for (const LayoutWindow& shown : all) {
        // Each window alone, with the widgets its class shows at run time.
        for (size_t i = 0; i < root->getChildCount(); ++i) {
            root->getChildAtIdx(i)->setVisible(false);
        }
        window(shown.name)->setVisible(true);
        for (const Widget& widget : shown.widgets) {
            window(widget.name)->setVisible(true);
        }
        for (const Widget& widget : shown.widgets) {
            if (!isControl(widget.kind)) {
                continue;
            }
            CEGUI::Window* control = window(widget.name);
            // A combo box's area holds the list it opens too: aim at its row.
            const CEGUI::Rectf own = widget.kind == Kind::Combo
                                         ? area(static_cast<CEGUI::Combobox*>(control)->getEditbox())
                                         : area(control);
            const CEGUI::Vector2f centre(own.left() + own.getWidth() / 2, own.top() + own.getHeight() / 2);
            CEGUI::Window* hit = windowAt(centre);
            EXPECT_TRUE(hit == control || (hit && hit->isAncestor(control)))
                << widget.name << " in " << shown.name << ": a click at its centre reaches "
                << (hit ? hit->getNamePath().c_str() : "the view");
        }
    }
}

TEST_F(LevelEditLayoutTest, EveryCaptionFitsItsWidget)
{
    // Room a widget keeps beside its text: a button's edges, a check box's box.
    const std::map<std::string, float> margins = {
        {"TaharezLook/Label", 0}, {"TaharezLook/Button", 8}, {"TaharezLook/Checkbox", 22},
        {"TaharezLook/RadioButton", 22}};
    std::vector<CEGUI::Window*> windows;
    collectLayoutWindows(root, windows);
    int captions = 0;
    for (CEGUI::Window* each : windows) {
        const auto margin = margins.find(each->getType().c_str());
        if (margin == margins.end() || each->getText().empty()) {
            continue;
        }
        ++captions;
        const float width = each->getFont()->getTextExtent(each->getText());
        EXPECT_LE(width + margin->second, area(each).getWidth())
            << each->getName() << ": \"" << each->getText() << "\" is cut off (" << width << " px of text)";
    }
    EXPECT_GT(captions, 100);
}
