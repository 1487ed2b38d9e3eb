#pragma once

#include <chrono>
#include <string>

namespace Kelvo {

class SceneLoader;

// The editor's protection against a crash: every period of wall-clock time
// (two minutes; frames may be slow, the clock is not) it writes the loaded
// scene to "<scene>.autosave" beside the scene file, when the scene changed
// since it was loaded, saved or last backed up. The scene file itself is
// never written here; a successful save removes the backup. A backup newer
// than its scene is what a crash left behind: the hub offers it when the
// scene is loaded. Owned by the hub (EditorGUI), ticked once per frame.
//
// KELVO_AUTOSAVE_SECONDS, read once at start, sets another period (tests).
class Autosave {
public:
    static const double kDefaultPeriodSeconds;
    static const char* const kExtension;
    static const char* const kPeriodVariable;

    Autosave(SceneLoader* loader, double periodSeconds);
    // The period from KELVO_AUTOSAVE_SECONDS, or two minutes when it is
    // unset or not a positive number.
    static double periodFromEnvironment();

    double getPeriodSeconds() const { return mPeriodSeconds; }
    static std::string backupName(const std::string& sceneName);
    std::string backupPath(const std::string& sceneName) const;

    // The scene as it is now is what its file holds (loaded, saved,
    // restored from the backup): nothing to back up; the period starts anew.
    void sceneIsInFile();
    // Per frame: once the period has passed, writes the backup when there
    // are changes. True when it wrote one.
    bool update(const std::string& sceneName);
    // Writes the backup now when there are changes.
    bool writeIfChanged(const std::string& sceneName);
    // After a successful save.
    void removeBackup(const std::string& sceneName);
    bool hasNewerBackup(const std::string& sceneName) const;

private:
    using Clock = std::chrono::steady_clock;

    SceneLoader* mLoader;
    double mPeriodSeconds;
    Clock::time_point mPeriodStart;
    // The scene's text in its file or in the last backup.
    std::string mLastText;
};

} // namespace Kelvo
