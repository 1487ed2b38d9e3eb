#include "states/EditorPlaySession.h"

#include "platform/Log.h"

#include <cstdio>

namespace Kelvo {

// Not "*.qormscene", so no scene list offers it; a designer's scene never
// has this name.
const char* const EditorPlaySession::kPlayFileName = "playing_from_editor.tmpscene";

bool EditorPlaySession::writeWhole(const std::string& path, const std::string& text)
{
    std::FILE* file = std::fopen(path.c_str(), "w");
    if (!file) {
        logWarning("EditorPlaySession: cannot write '" + path + "'");
        return false;
    }
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) {
        std::remove(path.c_str());
        logWarning("EditorPlaySession: writing '" + path + "' failed, nothing is left of it");
        return false;
    }
    return true;
}

bool EditorPlaySession::begin(const std::string& sceneDirectory, const std::string& playText)
{
    mSceneDirectory = sceneDirectory;
    if (!writeWhole(playFilePath(), playText)) {
        mOpen = false;
        return false;
    }
    mOpen = true;
    logLine("EditorPlaySession: wrote '" + playFilePath() + "'");
    return true;
}

bool EditorPlaySession::rewritePlayFile(const std::string& text)
{
    return mOpen && writeWhole(playFilePath(), text);
}

bool EditorPlaySession::keepEditedText(const std::string& fileName)
{
    if (!writeWhole(mSceneDirectory + fileName, editedText)) {
        return false;
    }
    logLine("EditorPlaySession: the unsaved scene is kept in '" + mSceneDirectory + fileName + "'");
    return true;
}

void EditorPlaySession::removePlayFile()
{
    if (!mSceneDirectory.empty() && std::remove(playFilePath().c_str()) == 0) {
        logLine("EditorPlaySession: removed '" + playFilePath() + "'");
    }
}

void EditorPlaySession::end()
{
    removePlayFile();
    mOpen = false;
    editedText.clear();
    returnState = nullptr;
}

bool EditorPlaySession::removeLeftover(const std::string& sceneDirectory)
{
    const std::string path = sceneDirectory + kPlayFileName;
    if (std::remove(path.c_str()) != 0) {
        return false;
    }
    logLine("EditorPlaySession: removed the leftover '" + path + "' of an earlier game");
    return true;
}

} // namespace Kelvo
