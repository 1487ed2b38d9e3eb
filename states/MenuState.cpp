#include "states/MenuState.h"

#include "app/Application.h"
#include "app/ObjectCounts.h"
#include "editor/LevelEditorState.h"
#include "effects/SceneFader.h"
#include "gui/CeGUIManager.h"
#include "platform/Environment.h"
#include "platform/Log.h"
#include "states/CreditState.h"
#include "states/GameStateManager.h"
#include "states/PlayState.h"

#include <CEGUI/CEGUI.h>
#include <Ogre.h>

template <> Kelvo::MenuState* Ogre::Singleton<Kelvo::MenuState>::msSingleton = nullptr;

namespace Kelvo {

namespace {

const float kCameraNearClip = 5.0f;
const Ogre::Vector3 kCameraNodePosition(0.0f, 6.0f, -3.5f);
const char* const kLayout = "kelvo_main_menu.xml";
const char* const kBackground = "Menue_Background";
const char* const kBackgroundFile = "Menue_Background.png";

} // namespace

const float MenuState::kFadeSeconds = 1.0f;

MenuState::MenuState() = default;
MenuState::~MenuState() = default;

void MenuState::enter()
{
    if (GameStateManager::getSingleton().setupFailed()) {
        return;
    }
    logLine("___MENUSTATE::ENTER___");

    mApplication = Application::getSingletonPtr();
    mSceneManager = mApplication->getSceneManager();
    mRenderWindow = mApplication->getRenderWindow();

    mCamera = mSceneManager->createCamera("MenuCamera");
    mCamera->setNearClipDistance(kCameraNearClip);
    mViewport = mRenderWindow->addViewport(mCamera);
    mCamera->setAspectRatio(Ogre::Real(mViewport->getActualWidth()) / Ogre::Real(mViewport->getActualHeight()));

    mGui = CeGUIManager::getSingletonPtr();
    mGui->initialise();

    Ogre::SceneNode* cameraNode =
        mSceneManager->getRootSceneNode()->createChildSceneNode("CamNode1", kCameraNodePosition);
    Ogre::SceneNode* pitchNode = cameraNode->createChildSceneNode("PitchNode1");
    pitchNode->attachObject(mCamera);

    buildMenuGui();

    mQuitRequested = false;
    mStartRequested = false;
    mCreditsRequested = false;
    mEditorRequested = false;

    mFader = SceneFader::getSingletonPtr();
    mFader->create(mRenderWindow);
    mFader->setBlack();
    mFader->fadeIn(kFadeSeconds);

    // Everything the previous state made is gone by now: what the census
    // shows beyond the last return to the menu is a leak.
    Platform::returnFreedMemory();
    ObjectCounts::log();
}

void MenuState::buildMenuGui()
{
    mGui->loadLayout(mSceneManager, kLayout);
    mGui->centreMouse();

    mOptionsVisible = false;
    mGui->setWindowVisible("options", false);

    // The picture: an image of its own over the whole 1024 x 768 file.
    CEGUI::ImageManager& images = CEGUI::ImageManager::getSingleton();
    if (!images.isDefined(kBackground)) {
        try {
            images.addFromImageFile(kBackground, kBackgroundFile, "General");
        } catch (const std::exception& e) {
            // CEGUI reads through the engine, so a missing file is the
            // engine's exception; the menu goes on without its picture.
            logWarning(std::string("MenuState: no menu picture: ") + e.what());
        }
    }
    if (images.isDefined(kBackground)) {
        if (CEGUI::Window* background = mGui->getWindow("background")) {
            background->setProperty("Image", kBackground);
        }
    }

    fillOptionList("cbRes", "resolution");
    fillOptionList("cbFullScr", "fullscreen");
    fillOptionList("cbVsync", "vsync");
    fillOptionList("cbTexFilter", "texturefilter");

    mConnections.clear();
    const CEGUI::String& accepted = CEGUI::Combobox::EventListSelectionAccepted;
    const CEGUI::String& pressed = CEGUI::Window::EventMouseButtonDown;
    subscribe("cbRes", accepted, &MenuState::onResolutionChosen);
    subscribe("cbFullScr", accepted, &MenuState::onFullscreenChosen);
    subscribe("cbVsync", accepted, &MenuState::onVsyncChosen);
    subscribe("cbTexFilter", accepted, &MenuState::onTextureFilterChosen);
    subscribe("btsave", pressed, &MenuState::onSaveClicked);
    subscribe("start", pressed, &MenuState::onStartClicked);
    subscribe("optionen", pressed, &MenuState::onOptionsClicked);
    subscribe("credits", pressed, &MenuState::onCreditsClicked);
    subscribe("quit", pressed, &MenuState::onQuitClicked);
}

void MenuState::fillOptionList(const std::string& combobox, const std::string& option)
{
    const OptionEntry* entry = mApplication->getOption(option);
    CEGUI::Window* box = mGui->getWindow(combobox);
    if (!box) {
        return;
    }
    if (!entry) {
        // The render system offers no such setting here.
        box->setEnabled(false);
        return;
    }
    mOptionValues = entry->allowedValues;
    for (const std::string& value : mOptionValues) {
        mGui->addComboboxItem(combobox, value);
    }
    box->setText(entry->value);
}

void MenuState::subscribe(const std::string& window, const CEGUI::String& event,
                          bool (MenuState::*handler)(const CEGUI::EventArgs&))
{
    if (CEGUI::Window* target = mGui->getWindow(window)) {
        mConnections.push_back(target->subscribeEvent(event, CEGUI::Event::Subscriber(handler, this)));
    }
}

void MenuState::exit()
{
    for (CEGUI::Event::Connection& connection : mConnections) {
        connection->disconnect();
    }
    mConnections.clear();
    mGui->shutdown();
    mSceneManager->clearScene();
    mSceneManager->destroyAllCameras();
    mSceneManager->destroyAllEntities();
    mRenderWindow->removeAllViewports();
    mCamera = nullptr;
    mViewport = nullptr;
}

bool MenuState::frameStarted(const Ogre::FrameEvent& event)
{
    mFader->update(event.timeSinceLastFrame);
    if (!mFader->isDone()) {
        return true;
    }
    if (mStartRequested) {
        GameStateManager::getSingleton().changeState(PlayState::getSingletonPtr());
    } else if (mCreditsRequested) {
        GameStateManager::getSingleton().changeState(CreditState::getSingletonPtr());
    } else if (mEditorRequested) {
        GameStateManager::getSingleton().changeState(LevelEditorState::getSingletonPtr());
    }
    return true;
}

bool MenuState::frameEnded(const Ogre::FrameEvent& event)
{
    return !(mQuitRequested && mFader->isDone());
}

void MenuState::requestLeaving(bool& request)
{
    mFader->fadeOut(kFadeSeconds);
    request = true;
}

bool MenuState::keyPressed(const OIS::KeyEvent& event)
{
    if (event.key == kKeyEscape) {
        requestLeaving(mQuitRequested);
    } else if (event.key == kKeySpace) {
        requestLeaving(mEditorRequested);
    }
    if (!mStartRequested) {
        mGui->keyPressed(event);
    }
    return true;
}

bool MenuState::keyReleased(const OIS::KeyEvent& event)
{
    if (!mStartRequested) {
        mGui->keyReleased(event);
    }
    return true;
}

bool MenuState::mouseMoved(const OIS::MouseEvent& event)
{
    if (!mStartRequested) {
        mGui->mouseMoved(event);
    }
    return true;
}

bool MenuState::mousePressed(const OIS::MouseEvent& event, OIS::MouseButtonID id)
{
    if (!mStartRequested) {
        mGui->mousePressed(event, id);
    }
    return true;
}

bool MenuState::mouseReleased(const OIS::MouseEvent& event, OIS::MouseButtonID id)
{
    if (!mStartRequested) {
        mGui->mouseReleased(event, id);
    }
    return true;
}

void MenuState::toggleOptions()
{
    mOptionsVisible = !mOptionsVisible;
    mGui->setWindowVisible("options", mOptionsVisible);
    Ogre::LogManager::getSingleton().logMessage(mOptionsVisible ? "MenuState: options shown" : "MenuState: options hidden");
}

bool MenuState::onOptionsClicked(const CEGUI::EventArgs&)
{
    toggleOptions();
    return true;
}

bool MenuState::onStartClicked(const CEGUI::EventArgs&)
{
    requestLeaving(mStartRequested);
    return true;
}

bool MenuState::onCreditsClicked(const CEGUI::EventArgs&)
{
    requestLeaving(mCreditsRequested);
    return true;
}

bool MenuState::onQuitClicked(const CEGUI::EventArgs&)
{
    requestLeaving(mQuitRequested);
    return true;
}

bool MenuState::onSaveClicked(const CEGUI::EventArgs&)
{
    mFader->fadeOut(kFadeSeconds);
    toggleOptions();
    mQuitRequested = true;
    return true;
}

bool MenuState::assignOption(const std::string& combobox, const std::string& option)
{
    OptionEntry* entry = mApplication->getOption(option);
    CEGUI::Window* box = mGui->getWindow(combobox);
    if (!entry || !box) {
        return true;
    }
    entry->assign(box->getText().c_str());
    if (mApplication->saveOptions()) {
        logLine("MenuState: option " + option + " is now \"" + entry->value +
                "\", options saved");
    } else {
        logWarning("MenuState: the options file could not be written");
    }
    return true;
}

bool MenuState::onResolutionChosen(const CEGUI::EventArgs&)
{
    return assignOption("cbRes", "resolution");
}

bool MenuState::onFullscreenChosen(const CEGUI::EventArgs&)
{
    return assignOption("cbFullScr", "fullscreen");
}

bool MenuState::onVsyncChosen(const CEGUI::EventArgs&)
{
    return assignOption("cbVsync", "vsync");
}

bool MenuState::onTextureFilterChosen(const CEGUI::EventArgs&)
{
    return assignOption("cbTexFilter", "texturefilter");
}

} // namespace Kelvo
