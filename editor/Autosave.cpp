#include "editor/Autosave.h"

#include "platform/Log.h"
#include "scene/SceneLoader.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace Kelvo {

const double Autosave::kDefaultPeriodSeconds = 120.0;
const char* const Autosave::kExtension = ".autosave";
const char* const Autosave::kPeriodVariable = "KELVO_AUTOSAVE_SECONDS";

Autosave::Autosave(SceneLoader* loader, double periodSeconds)
    : mLoader(loader)
    , mPeriodSeconds(periodSeconds > 0 ? periodSeconds : kDefaultPeriodSeconds)
    , mPeriodStart(Clock::now())
{
}

double Autosave::periodFromEnvironment()
{
    const char* text = std::getenv(kPeriodVariable);
    if (!text || !*text) {
        return kDefaultPeriodSeconds;
    }
    char* end = nullptr;
    const double seconds = std::strtod(text, &end);
    if (end == text || *end != '\0' || !(seconds > 0)) {
        logWarning(std::string("Autosave: ") + kPeriodVariable + "='" + text + "' is no number of seconds; every " +
                   std::to_string(static_cast<int>(kDefaultPeriodSeconds)) + " s");
        return kDefaultPeriodSeconds;
    }
    return seconds;
}

std::string Autosave::backupName(const std::string& sceneName)
{
    return sceneName + kExtension;
}

std::string Autosave::backupPath(const std::string& sceneName) const
{
    return (mLoader ? mLoader->getSceneDirectory() : std::string()) + backupName(sceneName);
}

void Autosave::sceneIsInFile()
{
    mLastText = mLoader ? mLoader->sceneText() : std::string();
    mPeriodStart = Clock::now();
}

bool Autosave::update(const std::string& sceneName)
{
    const std::chrono::duration<double> waited = Clock::now() - mPeriodStart;
    if (waited.count() < mPeriodSeconds) {
        return false;
    }
    mPeriodStart = Clock::now();
    return writeIfChanged(sceneName);
}

bool Autosave::writeIfChanged(const std::string& sceneName)
{
    if (!mLoader || sceneName.empty() || !mLoader->getCurrentFileName() ||
        sceneName != mLoader->getCurrentFileName()) {
        return false;
    }
    std::string text = mLoader->sceneText();
    if (text == mLastText) {
        return false;
    }
    // saveCopy refuses the scene's own name: the backup never replaces it.
    if (!mLoader->saveCopy(backupName(sceneName))) {
        logWarning("Autosave: could not write " + backupPath(sceneName));
        return false;
    }
    mLastText = std::move(text);
    logLine("Autosave: wrote " + backupPath(sceneName));
    return true;
}

void Autosave::removeBackup(const std::string& sceneName)
{
    std::error_code error;
    if (std::filesystem::remove(backupPath(sceneName), error)) {
        logLine("Autosave: removed " + backupPath(sceneName));
    }
}

bool Autosave::hasNewerBackup(const std::string& sceneName) const
{
    std::error_code error;
    const auto backupTime = std::filesystem::last_write_time(backupPath(sceneName), error);
    if (error) {
        return false;
    }
    const std::string scenePath = (mLoader ? mLoader->getSceneDirectory() : std::string()) + sceneName;
    const auto sceneTime = std::filesystem::last_write_time(scenePath, error);
    // A backup without its scene is newer than nothing.
    return error || backupTime > sceneTime;
}

} // namespace Kelvo
