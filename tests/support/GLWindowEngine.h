#pragma once

// The engine in a GL window with our terrain scene manager installed: how
// every window test and drawing benchmark starts (under Xvfb in the suite).
// The program links the terrain library.

#include "WindowedGL.h"
#include "terrain/PagingLandScapeSceneManagerFactory.h"

#include <Ogre.h>
#include <OgreOverlaySystem.h>

#include <cstdio>
#include <string>
#include <vector>

namespace KelvoTest {

class GLWindowEngine {
public:
    struct Settings {
        // A video mode as the GL render system names it, two blanks included.
        const char* videoMode = "1024 x  768";
        bool particles = true;
        // The overlay system, for tests that show overlays (the statistics, the crosshair).
        bool overlays = false;
        // Every log line is handed to the listener as well.
        Ogre::LogListener* logListener = nullptr;
        // A benchmark's log stays off the disk.
        bool logToFile = true;
        // More engine plug-ins by name ("Plugin_OctreeSceneManager").
        std::vector<const char*> plugins;
    };

    // The log "<name>_window.log", the engine, the window "KELVO <name>".
    // False, with the reason on standard error, when GL cannot be had.
    bool start(const std::string& name, const Settings& settings)
    {
        logs = new Ogre::LogManager();
        Ogre::Log* log = logs->createLog(name + "_window.log", true, false, !settings.logToFile);
        if (settings.logListener) {
            log->addListener(settings.logListener);
        }
        root = new Ogre::Root("", "", "");
        if (!selectWindowedGL(*root, settings.videoMode, settings.particles)) {
            std::fprintf(stderr, "%s: the OpenGL render system is not available\n", name.c_str());
            return false;
        }
        for (const char* plugin : settings.plugins) {
            loadEnginePlugin(*root, plugin);
        }
        factory = Kelvo::PagingLandScapeSceneManagerFactory::install(*root);
        if (settings.overlays) {
            overlays = new Ogre::OverlaySystem();
        }
        window = root->initialise(true, "KELVO " + name);
        return window != nullptr;
    }

    // Everything start() made, in reverse order; safe after a failed start.
    void stop()
    {
        if (root && factory) {
            Kelvo::PagingLandScapeSceneManagerFactory::uninstall(*root, factory);
        }
        delete overlays;
        delete root;
        delete logs;
        factory = nullptr;
        overlays = nullptr;
        root = nullptr;
        logs = nullptr;
        window = nullptr;
    }

    Ogre::LogManager* logs = nullptr;
    Ogre::Root* root = nullptr;
    Ogre::OverlaySystem* overlays = nullptr;
    Ogre::RenderWindow* window = nullptr;
    Kelvo::PagingLandScapeSceneManagerFactory* factory = nullptr;
};

} // namespace KelvoTest
