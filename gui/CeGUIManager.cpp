#include "gui/CeGUIManager.h"

#include "gui/CeguiLogFile.h"
#include "platform/MessageBox.h"

#include <CEGUI/CEGUI.h>
#include <CEGUI/RendererModules/Ogre/Renderer.h>
#include <Ogre.h>

#include <clocale>

template <> Kelvo::CeGUIManager* Ogre::Singleton<Kelvo::CeGUIManager>::msSingleton = nullptr;

namespace Kelvo {

namespace {

// The names CEGUI's Ogre renderer gives the engine textures it makes.
const char* const kCeguiTexturePrefix = "_cegui_ogre_";
const char* const kCeguiLogFile = "CEGUI.log";
const float kMultiClickSeconds = 0.001f;

} // namespace

const char* const CeGUIManager::kScheme = "TaharezLook.scheme";
const char* const CeGUIManager::kFont = "Tahoma-10";
const char* const CeGUIManager::kCursorImage = "TaharezLook/MouseArrow";
const char* const CeGUIManager::kSelectionBrush = "TaharezLook/ListboxSelectionBrush";

namespace {

// CEGUI loads its files through the engine's resource groups of these names
// (resources.cfg declares them).
void setDefaultResourceGroups()
{
    CEGUI::Scheme::setDefaultResourceGroup("Schemes");
    CEGUI::ImageManager::setImagesetDefaultResourceGroup("Imagesets");
    CEGUI::Font::setDefaultResourceGroup("Fonts");
    CEGUI::WidgetLookManager::setDefaultResourceGroup("LookNFeel");
    CEGUI::WindowManager::setDefaultResourceGroup("Layouts");
}

} // namespace

CeGUIManager::CeGUIManager()
    : mSelectionColour(0.0f, 0.0f, 1.0f, 0.5f)
{
}

CeGUIManager::~CeGUIManager() = default;

bool CeGUIManager::initialise()
{
    if (mInitialised) {
        shutdown();
    }
    mInitialised = true;
    if (mRenderer) {
        // CEGUI stays up from one state to the next: every stop and start
        // of it costs about 2.7 MB that CEGUI never gives back (measured
        // with the soak), and the menu is entered again and again.
        Ogre::Root::getSingleton().addFrameListener(this);
        return true;
    }
    mRenderWindow = Ogre::Root::getSingleton().getAutoCreatedWindow();
    // CEGUI parses numbers in its files and properties only under the "C"
    // locale; a library may have switched the process to the user's one.
    std::setlocale(LC_ALL, "C");
    if (!mLog && !CEGUI::Logger::getSingletonPtr()) {
        // CEGUI names the file only for a logger of its own making.
        mLog.reset(new CeguiLogFile());
        mLog->setLogFilename(kCeguiLogFile);
    }
    mRenderer = &CEGUI::OgreRenderer::bootstrapSystem(*mRenderWindow);
    // Left to itself the renderer draws after the engine's frame, on top of
    // everything. The windows are drawn from the scene manager's render
    // queue instead, inside the engine's frame and just before the
    // overlays, so fades and full-screen pictures cover the windows too.
    mRenderer->setRenderingEnabled(false);
    mRenderer->setFrameControlExecutionEnabled(false);
    setDefaultResourceGroups();
    configureSystem();
    Ogre::Root::getSingleton().addFrameListener(this);
    return true;
}

void CeGUIManager::configureSystem()
{
    mInitialised = true;
    CEGUI::Logger::getSingleton().setLoggingLevel(CEGUI::Informative);
    CEGUI::SchemeManager::getSingleton().createFromFile(kScheme);
    CEGUI::GUIContext& gui = CEGUI::System::getSingleton().getDefaultGUIContext();
    gui.getMouseCursor().setDefaultImage(kCursorImage);
    // Our own fonts ("Tahoma-10" and the "Kelvo*" faces the layouts name);
    // CEGUI loads only the fonts a scheme names by itself.
    CEGUI::FontManager& fonts = CEGUI::FontManager::getSingleton();
    if (!fonts.isDefined(kFont)) {
        fonts.createFromFile(std::string(kFont) + ".font");
    }
    if (!fonts.isDefined("KelvoMenu-16")) {
        fonts.createAll("Kelvo*.font", "Fonts");
    }
    gui.setDefaultFont(kFont);
    // Every press is a press: CEGUI would deliver a second one on the same
    // window within a third of a second only as a double click, which our
    // windows do not handle, so a quick second click (Cancel on a question
    // asked again at the same place) would be lost. No hand clicks twice
    // within a millisecond. (A time of 0 would make every repeat a double
    // click; an empty tolerance area would end CEGUI's click events too.)
    gui.setMouseButtonMultiClickTimeout(kMultiClickSeconds);
    mSelectionColour = CEGUI::Colour(0.0f, 0.0f, 1.0f, 0.5f);
}

void CeGUIManager::shutdown()
{
    mInitialised = false;
    if (mLayoutRoot) {
        CEGUI::WindowManager::getSingleton().destroyWindow(mLayoutRoot);
        mLayoutRoot = nullptr;
    }
    detachFromSceneManager();
    if (mRenderer) {
        Ogre::Root::getSingleton().removeFrameListener(this);
        if (CEGUI::GUIContext* gui = context()) {
            gui->setRootWindow(nullptr);
        }
    }
    mOpenBoxCount = 0;
    mMouseOverCount = 0;
}

void CeGUIManager::destroySystem()
{
    shutdown();
    if (mRenderer) {
        CEGUI::OgreRenderer::destroySystem();
        mRenderer = nullptr;
        removeTexturesLeftByCegui();
    }
}

void CeGUIManager::removeTexturesLeftByCegui()
{
    // CEGUI's Ogre renderer leaves engine textures behind when it is
    // destroyed: 1 x 1 pixel ones named like its own ("_cegui_ogre_N") that
    // none of its textures holds any more, a few more with every start of
    // CEGUI, that is with every menu entry. Once the system is gone, every
    // texture of that name is such an orphan.
    Ogre::TextureManager& textures = Ogre::TextureManager::getSingleton();
    std::vector<Ogre::ResourceHandle> orphans;
    auto each = textures.getResourceIterator();
    while (each.hasMoreElements()) {
        const Ogre::ResourcePtr& texture = each.getNext();
        if (Ogre::StringUtil::startsWith(texture->getName(), kCeguiTexturePrefix, false)) {
            orphans.push_back(texture->getHandle());
        }
    }
    for (Ogre::ResourceHandle handle : orphans) {
        textures.remove(handle);
    }
}

void CeGUIManager::attachToSceneManager(Ogre::SceneManager* sceneManager)
{
    if (sceneManager == mQueueSceneManager) {
        return;
    }
    detachFromSceneManager();
    mQueueSceneManager = sceneManager;
    if (mQueueSceneManager) {
        mQueueSceneManager->addRenderQueueListener(this);
    }
}

void CeGUIManager::detachFromSceneManager()
{
    // The states replace "MainScene"; a manager already destroyed has taken
    // its listeners with it.
    Ogre::Root* root = Ogre::Root::getSingletonPtr();
    if (mQueueSceneManager && root) {
        for (const auto& entry : root->getSceneManagers()) {
            if (entry.second == mQueueSceneManager) {
                mQueueSceneManager->removeRenderQueueListener(this);
                break;
            }
        }
    }
    mQueueSceneManager = nullptr;
}

void CeGUIManager::renderQueueStarted(Ogre::uint8 queueGroupId, const Ogre::String&, bool&)
{
    if (queueGroupId != Ogre::RENDER_QUEUE_OVERLAY || !mDrawingEnabled || !mRenderer ||
        !CEGUI::System::getSingletonPtr()) {
        return;
    }
    // Only the window's own view gets the windows, not the water's pictures.
    Ogre::RenderSystem* renderSystem = Ogre::Root::getSingleton().getRenderSystem();
    Ogre::Viewport* viewport = renderSystem ? renderSystem->_getViewport() : nullptr;
    if (!viewport || viewport->getTarget() != mRenderWindow) {
        return;
    }
    CEGUI::System::getSingleton().renderAllGUIContexts();
    // CEGUI leaves the scissor test on with the last window's clip rectangle
    // and hands back the engine's viewport without applying it again. The
    // overlays after it, and the next frame's clear and scene, would be cut
    // to that rectangle: the screen stays black but for the windows.
    renderSystem->setScissorTest(false);
    renderSystem->_setViewport(nullptr);
    renderSystem->_setViewport(viewport);
}

CEGUI::GUIContext* CeGUIManager::context() const
{
    CEGUI::System* system = CEGUI::System::getSingletonPtr();
    return system ? &system->getDefaultGUIContext() : nullptr;
}

bool CeGUIManager::loadLayout(Ogre::SceneManager* sceneManager, const std::string& layoutFile)
{
    if (mLayoutRoot) {
        CEGUI::WindowManager::getSingleton().destroyWindow(mLayoutRoot);
        mLayoutRoot = nullptr;
    }
    attachToSceneManager(sceneManager);
    mLayoutRoot = CEGUI::WindowManager::getSingleton().loadLayoutFromFile(layoutFile);
    context()->setRootWindow(mLayoutRoot);
    return true;
}

void CeGUIManager::centreMouse()
{
    if (mRenderWindow) {
        setMousePosition(mRenderWindow->getWidth() / 2.0f, mRenderWindow->getHeight() / 2.0f);
    } else if (CEGUI::GUIContext* gui = context()) {
        gui->getMouseCursor().show();
    }
}

void CeGUIManager::setMousePosition(float x, float y)
{
    if (CEGUI::GUIContext* gui = context()) {
        gui->injectMousePosition(x, y);
        gui->getMouseCursor().show();
    }
}

CEGUI::Window* CeGUIManager::findWindow(const std::string& name) const
{
    if (!mLayoutRoot) {
        return nullptr;
    }
    if (mLayoutRoot->getName() == name) {
        return mLayoutRoot;
    }
    return mLayoutRoot->getChildRecursive(name);
}

CEGUI::Window* CeGUIManager::getWindow(const std::string& name)
{
    CEGUI::Window* window = findWindow(name);
    if (!window) {
        Platform::showExceptionBox("CEGUI::UnknownObjectException: WindowManager::getWindow - A Window object "
                                   "named '" + name + "' is not present in the loaded layout.");
    }
    return window;
}

void CeGUIManager::setWindowVisible(const std::string& name, bool visible)
{
    if (CEGUI::Window* window = getWindow(name)) {
        window->setVisible(visible);
    }
}

namespace {

CEGUI::ListboxTextItem* makeItem(const std::string& text, const CEGUI::Colour& selection)
{
    auto* item = new CEGUI::ListboxTextItem(text, 0, nullptr, false, true);
    item->setSelectionColours(selection);
    item->setSelectionBrushImage(CeGUIManager::kSelectionBrush);
    return item;
}

} // namespace

void CeGUIManager::addComboboxItem(const std::string& comboboxName, const std::string& text)
{
    if (auto* box = dynamic_cast<CEGUI::Combobox*>(getWindow(comboboxName))) {
        box->addItem(makeItem(text, mSelectionColour));
    }
}

void CeGUIManager::addListboxItem(const std::string& listboxName, const std::string& text)
{
    if (auto* box = dynamic_cast<CEGUI::Listbox*>(getWindow(listboxName))) {
        box->addItem(makeItem(text, mSelectionColour));
    }
}

void CeGUIManager::fillCombobox(const std::string& comboboxName, const NameList& items)
{
    auto* box = dynamic_cast<CEGUI::Combobox*>(getWindow(comboboxName));
    if (!box || !items) {
        return;
    }
    for (const std::string& text : *items) {
        box->addItem(makeItem(text, mSelectionColour));
    }
}

void CeGUIManager::fillListbox(const std::string& listboxName, const NameList& items)
{
    auto* box = dynamic_cast<CEGUI::Listbox*>(getWindow(listboxName));
    if (!box || !items) {
        return;
    }
    for (const std::string& text : *items) {
        box->addItem(makeItem(text, mSelectionColour));
    }
}

void CeGUIManager::clearListbox(const std::string& listboxName)
{
    if (auto* box = dynamic_cast<CEGUI::Listbox*>(getWindow(listboxName))) {
        box->resetList();
    }
}

void CeGUIManager::mouseEntered()
{
    ++mMouseOverCount;
}

void CeGUIManager::mouseLeft()
{
    if (mMouseOverCount > 0) {
        --mMouseOverCount;
    }
}

void CeGUIManager::closeBox()
{
    if (mOpenBoxCount > 0) {
        --mOpenBoxCount;
    }
}

bool CeGUIManager::canInject() const
{
    return mInitialised && context();
}

bool CeGUIManager::keyPressed(const OIS::KeyEvent& event)
{
    if (canInject()) {
        context()->injectKeyDown(static_cast<CEGUI::Key::Scan>(event.key));
        context()->injectChar(static_cast<CEGUI::String::value_type>(event.text));
    }
    return true;
}

bool CeGUIManager::keyReleased(const OIS::KeyEvent& event)
{
    if (canInject()) {
        context()->injectKeyUp(static_cast<CEGUI::Key::Scan>(event.key));
    }
    return true;
}

bool CeGUIManager::mouseMoved(const OIS::MouseEvent& event)
{
    if (canInject()) {
        context()->injectMousePosition(static_cast<float>(event.state.X.abs), static_cast<float>(event.state.Y.abs));
        if (event.state.Z.rel != 0) {
            context()->injectMouseWheelChange(event.state.Z.rel / 120.0f);
        }
    }
    return true;
}

int CeGUIManager::mapMouseButton(int oisButton)
{
    switch (oisButton) {
    case OIS::MB_Left: return CEGUI::LeftButton;
    case OIS::MB_Right: return CEGUI::RightButton;
    case OIS::MB_Middle: return CEGUI::MiddleButton;
    case OIS::MB_Button3: return CEGUI::X1Button;
    default: return CEGUI::LeftButton;
    }
}

bool CeGUIManager::mousePressed(const OIS::MouseEvent& event, OIS::MouseButtonID id)
{
    if (canInject()) {
        // The button lands where the pointer is now, even without a move.
        context()->injectMousePosition(static_cast<float>(event.state.X.abs), static_cast<float>(event.state.Y.abs));
        context()->injectMouseButtonDown(static_cast<CEGUI::MouseButton>(mapMouseButton(id)));
    }
    return true;
}

bool CeGUIManager::mouseReleased(const OIS::MouseEvent& event, OIS::MouseButtonID id)
{
    if (canInject()) {
        context()->injectMouseButtonUp(static_cast<CEGUI::MouseButton>(mapMouseButton(id)));
    }
    return true;
}

bool CeGUIManager::frameStarted(const Ogre::FrameEvent& event)
{
    if (CEGUI::System* system = CEGUI::System::getSingletonPtr()) {
        system->injectTimePulse(event.timeSinceLastFrame);
        system->getDefaultGUIContext().injectTimePulse(event.timeSinceLastFrame);
    }
    return true;
}

} // namespace Kelvo
