#pragma once

#include <OgreQuaternion.h>
#include <OgreVector.h>

#include <string>

namespace Kelvo {

class GameState;

// What survives a trip from the level editor into the game and back. The
// editor state destroys its scene, windows and scripts when it is left, so
// whatever the designer must find again is kept here: the scene's file name
// (for saving), its text with the unsaved changes, whether it had any, the
// selected object and the edit camera's pose. It also owns the temporary
// scene file the game plays: written into the scene folder under a name the
// scene list never shows (it is no "*.qormscene"), removed when the game
// leaves, and removed at the editor's next entry if a crash left it behind.
//
// Owned by LevelEditorState (one for the program's run); PlayState is handed
// a pointer when the editor starts the game and goes back to the session's
// return state instead of the menu. Not a game state's business otherwise.
class EditorPlaySession {
public:
    static const char* const kPlayFileName;

    struct CameraPose {
        Ogre::Vector3 position = Ogre::Vector3::ZERO;
        Ogre::Quaternion yaw = Ogre::Quaternion::IDENTITY;
        Ogre::Quaternion pitch = Ogre::Quaternion::IDENTITY;
    };

    // Writes the scene to play into the scene folder and opens the session;
    // false (nothing written, the session stays closed) when the file
    // cannot be written whole.
    bool begin(const std::string& sceneDirectory, const std::string& playText);
    // Rewrites the temporary file with another text (the editor reloads its
    // unsaved scene through it on the way back); false when it failed.
    bool rewritePlayFile(const std::string& text);
    void removePlayFile();
    // Writes the edited text to a file of that name in the scene folder, for
    // when the editor cannot take the scene back; false when it failed.
    bool keepEditedText(const std::string& fileName);
    // Closes the session once the editor has taken everything back.
    void end();
    // Removes a play file a crash left in the folder; true when there was one.
    static bool removeLeftover(const std::string& sceneDirectory);

    bool isOpen() const { return mOpen; }
    std::string playFilePath() const { return mSceneDirectory + kPlayFileName; }

    std::string sceneFile;
    std::string editedText;
    bool hadUnsavedChanges = false;
    std::string selectedName;
    CameraPose camera;
    // Where the game goes back to when it ends.
    GameState* returnState = nullptr;

private:
    static bool writeWhole(const std::string& path, const std::string& text);

    std::string mSceneDirectory;
    bool mOpen = false;
};

} // namespace Kelvo
