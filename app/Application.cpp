#include "app/Application.h"

#include "app/OptionsFile.h"
#include "platform/Log.h"
#include "platform/MessageBox.h"
#include "scene/SceneObjects.h"
#include "states/InputManager.h"
#include "states/OgreEventListener.h"
#include "terrain/PagingLandScapeSceneManager.h"
#include "terrain/PagingLandScapeSceneManagerFactory.h"

#include <Ogre.h>
#include <OgreConfigFile.h>
#include <OgreOverlayManager.h>
#include <OgreOverlaySystem.h>

#include <cmath>
#include <ctime>
#include <fstream>

namespace Kelvo {

namespace {

// The plug-ins the game asks for, in the order it loads them. Those built for
// other platforms are skipped with a log line.
const char* const kPlugins[] = {
    "RenderSystem_GL",
    "RenderSystem_Direct3D9",
    "Plugin_ParticleFX",
    "Plugin_CgProgramManager",
    "Plugin_PagingLandScapeSceneManager2",
};

// Not built for this platform: our terrain layer registers its scene manager
// type in its place.
const char* const kPagingLandScapePlugin = "Plugin_PagingLandScapeSceneManager2";

// Textures need an image codec, and two codec plug-ins cannot both register
// the same formats: the first one found is loaded. FreeImage comes first
// because it keeps 16-bit heightmaps at full depth.
const char* const kImageCodecPlugins[] = {
    "Codec_FreeImage",
    "Codec_STBI",
};

const char* const kOpenGLRendererName = "OpenGL Rendering Subsystem";
const char* const kDirect3D9RendererName = "Direct3D9 Rendering Subsystem";

bool fileExists(const std::string& path)
{
    std::ifstream file(path);
    return file.good();
}

} // namespace

Application* Application::sInstance = nullptr;
const char* const Application::kMainSceneName = "MainScene";
const char* const Application::kResourcesFile = "resources.cfg";

Application::Application()
{
    sInstance = this;
}

Application::~Application()
{
    mOptions.clear();
    mOptionsFileName.clear();
    sInstance = nullptr;
}

bool Application::setup(const std::string& windowTitle, const std::string& optionsFileName, std::int16_t renderSystemKind)
{
    try {
        mRoot = new Ogre::Root("", "", "kelvo.log");
        loadPlugins();
        if (!chooseRenderSystem(renderSystemKind)) {
            return false;
        }
        mOptions = OptionsFile::makeTable(mRenderSystem->getConfigOptions());
        loadAndApplyOptions(optionsFileName);
        // Overlays are a component of their own in this engine version; the
        // system must exist before the window so fonts and overlays load.
        mOverlaySystem = new Ogre::OverlaySystem();
        declareResourceLocations();
        mRenderWindow = mRoot->initialise(true, windowTitle);
        // The default filtering lives in the texture manager, which the
        // render system only creates with its first window.
        applyTextureFiltering();
        Ogre::ResourceGroupManager::getSingleton().initialiseAllResourceGroups();
        mInputManager = InputManager::getSingletonPtr();
        mInputManager->initialise(mRenderWindow);
        mSceneManager = mRoot->createSceneManager(Ogre::DefaultSceneManagerFactory::FACTORY_TYPE_NAME, kMainSceneName);
        mSceneManager->addRenderQueueListener(mOverlaySystem);
        unsigned long handle = 0;
        mRenderWindow->getCustomAttribute("WINDOW", &handle);
        mWindowHandle = static_cast<std::uint32_t>(handle);
        return mRoot->isInitialised();
    } catch (const Ogre::Exception& e) {
        Platform::showExceptionBox(e.getFullDescription());
        return false;
    }
}

void Application::loadPlugins()
{
    const std::string pluginDir = KELVO_OGRE_PLUGIN_DIR;
    for (const char* plugin : kPlugins) {
        const std::string path = pluginDir + "/" + plugin;
        if (!fileExists(path + ".so")) {
            if (std::string(plugin) == kPagingLandScapePlugin && !mTerrainSceneManagers) {
                // Our terrain layer provides the plug-in's scene manager type.
                mTerrainSceneManagers = PagingLandScapeSceneManagerFactory::install(*mRoot);
                logLine(std::string("Plugin ") + plugin + " is not available on this platform; scene manager type \"" +
                        PagingLandScapeSceneManager::kTypeName + "\" comes from our terrain layer");
                continue;
            }
            logLine(std::string("Plugin ") + plugin + " is not available on this platform, skipped");
            continue;
        }
        mRoot->loadPlugin(path);
    }
    for (const char* codec : kImageCodecPlugins) {
        const std::string path = pluginDir + "/" + codec;
        if (fileExists(path + ".so")) {
            mRoot->loadPlugin(path);
            return;
        }
    }
    logWarning("No image codec plug-in is available: textures will not load");
}

bool Application::chooseRenderSystem(std::int16_t kind)
{
    std::string wanted;
    if (kind == kDirect3D9) {
        wanted = kDirect3D9RendererName;
    } else if (kind == kOpenGL) {
        wanted = kOpenGLRendererName;
    } else {
        return false;
    }
    const Ogre::RenderSystemList& renderers = mRoot->getAvailableRenderers();
    if (renderers.empty()) {
        Platform::showExceptionBox("No render system is available: the engine cannot draw anything.");
        return false;
    }
    // Each renderer looked at is taken, so when the wanted one is missing the
    // last one offered is used.
    for (Ogre::RenderSystem* renderer : renderers) {
        mRenderSystem = renderer;
        if (renderer->getName() == wanted) {
            break;
        }
    }
    if (mRenderSystem->getName() != wanted) {
        logWarning("Render system \"" + wanted + "\" is not available, using \"" + mRenderSystem->getName() + "\"");
    }
    mRenderSystemKind = kind;
    mRoot->setRenderSystem(mRenderSystem);
    return true;
}

void Application::loadAndApplyOptions(const std::string& optionsFileName)
{
    mOptionsFileName = optionsFileName;
    mOptionsValid = OptionsFile::read(mOptionsFileName, mOptions);
    if (!mOptionsValid) {
        logWarning("Options file \"" + mOptionsFileName + "\" is missing or unusable, writing it anew");
        if (!saveOptions()) {
            logWarning("Options file \"" + mOptionsFileName +
                       "\" cannot be written in this folder; the game runs with these options and will not keep "
                       "changes");
        }
    }

    if (mRenderSystemKind == kDirect3D9) {
        setRenderSystemOption("Anti aliasing", "None");
        setRenderSystemOption("Floating-point mode", "Fastest");
    } else if (mRenderSystemKind == kOpenGL) {
        setRenderSystemOption("FSAA", "0");
    }
    const char* const appliedInOrder[] = {"fullscreen", "vsync", "resolution", "deviceName"};
    const char* const engineNames[] = {"Full Screen", "VSync", "Video Mode", "Rendering Device"};
    for (int i = 0; i < 4; ++i) {
        const OptionEntry* entry = getOption(appliedInOrder[i]);
        setRenderSystemOption(engineNames[i], entry ? entry->value : std::string());
    }
}

void Application::applyTextureFiltering()
{
    const OptionEntry* filterEntry = getOption(OptionsFile::kTextureFilterKey);
    const OptionsFile::TextureFiltering filtering = OptionsFile::textureFilteringFor(filterEntry->value);
    Ogre::MaterialManager::getSingleton().setDefaultTextureFiltering(filtering.filter);
    Ogre::MaterialManager::getSingleton().setDefaultAnisotropy(filtering.anisotropy);
}

void Application::setRenderSystemOption(const std::string& name, const std::string& value)
{
    // Setting an option the render system does not know throws, and the
    // render systems differ in what they offer.
    const Ogre::ConfigOptionMap& offered = mRenderSystem->getConfigOptions();
    if (offered.find(name) == offered.end()) {
        logLine("Render system offers no option \"" + name + "\", skipped");
        return;
    }
    mRenderSystem->setConfigOption(name, value);
}

void Application::declareResourceLocations()
{
    Ogre::ResourceGroupManager& groups = Ogre::ResourceGroupManager::getSingleton();
    try {
        Ogre::ConfigFile config;
        config.load(kResourcesFile, "\t:=", true);
        for (const auto& section : config.getSettingsBySection()) {
            const std::string& group = section.first;
            for (const auto& setting : section.second) {
                try {
                    groups.addResourceLocation(setting.second, setting.first, group);
                } catch (const Ogre::Exception& e) {
                    // One broken line costs only its own location.
                    logLine("Resource location \"" + setting.second + "\" (" + setting.first + ") in group \"" + group +
                            "\" skipped: " + e.getDescription());
                }
            }
        }
    } catch (const Ogre::Exception& e) {
        Platform::showExceptionBox(e.getFullDescription());
    }
}

void Application::shutdown()
{
    logLine("___KELVO shutdown complete.___");
    delete mInputManager;
    mInputManager = nullptr;
    if (mRoot) {
        if (mOverlaySystem) {
            for (const auto& manager : mRoot->getSceneManagers()) {
                manager.second->removeRenderQueueListener(mOverlaySystem);
            }
            delete mOverlaySystem;
            mOverlaySystem = nullptr;
        }
        // Our terrains free their textures through the render system, which
        // deleting the root unloads; the root would also need the factory to
        // destroy a left-over terrain scene manager.
        PagingLandScapeSceneManagerFactory::uninstall(*mRoot, mTerrainSceneManagers);
        mTerrainSceneManagers = nullptr;
        delete mRoot;
        mRoot = nullptr;
        mSceneManager = nullptr;
        mRenderWindow = nullptr;
        mRenderSystem = nullptr;
    }
}

void Application::captureInput()
{
    if (mInputManager) {
        mInputManager->capture();
    }
}

void Application::addInputListener(OgreEventListener* listener, const std::string& name)
{
    if (!mInputManager) {
        return;
    }
    mInputManager->addKeyListener(listener, name);
    mInputManager->addMouseListener(listener, name);
}

void Application::removeInputListener(OgreEventListener* listener)
{
    if (!mInputManager) {
        return;
    }
    mInputManager->removeKeyListener(listener);
    mInputManager->removeMouseListener(listener);
}

Ogre::Overlay* Application::findOverlay(const std::string& name) const
{
    if (!mOverlaySystem) {
        return nullptr;
    }
    return Ogre::OverlayManager::getSingleton().getByName(name);
}

Ogre::SceneManager* Application::getSceneManager() const
{
    // Asks the engine's root rather than our own pointer, so that code and
    // tools running on a root of their own (no window) find "MainScene" too.
    Ogre::Root* root = Ogre::Root::getSingletonPtr();
    if (!root || !root->hasSceneManager(kMainSceneName)) {
        return nullptr;
    }
    return root->getSceneManager(kMainSceneName);
}

Ogre::SceneManager* Application::replaceSceneManager(const std::string& typeName)
{
    if (Ogre::SceneManager* current = getSceneManager()) {
        current->removeRenderQueueListener(mOverlaySystem);
        mRoot->destroySceneManager(current);
    }
    mSceneManager = mRoot->createSceneManager(typeName, kMainSceneName);
    if (mOverlaySystem) {
        mSceneManager->addRenderQueueListener(mOverlaySystem);
    }
    return mSceneManager;
}

OptionEntry* Application::getOption(const std::string& key)
{
    auto found = mOptions.find(key);
    return found == mOptions.end() ? nullptr : &found->second;
}

bool Application::saveOptions()
{
    const std::time_t now = std::time(nullptr);
    return OptionsFile::write(mOptionsFileName, mOptions, *std::localtime(&now));
}

void Application::createSphere(const std::string& meshName, float radius, int rings, int segments)
{
    SceneObjects::makeSphereMesh(meshName, radius, rings, segments);
}

} // namespace Kelvo
